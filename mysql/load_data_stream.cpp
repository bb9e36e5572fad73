#include "mysql/load_data_stream.h"

#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <exception>
#include <system_error>
#include <thread>

#include "data_access/ascii_text.h"
#include "data_access/text_query.h"
#include "mysql/bulk_insert.h"
#include "mysql/execute_statement.h"
#include "mysql/load_data_fields.h"
#include "mysql/sql_literals.h"

namespace tablift {
namespace {

// Larger pieces bring no more speed (the server parses a piece as it
// arrives); each piece is held twice (as fields and as INSERT values, for
// sending it again) and two of them exist at a time.
constexpr std::size_t kPieceBytes = 2 * 1024 * 1024;
constexpr std::string_view kSavepoint = "tablift_piece";
// What an unprivileged process may ask for (/proc/sys/fs/pipe-max-size).
constexpr std::size_t kPipeBytes = 1024 * 1024;

// Taken only when asked for (TABLIFT_LOAD_DATA=1): measured on this
// machine's bench, the load through the driver's local file (a named pipe
// it reads) left both the server and Tablift waiting part of the time, and a
// table's rows took longer than as bulk-executed parameter arrays, though
// Tablift spent less CPU time on them.
bool LoadDataWanted() {
  const char* text = std::getenv("TABLIFT_LOAD_DATA");
  return text != nullptr && std::string_view(text) == "1";
}

// A folder of this process's own under the temporary folder, holding the
// named pipe the driver reads.
std::filesystem::path MakePipe(std::filesystem::path& folder) {
  std::error_code error;
  std::filesystem::path base = std::filesystem::temp_directory_path(error);
  if (error) base = "/tmp";
  std::string pattern = (base / "tablift-load.XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) return {};
  folder = pattern;
  std::filesystem::path pipe = folder / "rows";
  if (::mkfifo(pipe.c_str(), 0600) != 0) return {};
  return pipe;
}

// Writes `text` into the pipe once the driver has opened it for reading;
// gives up when the statement ended without opening it. Whether the driver
// opened it.
bool WritePipe(const std::filesystem::path& pipe, std::string_view text,
               const std::atomic<bool>& statementEnded) {
  // A reader that stops early must not end the process: the write then
  // fails with EPIPE instead, on this thread only.
  sigset_t pipeSignal;
  sigemptyset(&pipeSignal);
  sigaddset(&pipeSignal, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipeSignal, nullptr);
  int fd = -1;
  // Opening a pipe without a reader fails at once when non-blocking; the
  // driver's own open waits for this one.
  while ((fd = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC)) < 0) {
    if (statementEnded.load()) return false;
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  // A larger pipe means fewer turns between this thread and the driver's
  // reads; where the system refuses, the default size serves.
  ::fcntl(fd, F_SETPIPE_SZ, static_cast<int>(kPipeBytes));
  std::size_t written = 0;
  while (written < text.size()) {
    const ssize_t count = ::write(fd, text.data() + written, text.size() - written);
    if (count < 0) {
      if (errno == EINTR) continue;
      break;
    }
    written += static_cast<std::size_t>(count);
  }
  ::close(fd);
  return true;
}

// The target table's columns in their order, which of them are BIT columns,
// and whether every text column among them keeps utf8mb4; no names when they
// cannot be read.
struct TargetColumns {
  std::vector<std::string> names;
  std::vector<bool> bit;
  bool allUtf8mb4 = true;
};

std::string LoadStatement(const std::filesystem::path& pipe, std::string_view table,
                          const std::vector<std::uint16_t>& types, const TargetColumns& target) {
  // The stream is UTF-8. Into utf8mb4 columns its bytes go as they are, and
  // the server spares itself reading them character by character; for any
  // other column it converts them.
  std::string sql = "load data local infile " + StringLiteral(pipe.string()) + " into table " +
                    QuoteIdentifier(table) + " character set " +
                    (target.allUtf8mb4 ? "binary" : "utf8mb4");
  // Bytes arrive as hexadecimal digits, and a BIT column's number as its
  // digits (the load would store the digits' characters as bits), each in a
  // variable of its own.
  std::string columns;
  std::string assignments;
  for (std::size_t k = 0; k < types.size(); ++k) {
    if (k > 0) columns += ',';
    const std::string variable = "@value" + std::to_string(k);
    std::string value;
    if (LoadDataBytesColumn(types[k])) {
      value = "unhex(" + variable + ")";
    } else if (target.bit[k]) {
      value = "cast(" + variable + " as unsigned)";
    } else {
      columns += QuoteIdentifier(target.names[k]);
      continue;
    }
    columns += variable;
    assignments += assignments.empty() ? " set " : ",";
    assignments += QuoteIdentifier(target.names[k]) + " = " + value;
  }
  if (assignments.empty()) return sql;
  return sql + " (" + columns + ")" + assignments;
}

TargetColumns ReadTargetColumns(Session* session, std::string_view table) {
  TargetColumns columns;
  const PropertySet properties = QueryRowsetProperties();
  const std::string failure = RunTextQuery(
      session,
      "select column_name, character_set_name, data_type from information_schema.columns where "
      "table_schema = database() and table_name = " +
          StringLiteral(table) + " order by ordinal_position",
      &properties, [&](const TextRow& row) {
        columns.names.emplace_back(row.text(1));
        columns.bit.push_back(!row.isNull(3) && EqualsIgnoreCase(row.text(3), "bit"));
        if (!row.isNull(2) && !EqualsIgnoreCase(row.text(2), "utf8mb4")) {
          columns.allUtf8mb4 = false;
        }
        return true;
      });
  if (!failure.empty()) columns.names.clear();
  return columns;
}

}  // namespace

bool LoadDataSuits(const Session* session, const TableLoad& load) {
  return load.transactional && load.inTransaction && session != nullptr &&
         EqualsIgnoreCase(session->clientCharset(), "utf8mb4") && LoadDataWanted();
}

LoadDataStream::LoadDataStream(JobContext& job, Session* session, std::string_view table,
                               TableLoad& load, const std::vector<std::uint16_t>& columnTypes)
    : job_(job),
      session_(session),
      table_(table),
      load_(load),
      columns_(columnTypes.size()),
      pieceBytes_(load.commitEveryBytes > 0 ? std::min(load.commitEveryBytes, kPieceBytes)
                                            : kPieceBytes),
      pieceRows_(load.commitEveryRows > 0 ? load.commitEveryRows : SIZE_MAX) {
  const TargetColumns target = ReadTargetColumns(session_, table_);
  pipe_ = MakePipe(folder_);
  localRefused_ = pipe_.empty() || target.names.size() != columnTypes.size();
  if (!localRefused_) {
    statement_ = LoadStatement(pipe_, table_, columnTypes, target);
  }
  sender_.start([this](Piece& piece) { deliver(piece); },
                [](Piece& piece) {
                  piece.fields.clear();
                  piece.values.clear();
                  piece.rows.clear();
                });
}

LoadDataStream::~LoadDataStream() {
  finish();
  std::error_code ignored;
  if (!folder_.empty()) std::filesystem::remove_all(folder_, ignored);
}

void LoadDataStream::add(std::string_view values, std::string_view fields) {
  if (!filling_.rows.empty() && (filling_.fields.size() + fields.size() + 1 > pieceBytes_ ||
                                 filling_.rows.size() >= pieceRows_)) {
    sender_.hand(std::exchange(filling_, Piece{}));
    if (std::optional<Piece> spare = sender_.takeSpare()) filling_ = std::move(*spare);
  }
  filling_.fields += fields;
  filling_.fields += '\n';
  filling_.rows.emplace_back(filling_.values.size(), values.size());
  filling_.values += values;
}

void LoadDataStream::finish() {
  if (finished_) return;
  finished_ = true;
  if (!filling_.rows.empty()) sender_.hand(std::exchange(filling_, Piece{}));
  sender_.close();
}

void LoadDataStream::deliver(Piece& piece) {
  try {
    send(piece);
  } catch (const std::exception& error) {
    // Nothing may escape the sending thread; rows whose fate is unknown
    // count as not accepted.
    rejected_ += static_cast<long>(piece.rows.size());
    if (firstRejection_.empty()) firstRejection_ = error.what();
  }
}

void LoadDataStream::send(Piece& piece) {
  const long rejectedBefore = rejected_;
  const std::string failure = localRefused_ ? std::string("the driver sends no local files")
                              : !load_.inTransaction ? std::string("no transaction is open")
                                                     : load(piece);
  if (!failure.empty()) {
    if (piecesResent_++ == 0) firstResendReason_ = failure;
    resend(piece);
  }
  commitPiece(static_cast<long>(piece.rows.size()) - (rejected_ - rejectedBefore));
}

std::string LoadDataStream::load(const Piece& piece) {
  std::string reason;
  if (!Accepted(ExecuteStatement(job_, session_, "savepoint " + std::string(kSavepoint)),
                &reason)) {
    return "no savepoint: " + reason;
  }
  std::atomic<bool> statementEnded{false};
  bool opened = false;
  std::thread writer;
  try {
    writer = std::thread([&] { opened = WritePipe(pipe_, piece.fields, statementEnded); });
  } catch (const std::system_error& error) {
    return error.what();
  }
  // The writer ends once the statement has, whatever way this goes on.
  struct EndWriter {
    std::atomic<bool>& ended;
    std::thread& thread;
    ~EndWriter() {
      ended = true;
      if (thread.joinable()) thread.join();
    }
  } endWriter{statementEnded, writer};
  const bool ran = Accepted(ExecuteStatement(job_, session_, statement_), &reason);
  statementEnded = true;
  writer.join();
  if (ran) {
    // Warnings and the rows stored, read before any other statement clears
    // them.
    long long warnings = -1;
    long long stored = -1;
    const PropertySet properties = QueryRowsetProperties();
    RunTextQuery(session_, "select @@warning_count, row_count()", &properties,
                 [&](const TextRow& row) {
                   if (!row.isNull(1))
                     warnings = std::strtoll(std::string(row.text(1)).c_str(), nullptr, 10);
                   if (!row.isNull(2))
                     stored = std::strtoll(std::string(row.text(2)).c_str(), nullptr, 10);
                   return false;
                 });
    if (warnings == 0 && stored == static_cast<long long>(piece.rows.size())) return "";
    reason = std::to_string(warnings) + " warnings, " + std::to_string(stored) + " of " +
             std::to_string(piece.rows.size()) + " rows stored";
  } else if (!opened) {
    // The driver never read the rows: it sends no local files.
    localRefused_ = true;
  }
  ExecuteStatement(job_, session_, "rollback to savepoint " + std::string(kSavepoint)).ok();
  return reason.empty() ? std::string("the server gave no reason") : reason;
}

void LoadDataStream::resend(const Piece& piece) {
  BulkInsert insert(job_, session_, table_, load_, columns_, BulkInsert::Form::Statements);
  static const std::vector<ParameterValue> kNoParameters;
  for (const auto& [start, length] : piece.rows)
    insert.add(std::string_view(piece.values).substr(start, length), kNoParameters);
  insert.finish();
  if (insert.rejected() > 0 && firstRejection_.empty()) firstRejection_ = insert.firstRejection();
  rejected_ += insert.rejected();
}

void LoadDataStream::commitPiece(long storedRows) {
  if (load_.commitEveryRows == 0 && load_.commitEveryBytes == 0) return;
  if (!load_.inTransaction) return;
  std::string reason;
  if (!Accepted(ExecuteStatement(job_, session_, "commit"), &reason)) {
    // The piece's rows did not persist.
    rejected_ += storedRows;
    if (firstRejection_.empty()) firstRejection_ = "the commit failed: " + reason;
  }
  load_.inTransaction = ExecuteStatement(job_, session_, "start transaction").ok();
}

}  // namespace tablift
