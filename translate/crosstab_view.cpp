#include "translate/crosstab_view.h"

#include <cctype>
#include <charconv>

#include "data_access/jet/condition_terms.h"
#include "data_access/jet/sql/text_folding.h"
#include "mysql/sql_literals.h"

namespace tablift {
namespace {

using jet::AndTerms;
using jet::HoldsAggregate;
using jet::TopLevel;
using jet::Trimmed;
using jet::WordAt;

// What Access calls the column of the rows whose heading is Null.
constexpr const char* kNullHeading = "<>";

int Integer(const std::string& text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() ? value : -1;
}

struct ValueAggregate {
  std::string function;  // MySQL's
  std::string argument;  // Access's
};

Result<ValueAggregate> SplitAggregate(const std::string& expression) {
  const std::string text = Trimmed(expression);
  const std::size_t open = text.find('(');
  if (open == std::string::npos || text.back() != ')')
    return Status::Failure("its value " + text + " is not an aggregate");
  const std::string function = Trimmed(text.substr(0, open));
  const std::string argument = text.substr(open + 1, text.size() - open - 2);
  static const std::pair<const char*, const char*> kFunctions[] = {
      {"Sum", "SUM"},           {"Avg", "AVG"},      {"Count", "COUNT"},
      {"Min", "MIN"},           {"Max", "MAX"},      {"StDev", "STDDEV_SAMP"},
      {"StDevP", "STDDEV_POP"}, {"Var", "VAR_SAMP"}, {"VarP", "VAR_POP"}};
  for (const auto& [access, mysql] : kFunctions)
    if (jet::NamesEqual(function, access)) return ValueAggregate{mysql, argument};
  return Status::Failure("its value aggregate " + function + " has no MySQL counterpart");
}

// The pivot expression and the headings its In (...) list gives.
struct Pivot {
  std::string expression;
  std::vector<std::string> literals;  // Access literals
  bool listed = false;
};

Pivot SplitPivot(const std::string& expression) {
  Pivot pivot{Trimmed(expression), {}, false};
  const std::string& text = pivot.expression;
  std::size_t in = std::string::npos;
  TopLevel(text, [&](std::size_t i) {
    if (WordAt(text, i, "In")) in = i;
    return false;
  });
  if (in == std::string::npos) return pivot;
  const std::string list = Trimmed(text.substr(in + 2));
  if (list.size() < 2 || list.front() != '(' || list.back() != ')') return pivot;
  const std::string items = list.substr(1, list.size() - 2);
  std::size_t start = 0;
  TopLevel(items, [&](std::size_t i) {
    if (items[i] == ',') {
      pivot.literals.push_back(Trimmed(items.substr(start, i - start)));
      start = i + 1;
    }
    return false;
  });
  pivot.literals.push_back(Trimmed(items.substr(start)));
  pivot.expression = Trimmed(text.substr(0, in));
  pivot.listed = true;
  return pivot;
}

// The heading an Access literal of the In list gives: a text without its
// quotes, a number as written.
std::string HeadingOf(const std::string& literal) {
  if (literal.size() >= 2 && (literal.front() == '"' || literal.front() == '\'') &&
      literal.back() == literal.front()) {
    std::string text;
    for (std::size_t i = 1; i + 1 < literal.size(); ++i) {
      text.push_back(literal[i]);
      if (literal[i] == literal.front() && literal[i + 1] == literal.front()) ++i;
    }
    return text;
  }
  return literal;
}

Result<std::string> Translated(const std::string& expression, const NameMapping& names) {
  const TranslatedExpression translated = TranslateAccessExpression(expression, names);
  if (!translated.ok) return Status::Failure(translated.problem);
  return translated.text;
}

}  // namespace

Result<CrosstabView> ComposeCrosstabView(const std::string& viewName,
                                         const std::vector<QueryElement>& elements,
                                         const NameMapping& names, const ColumnLister& columnsOf,
                                         const HeadingReader& readHeadings) {
  constexpr int kValue = 0;
  constexpr int kColumnHeading = 1;
  std::vector<QueryElement> rows;  // the elements of the grouped select
  const QueryElement* heading = nullptr;
  const QueryElement* value = nullptr;
  for (const QueryElement& element : elements) {
    if (element.kind == kParameter)
      return Status::Failure("it asks for parameters, which a MySQL view cannot take");
    if (element.kind == kOutputColumn && Integer(element.flag) == kColumnHeading) {
      heading = &element;
      continue;
    }
    if (element.kind == kOutputColumn && Integer(element.flag) == kValue) {
      value = &element;
      continue;
    }
    if (element.kind == kGroupBy && Integer(element.flag) == kColumnHeading) continue;
    if (element.kind == kCondition) {
      // Access filters the crosstab's groups with the aggregates it names.
      for (const std::string& term : AndTerms(element.expression))
        rows.push_back({HoldsAggregate(term) ? kHaving : kCondition, term, {}, {}, {}});
      continue;
    }
    rows.push_back(element);
  }
  if (heading == nullptr) return Status::Failure("the crosstab has no column heading");
  if (value == nullptr) return Status::Failure("the crosstab has no value");
  const Pivot pivot = SplitPivot(heading->expression);
  // Ordering by the column heading orders the columns, not the rows.
  for (auto row = rows.begin(); row != rows.end();) {
    if (row->kind == kOrderBy && jet::NamesEqual(Trimmed(row->expression), pivot.expression)) {
      row = rows.erase(row);
    } else {
      ++row;
    }
  }
  Result<SelectParts> composed = ComposeSelectParts(rows, names, columnsOf);
  if (!composed.ok()) return composed.status();
  SelectParts parts = std::move(composed).value();
  if ((parts.options & kTop) != 0) return Status::Failure("a crosstab with TOP is not supported");
  const Result<std::string> pivotText = Translated(pivot.expression, names);
  if (!pivotText.ok()) return pivotText.status();
  const Result<ValueAggregate> aggregate = SplitAggregate(value->expression);
  if (!aggregate.ok()) return aggregate.status();
  const std::string argument = Trimmed(aggregate.value().argument);
  const Result<std::string> valueText =
      argument == "*" ? Result<std::string>(std::string("1")) : Translated(argument, names);
  if (!valueText.ok()) return valueText.status();

  CrosstabView view;
  view.headingsRead = false;
  std::vector<std::optional<std::string>> headings;  // nullopt: the Null heading
  std::vector<std::string> literals;                 // MySQL's, for the listed ones
  if (pivot.listed) {
    for (const std::string& literal : pivot.literals) {
      const Result<std::string> translated = Translated(literal, names);
      if (!translated.ok()) return translated.status();
      headings.push_back(HeadingOf(literal));
      literals.push_back(translated.value());
    }
  } else {
    if (!readHeadings) return Status::Failure("its column headings cannot be read");
    std::string sql = "SELECT DISTINCT " + pivotText.value();
    if (!parts.from.empty()) sql += " FROM " + parts.from;
    if (!parts.where.empty()) sql += " WHERE " + ConditionList(parts.where);
    sql += " ORDER BY 1";
    Result<std::vector<std::optional<std::string>>> read = readHeadings(sql);
    if (!read.ok())
      return Status::Failure("its column headings could not be read: " + read.message());
    headings = std::move(read).value();
    for (const auto& text : headings)
      literals.push_back(text ? StringLiteral(*text) : std::string());
    view.headingsRead = true;
  }
  // Without rows there are no headings: Access then shows the row headings
  // alone.

  const bool count = aggregate.value().function == "COUNT";
  for (std::size_t i = 0; i < headings.size(); ++i) {
    const std::string when =
        headings[i] ? pivotText.value() + " = " + literals[i] : pivotText.value() + " IS NULL";
    const std::string name = headings[i] ? *headings[i] : kNullHeading;
    std::string cell =
        aggregate.value().function + "(CASE WHEN " + when + " THEN " + valueText.value() + " END)";
    // Access leaves a cell without rows empty, where COUNT gives 0.
    if (count) cell = "IF(COUNT(CASE WHEN " + when + " THEN 1 END) = 0, NULL, " + cell + ")";
    parts.selectList +=
        (parts.selectList.empty() ? "" : ", ") + cell + " AS " + QuoteIdentifier(name);
    view.headings.push_back(name);
  }
  view.statement = "CREATE VIEW " + QuoteIdentifier(viewName) + " AS \n" + SelectText(parts);
  return view;
}

}  // namespace tablift
