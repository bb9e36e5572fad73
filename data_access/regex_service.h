#pragma once

#include <string>
#include <string_view>

namespace tablift {

// Every match of pattern in source replaced by replacement, written in the
// VBScript RegExp dialect (global, case-sensitive). In the replacement "$1" to
// "$99" stand for a group's text (empty when the group did not take part; a
// number beyond the pattern's groups stays as written), "$&" for the match,
// "$`" and "$'" for the text before and after it, "$$" for "$".
// A pattern that cannot be compiled shows "Can not create RegExp!" and gives
// "Error".
std::string ReplaceAll(std::string_view source, std::string_view pattern,
                       std::string_view replacement);

// The text of the last match of pattern in source, "" when there is none;
// "Error" as above.
std::string FindLastMatch(std::string_view source, std::string_view pattern);

}  // namespace tablift
