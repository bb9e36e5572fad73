#include "translate/row_size.h"

#include <algorithm>
#include <charconv>
#include <numeric>

#include "data_access/ascii_text.h"

namespace tablift {
namespace {

// The number in "NAME(n)" or "NAME(n,m)" after `prefix`; 0 when the type
// does not start so.
std::size_t Length(std::string_view type, std::string_view prefix) {
  if (!type.starts_with(prefix)) return 0;
  type.remove_prefix(prefix.size());
  std::size_t length = 0;
  std::from_chars(type.data(), type.data() + type.size(), length);
  return length;
}

std::size_t VarcharBytes(std::size_t characters, std::size_t bytesPerCharacter) {
  const std::size_t bytes = characters * bytesPerCharacter;
  return bytes + (bytes > 255 ? 2 : 1);
}

}  // namespace

std::size_t BytesPerCharacter(std::string_view charset) {
  const std::string name = ToLowerAscii(charset);
  if (name == "utf8mb4" || name == "utf16" || name == "utf16le" || name == "utf32" ||
      name == "gb18030") {
    return 4;
  }
  if (name == "utf8" || name == "utf8mb3" || name == "ujis" || name == "eucjpms") return 3;
  if (name == "ucs2" || name == "big5" || name == "gbk" || name == "gb2312" || name == "sjis" ||
      name == "cp932" || name == "euckr") {
    return 2;
  }
  return 1;
}

std::size_t ColumnRowBytes(std::string_view mysqlType, std::size_t bytesPerCharacter) {
  if (std::size_t n = Length(mysqlType, "VARCHAR(")) return VarcharBytes(n, bytesPerCharacter);
  if (std::size_t n = Length(mysqlType, "VARBINARY(")) return n + (n > 255 ? 2 : 1);
  if (std::size_t n = Length(mysqlType, "char(")) return n * bytesPerCharacter;
  if (std::size_t n = Length(mysqlType, "CHAR(")) return n * bytesPerCharacter;
  if (std::size_t n = Length(mysqlType, "DECIMAL(")) return n / 2 + 1;
  // LONGTEXT, LONGBLOB and TEXT by their pointers; numbers and dates take at
  // most 8.
  if (mysqlType.find("TEXT") != std::string_view::npos ||
      mysqlType.find("BLOB") != std::string_view::npos) {
    return 12;
  }
  return 8;
}

std::size_t InnoDbPageBytes(std::string_view mysqlType, std::size_t bytesPerCharacter) {
  const std::size_t bytes = ColumnRowBytes(mysqlType, bytesPerCharacter);
  const bool variable = Length(mysqlType, "VARCHAR(") > 0 || Length(mysqlType, "VARBINARY(") > 0;
  const bool offPage = (variable && bytes > 256) ||
                       mysqlType.find("TEXT") != std::string_view::npos ||
                       mysqlType.find("BLOB") != std::string_view::npos;
  // A column moved off the page leaves its 20-byte pointer and its length.
  return offPage ? 22 : bytes;
}

std::vector<std::size_t> FitRowSize(std::vector<std::string>& types,
                                    const std::vector<bool>& nullable, std::string_view charset,
                                    bool innoDb) {
  const std::size_t perCharacter = BytesPerCharacter(charset);
  const std::size_t nullBits =
      static_cast<std::size_t>(std::count(nullable.begin(), nullable.end(), true));
  std::size_t bytes = (nullBits + 7) / 8;
  for (const std::string& type : types)
    bytes += ColumnRowBytes(type, perCharacter);

  std::vector<std::size_t> candidates;
  for (std::size_t i = 0; i < types.size(); ++i) {
    if (i < nullable.size() && nullable[i] && Length(types[i], "VARCHAR(") > 0) {
      candidates.push_back(i);
    }
  }
  // Widest first, and among equals the later column first, so that the
  // leading columns of a table keep their type.
  std::stable_sort(candidates.begin(), candidates.end(), [&](std::size_t a, std::size_t b) {
    const std::size_t la = Length(types[a], "VARCHAR(");
    const std::size_t lb = Length(types[b], "VARCHAR(");
    return la != lb ? la > lb : a > b;
  });

  std::vector<std::size_t> changed;
  for (std::size_t i : candidates) {
    if (bytes <= kMaxRowBytes) break;
    bytes -= ColumnRowBytes(types[i], perCharacter);
    types[i] = "TEXT";
    bytes += ColumnRowBytes(types[i], perCharacter);
    changed.push_back(i);
  }

  if (innoDb) {
    // The record header (5 bytes), the null bits and the hidden transaction,
    // roll-back and row id columns (19 bytes) are on the page too.
    std::size_t pageBytes = 5 + (nullBits + 7) / 8 + 19;
    for (const std::string& type : types)
      pageBytes += InnoDbPageBytes(type, perCharacter);
    std::stable_sort(candidates.begin(), candidates.end(), [&](std::size_t a, std::size_t b) {
      const std::size_t pa = InnoDbPageBytes(types[a], perCharacter);
      const std::size_t pb = InnoDbPageBytes(types[b], perCharacter);
      return pa != pb ? pa > pb : a > b;
    });
    for (std::size_t i : candidates) {
      if (pageBytes < kMaxInnoDbRowBytes) break;
      const std::size_t before = InnoDbPageBytes(types[i], perCharacter);
      // A column already off the page gains nothing as TEXT and would lose
      // its ability to carry a key.
      if (before <= InnoDbPageBytes("TEXT", perCharacter)) break;
      types[i] = "TEXT";
      pageBytes = pageBytes - before + InnoDbPageBytes(types[i], perCharacter);
      changed.push_back(i);
    }
  }
  std::sort(changed.begin(), changed.end());
  return changed;
}

}  // namespace tablift
