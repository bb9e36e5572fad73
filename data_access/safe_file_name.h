#pragma once

#include <string>
#include <string_view>

namespace tablift {

// An object name made usable as the name of a file in the current directory:
// path separators ("/" and "\") and NUL become "_", and a name that would
// address the directory itself or its parent ("", ".", "..") gets a "_" in
// front. Everything else, non-ASCII letters included, is kept.
std::string SafeFileName(std::string_view name);

}  // namespace tablift
