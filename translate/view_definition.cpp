#include "translate/view_definition.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <optional>

#include "core/job_context.h"
#include "core/write_line.h"
#include "data_access/jet/sql/text_folding.h"
#include "data_access/text_query.h"
#include "mysql/sql_literals.h"
#include "translate/saved_query_reader.h"

namespace tablift {
namespace {

// The Flag of the query type element for a select query.
constexpr int kSelectQuery = static_cast<int>(SavedQueryKind::Select);

const char* const kNoSupport = "NO SUPPORT!";

struct Unsupported {
  std::string problem;
};

int Integer(const std::string& text, int otherwise = 0) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return otherwise;
  return value;
}

std::string Translate(const std::string& expression, const NameMapping& names) {
  TranslatedExpression translated = TranslateAccessExpression(expression, names);
  if (!translated.ok) throw Unsupported{translated.problem};
  return translated.text;
}

std::string MappedName(const std::string& name, const NameMapping& names) {
  return names ? names(name) : name;
}

// The table and column of an output expression that names a column, such
// as "Shippers.CompanyName" or "[Order Details].[UnitPrice]"; empty parts
// for any other expression.
struct ColumnReference {
  std::string table;
  std::string column;
};

ColumnReference ReferenceOf(const std::string& expression) {
  std::vector<std::string> parts;
  std::size_t i = 0;
  while (i < expression.size()) {
    std::string part;
    if (expression[i] == '[') {
      const std::size_t close = expression.find(']', i + 1);
      if (close == std::string::npos) return {};
      part = expression.substr(i + 1, close - i - 1);
      i = close + 1;
    } else {
      while (i < expression.size() && expression[i] != '.') {
        const unsigned char c = static_cast<unsigned char>(expression[i]);
        if (!std::isalnum(c) && c != '_' && c < 0x80) return {};
        part.push_back(expression[i++]);
      }
    }
    if (part.empty()) return {};
    parts.push_back(std::move(part));
    if (i < expression.size()) {
      if (expression[i] != '.') return {};
      ++i;
    }
  }
  if (parts.size() == 1) return {{}, parts[0]};
  if (parts.size() == 2) return {parts[0], parts[1]};
  return {};
}

struct InputTable {
  std::string name;
  std::string alias;
  std::optional<std::size_t> group;  // the join group it belongs to
};

struct JoinStep {
  std::string keyword;  // "INNER JOIN", "LEFT JOIN", "RIGHT JOIN"
  std::size_t table;
  std::vector<std::string> conditions;
};

struct JoinGroup {
  std::size_t first;
  std::vector<JoinStep> steps;
};

std::string JoinKeyword(int flag, bool swapped) {
  if (flag == 2) return swapped ? "RIGHT JOIN" : "LEFT JOIN";
  if (flag == 3) return swapped ? "LEFT JOIN" : "RIGHT JOIN";
  return "INNER JOIN";
}

// The FROM items: tables joined as the query's join elements say, the
// others listed after them. Conditions that join two separate groups go to
// `where`.
std::string FromList(std::vector<InputTable>& tables, const std::vector<QueryElement>& joins,
                     const NameMapping& names, std::vector<std::string>& where) {
  const auto find = [&](const std::string& name) -> std::size_t {
    for (std::size_t i = 0; i < tables.size(); ++i)
      if (!tables[i].alias.empty() && jet::NamesEqual(tables[i].alias, name)) return i;
    for (std::size_t i = 0; i < tables.size(); ++i)
      if (tables[i].alias.empty() && jet::NamesEqual(tables[i].name, name)) return i;
    tables.push_back({name, {}, std::nullopt});
    return tables.size() - 1;
  };
  const auto item = [&](std::size_t i) {
    std::string text = QuoteIdentifier(MappedName(tables[i].name, names));
    if (!tables[i].alias.empty())
      text += " AS " + QuoteIdentifier(MappedName(tables[i].alias, names));
    return text;
  };

  std::vector<JoinGroup> groups;
  for (const QueryElement& join : joins) {
    const std::size_t left = find(join.name1);
    const std::size_t right = find(join.name2);
    const std::string condition = Translate(join.expression, names);
    const int flag = Integer(join.flag, 1);
    const auto leftGroup = tables[left].group;
    const auto rightGroup = tables[right].group;
    if (!leftGroup && !rightGroup) {
      tables[left].group = tables[right].group = groups.size();
      groups.push_back({left, {{JoinKeyword(flag, false), right, {condition}}}});
    } else if (leftGroup && !rightGroup) {
      tables[right].group = leftGroup;
      groups[*leftGroup].steps.push_back({JoinKeyword(flag, false), right, {condition}});
    } else if (!leftGroup && rightGroup) {
      tables[left].group = rightGroup;
      groups[*rightGroup].steps.push_back({JoinKeyword(flag, true), left, {condition}});
    } else if (*leftGroup == *rightGroup) {
      // A further condition between two tables already joined: it belongs
      // to the join that brought in the later of the two.
      JoinGroup& group = groups[*leftGroup];
      std::size_t step = 0;
      for (std::size_t k = 0; k < group.steps.size(); ++k)
        if (group.steps[k].table == left || group.steps[k].table == right) step = k;
      group.steps[step].conditions.push_back(condition);
    } else {
      where.push_back(condition);
    }
  }

  std::vector<std::string> items;
  for (const JoinGroup& group : groups) {
    std::string text = item(group.first);
    for (const JoinStep& step : group.steps)
      text += " " + step.keyword + " " + item(step.table) + " ON " + ConditionList(step.conditions);
    items.push_back(std::move(text));
  }
  for (std::size_t i = 0; i < tables.size(); ++i)
    if (!tables[i].group) items.push_back(item(i));
  std::string list;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i > 0) list += ", ";
    list += items[i];
  }
  return list;
}

