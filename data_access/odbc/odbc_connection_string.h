#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "data_access/property_set.h"

namespace tablift::odbc {

// What the DBINIT properties say about the connection. Of several entries
// with the same id the last one is in force.
struct InitProperties {
  std::string dataSource;      // DBPROP_INIT_DATASOURCE
  std::string providerString;  // DBPROP_INIT_PROVIDERSTRING
  std::optional<std::string> userId;
  std::optional<std::string> password;
  std::string catalog;  // DBPROP_INIT_CATALOG
};

InitProperties ReadInitProperties(const std::vector<PropertySet>& sets);

using Attribute = std::pair<std::string, std::string>;

// The key=value pairs of a connection string, values unbraced. Empty parts
// (a leading ";", ";;") are skipped.
std::vector<Attribute> ParseConnectionString(std::string_view text);

// A value as a connection string holds it: braced, with "}" doubled, when it
// contains ';', '{', '}' or '=' or has outer blanks.
std::string ConnectionStringValue(std::string_view value);

// The connection string for SQLDriverConnect: the provider string's
// attributes, DSN= from the data source when the string names no driver or
// data source, UID=/PWD= from a non-empty user ID, DATABASE= from the catalog
// and CHARSET= `charset`, each replacing what the string said.
std::string BuildConnectionString(const InitProperties& properties, std::string_view charset);

}  // namespace tablift::odbc
