#include "mysql/system_schemas.h"

#include "data_access/ascii_text.h"

namespace tablift {

bool IsSystemSchema(std::string_view name) {
  for (const std::string_view system : {"mysql", "sys", "information_schema", "performance_schema"})
    if (EqualsIgnoreCase(name, system)) return true;
  return false;
}

}  // namespace tablift
