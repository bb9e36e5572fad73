#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tablift {

// Settings and condition files are INI profile files, read and written one key
// at a time as the Windows profile functions do:
//
//   [section]
//   key=value
//
// Section and key names are compared without regard to the case of ASCII
// letters; blanks around names, around "=" and around values are not part of
// them; lines starting with ";" are comments. A value whose first and last
// characters are the same quote (' or ") loses that one pair when read, so
// that a value may keep outer blanks. Values are read back whole, however long.

// The value of `key` in `section`, or `defaultValue` when the file, the
// section or the key is missing.
std::string ReadProfileString(const std::filesystem::path& file, std::string_view section,
                              std::string_view key, std::string_view defaultValue);

enum class ProfileFileAccess {
  Shared,   // a new file gets the usual permissions (0666 less the umask)
  Private,  // the file is made readable by its owner only (0600): it holds passwords
};

// Sets `key` in `section` to `value`: the key's line is replaced where it
// stands, a missing key is added at the end of its section and a missing
// section at the end of the file; every other line stays as it was. The file
// is created when missing and replaced in one step (written beside it, then
// renamed), so a failure never leaves half a file. A value that would not
// read back as written (outer blanks, outer quotes) is written in double
// quotes. Refused, with the reason in `error`: a section name holding "]" or
// a line break, a key that is empty or holds "=", a leading "[" or ";", outer
// blanks or a line break, and a value holding a line break, since none of them
// could be read back.
bool WriteProfileString(const std::filesystem::path& file, std::string_view section,
                        std::string_view key, std::string_view value, std::string* error = nullptr,
                        ProfileFileAccess access = ProfileFileAccess::Shared);

}  // namespace tablift
