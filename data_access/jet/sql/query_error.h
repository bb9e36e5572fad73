#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

#include "data_access/result_codes.h"

namespace tablift::jet {

// The clause an expression or token belongs to; messages name it so that the
// user finds the faulty part of a long statement.
enum class Clause {
  Select,
  From,
  On,
  Where,
  GroupBy,
  Having,
  OrderBy,
  Parameters,
  Transform,
  Pivot
};

std::string_view ClauseName(Clause clause);

// A failure inside the executor. Parsing, binding and evaluation throw it; the
// entry points catch it and turn it into a result code with an error object,
// so it never leaves the executor.
class QueryError {
 public:
  enum class Kind {
    Command,     // the statement itself is wrong: DB_E_ERRORSINCOMMAND
    Evaluation,  // a value could not be computed for some row: E_FAIL
  };

  QueryError(Kind kind, std::string message, bool located = false)
      : kind_(kind), message_(std::move(message)), located_(located) {}

  Kind kind() const { return kind_; }
  const std::string& message() const { return message_; }
  bool located() const { return located_; }

  // Adds " in WHERE near position 17" once, at the innermost expression that
  // knows where it stands in the statement.
  void locate(Clause clause, std::size_t position);

 private:
  Kind kind_;
  std::string message_;
  bool located_;
};

// An evaluation failure without a place yet (the evaluator adds it).
inline QueryError EvaluationError(std::string message) {
  return QueryError(QueryError::Kind::Evaluation, std::move(message));
}

// A table cursor failed; it has posted its own error object, which must reach
// the caller unchanged.
struct SourceFailure {
  HResult code;
};

// The 1-based character position of a byte offset in the statement text, as
// messages give it.
std::size_t CharacterPosition(std::string_view statement, std::size_t byteOffset);

}  // namespace tablift::jet
