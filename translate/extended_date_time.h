#pragma once

#include <string>

namespace tablift {

// Cuts a Date/Time Extended text ("YYYY-MM-DD HH:MM:SS.fffffff", seven digits
// of 100 ns) to the six digits MySQL's DATETIME(6) keeps. A shorter fraction
// or a text without one stays as it is. True when the digit dropped was not 0:
// the value then changed, which the caller must report, for MySQL would
// round or cut it without a word.
bool CutToMicroseconds(std::string& text);

}  // namespace tablift
