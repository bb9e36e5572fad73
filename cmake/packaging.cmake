# What an installation holds, and the Debian package CPack makes of it
# (scripts/package): the two programs in bin, the shipped MySQL ODBC driver
# where the driver installer looks for it (lib/tablift beside bin), the desktop entry,
# its icon, the AppStream metadata, both manual pages and the HTML manual.
include(GNUInstallDirs)

# Installing (and packaging) needs only what is installed, which
# scripts/package builds first, not every test program.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

install(TARGETS tablift-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET tablift)
  install(TARGETS tablift RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

if(TABLIFT_MARIADB_ODBC_DRIVER)
  # The library itself, not the link that names it.
  get_filename_component(tablift_shipped_driver ${TABLIFT_MARIADB_ODBC_DRIVER} REALPATH)
  install(FILES ${tablift_shipped_driver}
    DESTINATION lib/tablift/MyODBC3.51 RENAME libmyodbc3.so)
endif()

install(FILES ${PROJECT_SOURCE_DIR}/resources/tablift.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/resources/tablift.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
configure_file(${PROJECT_SOURCE_DIR}/resources/io.github.tablift.Tablift.metainfo.xml
  ${PROJECT_BINARY_DIR}/packaging/io.github.tablift.Tablift.metainfo.xml @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/packaging/io.github.tablift.Tablift.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Manual pages, compressed as Debian keeps them.
foreach(page tablift tablift-cli)
  configure_file(${PROJECT_SOURCE_DIR}/docs/${page}.1 ${PROJECT_BINARY_DIR}/packaging/${page}.1 @ONLY)
  add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/packaging/${page}.1.gz
    COMMAND gzip -9nkf ${PROJECT_BINARY_DIR}/packaging/${page}.1
    DEPENDS ${PROJECT_BINARY_DIR}/packaging/${page}.1 ${PROJECT_SOURCE_DIR}/docs/${page}.1)
  list(APPEND tablift_man_pages ${PROJECT_BINARY_DIR}/packaging/${page}.1.gz)
endforeach()
add_custom_target(man_pages ALL DEPENDS ${tablift_man_pages})
install(FILES ${tablift_man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

if(EXISTS ${PROJECT_SOURCE_DIR}/docs/manual.html)
  install(FILES ${PROJECT_SOURCE_DIR}/docs/manual.html ${PROJECT_SOURCE_DIR}/docs/screenshot.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tablift)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tablift)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Tablift")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Move Microsoft Access databases into MySQL or MariaDB")
set(CPACK_PACKAGE_DESCRIPTION
  "Tablift moves a Microsoft Access database (.mdb, .accdb) into a MySQL or MariaDB\n"
  "server: tables with their keys and indexes, every row, relationships as foreign\n"
  "keys and saved select queries as views. A Qt desktop program (tablift) and a\n"
  "command line (tablift-cli) over the same engine.")
set(CPACK_PACKAGE_CONTACT "Tablift maintainers <maintainers@tablift.invalid>")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION database)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The shared libraries the programs link (libmdb, unixODBC, PCRE2, Qt, ...)
# come from dpkg-shlibdeps; the ODBC driver they talk to the server through is
# loaded at run time, so it is named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "odbc-mariadb, unixodbc")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "mariadb-server | default-mysql-server")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
include(CPack)
