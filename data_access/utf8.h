#pragma once

#include <string>

namespace tablift {

// Appends one Unicode code point to UTF-8 text.
void AppendUtf8(std::string& out, char32_t code);

}  // namespace tablift
