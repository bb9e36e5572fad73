#include "data_access/text_encoding.h"

#include <iconv.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <utility>

#include "data_access/ascii_text.h"
#include "data_access/utf8.h"

namespace tablift {
namespace {

// MySQL character sets and the iconv names of the same tables. Sets without a
// faithful iconv table (swe7, keybcs2) and those that cannot be a client set
// (ucs2, utf16, utf32, binary) are left out, so choosing them fails openly.
struct CharsetName {
  std::string_view mysql;
  std::string_view iconv;
};
constexpr CharsetName kIconvCharsets[] = {
    {"big5", "BIG5"},           {"dec8", "DEC-MCS"},   {"cp850", "CP850"},
    {"hp8", "HP-ROMAN8"},       {"koi8r", "KOI8-R"},   {"latin2", "ISO-8859-2"},
    {"ascii", "ASCII"},         {"ujis", "EUC-JP"},    {"sjis", "SHIFT_JIS"},
    {"hebrew", "ISO-8859-8"},   {"tis620", "TIS-620"}, {"euckr", "EUC-KR"},
    {"koi8u", "KOI8-U"},        {"gb2312", "GB2312"},  {"greek", "ISO-8859-7"},
    {"cp1250", "CP1250"},       {"gbk", "GBK"},        {"latin5", "ISO-8859-9"},
    {"armscii8", "ARMSCII-8"},  {"cp866", "CP866"},    {"macce", "MAC-CENTRALEUROPE"},
    {"macroman", "MACINTOSH"},  {"cp852", "CP852"},    {"latin7", "ISO-8859-13"},
    {"cp1251", "CP1251"},       {"cp1256", "CP1256"},  {"cp1257", "CP1257"},
    {"geostd8", "GEORGIAN-PS"}, {"cp932", "CP932"},    {"eucjpms", "EUC-JP-MS"},
    {"gb18030", "GB18030"},
};

// Code points of MySQL's latin1 bytes 0x80 to 0x9F.
constexpr char32_t kLatin1High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Reads the UTF-8 character at `at`; false for a malformed sequence.
bool DecodeUtf8(std::string_view text, std::size_t at, char32_t& code, std::size_t& length) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at);
  if (lead < 0x80) {
    code = lead;
    length = 1;
    return true;
  }
  char32_t minimum = 0;
  if ((lead & 0xE0) == 0xC0) {
    code = lead & 0x1F;
    length = 2;
    minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    code = lead & 0x0F;
    length = 3;
    minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    code = lead & 0x07;
    length = 4;
    minimum = 0x10000;
  } else {
    return false;
  }
  if (at + length > text.size()) return false;
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) return false;
    code = (code << 6) | (byte(at + i) & 0x3F);
  }
  return code >= minimum && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF);
}

std::string CannotSend(std::string_view text, std::size_t at, const std::string& charset) {
  char32_t code = 0;
  std::size_t length = 0;
  char buffer[96];
  if (!DecodeUtf8(text, at, code, length)) {
    std::snprintf(buffer, sizeof buffer, "Text is not valid UTF-8 (byte 0x%02X at offset %zu)",
                  static_cast<unsigned>(static_cast<unsigned char>(text[at])), at);
    return buffer;
  }
  std::snprintf(buffer, sizeof buffer, " (U+%04X) cannot be sent in character set ",
                static_cast<unsigned>(code));
  std::string message = "Character '";
  message.append(text.substr(at, length));
  message += "'";
  message += buffer;
  message += charset;
  return message;
}

std::string NotText(std::string_view bytes, std::size_t at, const std::string& charset) {
  char buffer[128];
  std::snprintf(
      buffer, sizeof buffer, "Byte 0x%02X at offset %zu is not text in character set ",
      at < bytes.size() ? static_cast<unsigned>(static_cast<unsigned char>(bytes[at])) : 0U, at);
  return buffer + charset;
}

// One iconv conversion of a whole text. On a failure `failedAt` is the input
// offset at which it stopped.
bool Convert(const char* from, const char* to, std::string_view input, std::string& output,
             std::size_t& failedAt) {
  output.clear();
  failedAt = 0;
  iconv_t descriptor = iconv_open(to, from);
  if (descriptor == reinterpret_cast<iconv_t>(-1)) return false;
  char* in = const_cast<char*>(input.data());
  std::size_t inLeft = input.size();
  std::string buffer(input.size() * 2 + 16, '\0');
  std::size_t produced = 0;
  bool ok = true;
  // The text, then the reset sequence a stateful set may need at its end.
  for (bool flushing = false;;) {
    char* out = buffer.data() + produced;
    std::size_t outLeft = buffer.size() - produced;
    const std::size_t result = flushing ? iconv(descriptor, nullptr, nullptr, &out, &outLeft)
                                        : iconv(descriptor, &in, &inLeft, &out, &outLeft);
    produced = buffer.size() - outLeft;
    if (result == static_cast<std::size_t>(-1)) {
      if (errno == E2BIG) {
        buffer.resize(buffer.size() * 2);
        continue;
      }
      ok = false;
      failedAt = static_cast<std::size_t>(in - input.data());
      break;
    }
    if (flushing) break;
    if (inLeft == 0) flushing = true;
  }
  iconv_close(descriptor);
  if (ok) output.assign(buffer.data(), produced);
  return ok;
}

}  // namespace

