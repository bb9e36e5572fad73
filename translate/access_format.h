#pragma once

#include <vector>

#include "translate/access_parser.h"

namespace tablift {

// Format(value, format) with the format as a literal: the named formats of
// dates (General Date, Long Date, Medium Date, Short Date, Long Time,
// Medium Time, Short Time) and numbers (General Number, Currency, Fixed,
// Standard, Percent, Yes/No, True/False, On/Off), date patterns ("yyyy",
// "mm/dd/yyyy", "mmm d, yyyy", "hh:nn AM/PM") and number patterns ("0.00",
// "#,##0", "$#,##0.00", "0.0%"), as Access shows them with United States
// settings. Other formats throw Untranslatable.
Operand TranslateFormat(const std::vector<Operand>& arguments);

}  // namespace tablift
