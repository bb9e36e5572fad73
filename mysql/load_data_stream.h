#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "data_access/session.h"
#include "mysql/sending_thread.h"
#include "mysql/table_load.h"

namespace tablift {

class JobContext;

// Sends the rows of one table through the server's own bulk load, LOAD DATA
// LOCAL INFILE, in pieces of a few megabytes: while the server loads one
// piece (the driver reads it from a named pipe that a thread of this class
// writes), the next is filled. At most two pieces exist at a time.
//
// A LOCAL load never stops at a bad row: the server skips a duplicate and
// adjusts a value it cannot store, each with a warning. So every piece is
// loaded after a savepoint of the table's transaction, and a piece that gave
// any warning, or that the server refused, is rolled back to it and sent again
// as INSERT statements (BulkInsert), which count exactly the rows the target
// refuses and store every other row as it is. Only for a table loaded in one
// transaction (LoadDataSuits); when the driver cannot send a local file at
// all, every piece takes the INSERT way.
//
// When `load.commitEveryRows` or `load.commitEveryBytes` is set, a piece ends
// at that many rows or bytes and the transaction is committed (and begun
// again) after it.
class LoadDataStream {
 public:
  // `columnTypes` are the types of the row's values; the target table's
  // columns are those values, in the same order (rows of a table whose
  // columns differ in number take the INSERT way).
  LoadDataStream(JobContext& job, Session* session, std::string_view table, TableLoad& load,
                 const std::vector<std::uint16_t>& columnTypes);
  ~LoadDataStream();
  LoadDataStream(const LoadDataStream&) = delete;
  LoadDataStream& operator=(const LoadDataStream&) = delete;

  // One row: its INSERT values ("1,'a',NULL") and the same as one line of
  // LOAD DATA fields (AppendLoadDataField, tab-separated, without the line's
  // end).
  void add(std::string_view values, std::string_view fields);
  // Sends what is left and waits until the target has answered for every row.
  void finish();

  // Valid after finish().
  long rejected() const { return rejected_; }
  const std::string& firstRejection() const { return firstRejection_; }
  // Pieces that went as INSERT statements, and why the first of them did.
  long piecesResent() const { return piecesResent_; }
  const std::string& firstResendReason() const { return firstResendReason_; }

 private:
  struct Piece {
    std::string fields;  // the LOAD DATA lines
    std::string values;  // the rows' INSERT values, one after the other
    std::vector<std::pair<std::size_t, std::size_t>> rows;  // where in `values`
  };

  // Sends a piece on the sending thread; what throws counts as rejected.
  void deliver(Piece& piece);
  void send(Piece& piece);
  // Loads the piece; "" when every row arrived as sent, or why not.
  std::string load(const Piece& piece);
  void resend(const Piece& piece);
  // Commits after a piece when the load asks for pieces; the piece's stored
  // rows count as refused when the commit fails.
  void commitPiece(long storedRows);

  JobContext& job_;
  Session* session_;
  std::string table_;
  TableLoad& load_;
  std::size_t columns_;
  std::size_t pieceBytes_;
  std::size_t pieceRows_;
  std::string statement_;         // the LOAD DATA statement, naming the pipe
  std::filesystem::path folder_;  // the pipe's own folder, removed at the end
  std::filesystem::path pipe_;
  // The driver could not send a local file: the rest goes as INSERTs.
  bool localRefused_ = false;

  Piece filling_;
  long rejected_ = 0;
  std::string firstRejection_;
  long piecesResent_ = 0;
  std::string firstResendReason_;

  bool finished_ = false;
  // Last, so that it ends before the members the sending uses.
  SendingThread<Piece> sender_;
};

// Whether the rows of a table prepared by BeginTableLoad can take the bulk
// load: its rows go in one transaction, the connection's character set is
// utf8mb4 (the stream's: the rows' text is UTF-8; on a connection of another
// character set a character it cannot hold must fail the row, as it does in
// an INSERT), and TABLIFT_LOAD_DATA=1 (environment) asks for it: until the
// load through the driver's local file keeps pace, the INSERT way is the
// default.
bool LoadDataSuits(const Session* session, const TableLoad& load);

}  // namespace tablift