// One column of the select list.
struct OutputItem {
  std::string text;       // as written in the select list, without an alias
  std::string alias;      // the query's own alias
  std::string qualifier;  // a column reference's table, as MySQL reads it
  std::string column;     // a column reference's column
  bool star = false;      // "*" or "T.*" left as it is
};

const InputTable* FindInput(const std::vector<InputTable>& tables, const std::string& name) {
  for (const InputTable& table : tables)
    if (!table.alias.empty() && jet::NamesEqual(table.alias, name)) return &table;
  for (const InputTable& table : tables)
    if (table.alias.empty() && jet::NamesEqual(table.name, name)) return &table;
  return nullptr;
}

// DISTINCTROW gives each record of the tables the query shows columns of
// once. When those are only some of its tables, the rows the others multiply
// are repeats, which DISTINCT removes; when it shows columns of every table,
// each row is a record of its own and DISTINCTROW changes nothing. Only plain
// column references tell which tables are shown.
bool DistinctRowsAreDistinctValues(int options, const std::vector<InputTable>& tables,
                                   const std::vector<const QueryElement*>& columns) {
  if ((options & kDistinctRow) == 0 || (options & (kDistinct | kAllFields)) != 0) return false;
  if (tables.size() < 2 || columns.empty()) return false;
  std::vector<const InputTable*> shown;
  for (const QueryElement* column : columns) {
    std::string expression = column->expression;
    const bool star = expression.size() > 2 && expression.ends_with(".*");
    if (star) expression.resize(expression.size() - 2);
    const ColumnReference reference = ReferenceOf(expression);
    const std::string table =
        star ? (reference.table.empty() ? reference.column : "") : reference.table;
    if (table.empty()) return false;
    const InputTable* input = FindInput(tables, table);
    if (input == nullptr) return false;
    if (std::find(shown.begin(), shown.end(), input) == shown.end()) shown.push_back(input);
  }
  return shown.size() < tables.size();
}

// The columns of an input table as qualified select items; nothing when
// they are not known.
std::vector<OutputItem> StarColumns(const InputTable& table, const NameMapping& names,
                                    const ColumnLister& columnsOf) {
  std::vector<OutputItem> items;
  if (!columnsOf) return items;
  const std::string qualifier = MappedName(table.alias.empty() ? table.name : table.alias, names);
  for (const std::string& column : columnsOf(table.name))
    items.push_back({QuoteIdentifier(qualifier) + "." + QuoteIdentifier(MappedName(column, names)),
                     {},
                     qualifier,
                     column,
                     false});
  return items;
}

