#include "translate/query_object.h"

#include <sstream>

#include "data_access/secret_masking.h"
#include "mysql/sql_literals.h"
#include "translate/data_definition.h"
#include "translate/query_parameters.h"
#include "translate/saved_query_reader.h"
#include "translate/saved_query_routine.h"
#include "translate/union_view.h"

namespace tablift {
namespace {

const QueryElement* KindElement(const std::vector<QueryElement>& elements) {
  for (const QueryElement& element : elements)
    if (element.kind == kQueryType) return &element;
  return nullptr;
}

Result<QueryObject> Procedure(SavedQueryKind kind, Result<std::string> statement) {
  if (!statement.ok()) return statement.status();
  return QueryObject{kind, QueryObjectType::Procedure, std::move(statement).value(), {}, false};
}

Result<QueryObject> View(SavedQueryKind kind, Result<std::string> statement) {
  if (!statement.ok()) return statement.status();
  return QueryObject{kind, QueryObjectType::View, std::move(statement).value(), {}, false};
}

}  // namespace

Result<std::string> PassThroughText(const std::string& queryName,
                                    const std::vector<QueryElement>& elements) {
  const QueryElement* kind = KindElement(elements);
  if (kind == nullptr || kind->expression.empty())
    return Status::Failure("the pass-through query holds no SQL");
  std::string text = "-- Pass-through query [" + queryName +
                     "]: Access sends this SQL as it is to the server of its connection; it was "
                     "not run on the MySQL server.\n";
  text += "-- Connection: " + MaskPasswords(kind->name1) + "\n";
  std::istringstream lines(kind->expression);
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    text += "-- " + line + "\n";
  }
  return text;
}

QueryObjectType ObjectTypeOf(const std::vector<QueryElement>& elements,
                             const ColumnLister& columnsOf) {
  switch (QueryKindOf(elements)) {
    case SavedQueryKind::Select:
      return ResolveParameters(elements, columnsOf).parameters.empty() ? QueryObjectType::View
                                                                       : QueryObjectType::Procedure;
    case SavedQueryKind::Crosstab:
    case SavedQueryKind::Union:
      return QueryObjectType::View;
    case SavedQueryKind::PassThrough:
      return QueryObjectType::KeptAside;
    default:
      return QueryObjectType::Procedure;
  }
}

Result<QueryObject> ComposeQueryObject(const std::string& mysqlName,
                                       const std::vector<QueryElement>& elements,
                                       const NameMapping& names, const ColumnLister& columnsOf,
                                       const HeadingReader& readHeadings) {
  const SavedQueryKind kind = QueryKindOf(elements);
  switch (kind) {
    case SavedQueryKind::Select: {
      // A select that asks for values, from the user or from a form, is run
      // with them: a procedure. Any other is a view.
      if (ObjectTypeOf(elements, columnsOf) == QueryObjectType::Procedure)
        return Procedure(kind, ComposeQueryProcedure(mysqlName, elements, names, columnsOf));
      const ComposedView view = ComposeViewDefinition(mysqlName, elements, names, columnsOf);
      if (!view.ok) return Status::Failure(view.problem);
      return View(kind, view.text);
    }
    case SavedQueryKind::MakeTable:
    case SavedQueryKind::Append:
    case SavedQueryKind::Update:
    case SavedQueryKind::Delete:
      return Procedure(kind, ComposeQueryProcedure(mysqlName, elements, names, columnsOf));
    case SavedQueryKind::Crosstab: {
      Result<CrosstabView> crosstab =
          ComposeCrosstabView(mysqlName, elements, names, columnsOf, readHeadings);
      if (!crosstab.ok()) return crosstab.status();
      QueryObject object{kind, QueryObjectType::View, crosstab.value().statement, {}, false};
      object.headingsRead = crosstab.value().headingsRead;
      object.headings = crosstab.value().headings;
      return object;
    }
    case SavedQueryKind::Union:
      return View(kind, ComposeUnionView(mysqlName, elements, names));
    case SavedQueryKind::DataDefinition: {
      const QueryElement* element = KindElement(elements);
      const Result<std::string> statement =
          TranslateDataDefinition(element != nullptr ? element->expression : std::string(), names);
      if (!statement.ok()) return statement.status();
      return Procedure(
          kind, "CREATE PROCEDURE " + QuoteIdentifier(mysqlName) + "()\n" + statement.value());
    }
    case SavedQueryKind::PassThrough: {
      Result<std::string> text = PassThroughText(mysqlName, elements);
      if (!text.ok()) return text.status();
      return QueryObject{kind, QueryObjectType::KeptAside, std::move(text).value(), {}, false};
    }
  }
  return Status::Failure("the query's kind is not known");
}

}  // namespace tablift
