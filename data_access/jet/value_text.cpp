#include "data_access/jet/value_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <type_traits>

#include "data_access/schema_rowsets.h"

namespace tablift::jet {
namespace {

// Days from 1970-01-01 to 1899-12-30.
constexpr std::int64_t kAccessEpoch = -25569;
// Beyond this many days from the epoch a date is no date Access can hold
// (years 100 to 9999 lie well inside).
constexpr double kLargestDays = 3.0e6;

template <typename T>
std::string ShortestText(T number) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, number);
  return std::string(buffer, result.ptr);
}

std::string CurrencyText(std::int64_t scaled) {
  const bool negative = scaled < 0;
  const std::uint64_t magnitude =
      negative ? ~static_cast<std::uint64_t>(scaled) + 1 : static_cast<std::uint64_t>(scaled);
  std::string text = negative ? "-" : "";
  text += ShortestText(magnitude / 10000);
  const std::uint64_t fraction = magnitude % 10000;
  text += '.';
  text += static_cast<char>('0' + fraction / 1000);
  text += static_cast<char>('0' + fraction / 100 % 10);
  text += static_cast<char>('0' + fraction / 10 % 10);
  text += static_cast<char>('0' + fraction % 10);
  return text;
}

// The civil date of a count of days since 1970-01-01 (proleptic Gregorian).
void CivilDate(std::int64_t days, std::int64_t& year, unsigned& month, unsigned& day) {
  days += 719468;
  const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const auto dayOfEra = static_cast<unsigned>(days - era * 146097);
  const unsigned yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const unsigned shiftedMonth = (5 * dayOfYear + 2) / 153;
  day = dayOfYear - (153 * shiftedMonth + 2) / 5 + 1;
  month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
  year = static_cast<std::int64_t>(yearOfEra) + era * 400 + (month <= 2 ? 1 : 0);
}

}  // namespace

std::string DateText(double days) {
  std::string text;
  DateText(days, text);
  return text;
}

void DateText(double days, std::string& text) {
  if (!std::isfinite(days) || std::fabs(days) > kLargestDays) {
    text = ShortestText(days);
    return;
  }
  // Before 1899-12-30 the whole days count backwards but the time of day
  // still runs forwards: -1.25 is 1899-12-29 06:00.
  auto whole = static_cast<std::int64_t>(std::trunc(days));
  auto seconds = static_cast<std::int64_t>(std::llround(std::fabs(days - whole) * 86400.0));
  if (seconds >= 86400) {
    seconds -= 86400;
    whole += 1;
  }
  std::int64_t year = 0;
  unsigned month = 0;
  unsigned day = 0;
  CivilDate(whole + kAccessEpoch, year, month, day);
  if (year >= 0 && year <= 9999) {
    // The common case, written digit by digit: a migration formats a date
    // for every row.
    text.assign("0000-00-00 00:00:00");
    const auto put = [&text](std::size_t at, std::size_t width, std::uint64_t value) {
      for (std::size_t i = width; i > 0; --i, value /= 10)
        text[at + i - 1] = static_cast<char>('0' + value % 10);
    };
    put(0, 4, static_cast<std::uint64_t>(year));
    put(5, 2, month);
    put(8, 2, day);
    put(11, 2, static_cast<std::uint64_t>(seconds / 3600));
    put(14, 2, static_cast<std::uint64_t>((seconds / 60) % 60));
    put(17, 2, static_cast<std::uint64_t>(seconds % 60));
    return;
  }
  char buffer[96];
  std::snprintf(buffer, sizeof buffer, "%04lld-%02u-%02u %02lld:%02lld:%02lld",
                static_cast<long long>(year), month, day, static_cast<long long>(seconds / 3600),
                static_cast<long long>((seconds / 60) % 60), static_cast<long long>(seconds % 60));
  text.assign(buffer);
}

std::string HexText(const std::vector<std::uint8_t>& bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  text.resize(bytes.size() * 2);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    text[2 * i] = kDigits[bytes[i] >> 4];
    text[2 * i + 1] = kDigits[bytes[i] & 0x0F];
  }
  return text;
}

ColumnValue ValueText(const Value& value, JetType type) {
  ColumnValue text;
  ValueText(value, type, text);
  return text;
}

void ValueText(const Value& value, JetType type, ColumnValue& text) {
  text.null = false;
  std::visit(
      [&](const auto& held) {
        using T = std::decay_t<decltype(held)>;
        if constexpr (std::is_same_v<T, Null>) {
          text.null = true;
          text.text.clear();
        } else if constexpr (std::is_same_v<T, bool>) {
          text.text = held ? kTrueText : kFalseText;
        } else if constexpr (std::is_same_v<T, std::int64_t>) {
          text.text = ShortestText(held);
        } else if constexpr (std::is_same_v<T, double>) {
          text.text =
              type == JetType::Single ? ShortestText(static_cast<float>(held)) : ShortestText(held);
        } else if constexpr (std::is_same_v<T, Currency>) {
          text.text = CurrencyText(held.scaled);
        } else if constexpr (std::is_same_v<T, DateTime>) {
          DateText(held.days, text.text);
        } else if constexpr (std::is_same_v<T, Decimal>) {
          text.text = held.digits;
        } else if constexpr (std::is_same_v<T, std::string>) {
          text.text = held;
        } else if constexpr (std::is_same_v<T, Guid>) {
          text.text = held.text;
        } else {
          text.text = HexText(held.data);
        }
      },
      value);
}

}  // namespace tablift::jet
