#pragma once

#include <vector>

#include "translate/access_parser.h"

namespace tablift {

// Format(value, format) with the format as a literal: the named formats of
// dates (General Date, Long Date, Medium Date, Short Date, Long Time,
// Medium Time, Short Time) and numbers (General Number, Currency, Fixed,
// Standard, Percent, Yes/No, True/False, On/Off), date patterns ("yyyy",
// "mm/dd/yyyy", "mmm d, yyyy", "hh:nn AM/PM") and number patterns ("0.00",
// "#,##0", "$#,##0.00", "0.0%", "0.##", "000", and sections for negative
// numbers, zero and Null: "0.00;(0.00);-"), as Access shows them with United
// States settings. Other formats (scaling commas, quoted text, text
// formats) throw Untranslatable.
Operand TranslateFormat(const std::vector<Operand>& arguments);

// A date in Format's General Date: "1/31/2020" at midnight, "1:05:09 PM"
// on day zero, "1/31/2020 1:05:09 PM" otherwise.
std::string GeneralDate(const std::string& date);

// A date turned into text by & or CStr, in the provider's text form that
// does not depend on regional settings: "2020-01-31" at midnight,
// "13:05:09" on day zero, "2020-01-31 13:05:09" otherwise.
std::string DateText(const std::string& date);

}  // namespace tablift
