#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "data_access/jet/jet_value.h"
#include "data_access/jet/sql/exact_decimal.h"

namespace tablift::jet {

// How expressions turn one kind of value into another. The functions throw
// QueryError (Evaluation) with Access's own wording: "Type mismatch",
// "Overflow", "Invalid use of Null". None accepts Null unless it says so.

// The text form of a value as CStr and & give it: numbers in C locale with at
// most 15 significant digits ("0.1", "1E+20"), Currency and Decimal without
// trailing zeros, True/False, dates as "2024-02-29", "13:45:07" or
// "2024-02-29 13:45:07" (ISO order instead of the Windows short date), GUIDs
// in braces, bytes as they are. Null gives "".
std::string TextOf(const Value& value);
std::string FormatDouble(double value);

// Text read as a number when it is one (blanks around it allowed): Long when
// whole and in range, else Double. Empty otherwise.
std::optional<Value> NumberFromText(std::string_view text);

bool IsNumericKind(const Value& value);  // bool, integers, Double, Currency, Decimal

// For arithmetic: bool becomes -1/0, text becomes Double, dates their serial;
// numbers stay as they are. GUIDs and bytes are a type mismatch.
Value ToArithmetic(const Value& value);

std::int64_t ToInteger(const Value& value);  // rounds half to even
double ToDouble(const Value& value);
Currency ToCurrency(const Value& value);
ExactDecimal ToExactDecimal(const Value& value);
double ToDateSerial(const Value& value);
// Truth as conditions see it: Null is unknown; numbers are true unless 0;
// text must be a number or "True"/"False".
std::optional<bool> TruthOf(const Value& value);

// The value in the kind that stands for `type` (Long for Byte, Integer and
// Long; Double for Single; text for Memo). Null stays Null.
Value ConvertToType(Value value, JetType type, std::uint8_t scale = 0);
// Whether `value` already is of the kind that stands for `type` (a date
// within range): ConvertToType gives such a value back unchanged, and it can
// be handed on without a conversion.
bool HoldsKindOf(const Value& value, JetType type);

Decimal DecimalValue(const ExactDecimal& value);
std::int64_t CheckedInteger(std::int64_t value, std::int64_t low, std::int64_t high);

}  // namespace tablift::jet
