#include "migration/saved_query_worker.h"

#include <filesystem>
#include <optional>
#include <vector>

#include "core/write_line.h"
#include "data_access/safe_file_name.h"
#include "data_access/text_query.h"
#include "migration/cache_file.h"
#include "migration/migration_context.h"
#include "mysql/execute_statement.h"
#include "mysql/target_objects.h"
#include "translate/mysql_names.h"
#include "translate/saved_query_reader.h"

namespace tablift {
namespace {

// Access shows at most this many columns; a crosstab with more headings
// would not open there either.
constexpr std::size_t kMostHeadings = 255;

const char* ObjectWord(QueryObjectType type) {
  return type == QueryObjectType::Procedure ? "PROCEDURE" : "VIEW";
}

// Reads the values of a statement's first column from the target.
Result<std::vector<std::optional<std::string>>> ReadHeadings(MigrationContext& job,
                                                             const std::string& sql) {
  std::vector<std::optional<std::string>> values;
  bool tooMany = false;
  std::string fetchFailure;
  const PropertySet properties = StatementRowsetProperties();
  const std::string outcome = RunTextQuery(
      job.targetSession(), sql, &properties,
      [&](const TextRow& row) {
        if (values.size() == kMostHeadings) {
          tooMany = true;
          return false;
        }
        if (row.isNull(1)) {
          values.emplace_back(std::nullopt);
        } else {
          ColumnValue value;
          if (row.fullValue(1, value) != S_OK || value.null) return false;
          values.emplace_back(value.text);
        }
        return true;
      },
      {}, &fetchFailure);
  if (!outcome.empty()) return Status::Failure(outcome);
  if (!fetchFailure.empty()) return Status::Failure(fetchFailure);
  if (tooMany)
    return Status::Failure("it has more than " + std::to_string(kMostHeadings) +
                           " column headings");
  return values;
}

std::string Listed(const std::vector<std::string>& values) {
  std::string text;
  for (const std::string& value : values)
    text += (text.empty() ? "" : ", ") + value;
  return text;
}

}  // namespace

QueryAttempt PrepareQuery(MigrationContext& job, Session* sourceSession,
                          const std::string& database, const std::string& query) {
  QueryAttempt attempt;
  const MigrationSettings settings = job.migrationSettings();
  const std::string cacheFile = (settings.cacheFolder / (SafeFileName(query) + ".vw")).string();
  if (!RewriteCacheFile(cacheFile, {})) {
    WriteCacheFileFailure(job);
    attempt.outcome = QueryAttempt::Outcome::LeftOut;
    return attempt;
  }
  WriteLine(job, "VIEW: [%s].[%s] Converting..... ", database.c_str(), query.c_str());
  if (sourceSession == nullptr) {
    WriteLine(job, "E::QUERY [%s] could not be read: %s", query.c_str(), kNoConnection);
    attempt.outcome = QueryAttempt::Outcome::LeftOut;
    return attempt;
  }
  const Result<std::vector<QueryElement>> elements =
      ReadQueryElements(job, sourceSession, settings.targetProvider, query);
  if (!elements.ok()) {
    WriteLine(job, "E::QUERY [%s] could not be read: %s", query.c_str(),
              elements.message().c_str());
    RewriteCacheFile(cacheFile, elements.message());
    attempt.outcome = QueryAttempt::Outcome::LeftOut;
    return attempt;
  }
  if (elements.value().empty()) {
    WriteLine(job, "No View(s)!");
    return attempt;
  }

  // One rule spells every name, so that the object finds the tables,
  // columns and saved queries it reads under the names they were migrated
  // with.
  const NameRule rule = settings.nameRule;
  const NameMapping names = [rule](const std::string& name) { return MySqlName(name, rule); };
  const ColumnLister columnsOf = [sourceSession](const std::string& table) {
    return SourceColumns(sourceSession, table);
  };
  const HeadingReader headings = [&job](const std::string& sql) { return ReadHeadings(job, sql); };
  const Result<QueryObject> composed =
      ComposeQueryObject(MySqlName(query, rule), elements.value(), names, columnsOf, headings);
  if (!composed.ok()) {
    attempt.type = ObjectTypeOf(elements.value(), columnsOf);
    if (attempt.type == QueryObjectType::Procedure) {
      WriteLine(job, "E::QUERY [%s] cannot become a MySQL procedure: %s", query.c_str(),
                composed.message().c_str());
    } else {
      WriteLine(job, "E::VIEW [%s] cannot become a MySQL view: %s", query.c_str(),
                composed.message().c_str());
    }
    RewriteCacheFile(cacheFile, composed.message());
    attempt.outcome = QueryAttempt::Outcome::LeftOut;
    return attempt;
  }
  const QueryObject& object = composed.value();
  attempt.type = object.type;
  if (object.type == QueryObjectType::KeptAside) {
    const std::filesystem::path kept =
        settings.cacheFolder / (SafeFileName(query) + ".passthrough.sql");
    if (!RewriteCacheFile(kept.string(), object.statement)) WriteCacheFileFailure(job);
    WriteLine(job,
              "E::QUERY [%s] is a pass-through query: its SQL is written for the server of its "
              "connection, so it was not run; it is kept in %s",
              query.c_str(), kept.string().c_str());
    attempt.outcome = QueryAttempt::Outcome::LeftOut;
    return attempt;
  }
  if (object.headingsRead) {
    // The headings are fixed now: rows added later with a new heading value
    // get no column of their own, unlike in Access.
    WriteLine(job, "Crosstab [%s] has the column headings the migrated rows hold now: %s",
              query.c_str(), object.headings.empty() ? "(none)" : Listed(object.headings).c_str());
  }
  attempt.statement = object.statement;
  attempt.outcome = QueryAttempt::Outcome::Pending;
  RewriteCacheFile(cacheFile, attempt.statement);
  return attempt;
}

void SendQuery(MigrationContext& job, QueryAttempt& attempt) {
  if (attempt.outcome != QueryAttempt::Outcome::Pending &&
      attempt.outcome != QueryAttempt::Outcome::Refused)
    return;
  // A resumed migration keeps the views and procedures the target has.
  if (job.migrationSettings().resume &&
      StatementObjectExists(job.targetSession(), attempt.statement)) {
    attempt.outcome = QueryAttempt::Outcome::Created;
    return;
  }
  attempt.outcome =
      Accepted(ExecuteStatement(job, job.targetSession(), attempt.statement), &attempt.reason)
          ? QueryAttempt::Outcome::Created
          : QueryAttempt::Outcome::Refused;
}

void ReportQuery(MigrationContext& job, const std::string& query, const QueryAttempt& attempt) {
  const char* word = ObjectWord(attempt.type);
  switch (attempt.outcome) {
    case QueryAttempt::Outcome::Created:
      WriteLine(job, "Create %s [%s] SUCCESSFULLY!!!", word, query.c_str());
      break;
    case QueryAttempt::Outcome::Refused:
      WriteLine(job, "E::%s [%s] was refused by the server: %s", word, query.c_str(),
                attempt.reason.c_str());
      [[fallthrough]];
    case QueryAttempt::Outcome::LeftOut:
      if (attempt.type != QueryObjectType::KeptAside)
        WriteLine(job, "Create %s [%s] failure!!!", word, query.c_str());
      break;
    case QueryAttempt::Outcome::Pending:
    case QueryAttempt::Outcome::Nothing:
      break;
  }
}

}  // namespace tablift
