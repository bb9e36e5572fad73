#pragma once

#include <string>
#include <string_view>
#include <vector>

// The text an index reader answers with, and its parts.
namespace tablift {

inline constexpr std::string_view kIndexNameSeparator = "``";
inline constexpr std::string_view kIndexEntrySeparator = "`|`";

// A name as the answer carries it: "%", "`" and "," are written as "%25",
// "%60" and "%2C", so that the separators above and the "," between fields
// never occur inside a name.
std::string EncodeIndexAnswerName(std::string_view name);
std::string DecodeIndexAnswerName(std::string_view encoded);

// One index of an answer, names decoded.
struct IndexAnswerEntry {
  std::string name;
  std::vector<std::string> fields;  // in key order
};

// The answer entry of one index.
std::string IndexAnswerEntryText(const std::string& name, const std::vector<std::string>& fields);

// The entries of an answer in answer order. An entry without "``" is left
// out.
std::vector<IndexAnswerEntry> ParseIndexAnswer(std::string_view answer);

}  // namespace tablift