// The select line. A MySQL view refuses two columns of one name, where
// Access shows the second qualified by its table: such a column gets that
// qualified name as its alias, with "*" and "T.*" spelt out into their
// columns so that it can be named.
// `spelt` asks for the stars to be spelt out wherever their columns are
// known, as a select whose columns are named again outside needs.
std::vector<OutputItem> SelectItems(const std::vector<const QueryElement*>& columns, int options,
                                    const std::vector<InputTable>& tables, const NameMapping& names,
                                    const ColumnLister& columnsOf, bool spelt) {
  const bool allFields = (options & kAllFields) != 0;

  // As written, and with the stars spelt out where their columns are known.
  std::vector<OutputItem> written;
  std::vector<OutputItem> expanded;
  if (allFields) {
    // MySQL takes * only at the head of the select list.
    written.push_back({"*", {}, {}, {}, true});
    std::vector<OutputItem> all;
    for (const InputTable& table : tables) {
      std::vector<OutputItem> items = StarColumns(table, names, columnsOf);
      if (items.empty()) {
        all = {written.back()};
        break;
      }
      all.insert(all.end(), items.begin(), items.end());
    }
    expanded.insert(expanded.end(), all.begin(), all.end());
  }
  for (const QueryElement* column : columns) {
    OutputItem item{Translate(column->expression, names), column->name1, {}, {}, false};
    const std::string& expression = column->expression;
    if (expression.size() > 2 && expression.compare(expression.size() - 2, 2, ".*") == 0) {
      item.star = true;
      written.push_back(item);
      const ColumnReference table = ReferenceOf(expression.substr(0, expression.size() - 2));
      const InputTable* input = table.table.empty() ? FindInput(tables, table.column) : nullptr;
      std::vector<OutputItem> items;
      if (input != nullptr) items = StarColumns(*input, names, columnsOf);
      if (items.empty()) items = {item};
      expanded.insert(expanded.end(), items.begin(), items.end());
      continue;
    }
    const ColumnReference reference = ReferenceOf(expression);
    if (!reference.table.empty()) {
      item.qualifier = MappedName(reference.table, names);
      item.column = reference.column;
    }
    written.push_back(item);
    expanded.push_back(item);
  }

  // Gives later namesakes their qualified names; false when there are none.
  const auto nameColumns = [](std::vector<OutputItem>& items) {
    bool renamed = false;
    std::vector<std::string> seen;
    for (OutputItem& item : items) {
      const std::string name = item.alias.empty() ? item.column : item.alias;
      if (name.empty()) continue;
      const bool taken = std::any_of(seen.begin(), seen.end(), [&](const std::string& other) {
        return jet::NamesEqual(other, name);
      });
      if (taken && item.alias.empty() && !item.qualifier.empty()) {
        item.alias = item.qualifier + "." + item.column;
        renamed = true;
      }
      seen.push_back(item.alias.empty() ? name : item.alias);
    }
    return renamed;
  };
  const bool renamed = nameColumns(expanded);
  return renamed || spelt ? expanded : written;
}

std::string ItemList(const std::vector<OutputItem>& items, const NameMapping& names) {
  std::string list;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i > 0) list += ", ";
    list += items[i].text;
    if (!items[i].alias.empty())
      list += " AS " + QuoteIdentifier(MappedName(items[i].alias, names));
  }
  return list;
}

// The ranking order of distinct rows: Access orders them only by columns
// they show, which the derived table of the distinct rows names.
std::vector<std::string> DistinctOrder(const SelectParts& parts) {
  static const std::string kDescending = " DESC";
  std::vector<std::string> order;
  for (const std::string& term : parts.orderBy) {
    const bool descending =
        term.size() > kDescending.size() &&
        term.compare(term.size() - kDescending.size(), kDescending.size(), kDescending) == 0;
    const std::string expression =
        descending ? term.substr(0, term.size() - kDescending.size()) : term;
    // A spelt-out star quotes what the ORDER BY term may leave bare.
    const auto bare = [](std::string text) {
      text.erase(std::remove(text.begin(), text.end(), '`'), text.end());
      return text;
    };
    const auto shown =
        std::find_if(parts.outputTexts.begin(), parts.outputTexts.end(),
                     [&](const std::string& text) { return bare(text) == bare(expression); });
    if (shown == parts.outputTexts.end())
      throw Unsupported{"TOP with DISTINCT is ordered by " + expression +
                        ", which it does not show"};
    order.push_back(
        QuoteIdentifier(
            parts.outputNames[static_cast<std::size_t>(shown - parts.outputTexts.begin())]) +
        (descending ? kDescending : ""));
  }
  return order;
}

