#pragma once

#include <string>
#include <string_view>

namespace tablift {

// What stands in for a password wherever a text is shown.
inline constexpr std::string_view kMaskedSecret = "****";

// The text with the value of every password attribute of a connection string
// in it ("PWD=...", "PASSWORD=...", in any case, braced or not) replaced by
// kMaskedSecret, so that a driver's message or a data source name that
// echoes a connection string never shows a password.
std::string MaskPasswords(std::string_view text);

}  // namespace tablift
