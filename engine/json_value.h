#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/status.h"

namespace tablift {

// A value read from JSON text: null, a boolean, a number, a string, an array
// or an object. Enough to read back what the program itself writes (the run
// reports); numbers are kept as doubles.
struct JsonValue {
  enum class Kind { Null, Boolean, Number, String, Array, Object };
  Kind kind = Kind::Null;
  bool boolean = false;
  double number = 0;
  std::string text{};
  std::vector<JsonValue> items{};
  std::map<std::string, JsonValue, std::less<>> members{};

  // The member `name` of an object; a null value when there is none (or this
  // is no object), so that lookups chain.
  const JsonValue& operator[](std::string_view name) const;
};

// The JSON text parsed, or why it is no JSON (with the offset where reading
// stopped).
Result<JsonValue> ParseJson(std::string_view text);

// `text` as a JSON string literal: quotes, backslashes and control characters
// escaped, everything else (UTF-8 included) as it is.
std::string JsonString(std::string_view text);

}  // namespace tablift