SelectParts ComposeParts(const std::vector<QueryElement>& elements, const NameMapping& names,
                         const ColumnLister& columnsOf) {
  SelectParts parts;
  std::vector<InputTable> tables;
  std::vector<const QueryElement*> columns;
  std::vector<QueryElement> joins;
  for (const QueryElement& element : elements) {
    switch (element.kind) {
      case kOptions:
        parts.options |= Integer(element.flag);
        if (!element.name1.empty()) parts.top = element.name1;
        break;
      case kRemoteDatabase:
        throw Unsupported{"it reads from another database"};
      case kInputTable:
        // An input without a name is a subquery, which the elements do not
        // describe.
        if (element.name1.empty()) throw Unsupported{"it reads from a subquery"};
        tables.push_back({element.name1, element.name2, std::nullopt});
        break;
      case kOutputColumn:
        columns.push_back(&element);
        break;
      case kJoin:
        joins.push_back(element);
        break;
      case kCondition:
        parts.where.push_back(Translate(element.expression, names));
        break;
      case kGroupBy:
        parts.groupBy.push_back(Translate(element.expression, names));
        break;
      case kHaving:
        parts.having.push_back(Translate(element.expression, names));
        break;
      case kOrderBy:
        parts.orderBy.push_back(Translate(element.expression, names) +
                                (jet::NamesEqual(element.name1, "D") ? " DESC" : ""));
        break;
      default:
        break;
    }
  }
  if ((parts.options & kTop) != 0 && Integer(parts.top, -1) < 0)
    throw Unsupported{"its TOP value \"" + parts.top + "\" is not a number"};
  if (DistinctRowsAreDistinctValues(parts.options, tables, columns)) parts.options |= kDistinct;
  // Ranked rows are named again outside the ranking: every column needs a
  // name there, so stars are spelt out and unnamed expressions named as
  // Access names them.
  const bool ranked =
      (parts.options & kTop) != 0 && ((parts.options & kTopPercent) != 0 || !parts.orderBy.empty());
  std::vector<OutputItem> items =
      SelectItems(columns, parts.options, tables, names, columnsOf, ranked);
  if (ranked) {
    int unnamed = 0;
    for (OutputItem& item : items) {
      if (item.star)
        throw Unsupported{"TOP with an order or a percentage needs the columns of " + item.text +
                          ", which are not known"};
      if (item.alias.empty()) item.alias = item.column;
      if (item.alias.empty()) item.alias = "Expr" + std::to_string(1000 + unnamed++);
      parts.outputNames.push_back(MappedName(item.alias, names));
      parts.outputTexts.push_back(item.text);
    }
  }
  if (ranked)
    parts.rankOrder = (parts.options & kDistinct) != 0 ? DistinctOrder(parts) : parts.orderBy;
  parts.selectList = ItemList(items, names);
  parts.from = FromList(tables, joins, names, parts.where);
  return parts;
}

std::string ClauseLines(const SelectParts& parts, bool withOrder) {
  std::string text = (parts.from.empty() ? "" : "  FROM " + parts.from) + "\n";
  text += (parts.where.empty() ? "" : " WHERE " + ConditionList(parts.where)) + "\n";
  const auto line = [&](const char* keyword, const std::vector<std::string>& items,
                        const char* separator) {
    if (items.empty()) return;
    text += keyword;
    for (std::size_t i = 0; i < items.size(); ++i) {
      if (i > 0) text += separator;
      text += items[i];
    }
    text += "\n";
  };
  line(" GROUP BY ", parts.groupBy, ", ");
  if (!parts.having.empty()) text += " HAVING " + ConditionList(parts.having) + "\n";
  if (withOrder) line(" ORDER BY ", parts.orderBy, ", ");
  return text;
}

std::string Joined(const std::vector<std::string>& items) {
  std::string text;
  for (std::size_t i = 0; i < items.size(); ++i)
    text += (i > 0 ? ", " : "") + items[i];
  return text;
}

// Access's TOP n keeps the rows tied with the n-th in the query's order, and
// TOP n PERCENT the first n percent of the rows, rounded up: LIMIT does
// neither, so the rows are ranked in a derived table and chosen by rank. A
// DISTINCT query ranks its distinct rows, so those are made first.
std::string RankedText(const SelectParts& parts) {
  const bool percent = (parts.options & kTopPercent) != 0;
  const bool distinct = (parts.options & kDistinct) != 0;
  const std::vector<std::string>& orderBy = parts.rankOrder;
  const std::string order = orderBy.empty() ? "" : "ORDER BY " + Joined(orderBy);
  std::string ranking =
      (orderBy.empty() ? "ROW_NUMBER() OVER (" : "RANK() OVER (") + order + ") AS `Top Rank`";
  if (percent) ranking += ", COUNT(*) OVER () AS `Top Count`";
  std::string inner;
  if (distinct) {
    inner = "SELECT `Distinct Rows`.*, " + ranking + "\n  FROM (SELECT DISTINCT " +
            parts.selectList + "\n" + ClauseLines(parts, false) + ") AS `Distinct Rows`\n";
  } else {
    inner = "SELECT " + parts.selectList + ", " + ranking + "\n" + ClauseLines(parts, false);
  }
  std::vector<std::string> outer;
  for (const std::string& name : parts.outputNames)
    outer.push_back(QuoteIdentifier(name));
  const std::string limit = percent ? "CEILING(" + parts.top + " * `Top Count` / 100)" : parts.top;
  return "SELECT " + Joined(outer) + "\n  FROM (" + inner +
         ") AS `Top Rows`\n WHERE `Top Rank` <= " + limit + "\n ORDER BY `Top Rank`\n";
}

}  // namespace

