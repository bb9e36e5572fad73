#pragma once

#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace tablift {

// The outcome of work that can fail, passed by value across every layer's
// edge: success, or the message that says what went wrong (in the words the
// log and the user see). One type for all failures keeps callers from having
// to know which adapter's convention a function follows.
class Status {
 public:
  static Status Ok() { return Status(); }
  static Status Failure(std::string message) { return Status(std::move(message)); }

  bool ok() const { return !message_.has_value(); }
  // The failure's message; empty on success.
  const std::string& message() const {
    static const std::string kNone;
    return message_ ? *message_ : kNone;
  }

 private:
  Status() = default;
  explicit Status(std::string message) : message_(std::move(message)) {}
  std::optional<std::string> message_;
};

// Whether `status` is a success, its message (empty on success) copied to
// `reason` when one is given: for callers that keep the reason of their own.
inline bool Accepted(const Status& status, std::string* reason) {
  if (reason != nullptr) *reason = status.message();
  return status.ok();
}

// A value, or the Status of the failure that kept it from being made.
template <typename T>
class Result {
 public:
  Result(T value) : outcome_(std::move(value)) {}           // NOLINT: a value converts
  Result(Status failure) : outcome_(std::move(failure)) {}  // NOLINT: so does a failure

  bool ok() const { return std::holds_alternative<T>(outcome_); }
  const T& value() const& { return std::get<T>(outcome_); }
  T& value() & { return std::get<T>(outcome_); }
  T&& value() && { return std::get<T>(std::move(outcome_)); }
  T value_or(T fallback) const { return ok() ? value() : std::move(fallback); }
  Status status() const { return ok() ? Status::Ok() : std::get<Status>(outcome_); }
  const std::string& message() const {
    static const std::string kNone;
    return ok() ? kNone : std::get<Status>(outcome_).message();
  }

 private:
  std::variant<T, Status> outcome_;
};

}  // namespace tablift
