# One static library per layer folder: tablift_<folder> from every .cpp below
# it, linking exactly the layers it may use.
function(tablift_add_layer folder)
  cmake_parse_arguments(ARG "" "" "LINKS;PRIVATE_LINKS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${folder}/*.cpp)
  add_library(tablift_${folder} STATIC ${sources})
  target_link_libraries(tablift_${folder} PUBLIC ${ARG_LINKS} PRIVATE ${ARG_PRIVATE_LINKS})
endfunction()

# The folders each folder may include, besides its own. Whatever is not listed
# here is a wrong-way include and stops the build.
set(TABLIFT_LAYER_RULES
  "core:"
  "data_access:core"
  "access:core data_access"
  "mysql:core data_access"
  "translate:core data_access access mysql"
  "migration:core data_access access mysql translate"
  "engine:core data_access access mysql translate migration"
  "ui:core data_access access mysql translate migration engine"
  "app:core data_access access mysql translate migration engine ui"
  "cli:core data_access access mysql translate migration engine")
add_custom_target(layer_check ALL
  COMMAND ${CMAKE_COMMAND} -DROOT=${PROJECT_SOURCE_DIR} "-DRULES=${TABLIFT_LAYER_RULES}"
          -P ${PROJECT_SOURCE_DIR}/cmake/check_layers.cmake
  COMMENT "Checking that every folder includes only the layers below it"
  VERBATIM)
