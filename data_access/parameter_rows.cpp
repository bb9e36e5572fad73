#include "data_access/parameter_rows.h"

#include <algorithm>

#include "data_access/calendar.h"

namespace tablift {
namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

bool IsParameterInteger(std::string_view text) {
  const std::string_view digits = !text.empty() && text[0] == '-' ? text.substr(1) : text;
  // 18 digits always fit; longer numbers stay text.
  if (digits.empty() || digits.size() > 18) return false;
  if (digits[0] == '0' && (digits.size() > 1 || digits.size() != text.size())) return false;
  for (const char c : digits) {
    if (!IsDigit(c)) return false;
  }
  return true;
}

ParameterDateTime ParameterDateTimeParts(std::string_view text) {
  const auto number = [text](std::size_t at, std::size_t width) {
    int value = 0;
    for (std::size_t i = at; i < at + width; ++i)
      value = value * 10 + (text[i] - '0');
    return value;
  };
  return ParameterDateTime{number(0, 4),  number(5, 2),  number(8, 2),
                           number(11, 2), number(14, 2), number(17, 2)};
}

bool IsParameterDateTime(std::string_view text) {
  static constexpr std::string_view kShape = "0000-00-00 00:00:00";
  if (text.size() != kShape.size()) return false;
  for (std::size_t i = 0; i < kShape.size(); ++i) {
    if (kShape[i] == '0' ? !IsDigit(text[i]) : text[i] != kShape[i]) return false;
  }
  const ParameterDateTime parts = ParameterDateTimeParts(text);
  return parts.year >= 1 && parts.month >= 1 && parts.month <= 12 && parts.day >= 1 &&
         parts.day <= DaysInMonth(parts.year, parts.month) && parts.hour <= 23 &&
         parts.minute <= 59 && parts.second <= 59;
}

std::size_t ParameterRows::rowCount() const {
  return columns_.empty() ? 0 : columns_.front().kinds.size();
}

void ParameterRows::addRow(const std::vector<ParameterValue>& values) {
  for (std::size_t k = 0; k < columns_.size(); ++k) {
    Column& column = columns_[k];
    const ParameterValue* value = k < values.size() ? &values[k] : nullptr;
    const Kind kind = value != nullptr ? value->kind : Kind::Null;
    if (kind != Kind::Null) {
      column.data += value->data;
      column.widest = std::max(column.widest, value->data.size());
      if (kind == Kind::Bytes) column.bytes = true;
      if (column.common == Kind::Null) {
        column.common = kind;
      } else if (column.common != kind) {
        column.common = column.bytes ? Kind::Bytes : Kind::Text;
      }
    }
    column.ends.push_back(column.data.size());
    column.kinds.push_back(kind);
  }
}

void ParameterRows::clear() {
  for (Column& column : columns_) {
    column.data.clear();
    column.ends.clear();
    column.kinds.clear();
    column.widest = 0;
    column.bytes = false;
    column.common = Kind::Null;
  }
}

std::string_view ParameterRows::data(std::size_t row, std::size_t column) const {
  const Column& held = columns_[column];
  const std::size_t begin = row == 0 ? 0 : held.ends[row - 1];
  return std::string_view(held.data).substr(begin, held.ends[row] - begin);
}

}  // namespace tablift
