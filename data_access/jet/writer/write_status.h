#pragma once

#include <string>
#include <utility>

namespace tablift::jet {

// Why a write into a new Jet database was refused or failed.
enum class WriteError {
  None,
  FileExists,        // the database file is already there; it is never overwritten
  CannotCreateFile,  // the file could not be created (folder missing, no permission)
  OutputFailed,      // writing to the file failed (disk full, I/O error)
  InvalidDesign,     // a table or column design that Access cannot hold
  UnknownTable,      // a row for a table that was never added
  InvalidValue,      // a value that its column cannot hold
  DatabaseTooLarge,  // the file would exceed the Jet 4 size limit
  OutOfMemory,
  WrongState,  // a call out of order (no database open, already finished)
};

// The outcome of one writer call: success, or the error with a message that
// names the table, column or file concerned.
class WriteStatus {
 public:
  WriteStatus() = default;
  static WriteStatus Success() { return {}; }
  static WriteStatus Failure(WriteError error, std::string message) {
    WriteStatus status;
    status.error_ = error;
    status.message_ = std::move(message);
    return status;
  }

  bool ok() const { return error_ == WriteError::None; }
  explicit operator bool() const { return ok(); }
  WriteError error() const { return error_; }
  const std::string& message() const { return message_; }

 private:
  WriteError error_ = WriteError::None;
  std::string message_;
};

}  // namespace tablift::jet
