#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace tablift::jet {

// Text in code page 1252 (the code page of nearly every Jet 3 database) as
// UTF-8. The five bytes the code page leaves undefined become the control
// characters of the same number, as Windows converts them, rather than the
// '?' an iconv conversion would put in their place.
std::string DecodeWindows1252(std::span<const std::uint8_t> stored);

}  // namespace tablift::jet
