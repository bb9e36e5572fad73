#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tablift {

// Converts between the program's UTF-8 and a MySQL client character set.
// MySQL's "latin1" is Windows-1252 with its five unassigned bytes (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) standing for the C1 controls of the same number, so every
// byte has a character; "utf8"/"utf8mb3" hold only the Basic Multilingual
// Plane. A character the set cannot hold is an error naming the character,
// never a silent '?'.
class TextEncoding {
 public:
  // The encoding of a MySQL character set name (any case); empty for a set the
  // program cannot convert (then `error` says so).
  static std::optional<TextEncoding> ForCharset(std::string_view mysqlName, std::string& error);
  static TextEncoding Utf8();

  // The MySQL name in lower case, as messages show it.
  const std::string& name() const { return name_; }
  bool isUtf8() const { return kind_ == Kind::Utf8 || kind_ == Kind::Utf8Bmp; }

  // UTF-8 to the set. False with a message such as "Character 'Ω' (U+03A9)
  // cannot be sent in character set latin1".
  bool encode(std::string_view utf8, std::string& encoded, std::string& error) const;
  // The same, appended to what `encoded` holds (on failure, part of the text
  // may have been appended).
  bool encodeAppending(std::string_view utf8, std::string& encoded, std::string& error) const;
  // The set to UTF-8. False with a message when the bytes are not text of
  // the set.
  bool decode(std::string_view bytes, std::string& utf8, std::string& error) const;

 private:
  enum class Kind { Utf8, Utf8Bmp, Latin1, Iconv };
  TextEncoding(Kind kind, std::string name, std::string iconvName)
      : kind_(kind), name_(std::move(name)), iconvName_(std::move(iconvName)) {}

  Kind kind_;
  std::string name_;
  std::string iconvName_;
};

}  // namespace tablift
