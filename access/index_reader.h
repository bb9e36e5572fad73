#pragma once

#include <string>

namespace tablift {

class JobContext;

// Which indexes an index reader selects.
enum class IndexKind {
  PrimaryKey,  // the index flagged primary
  Unique,      // unique indexes that are neither primary nor backing a relationship
};

// What the caller hands to an index reader, and what the reader hands back.
// The caller owns the block and fills everything but `answer`; the reader
// only writes `answer` and does not touch the block once it has signalled
// completion. The texts are std::string, so a long path, table name or a
// table with many indexes is never cut short.
struct IndexRequest {
  JobContext* job = nullptr;  // where the reader's provider lines go
  IndexKind kind = IndexKind::PrimaryKey;
  std::string path;      // the .mdb or .accdb file itself
  std::string table;     // the Access table
  std::string password;  // the database password of the source, empty for none
  // Written by the reader, empty when nothing was found: one entry per
  // selected index in the order the file keeps them, entries separated by
  // "`|`"; an entry is the index name, "``", then the field names in key
  // order joined by ",". Names are kept in the form EncodeIndexAnswerName
  // gives them, so a name holding "," or "`" cannot be mistaken for a
  // separator.
  std::string answer;
};

// Reads the index definitions of the requested table from the file and
// writes the answer. A failure to read the file writes one "T::" line with
// the Jet engine's description of it; the answer then stays as it was. Sets
// the process-wide completion event as its last step.
void IndexReader(IndexRequest* request);

// Starts IndexReader for `request` on a thread of its own and waits, without
// a time limit, until it has signalled completion. One reader runs at a
// time: concurrent callers wait their turn. False when the thread could not
// be started (nothing was read).
bool RunIndexReader(IndexRequest& request);

}  // namespace tablift
