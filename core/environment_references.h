#pragma once

#include <string>
#include <string_view>

namespace tablift {

// Expands "%NAME%" references the way Windows-style paths in configuration
// records write them, so that such a record names the same file here: each
// reference becomes the value of the environment variable NAME (empty when it
// is not set), USERPROFILE falling back to HOME. Every occurrence of a name is
// replaced at once. A lone "%" without a partner stays as it is, and text that
// a value brings in is not expanded again, so a value holding "%" signs cannot
// make the expansion run forever.
std::string ExpandEnvironmentReferences(std::string_view text);

}  // namespace tablift
