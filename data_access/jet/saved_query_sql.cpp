#include "data_access/jet/saved_query_sql.h"

#include <algorithm>
#include <charconv>
#include <optional>

#include "data_access/jet/database_tables.h"
#include "data_access/jet/sql/text_folding.h"

namespace tablift::jet {
namespace {

int Integer(const std::string& text, int otherwise = 0) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return otherwise;
  return value;
}

// A name as Access writes it in SQL: in brackets, each part of a form or
// report reference ("Forms!Orders!OrderID") on its own.
std::string Bracketed(const std::string& name) {
  std::string text = "[";
  for (const char c : name) {
    if (c == '!') {
      text += "]![";
    } else {
      text += c;
    }
  }
  return text + "]";
}

// The type words of a PARAMETERS clause, by the Jet data type in the
// parameter row's Flag.
std::string ParameterType(int type) {
  switch (type) {
    case 1:
      return "Bit";
    case 2:
      return "Byte";
    case 3:
      return "Short";
    case 4:
      return "Long";
    case 5:
      return "Currency";
    case 6:
      return "IEEESingle";
    case 7:
      return "IEEEDouble";
    case 8:
      return "DateTime";
    case 9:
      return "Binary";
    case 11:
      return "LongBinary";
    case 12:
      return "LongText";
    case 15:
      return "Guid";
    case 16:
      return "BigInt";
    case 20:
      return "Decimal";
    default:
      return "Text ( 255 )";
  }
}

std::string Joined(const std::vector<std::string>& parts, const char* separator) {
  std::string text;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) text += separator;
    text += parts[i];
  }
  return text;
}

struct Input {
  std::string name;
  std::string alias;
  std::optional<std::size_t> group;
};

std::string InputText(const Input& input) {
  std::string text = Bracketed(input.name);
  if (!input.alias.empty()) text += " AS " + Bracketed(input.alias);
  return text;
}

// The FROM list: inputs the join rows connect become one nest each, joined
// left to right in the order of those rows; the rest follow, separated by
// commas. A join between two nests already made is a condition of the WHERE.
std::string FromList(std::vector<Input> inputs, const std::vector<const QueryElement*>& joins,
                     std::vector<std::string>& where) {
  const auto find = [&](const std::string& name) -> std::size_t {
    for (std::size_t i = 0; i < inputs.size(); ++i)
      if (!inputs[i].alias.empty() && NamesEqual(inputs[i].alias, name)) return i;
    for (std::size_t i = 0; i < inputs.size(); ++i)
      if (inputs[i].alias.empty() && NamesEqual(inputs[i].name, name)) return i;
    inputs.push_back({name, {}, std::nullopt});
    return inputs.size() - 1;
  };
  const auto keyword = [](int flag, bool swapped) -> std::string {
    if (flag == 2) return swapped ? "RIGHT JOIN" : "LEFT JOIN";
    if (flag == 3) return swapped ? "LEFT JOIN" : "RIGHT JOIN";
    return "INNER JOIN";
  };
  std::vector<std::string> nests;
  for (const QueryElement* join : joins) {
    const std::size_t left = find(join->name1);
    const std::size_t right = find(join->name2);
    const int flag = Integer(join->flag, 1);
    auto& leftGroup = inputs[left].group;
    auto& rightGroup = inputs[right].group;
    if (leftGroup && rightGroup) {
      if (*leftGroup == *rightGroup) {
        // A second condition between inputs already joined: Access keeps it
        // in the ON of the nest, which AND-ing into the last ON matches.
        nests[*leftGroup].insert(nests[*leftGroup].size(), " AND " + join->expression);
      } else {
        where.push_back(join->expression);
      }
      continue;
    }
    if (!leftGroup && !rightGroup) {
      leftGroup = rightGroup = nests.size();
      nests.push_back(InputText(inputs[left]) + " " + keyword(flag, false) + " " +
                      InputText(inputs[right]) + " ON " + join->expression);
    } else if (leftGroup) {
      rightGroup = leftGroup;
      std::string& nest = nests[*leftGroup];
      nest = "(" + nest + ") " + keyword(flag, false) + " " + InputText(inputs[right]) + " ON " +
             join->expression;
    } else {
      leftGroup = rightGroup;
      std::string& nest = nests[*rightGroup];
      nest = "(" + nest + ") " + keyword(flag, true) + " " + InputText(inputs[left]) + " ON " +
             join->expression;
    }
  }
  for (const Input& input : inputs)
    if (!input.group) nests.push_back(InputText(input));
  return Joined(nests, ", ");
}

struct Parts {
  SavedQueryKind kind = SavedQueryKind::Select;
  std::string target;     // an action's table
  std::string statement;  // data definition and pass-through text
  int options = 0;
  std::string top;
  std::vector<std::string> parameters;
  std::vector<Input> inputs;
  std::vector<std::pair<std::string, std::string>> unionParts;  // X7YZ name, text
  std::vector<const QueryElement*> columns;
  std::vector<const QueryElement*> joins;
  std::vector<std::string> where;
  std::vector<std::string> groupBy;
  std::vector<std::string> having;
  std::vector<std::string> orderBy;
};

