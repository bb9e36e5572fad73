#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace tablift::jet {

// The Access column types, numbered as the Jet file format numbers them
// (libmdb's MDB_BOOL ... MDB_COMPLEX).
enum class JetType : std::uint8_t {
  Boolean = 0x01,   // Yes/No
  Byte = 0x02,      // unsigned 8 bit
  Integer = 0x03,   // 16 bit
  Long = 0x04,      // 32 bit (also AutoNumber)
  Currency = 0x05,  // 64 bit, four decimals
  Single = 0x06,
  Double = 0x07,
  DateTime = 0x08,
  Binary = 0x09,  // Binary(n)
  Text = 0x0A,    // Text(n)
  OleObject = 0x0B,
  Memo = 0x0C,
  ReplicationId = 0x0F,  // GUID
  Decimal = 0x10,        // numeric(p, s)
  // ACE only: a complex column (Attachment, multi-value, version history).
  // The row holds a Long that keys its values in a hidden table.
  Complex = 0x12,
  BigInt = 0x13,            // Large Number, 64 bit (ACE 16)
  DateTimeExtended = 0x14,  // Date/Time Extended (ACE 17): text, 100 ns steps
};

struct Null {
  friend bool operator==(Null, Null) = default;
};

// A Currency value: the amount times 10000.
struct Currency {
  std::int64_t scaled = 0;
  friend bool operator==(Currency, Currency) = default;
};

// A Date/Time value: days since 1899-12-30, the fraction being the time of day
// (Access's own representation, negative before that day).
struct DateTime {
  double days = 0;
  friend bool operator==(DateTime, DateTime) = default;
};

// A Decimal value as its exact digits: "-123.4500" (scale digits after the
// point, no exponent).
struct Decimal {
  std::string digits;
  friend bool operator==(const Decimal&, const Decimal&) = default;
};

// A Replication ID in registry form "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
struct Guid {
  std::string text;
  friend bool operator==(const Guid&, const Guid&) = default;
};

struct Bytes {
  std::vector<std::uint8_t> data;
  friend bool operator==(const Bytes&, const Bytes&) = default;
};

// One value as the query executor and the table reader hand it around. Byte,
// Integer, Long, Large Number and a complex column's key are std::int64_t;
// Single and Double are double; text is UTF-8; a Date/Time Extended value is
// its text "YYYY-MM-DD HH:MM:SS.fffffff" (seven digits of 100 ns: more than
// a DateTime's double can hold).
using Value = std::variant<Null, bool, std::int64_t, double, Currency, DateTime, Decimal,
                           std::string, Guid, Bytes>;

inline bool IsNull(const Value& value) {
  return std::holds_alternative<Null>(value);
}

}  // namespace tablift::jet
