#include "access/index_answer.h"

namespace tablift {
namespace {

std::vector<std::string_view> Split(std::string_view text, std::string_view separator) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  while (true) {
    const std::size_t at = text.find(separator, start);
    if (at == std::string_view::npos) {
      parts.push_back(text.substr(start));
      return parts;
    }
    parts.push_back(text.substr(start, at - start));
    start = at + separator.size();
  }
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

std::string EncodeIndexAnswerName(std::string_view name) {
  std::string encoded;
  encoded.reserve(name.size());
  for (const char c : name) {
    if (c == '%') {
      encoded += "%25";
    } else if (c == '`') {
      encoded += "%60";
    } else if (c == ',') {
      encoded += "%2C";
    } else {
      encoded.push_back(c);
    }
  }
  return encoded;
}

std::string DecodeIndexAnswerName(std::string_view encoded) {
  std::string name;
  name.reserve(encoded.size());
  for (std::size_t i = 0; i < encoded.size(); ++i) {
    if (encoded[i] == '%' && i + 2 < encoded.size() && HexDigit(encoded[i + 1]) >= 0 &&
        HexDigit(encoded[i + 2]) >= 0) {
      name.push_back(static_cast<char>(HexDigit(encoded[i + 1]) * 16 + HexDigit(encoded[i + 2])));
      i += 2;
    } else {
      name.push_back(encoded[i]);
    }
  }
  return name;
}

std::string IndexAnswerEntryText(const std::string& name, const std::vector<std::string>& fields) {
  std::string entry = EncodeIndexAnswerName(name);
  entry += kIndexNameSeparator;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) entry += ',';
    entry += EncodeIndexAnswerName(fields[i]);
  }
  return entry;
}

std::vector<IndexAnswerEntry> ParseIndexAnswer(std::string_view answer) {
  std::vector<IndexAnswerEntry> entries;
  if (answer.empty()) return entries;
  for (const std::string_view entryText : Split(answer, kIndexEntrySeparator)) {
    const std::size_t separator = entryText.find(kIndexNameSeparator);
    if (separator == std::string_view::npos) continue;
    IndexAnswerEntry entry;
    entry.name = DecodeIndexAnswerName(entryText.substr(0, separator));
    const std::string_view fields = entryText.substr(separator + kIndexNameSeparator.size());
    if (!fields.empty()) {
      for (const std::string_view field : Split(fields, ","))
        entry.fields.push_back(DecodeIndexAnswerName(field));
    }
    entries.push_back(std::move(entry));
  }
  return entries;
}

}  // namespace tablift