Parts Sorted(const std::vector<QueryElement>& elements) {
  Parts parts;
  for (const QueryElement& element : elements) {
    switch (element.kind) {
      case kQueryType:
        parts.kind = static_cast<SavedQueryKind>(Integer(element.flag, 1));
        parts.target = element.name1;
        parts.statement = element.expression;
        break;
      case kParameter:
        parts.parameters.push_back(Bracketed(element.name1) + " " +
                                   ParameterType(Integer(element.flag, 10)));
        break;
      case kOptions:
        parts.options |= Integer(element.flag);
        if (!element.name1.empty()) parts.top = element.name1;
        break;
      case kInputTable:
        if (element.name1.empty() && !element.expression.empty()) {
          parts.unionParts.emplace_back(element.name2, element.expression);
        } else if (!element.name1.empty()) {
          parts.inputs.push_back({element.name1, element.name2, std::nullopt});
        }
        break;
      case kOutputColumn:
        parts.columns.push_back(&element);
        break;
      case kJoin:
        parts.joins.push_back(&element);
        break;
      case kCondition:
        parts.where.push_back(element.expression);
        break;
      case kGroupBy:
        // A crosstab also keeps its column heading among the grouping rows
        // (Flag 1); its SQL groups by the row headings alone.
        if (parts.kind == SavedQueryKind::Crosstab && Integer(element.flag) == 1) break;
        parts.groupBy.push_back(element.expression);
        break;
      case kHaving:
        parts.having.push_back(element.expression);
        break;
      case kOrderBy:
        parts.orderBy.push_back(element.expression +
                                (NamesEqual(element.name1, "D") ? " DESC" : ""));
        break;
      default:
        break;
    }
  }
  std::stable_sort(parts.unionParts.begin(), parts.unionParts.end());
  return parts;
}

std::string Item(const QueryElement& column) {
  return column.name1.empty() ? column.expression
                              : column.expression + " AS " + Bracketed(column.name1);
}

std::string Conditions(const std::vector<std::string>& conditions) {
  if (conditions.size() == 1) return conditions.front();
  std::vector<std::string> each;
  for (const std::string& condition : conditions)
    each.push_back("(" + condition + ")");
  return Joined(each, " AND ");
}

std::string Predicate(const Parts& parts) {
  std::string text;
  if ((parts.options & kDistinct) != 0) {
    text += "DISTINCT ";
  } else if ((parts.options & kDistinctRow) != 0) {
    text += "DISTINCTROW ";
  }
  if ((parts.options & kTop) != 0) {
    text += "TOP " + parts.top + ((parts.options & kTopPercent) != 0 ? " PERCENT " : " ");
  }
  return text;
}

// FROM, WHERE, GROUP BY and HAVING, each on its own line.
std::string Tail(const Parts& parts) {
  std::vector<std::string> where = parts.where;
  const std::string from = FromList(parts.inputs, parts.joins, where);
  std::string text;
  if (!from.empty()) text += "\r\nFROM " + from;
  if (!where.empty()) text += "\r\nWHERE " + Conditions(where);
  if (!parts.groupBy.empty()) text += "\r\nGROUP BY " + Joined(parts.groupBy, ", ");
  if (!parts.having.empty()) text += "\r\nHAVING " + Conditions(parts.having);
  return text;
}

std::string OrderBy(const Parts& parts) {
  return parts.orderBy.empty() ? "" : "\r\nORDER BY " + Joined(parts.orderBy, ", ");
}

std::string SelectList(const Parts& parts, const std::vector<const QueryElement*>& columns) {
  std::vector<std::string> items;
  if ((parts.options & kAllFields) != 0) items.push_back("*");
  for (const QueryElement* column : columns)
    items.push_back(Item(*column));
  return Joined(items, ", ");
}

std::string Crosstab(const Parts& parts) {
  // Flag 0: the value of each cell; 1: the column headings; 2: row headings.
  std::string value;
  std::string pivot;
  std::vector<const QueryElement*> rows;
  for (const QueryElement* column : parts.columns) {
    const int role = Integer(column->flag);
    if (role == 0) {
      value = Item(*column);
    } else if (role == 1) {
      pivot = column->expression;
    } else {
      rows.push_back(column);
    }
  }
  Parts select = parts;
  select.options &= ~kAllFields;
  return "TRANSFORM " + value + "\r\nSELECT " + Predicate(select) + SelectList(select, rows) +
         Tail(parts) + OrderBy(parts) + "\r\nPIVOT " + pivot;
}

std::string Union(const Parts& parts) {
  std::vector<std::string> texts;
  for (const auto& part : parts.unionParts) {
    std::string text = part.second;
    while (!text.empty() &&
           (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == ';'))
      text.pop_back();
    texts.push_back(std::move(text));
  }
  const char* keyword = (parts.options & kDistinct) != 0 ? "\r\nUNION\r\n" : "\r\nUNION ALL\r\n";
  return Joined(texts, keyword) + OrderBy(parts);
}