std::optional<TextEncoding> TextEncoding::ForCharset(std::string_view mysqlName,
                                                     std::string& error) {
  const std::string name = ToLowerAscii(mysqlName);
  if (name == "utf8mb4") return TextEncoding(Kind::Utf8, name, {});
  if (name == "utf8" || name == "utf8mb3") return TextEncoding(Kind::Utf8Bmp, name, {});
  if (name == "latin1") return TextEncoding(Kind::Latin1, name, {});
  for (const CharsetName& charset : kIconvCharsets) {
    if (charset.mysql != name) continue;
    iconv_t probe = iconv_open(std::string(charset.iconv).c_str(), "UTF-8");
    if (probe == reinterpret_cast<iconv_t>(-1)) break;
    iconv_close(probe);
    return TextEncoding(Kind::Iconv, name, std::string(charset.iconv));
  }
  error = "Character set " + name + " is not supported for the connection";
  return std::nullopt;
}

TextEncoding TextEncoding::Utf8() {
  return TextEncoding(Kind::Utf8, "utf8mb4", {});
}

bool TextEncoding::encode(std::string_view utf8, std::string& encoded, std::string& error) const {
  encoded.clear();
  return encodeAppending(utf8, encoded, error);
}

bool TextEncoding::encodeAppending(std::string_view utf8, std::string& encoded,
                                   std::string& error) const {
  if (kind_ == Kind::Iconv) {
    std::size_t failedAt = 0;
    std::string converted;
    if (Convert("UTF-8", iconvName_.c_str(), utf8, converted, failedAt)) {
      encoded += converted;
      return true;
    }
    error = failedAt < utf8.size() ? CannotSend(utf8, failedAt, name_)
                                   : "Text cannot be converted to character set " + name_;
    return false;
  }
  encoded.reserve(encoded.size() + utf8.size());
  for (std::size_t at = 0; at < utf8.size();) {
    // A run of ASCII is the same in every character set here: copied whole.
    std::size_t ascii = at;
    while (ascii < utf8.size() && static_cast<unsigned char>(utf8[ascii]) < 0x80)
      ++ascii;
    if (ascii > at) {
      encoded.append(utf8.substr(at, ascii - at));
      at = ascii;
      continue;
    }
    char32_t code = 0;
    std::size_t length = 0;
    if (!DecodeUtf8(utf8, at, code, length)) {
      error = CannotSend(utf8, at, name_);
      return false;
    }
    if (kind_ == Kind::Latin1) {
      if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
        encoded += static_cast<char>(code);
      } else {
        const char32_t* found = std::find(std::begin(kLatin1High), std::end(kLatin1High), code);
        if (found == std::end(kLatin1High)) {
          error = CannotSend(utf8, at, name_);
          return false;
        }
        encoded += static_cast<char>(0x80 + (found - std::begin(kLatin1High)));
      }
    } else {
      if (kind_ == Kind::Utf8Bmp && code > 0xFFFF) {
        error = CannotSend(utf8, at, name_);
        return false;
      }
      encoded.append(utf8.substr(at, length));
    }
    at += length;
  }
  return true;
}

bool TextEncoding::decode(std::string_view bytes, std::string& utf8, std::string& error) const {
  utf8.clear();
  switch (kind_) {
    case Kind::Utf8:
    case Kind::Utf8Bmp:
      utf8.assign(bytes);
      return true;
    case Kind::Latin1:
      utf8.reserve(bytes.size() + bytes.size() / 4);
      for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        AppendUtf8(utf8, byte >= 0x80 && byte < 0xA0 ? kLatin1High[byte - 0x80] : byte);
      }
      return true;
    case Kind::Iconv:
      break;
  }
  std::size_t failedAt = 0;
  if (Convert(iconvName_.c_str(), "UTF-8", bytes, utf8, failedAt)) return true;
  error = NotText(bytes, failedAt, name_);
  return false;
}

}  // namespace tablift
