#pragma once

#include <string>
#include <string_view>

namespace tablift {

// Whether a path ends in ".mdb" (Jet 3 and Jet 4) or ".accdb" (ACE 12 and
// later), whatever its case: such a path names the file itself.
bool HasAccessFileEnding(std::string_view path);

// The file behind an Access database name. A name that ends in ".mdb" or
// ".accdb" is the file; otherwise ".accdb" is added when only that file exists
// and ".mdb" in every other case, so that the file of a database name the
// tree shows is found whatever its format.
std::string AccessFileOf(std::string name);

}  // namespace tablift