std::string ActionOrSelect(const Parts& parts) {
  switch (parts.kind) {
    case SavedQueryKind::Update: {
      std::vector<std::string> assignments;
      for (const QueryElement* column : parts.columns)
        assignments.push_back(column->name2 + " = " + column->expression);
      std::vector<std::string> where = parts.where;
      const std::string from = FromList(parts.inputs, parts.joins, where);
      std::string text = "UPDATE " + from + "\r\nSET " + Joined(assignments, ", ");
      if (!where.empty()) text += "\r\nWHERE " + Conditions(where);
      return text;
    }
    case SavedQueryKind::Append: {
      std::vector<std::string> targets;
      std::vector<std::string> values;
      for (const QueryElement* column : parts.columns) {
        targets.push_back(Bracketed(column->name2));
        values.push_back(column->expression);
      }
      return "INSERT INTO " + Bracketed(parts.target) + " ( " + Joined(targets, ", ") +
             " )\r\nSELECT " + Predicate(parts) + Joined(values, ", ") + Tail(parts) +
             OrderBy(parts);
    }
    case SavedQueryKind::Delete: {
      std::string columns = SelectList(parts, parts.columns);
      return "DELETE " + Predicate(parts) + (columns.empty() ? "*" : columns) + Tail(parts);
    }
    case SavedQueryKind::MakeTable:
      return "SELECT " + Predicate(parts) + SelectList(parts, parts.columns) + " INTO " +
             Bracketed(parts.target) + Tail(parts) + OrderBy(parts);
    default:
      return "SELECT " + Predicate(parts) + SelectList(parts, parts.columns) + Tail(parts) +
             OrderBy(parts);
  }
}

std::optional<std::size_t> ColumnIndex(const TableDefinition& table, const char* name) {
  for (std::size_t i = 0; i < table.columns.size(); ++i)
    if (NamesEqual(table.columns[i].name, name)) return i;
  return std::nullopt;
}

std::string Text(const Value& value) {
  if (const auto* text = std::get_if<std::string>(&value)) {
    // Access ends some long texts it writes (data-definition statements) with
    // a NUL character that is no part of the statement.
    std::string stored = *text;
    while (!stored.empty() && stored.back() == '\0')
      stored.pop_back();
    return stored;
  }
  if (const auto* integer = std::get_if<std::int64_t>(&value)) return std::to_string(*integer);
  return {};
}

}  // namespace

std::string SavedQuerySql(const std::vector<QueryElement>& elements) {
  const Parts parts = Sorted(elements);
  if (parts.kind == SavedQueryKind::DataDefinition || parts.kind == SavedQueryKind::PassThrough)
    return parts.statement;
  std::string text;
  if (!parts.parameters.empty()) text = "PARAMETERS " + Joined(parts.parameters, ", ") + ";\r\n";
  if (parts.kind == SavedQueryKind::Crosstab) {
    text += Crosstab(parts);
  } else if (parts.kind == SavedQueryKind::Union) {
    text += Union(parts);
  } else {
    text += ActionOrSelect(parts);
  }
  return text + ";";
}

HResult ReadQueryElements(JetDatabase& database, const std::string& name,
                          std::vector<QueryElement>& elements) {
  elements.clear();
  std::vector<CatalogObject> objects;
  HResult result = database.objects(objects);
  if (Failed(result)) return result;
  const auto object = std::find_if(objects.begin(), objects.end(), [&](const CatalogObject& o) {
    return o.type == kObjectQuery && NamesEqual(o.name, name);
  });
  if (object == objects.end()) return S_OK;

  TableDefinition queries;
  result = database.describeTable("MSysQueries", queries);
  if (Failed(result)) return result;
  const auto objectId = ColumnIndex(queries, "ObjectId");
  const auto attribute = ColumnIndex(queries, "Attribute");
  const auto expression = ColumnIndex(queries, "Expression");
  const auto flag = ColumnIndex(queries, "Flag");
  const auto name1 = ColumnIndex(queries, "Name1");
  const auto name2 = ColumnIndex(queries, "Name2");
  if (!objectId || !attribute || !expression || !flag || !name1 || !name2) return S_OK;

  JetDatabase::RowsHandle handle;
  result = database.openRows("MSysQueries", handle);
  if (Failed(result)) return result;
  std::vector<std::vector<Value>> rows;
  for (bool end = false; !end;) {
    result = database.fetchRows(handle, kRowsPerFetch, rows, end);
    if (Failed(result)) break;
    for (const std::vector<Value>& row : rows) {
      if (row.size() != queries.columns.size()) continue;
      const auto* id = std::get_if<std::int64_t>(&row[*objectId]);
      const auto* kind = std::get_if<std::int64_t>(&row[*attribute]);
      if (id == nullptr || kind == nullptr || *id != object->id) continue;
      elements.push_back({static_cast<int>(*kind), Text(row[*expression]), Text(row[*flag]),
                          Text(row[*name1]), Text(row[*name2])});
    }
  }
  database.closeRows(handle);
  return result;
}

}  // namespace tablift::jet
