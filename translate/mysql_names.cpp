#include "translate/mysql_names.h"

#include <algorithm>
#include <cctype>

namespace tablift {

std::string MySqlName(std::string_view accessName, NameRule rule) {
  std::string name(accessName);
  if (rule == NameRule::Underscore) std::replace(name.begin(), name.end(), ' ', '_');
  return name;
}

std::optional<NameRule> ParseNameRule(std::string_view text) {
  if (text == "keep") return NameRule::Keep;
  if (text == "underscore") return NameRule::Underscore;
  return std::nullopt;
}

const char* NameRuleText(NameRule rule) {
  return rule == NameRule::Underscore ? "underscore" : "keep";
}

}  // namespace tablift