Result<SelectParts> ComposeSelectParts(const std::vector<QueryElement>& elements,
                                       const NameMapping& names, const ColumnLister& columnsOf) {
  try {
    return ComposeParts(elements, names, columnsOf);
  } catch (const Unsupported& unsupported) {
    return Status::Failure(unsupported.problem);
  }
}

std::string ConditionList(const std::vector<std::string>& conditions) {
  if (conditions.size() == 1) return conditions.front();
  std::string text;
  for (std::size_t i = 0; i < conditions.size(); ++i) {
    if (i > 0) text += " AND ";
    text += "(" + conditions[i] + ")";
  }
  return text;
}

std::string SelectText(const SelectParts& parts) {
  const bool top = (parts.options & kTop) != 0;
  if (top && !parts.outputNames.empty()) return RankedText(parts);
  std::string text;
  if (!parts.selectList.empty())
    text = "SELECT " + std::string((parts.options & kDistinct) != 0 ? "DISTINCT " : "") +
           parts.selectList;
  text += "\n" + ClauseLines(parts, true);
  if (top) text += " LIMIT " + parts.top + "\n";
  return text;
}

namespace {

std::string Compose(const std::string& viewName, const std::vector<QueryElement>& elements,
                    const NameMapping& names, const ColumnLister& columnsOf) {
  for (const QueryElement& element : elements) {
    if (element.kind == kQueryType && Integer(element.flag, kSelectQuery) != kSelectQuery)
      throw Unsupported{"it is not a select query"};
    if (element.kind == kParameter)
      throw Unsupported{"it asks for parameters, which a MySQL view cannot take"};
  }
  const SelectParts parts = ComposeParts(elements, names, columnsOf);
  return "CREATE VIEW " + QuoteIdentifier(viewName) + " AS \n" + SelectText(parts);
}

// Reads the view's elements and composes its definition under `mysqlName`.
Result<std::string> ViewText(JobContext& job, Session* session, const std::string& targetProvider,
                             const std::string& viewName, const std::string& mysqlName,
                             const NameMapping& names) {
  Result<std::vector<QueryElement>> elements =
      ReadQueryElements(job, session, targetProvider, viewName);
  if (!elements.ok()) return elements.status();
  if (elements.value().empty()) return std::string();
  const ColumnLister columnsOf = [session](const std::string& table) {
    return SourceTableColumns(session, table);
  };
  const ComposedView view = ComposeViewDefinition(mysqlName, elements.value(), names, columnsOf);
  if (!view.ok) {
    WriteLine(job, "E::VIEW [%s] cannot become a MySQL view: %s", viewName.c_str(),
              view.problem.c_str());
    return Status::Failure(kNoSupport);
  }
  return view.text;
}

}  // namespace

ComposedView ComposeViewDefinition(const std::string& viewName,
                                   const std::vector<QueryElement>& elements,
                                   const NameMapping& names, const ColumnLister& columnsOf) {
  ComposedView view;
  try {
    view.text = Compose(viewName, elements, names, columnsOf);
  } catch (const Unsupported& unsupported) {
    view.ok = false;
    view.problem = unsupported.problem;
  }
  return view;
}

Result<std::string> TranslateViewDdl(JobContext& job, Session* sourceSession, NameRule rule,
                                     const std::string& targetProvider,
                                     std::string /*databaseName*/, std::string viewName) {
  if (sourceSession == nullptr) {
    WriteLine(job, "%s", kNoConnection);
    return Status::Failure(kNoConnection);
  }
  // One rule spells every name, so that the view finds the tables, columns
  // and saved queries it reads under the names they were migrated with.
  const NameMapping names = [rule](const std::string& name) { return MySqlName(name, rule); };
  return ViewText(job, sourceSession, targetProvider, viewName, MySqlName(viewName, rule), names);
}

}  // namespace tablift
