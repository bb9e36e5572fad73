#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tablift {

// What kind of MySQL column a default value must fit.
struct DefaultTarget {
  enum class Kind {
    Integer,   // an integer type with the range below
    Bit,       // Yes/No
    Real,      // REAL, DOUBLE
    Decimal,   // DECIMAL(precision, scale)
    DateTime,  // DATETIME
    Text,      // VARCHAR(maxCharacters)
    None,      // a type that takes no default here (long, binary, GUID, auto-increment)
  };
  Kind kind = Kind::None;
  std::int64_t minimum = 0;         // Integer
  std::int64_t maximum = 0;         // Integer
  int precision = 0;                // Decimal
  int scale = 0;                    // Decimal
  std::uint32_t maxCharacters = 0;  // Text
  // CURRENT_TIMESTAMP is a DATETIME default from MySQL 5.6 on.
  bool currentTimestamp = true;
};

// An Access default value (the column's "DefaultValue" property) turned into a
// MySQL default for a column of the given kind: a leading "=" dropped, Yes and
// True (also On) as 1, No and False (also Off) as 0, a quoted "text" as the
// MySQL literal 'text', Now() and Date() as CURRENT_TIMESTAMP, numbers as they
// are, dates written #month/day/year# as 'year-month-day'. Blank and Null
// give no default (`value` empty, `dropped` false). A value that MySQL cannot
// take for the column (an expression, a value of another type, out of range,
// too long) is dropped (`dropped` true).
struct TranslatedDefault {
  std::string value;
  bool dropped = false;
};
TranslatedDefault TranslateDefaultValue(std::string_view accessDefault,
                                        const DefaultTarget& target);

}  // namespace tablift
