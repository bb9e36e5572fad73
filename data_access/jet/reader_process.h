#pragma once

#include <sys/types.h>

#include <chrono>
#include <memory>
#include <string>

// Why the Jet provider reads through a helper process
// ---------------------------------------------------
// libmdb trusts the file it reads: a damaged table definition, row table,
// usage map or long-value chain can send it reading outside its buffers or
// round in circles. We check the structures libmdb follows first (the header
// page before anything else, see file_header.h; every table definition, its
// counts, page chain and page maps before libmdb reads the table, see
// table_layout.h; row and long-value bounds as rows are read), but a checker
// can never be sure it covers every path through libmdb. So every libmdb call
// happens in a reader process forked from the program for each open database:
// if libmdb crashes there, only that process dies; if it hangs, the provider
// stops waiting after a time limit and kills it. Either way the caller gets a
// failed call with a clear message, and the next call starts a fresh reader.
// The checks keep the common damage (truncated files, broken pointers) from
// costing a process at all and give the better messages.
namespace tablift::jet {

class ReaderProcess {
 public:
  // How long one answer may take before the reader counts as hung. The
  // environment variable TABLIFT_JET_READER_TIMEOUT_MS overrides it.
  static std::chrono::milliseconds AnswerTimeLimit();

  // Forks a reader for the database and waits for its first answer (whether
  // libmdb could open the file). Null, with `problem`, when the process could
  // not start, died or did not answer in time (`timedOut`); a reader that
  // started but could not open the file is returned with its answer in
  // `firstAnswer` for the caller to judge. `image`, when not -1, is a
  // descriptor whose contents the reader reads in place of the file at
  // `path` (the decrypted pages of an encrypted database).
  static std::unique_ptr<ReaderProcess> start(const std::string& path, std::string& firstAnswer,
                                              std::string& problem, bool* timedOut = nullptr,
                                              int image = -1);
  ~ReaderProcess();
  ReaderProcess(const ReaderProcess&) = delete;
  ReaderProcess& operator=(const ReaderProcess&) = delete;

  // Sends one request and waits for its answer. False, with `problem`, when
  // the reader died, hung (it is then killed) or could not be reached; the
  // reader is then gone for good.
  bool exchange(const std::string& request, std::string& answer, std::string& problem);
  bool alive() const { return pid_ > 0; }

 private:
  ReaderProcess(pid_t pid, int socket) : pid_(pid), socket_(socket) {}
  // Collects the reader and says how it ended. `waitForExit`: it closed its
  // end and is dying by itself; otherwise it is killed at once.
  std::string stop(bool waitForExit);

  pid_t pid_;
  int socket_;
};

}  // namespace tablift::jet
