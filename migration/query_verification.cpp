#include "migration/query_verification.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "data_access/jet/jet_provider.h"
#include "data_access/jet/saved_query_sql.h"
#include "data_access/text_query.h"
#include "migration/migration_context.h"
#include "migration/row_digests.h"
#include "mysql/query_first_value.h"
#include "mysql/sql_literals.h"
#include "translate/mysql_names.h"

namespace tablift {
namespace {

bool IsNumber(std::uint16_t type) {
  switch (type) {
    case DBTYPE_I1:
    case DBTYPE_UI1:
    case DBTYPE_I2:
    case DBTYPE_I4:
    case DBTYPE_I8:
    case DBTYPE_R4:
    case DBTYPE_R8:
    case DBTYPE_CY:
    case DBTYPE_NUMERIC:
    case DBTYPE_DECIMAL:
      return true;
    default:
      return false;
  }
}

// A query computes its numbers: Access and MySQL carry an average or a
// quotient to different lengths, so numbers are compared at the twelve
// digits both certainly hold.
std::string QueryValueForm(const ColumnInfo& column, const ColumnValue& value) {
  if (value.null || !IsNumber(column.type)) return ComparableValue(column, value);
  char* end = nullptr;
  const long double number = std::strtold(value.text.c_str(), &end);
  if (end == value.text.c_str()) return ComparableValue(column, value);
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.12Lg", number);
  return std::string(buffer) == "-0" ? "0" : buffer;
}

// The source's columns of a query's result, the bookmark left out.
std::string ResultColumns(Session* session, const std::string& sql,
                          std::vector<ColumnInfo>& columns) {
  const PropertySet properties = QueryRowsetProperties();
  return RunTextQuery(
      session, sql, &properties, [](const TextRow&) { return false; },
      [&](const std::vector<ColumnInfo>& info) {
        for (const ColumnInfo& column : info)
          if (column.ordinal != 0) columns.push_back(column);
        return false;
      });
}

QueryVerification::Object TargetObject(MigrationContext& job, Session* target,
                                       const std::string& name) {
  const Result<std::string> view = QueryFirstValue(
      job, target,
      "select count(*) from information_schema.VIEWS where TABLE_SCHEMA = database() and "
      "TABLE_NAME = " +
          StringLiteral(name));
  if (view.ok() && view.value() != "0") return QueryVerification::Object::View;
  const Result<std::string> procedure = QueryFirstValue(
      job, target,
      "select count(*) from information_schema.ROUTINES where ROUTINE_SCHEMA = database() and "
      "ROUTINE_TYPE = 'PROCEDURE' and ROUTINE_NAME = " +
          StringLiteral(name));
  if (procedure.ok() && procedure.value() != "0") return QueryVerification::Object::Procedure;
  return QueryVerification::Object::None;
}

bool IsActionQuery(const std::vector<QueryElement>& elements) {
  for (const QueryElement& element : elements) {
    if (element.kind != kQueryType) continue;
    const int kind = std::atoi(element.flag.c_str());
    return kind != static_cast<int>(SavedQueryKind::Select) &&
           kind != static_cast<int>(SavedQueryKind::Crosstab) &&
           kind != static_cast<int>(SavedQueryKind::Union);
  }
  return false;
}

// An argument as the executor takes it: a whole number or a number where the
// text reads as one, else the text (which a declared type converts further,
// as Access converts what is typed into its parameter box).
jet::Value ArgumentValue(const std::string& text) {
  char* end = nullptr;
  const long long integer = std::strtoll(text.c_str(), &end, 10);
  if (!text.empty() && *end == '\0') return static_cast<std::int64_t>(integer);
  const double number = std::strtod(text.c_str(), &end);
  if (!text.empty() && *end == '\0') return number;
  return text;
}

// Gives the executor the arguments of the procedure's call, in the order of
// the query's parameters; the error when the counts differ.
std::string SetArguments(Session* source, const std::string& sql,
                         const std::vector<std::string>& arguments) {
  std::vector<jet::QueryParameterInfo> parameters;
  if (Failed(ListJetQueryParameters(*source, sql, parameters)))
    return "Access: the query's parameters cannot be listed";
  if (parameters.size() != arguments.size()) {
    return "the query has " + std::to_string(parameters.size()) + " parameters, " +
           std::to_string(arguments.size()) + " arguments were given";
  }
  jet::QueryParameters values;
  for (std::size_t i = 0; i < parameters.size(); ++i)
    values[parameters[i].name] = ArgumentValue(arguments[i]);
  SetJetQueryParameters(*source, std::move(values));
  return {};
}

}  // namespace

QueryVerification VerifySavedQuery(MigrationContext& job, Session* sourceSession,
                                   Session* targetSession, const std::string& query,
                                   const std::vector<std::string>* arguments) {
  QueryVerification verification;
  const NameRule rule = job.migrationSettings().nameRule;
  const std::string name = MySqlName(query, rule);
  verification.object = TargetObject(job, targetSession, name);
  if (verification.object == QueryVerification::Object::None) return verification;

  std::vector<QueryElement> elements;
  const auto database = sourceSession != nullptr ? JetDatabaseOf(*sourceSession) : nullptr;
  if (database == nullptr || Failed(jet::ReadQueryElements(*database, query, elements)) ||
      elements.empty()) {
    verification.error = "Access: the saved query cannot be read";
    return verification;
  }
  std::string targetSql = "select * from " + QuoteIdentifier(name);
  if (verification.object == QueryVerification::Object::Procedure) {
    if (IsActionQuery(elements)) {
      verification.notCompared = "it changes data when called";
      return verification;
    }
    if (arguments == nullptr) {
      verification.notCompared = "no arguments were given for its call";
      return verification;
    }
    targetSql = "call " + QuoteIdentifier(name) + "(";
    for (std::size_t i = 0; i < arguments->size(); ++i)
      targetSql += (i > 0 ? ", " : "") + StringLiteral((*arguments)[i]);
    targetSql += ")";
  }

  const std::string sourceSql = jet::SavedQuerySql(elements);
  if (arguments != nullptr) {
    verification.error = SetArguments(sourceSession, sourceSql, *arguments);
    if (!verification.error.empty()) return verification;
  }
  // Later statements on the source run without these values.
  struct ParametersCleared {
    Session* session;
    ~ParametersCleared() { SetJetQueryParameters(*session, {}); }
  } cleared{sourceSession};
  std::vector<ColumnInfo> columns;
  verification.error = ResultColumns(sourceSession, sourceSql, columns);
  if (!verification.error.empty()) {
    verification.error = "Access: " + verification.error;
    return verification;
  }
  RowDigests source = ReadDigests(sourceSession, sourceSql, columns, true, QueryValueForm);
  if (!source.error.empty()) {
    verification.error = "Access: " + source.error;
    return verification;
  }
  RowDigests target = ReadDigests(targetSession, targetSql, columns, false, QueryValueForm);
  if (!target.error.empty()) {
    verification.error = "MySQL: " + target.error;
    return verification;
  }
  verification.sourceRows = source.digests.size();
  verification.targetRows = target.digests.size();
  std::sort(source.digests.begin(), source.digests.end());
  std::sort(target.digests.begin(), target.digests.end());
  verification.differingRows = Unmatched(source.digests, target.digests);
  return verification;
}

}  // namespace tablift
