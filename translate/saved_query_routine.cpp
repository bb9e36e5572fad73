#include "translate/saved_query_routine.h"

#include "data_access/jet/sql/text_folding.h"
#include "mysql/sql_literals.h"
#include "translate/query_parameters.h"
#include "translate/saved_query_reader.h"

namespace tablift {
namespace {

std::string MappedName(const std::string& name, const NameMapping& names) {
  return names ? names(name) : name;
}

// The action's target table: the Name1 of the query type element.
std::string TargetTable(const std::vector<QueryElement>& elements) {
  for (const QueryElement& element : elements)
    if (element.kind == kQueryType) return element.name1;
  return {};
}

// A target column as the query names it ("col2", "[col2]", "T.col2",
// "[T].[col2]"): the column's own name.
std::string ColumnName(const std::string& target) {
  std::string name = target;
  const std::size_t dot = name.rfind("].[");
  if (dot != std::string::npos) {
    name = name.substr(dot + 2);
  } else if (name.find('[') == std::string::npos && name.rfind('.') != std::string::npos) {
    name = name.substr(name.rfind('.') + 1);
  }
  if (name.size() >= 2 && name.front() == '[' && name.back() == ']')
    name = name.substr(1, name.size() - 2);
  return name;
}

Result<std::string> Translated(const std::string& expression, const NameMapping& names) {
  const TranslatedExpression translated = TranslateAccessExpression(expression, names);
  if (!translated.ok) return Status::Failure(translated.problem);
  return translated.text;
}

std::string WhereLine(const SelectParts& parts) {
  return parts.where.empty() ? std::string() : " WHERE " + ConditionList(parts.where) + "\n";
}

Result<std::string> UpdateBody(const std::vector<QueryElement>& elements, const SelectParts& parts,
                               const NameMapping& names) {
  std::string set;
  for (const QueryElement& element : elements) {
    if (element.kind != kOutputColumn) continue;
    if (element.name2.empty()) continue;
    const Result<std::string> column = Translated(element.name2, names);
    if (!column.ok()) return column.status();
    const Result<std::string> value = Translated(element.expression, names);
    if (!value.ok()) return value.status();
    set += (set.empty() ? "" : ", ") + column.value() + " = " + value.value();
  }
  if (set.empty()) return Status::Failure("the update query sets no column");
  return "UPDATE " + parts.from + "\n   SET " + set + "\n" + WhereLine(parts);
}

Result<std::string> DeleteBody(const std::vector<QueryElement>& elements, const SelectParts& parts,
                               const NameMapping& names) {
  // Access deletes the rows of the tables whose "T.*" the query shows, or of
  // its one table.
  std::vector<std::string> targets;
  std::size_t inputs = 0;
  std::string firstInput;
  for (const QueryElement& element : elements) {
    if (element.kind == kInputTable) {
      if (inputs++ == 0) firstInput = element.name2.empty() ? element.name1 : element.name2;
    }
    if (element.kind == kOutputColumn && element.expression.size() > 2 &&
        element.expression.compare(element.expression.size() - 2, 2, ".*") == 0) {
      std::string table = element.expression.substr(0, element.expression.size() - 2);
      if (table.size() >= 2 && table.front() == '[' && table.back() == ']')
        table = table.substr(1, table.size() - 2);
      targets.push_back(QuoteIdentifier(MappedName(table, names)));
    }
  }
  if (inputs == 0) return Status::Failure("the delete query names no table");
  if (inputs == 1) return "DELETE FROM " + parts.from + "\n" + WhereLine(parts);
  if (targets.empty()) targets.push_back(QuoteIdentifier(MappedName(firstInput, names)));
  std::string list;
  for (const std::string& target : targets)
    list += (list.empty() ? "" : ", ") + target;
  return "DELETE " + list + "\n  FROM " + parts.from + "\n" + WhereLine(parts);
}

// The select of an append query: only the columns that have a target.
std::vector<QueryElement> AppendedColumns(const std::vector<QueryElement>& elements,
                                          std::vector<std::string>& targets) {
  std::vector<QueryElement> kept;
  for (const QueryElement& element : elements) {
    if (element.kind == kOutputColumn) {
      if (element.name2.empty()) continue;
      targets.push_back(ColumnName(element.name2));
    }
    kept.push_back(element);
  }
  return kept;
}

}  // namespace

Result<std::string> ComposeQueryProcedure(const std::string& procedureName,
                                          const std::vector<QueryElement>& elements,
                                          const NameMapping& names, const ColumnLister& columnsOf) {
  const SavedQueryKind kind = QueryKindOf(elements);
  const ParameterisedQuery query = ResolveParameters(elements, columnsOf);
  std::vector<std::string> appendTargets;
  const std::vector<QueryElement> selected = kind == SavedQueryKind::Append
                                                 ? AppendedColumns(query.elements, appendTargets)
                                                 : query.elements;
  const Result<SelectParts> composed = ComposeSelectParts(selected, names, columnsOf);
  if (!composed.ok()) return composed.status();
  const SelectParts& parts = composed.value();
  const std::string target = TargetTable(elements);

  std::string body;
  switch (kind) {
    case SavedQueryKind::Select:
      body = SelectText(parts);
      break;
    case SavedQueryKind::MakeTable:
      if (target.empty()) return Status::Failure("the make-table query names no table to make");
      // Access replaces a table of that name.
      body = "BEGIN\n DROP TABLE IF EXISTS " + QuoteIdentifier(MappedName(target, names)) +
             ";\n CREATE TABLE " + QuoteIdentifier(MappedName(target, names)) + "\n" +
             SelectText(parts) + ";\nEND";
      break;
    case SavedQueryKind::Append: {
      if (target.empty()) return Status::Failure("the append query names no table to append to");
      std::string columns;
      for (const std::string& column : appendTargets)
        columns += (columns.empty() ? "" : ", ") + QuoteIdentifier(MappedName(column, names));
      body = "INSERT INTO " + QuoteIdentifier(MappedName(target, names)) +
             (columns.empty() ? "" : " (" + columns + ")") + "\n" + SelectText(parts);
      break;
    }
    case SavedQueryKind::Update: {
      const Result<std::string> update = UpdateBody(query.elements, parts, names);
      if (!update.ok()) return update.status();
      body = update.value();
      break;
    }
    case SavedQueryKind::Delete: {
      const Result<std::string> deletion = DeleteBody(query.elements, parts, names);
      if (!deletion.ok()) return deletion.status();
      body = deletion.value();
      break;
    }
    default:
      return Status::Failure("a query of this kind does not become a procedure");
  }
  return "CREATE PROCEDURE " + QuoteIdentifier(procedureName) +
         ParameterList(query.parameters, names) + "\n" + body;
}

}  // namespace tablift
