#include "translate/union_view.h"

#include <algorithm>
#include <charconv>

#include "data_access/jet/sql/text_folding.h"
#include "mysql/sql_literals.h"
#include "translate/access_select.h"

namespace tablift {
namespace {

// How Access names the elements that hold a union's parts.
constexpr std::string_view kPartPrefix = "X7YZ_____";

int Integer(std::string_view text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() ? value : 0;
}

std::string Trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t\r\n;");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r\n;") - first + 1);
}

}  // namespace

Result<std::string> UnionQueryText(const std::vector<QueryElement>& elements) {
  std::vector<std::pair<int, std::string>> parts;
  int options = 0;
  std::string order;
  for (const QueryElement& element : elements) {
    if (element.kind == kParameter)
      return Status::Failure("it asks for parameters, which a MySQL view cannot take");
    if (element.kind == kOptions) options |= Integer(element.flag);
    if (element.kind == kInputTable && element.name2.size() > kPartPrefix.size() &&
        jet::NamesEqual(element.name2.substr(0, kPartPrefix.size()), kPartPrefix))
      parts.emplace_back(Integer(std::string_view(element.name2).substr(kPartPrefix.size())),
                         Trimmed(element.expression));
    if (element.kind == kOrderBy)
      order += (order.empty() ? " ORDER BY " : ", ") + element.expression +
               (jet::NamesEqual(element.name1, "D") ? " DESC" : "");
  }
  if (parts.empty()) return Status::Failure("the union query has no parts");
  std::stable_sort(parts.begin(), parts.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  const std::string separator = (options & kDistinct) != 0 ? "\nUNION\n" : "\nUNION ALL\n";
  std::string text;
  for (std::size_t i = 0; i < parts.size(); ++i)
    text += (i > 0 ? separator : "") + parts[i].second;
  return text + order;
}

Result<std::string> ComposeUnionView(const std::string& viewName,
                                     const std::vector<QueryElement>& elements,
                                     const NameMapping& names) {
  const Result<std::string> accessSql = UnionQueryText(elements);
  if (!accessSql.ok()) return accessSql.status();
  const Result<std::string> translated = TranslateAccessSelect(accessSql.value(), names);
  if (!translated.ok()) return translated.status();
  return "CREATE VIEW " + QuoteIdentifier(viewName) + " AS \n" + translated.value();
}

}  // namespace tablift
