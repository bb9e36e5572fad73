#pragma once

#include <string_view>

namespace tablift {

// The server's own schemas (mysql, sys, information_schema,
// performance_schema): never a place to migrate into, so the target tree
// does not offer them.
bool IsSystemSchema(std::string_view name);

}  // namespace tablift
