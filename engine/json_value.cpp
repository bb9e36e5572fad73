#include "engine/json_value.h"

#include <cctype>
#include <charconv>
#include <cstdint>
#include <cstdio>

#include "data_access/utf8.h"

namespace tablift {
namespace {

// Deep enough for any report, shallow enough that damaged input cannot
// exhaust the stack.
constexpr int kMaxDepth = 64;

class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}

  Result<JsonValue> document() {
    JsonValue value;
    if (!read(value, 0)) return failure();
    skipBlanks();
    if (at_ != text_.size()) return Status::Failure("trailing text after the JSON value" + where());
    return value;
  }

 private:
  std::string where() const { return " at offset " + std::to_string(at_); }
  Status failure() const { return Status::Failure(problem_ + where()); }
  bool fail(std::string problem) {
    if (problem_.empty()) problem_ = std::move(problem);
    return false;
  }

  void skipBlanks() {
    while (at_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[at_])))
      ++at_;
  }
  bool take(char c) {
    skipBlanks();
    if (at_ < text_.size() && text_[at_] == c) {
      ++at_;
      return true;
    }
    return false;
  }
  bool takeWord(std::string_view word) {
    if (text_.substr(at_, word.size()) != word) return false;
    at_ += word.size();
    return true;
  }

  bool read(JsonValue& value, int depth) {
    if (depth > kMaxDepth) return fail("JSON nested too deeply");
    skipBlanks();
    if (at_ >= text_.size()) return fail("JSON ends early");
    const char c = text_[at_];
    if (c == '{') return readObject(value, depth);
    if (c == '[') return readArray(value, depth);
    if (c == '"') {
      value.kind = JsonValue::Kind::String;
      return readString(value.text);
    }
    if (takeWord("null")) return true;
    if (takeWord("true") || takeWord("false")) {
      value.kind = JsonValue::Kind::Boolean;
      value.boolean = text_[at_ - 4] == 't';
      return true;
    }
    return readNumber(value);
  }

  bool readNumber(JsonValue& value) {
    const char* first = text_.data() + at_;
    const auto [end, error] = std::from_chars(first, text_.data() + text_.size(), value.number);
    if (error != std::errc() || end == first) return fail("no JSON value");
    at_ += static_cast<std::size_t>(end - first);
    value.kind = JsonValue::Kind::Number;
    return true;
  }

  bool readArray(JsonValue& value, int depth) {
    value.kind = JsonValue::Kind::Array;
    ++at_;
    if (take(']')) return true;
    do {
      value.items.emplace_back();
      if (!read(value.items.back(), depth + 1)) return false;
    } while (take(','));
    return take(']') || fail("',' or ']' expected");
  }

  bool readObject(JsonValue& value, int depth) {
    value.kind = JsonValue::Kind::Object;
    ++at_;
    if (take('}')) return true;
    do {
      skipBlanks();
      std::string name;
      if (at_ >= text_.size() || text_[at_] != '"') return fail("a member name expected");
      if (!readString(name)) return false;
      if (!take(':')) return fail("':' expected");
      if (!read(value.members[name], depth + 1)) return false;
    } while (take(','));
    return take('}') || fail("',' or '}' expected");
  }

  bool readHex(std::uint32_t& unit) {
    if (at_ + 4 > text_.size()) return fail("\\u needs four hex digits");
    const char* first = text_.data() + at_;
    const auto [end, error] = std::from_chars(first, first + 4, unit, 16);
    if (error != std::errc() || end != first + 4) return fail("\\u needs four hex digits");
    at_ += 4;
    return true;
  }

  bool readEscape(std::string& out) {
    if (at_ >= text_.size()) return fail("JSON ends inside a string");
    const char c = text_[at_++];
    switch (c) {
      case '"':
      case '\\':
      case '/':
        out += c;
        return true;
      case 'b':
        out += '\b';
        return true;
      case 'f':
        out += '\f';
        return true;
      case 'n':
        out += '\n';
        return true;
      case 'r':
        out += '\r';
        return true;
      case 't':
        out += '\t';
        return true;
      case 'u':
        break;
      default:
        return fail("an unknown escape in a string");
    }
    std::uint32_t code = 0;
    if (!readHex(code)) return false;
    // A character beyond the first plane comes as a pair of halves.
    if (code >= 0xD800 && code < 0xDC00 && takeWord("\\u")) {
      std::uint32_t low = 0;
      if (!readHex(low)) return false;
      if (low >= 0xDC00 && low < 0xE000) code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
    }
    AppendUtf8(out, code);
    return true;
  }

  bool readString(std::string& out) {
    ++at_;
    while (at_ < text_.size()) {
      const char c = text_[at_++];
      if (c == '"') return true;
      if (c != '\\') {
        out += c;
      } else if (!readEscape(out)) {
        return false;
      }
    }
    return fail("JSON ends inside a string");
  }

  std::string_view text_;
  std::size_t at_ = 0;
  std::string problem_;
};

}  // namespace

const JsonValue& JsonValue::operator[](std::string_view name) const {
  static const JsonValue kNull;
  const auto found = members.find(name);
  return found == members.end() ? kNull : found->second;
}

Result<JsonValue> ParseJson(std::string_view text) {
  return Reader(text).document();
}

std::string JsonString(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
          out += escaped;
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
}

}  // namespace tablift
