#include "mysql/query_first_value.h"

#include <cstdlib>
#include <optional>

#include "core/write_line.h"
#include "data_access/error_texts.h"
#include "data_access/text_query.h"

namespace tablift {
namespace {

// Rows after these are not looked at: a one-value question has its answer in
// the first row.
constexpr int kRowsLookedAt = 100;

bool ReadsAsNegative(std::string_view text) {
  const std::string value(text);
  return std::strtoll(value.c_str(), nullptr, 10) < 0;
}

}  // namespace

Result<std::string> QueryFirstValue(JobContext& job, Session* session, std::string_view statement,
                                    Report report) {
  if (session == nullptr || !session->isOpen()) {
    const std::string text = DescribeSystemError(kNoConnection);
    WritePlainLine(job, text);
    return Status::Failure(text);
  }
  const PropertySet properties = StatementRowsetProperties();
  std::optional<std::string> answer;
  int rows = 0;
  std::size_t columns = 0;  // without the Jet provider's bookmark entry
  std::string fetchFailure;
  const std::string failure = RunTextQuery(
      session, statement, &properties,
      [&](const TextRow& row) {
        if (++rows > kRowsLookedAt) return false;
        for (std::size_t k = 1; k <= columns; ++k) {
          if (row.isNull(k)) {
            WritePlainLine(job, "(NULL)");
            continue;
          }
          if (report == Report::Outcome) WriteLine(job, "%s", kStatementSucceeded);
          if (!ReadsAsNegative(row.text(k))) {
            answer = std::string(row.text(k));
            return false;
          }
        }
        return true;
      },
      [&](const std::vector<ColumnInfo>& info) {
        for (const ColumnInfo& column : info) {
          if (column.ordinal != 0 && (column.flags & DBCOLUMNFLAGS_ISBOOKMARK) == 0) ++columns;
        }
        return true;
      },
      &fetchFailure);
  if (failure == kStatementSucceeded) {
    if (report == Report::Outcome) WriteLine(job, "%s", kStatementSucceeded);
    return Status::Failure(failure);
  }
  if (!failure.empty()) return Status::Failure(failure);
  if (answer) return *answer;
  if (!fetchFailure.empty()) return Status::Failure(fetchFailure);
  return Status::Failure(kStatementSucceeded);
}

}  // namespace tablift
