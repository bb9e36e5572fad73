#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tablift {

// How the name of an Access object (table, column, index, relationship, saved
// query, and the names a saved query refers to) is spelt on the MySQL side.
// One rule covers every object of a migration at once, so that a view still
// finds the tables and columns it reads and a foreign key the key it names.
enum class NameRule {
  Keep,        // the Access name as it is, quoted with backquotes
  Underscore,  // every blank becomes "_", for people who want MySQL-friendly names
};

// The MySQL name of an Access name under `rule`.
std::string MySqlName(std::string_view accessName, NameRule rule);

// "keep" and "underscore", as the command line and the settings file spell
// the rules; nothing for any other text.
std::optional<NameRule> ParseNameRule(std::string_view text);
const char* NameRuleText(NameRule rule);

}  // namespace tablift
