#include "engine/migration_condition.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string_view>

#include "access/source_rows_query.h"
#include "data_access/profile_file.h"
#include "engine/workbench.h"
#include "mysql/query_first_value.h"

namespace tablift {
namespace {

constexpr const char* kTestPassed = "Test successfully!\r\n  ";
constexpr const char* kTestFailed = "Test failed!\r\n  Because:  ";

// An empty text counts as digits only.
bool DigitsOnly(const std::string& text) {
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

ConditionTest FailedTest(const std::string& reason) {
  return ConditionTest{false, {}, kTestFailed + reason};
}

// Characters, not bytes: a condition may hold non-ASCII text.
std::size_t CharacterCount(const std::string& text) {
  std::size_t count = 0;
  for (const char c : text) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
  }
  return count;
}

bool TooLong(const std::string& condition) {
  return CharacterCount(condition) > kMaxConditionLength;
}

std::string TooLongReason(const std::string& condition) {
  return "the condition has " + std::to_string(CharacterCount(condition)) +
         " characters, more than " + std::to_string(kMaxConditionLength);
}

}  // namespace

ConditionSubject ConditionSubjectOf(const std::vector<CatalogStep>& path) {
  if (path.size() < 3) return {};
  const NodeKind image = path.back().kind;
  if (image != NodeKind::Table && image != NodeKind::View) return {};
  const CatalogStep& database = path[path.size() - 3];
  if (database.kind != NodeKind::Database) return {};
  return ConditionSubject{database.text, path.back().text};
}

bool EnsureConditionFile(Workbench& window, std::string* error) {
  const std::filesystem::path file = window.conditionFile();
  std::error_code ignored;
  if (std::filesystem::exists(file, ignored)) return true;
  // Appending never empties a file that appeared meanwhile.
  std::ofstream create(file, std::ios::app);
  if (create.is_open()) return true;
  if (error != nullptr) *error = "cannot create " + file.string() + ": " + std::strerror(errno);
  return false;
}

std::string LoadCondition(Workbench& window, const std::string& database,
                          const std::string& table) {
  return ReadProfileString(window.conditionFile(), database, table, "");
}

std::string OneLineCondition(const std::string& condition) {
  std::string line;
  line.reserve(condition.size());
  for (std::size_t i = 0; i < condition.size(); ++i) {
    const char c = condition[i];
    if (c == '\r' && i + 1 < condition.size() && condition[i + 1] == '\n') continue;
    line += (c == '\r' || c == '\n') ? ' ' : c;
  }
  return line;
}

std::string ConditionCountQuery(const std::string& table, const std::string& condition,
                                std::string& query) {
  return ConditionedQuery("select count(*)", table, OneLineCondition(condition), query);
}

std::string ReasonInCondition(const std::string& reason, std::size_t conditionStart,
                              std::size_t& firstPosition) {
  constexpr std::string_view kPosition = "position ";
  firstPosition = 0;
  std::string out;
  std::size_t from = 0;
  for (std::size_t at = reason.find(kPosition); at != std::string::npos;
       at = reason.find(kPosition, from)) {
    const std::size_t digits = at + kPosition.size();
    std::size_t end = digits;
    while (end < reason.size() && reason[end] >= '0' && reason[end] <= '9')
      ++end;
    out += reason.substr(from, digits - from);
    from = end;
    if (end == digits) continue;
    const std::size_t inQuery = std::stoul(reason.substr(digits, end - digits));
    if (inQuery < conditionStart) {  // before the condition: the query's own text
      out += reason.substr(digits, end - digits);
      continue;
    }
    const std::size_t inCondition = inQuery - conditionStart + 1;
    if (firstPosition == 0) firstPosition = inCondition;
    out += std::to_string(inCondition) + " of the condition";
  }
  return out + reason.substr(from);
}

ConditionTest TestCondition(Workbench& window, const std::string& table,
                            const std::string& condition) {
  if (TooLong(condition)) return FailedTest(TooLongReason(condition));
  std::string query;
  const std::string refused = ConditionCountQuery(table, condition, query);
  if (!refused.empty()) return FailedTest(refused);
  // A copy of the session outlives a reconnect of the source by a task that
  // switches the source database meanwhile.
  const std::shared_ptr<Session> session = window.sourceConnection().session;
  const Result<std::string> counted =
      QueryFirstValue(window, session && session->isOpen() ? session.get() : nullptr, query);
  if (!counted.ok()) {
    // The reader counts positions in the whole query; the user wrote only
    // the condition, which the query ends with, after the blanks it was
    // trimmed of.
    std::string bare;
    ConditionCountQuery(table, "", bare);
    const std::string oneLine = OneLineCondition(condition);
    const std::size_t leading = std::min(oneLine.find_first_not_of(" \t"), oneLine.size());
    const std::size_t conditionStart = CharacterCount(bare) + std::string_view(" where ").size() +
                                       1 - CharacterCount(oneLine.substr(0, leading));
    std::size_t position = 0;
    ConditionTest failed =
        FailedTest(ReasonInCondition(counted.message(), conditionStart, position));
    failed.errorPosition = position;
    return failed;
  }
  const std::string& count = counted.value();
  if (!DigitsOnly(count)) return FailedTest(count);
  return ConditionTest{true, count, kTestPassed + count + " Records can be converted."};
}

bool SaveCondition(Workbench& window, const std::string& database, const std::string& table,
                   const std::string& condition, std::string* error) {
  if (TooLong(condition)) {
    if (error != nullptr) *error = TooLongReason(condition);
    return false;
  }
  return WriteProfileString(window.conditionFile(), database, table, OneLineCondition(condition),
                            error);
}

std::string ConditionToolTip(Workbench& window, const std::vector<CatalogStep>& path) {
  if (path.empty() || path.back().kind != NodeKind::Table) return {};
  const ConditionSubject subject = ConditionSubjectOf(path);
  if (subject.table.empty()) return {};
  const std::string condition = LoadCondition(window, subject.database, subject.table);
  return condition.empty() ? "Convert All" : "Condition : " + condition;
}

}  // namespace tablift
