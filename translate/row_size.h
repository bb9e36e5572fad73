#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tablift {

// MySQL refuses a table whose columns (BLOB and TEXT columns counted by their
// pointers only) may need more than this many bytes per row.
inline constexpr std::size_t kMaxRowBytes = 65535;

// InnoDB keeps a whole row on half of a 16 kB page: it refuses a table whose
// columns kept on the page may need this many bytes or more. A column that may
// hold more than 255 bytes (and every TEXT and BLOB) can move to a page of its
// own and leaves only a pointer behind.
inline constexpr std::size_t kMaxInnoDbRowBytes = 8126;

// The most bytes one character takes in a MySQL character set (latin1 1,
// utf8 3, utf8mb4 4, ...); 1 for the single-byte sets.
std::size_t BytesPerCharacter(std::string_view charset);

// What a column of this MySQL type may take of a row, as MySQL counts it.
std::size_t ColumnRowBytes(std::string_view mysqlType, std::size_t bytesPerCharacter);

// What a column of this MySQL type may take of an InnoDB page.
std::size_t InnoDbPageBytes(std::string_view mysqlType, std::size_t bytesPerCharacter);

// Keeps a table within MySQL's row size: while the columns of `types` would
// need more than kMaxRowBytes in `charset`, the widest nullable VARCHAR(n)
// becomes TEXT, which is kept outside the row. (Text columns are VARCHAR so
// that they can carry keys; required ones, which keys are usually made of,
// stay so.) For an InnoDB table (`innoDb`) the nullable VARCHAR(n) that take
// the most of the page then follow, while the row would not fit on the page.
// Returns the positions of the columns changed.
std::vector<std::size_t> FitRowSize(std::vector<std::string>& types,
                                    const std::vector<bool>& nullable, std::string_view charset,
                                    bool innoDb = false);

}  // namespace tablift
