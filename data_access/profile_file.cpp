#include "data_access/profile_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>
#include <vector>

#include "data_access/ascii_text.h"

namespace tablift {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r';
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back()))
    text.remove_suffix(1);
  return text;
}

bool IsQuote(char c) {
  return c == '"' || c == '\'';
}

// One line of the file as the profile functions see it.
struct ParsedLine {
  enum class Kind { Other, Section, Key } kind = Kind::Other;
  std::string_view name;   // section or key
  std::string_view value;  // keys only, trimmed
};

ParsedLine Parse(std::string_view line) {
  ParsedLine parsed;
  const std::string_view text = Trim(line);
  if (text.empty() || text.front() == ';') return parsed;
  if (text.front() == '[') {
    const std::size_t close = text.find(']');
    parsed.kind = ParsedLine::Kind::Section;
    parsed.name = Trim(text.substr(1, close == std::string_view::npos ? text.npos : close - 1));
    return parsed;
  }
  const std::size_t equals = text.find('=');
  if (equals == std::string_view::npos) return parsed;
  parsed.kind = ParsedLine::Kind::Key;
  parsed.name = Trim(text.substr(0, equals));
  parsed.value = Trim(text.substr(equals + 1));
  return parsed;
}

std::string Unquoted(std::string_view value) {
  if (value.size() >= 2 && IsQuote(value.front()) && value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return std::string(value);
}

// The value as written after "=", so that reading gives `value` back.
std::string Encoded(std::string_view value) {
  const bool outerBlanks = !value.empty() && (IsBlank(value.front()) || IsBlank(value.back()));
  const bool outerQuotes =
      value.size() >= 2 && IsQuote(value.front()) && value.back() == value.front();
  if (outerBlanks || outerQuotes) return "\"" + std::string(value) + "\"";
  return std::string(value);
}

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The file's lines without their line feeds; nothing when it cannot be read.
// A missing file has no lines. A UTF-8 byte order mark is not part of the
// first line; `byteOrderMark` says whether the file had one.
std::optional<std::vector<std::string>> ReadLines(const std::filesystem::path& file,
                                                  std::string* error,
                                                  bool* byteOrderMark = nullptr) {
  std::vector<std::string> lines;
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    if (errno == ENOENT) return lines;
    if (error != nullptr) *error = file.string() + ": " + std::strerror(errno);
    return std::nullopt;
  }
  std::ostringstream content;
  content << in.rdbuf();
  std::string text = content.str();
  const bool marked = text.starts_with(kByteOrderMark);
  if (marked) text.erase(0, kByteOrderMark.size());
  if (byteOrderMark != nullptr) *byteOrderMark = marked;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.emplace_back(text, start, end - start);
    start = end + 1;
  }
  return lines;
}

bool Refuse(std::string* error, std::string reason) {
  if (error != nullptr) *error = std::move(reason);
  return false;
}

bool HasLineBreak(std::string_view text) {
  return text.find_first_of("\r\n") != std::string_view::npos;
}

// Writes the lines to a new file beside `file` and puts it in its place, with
// the byte order mark the file had: without it, a second mark or text that
// only looked like one would become the start of the first line.
bool ReplaceFile(const std::filesystem::path& file, const std::vector<std::string>& lines,
                 bool byteOrderMark, ProfileFileAccess access, std::string* error) {
  static std::atomic<unsigned> counter{0};
  struct stat existing {};
  const bool exists = ::stat(file.c_str(), &existing) == 0;
  std::string content(byteOrderMark ? kByteOrderMark : std::string_view());
  for (const std::string& line : lines)
    content += line + "\n";

  std::filesystem::path temporary;
  int fd = -1;
  for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
    temporary = file;
    temporary += ".tmp" + std::to_string(::getpid()) + "_" + std::to_string(++counter);
    const mode_t mode = access == ProfileFileAccess::Private ? 0600 : 0666;
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) return Refuse(error, file.string() + ": " + std::strerror(errno));

  bool written = true;
  if (access == ProfileFileAccess::Private) {
    written = ::fchmod(fd, 0600) == 0;
  } else if (exists) {
    written = ::fchmod(fd, existing.st_mode & 07777) == 0;
  }
  std::size_t done = 0;
  while (written && done < content.size()) {
    const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      written = false;
      break;
    }
    done += static_cast<std::size_t>(n);
  }
  if (written) written = ::fsync(fd) == 0;
  const int writeErrno = errno;
  if (::close(fd) != 0 && written) written = false;
  if (written && ::rename(temporary.c_str(), file.c_str()) == 0) return true;
  const std::string reason = std::strerror(written ? errno : writeErrno);
  ::unlink(temporary.c_str());
  return Refuse(error, file.string() + ": " + reason);
}

}  // namespace

std::string ReadProfileString(const std::filesystem::path& file, std::string_view section,
                              std::string_view key, std::string_view defaultValue) {
  const auto lines = ReadLines(file, nullptr);
  if (!lines) return std::string(defaultValue);
  const std::string_view wantedSection = Trim(section);
  const std::string_view wantedKey = Trim(key);
  bool inSection = false;
  bool seenSection = false;
  for (const std::string& line : *lines) {
    const ParsedLine parsed = Parse(line);
    if (parsed.kind == ParsedLine::Kind::Section) {
      // Only the first section of a name counts, as with the Windows functions.
      if (inSection) break;
      inSection = !seenSection && EqualsIgnoreCase(parsed.name, wantedSection);
      seenSection = seenSection || inSection;
    } else if (inSection && parsed.kind == ParsedLine::Kind::Key &&
               EqualsIgnoreCase(parsed.name, wantedKey)) {
      return Unquoted(parsed.value);
    }
  }
  return std::string(defaultValue);
}

bool WriteProfileString(const std::filesystem::path& file, std::string_view section,
                        std::string_view key, std::string_view value, std::string* error,
                        ProfileFileAccess access) {
  const std::string_view sectionName = Trim(section);
  if (sectionName.find(']') != std::string_view::npos || HasLineBreak(section)) {
    return Refuse(error, "The section name [" + std::string(section) + "] cannot be stored");
  }
  if (key.empty() || key != Trim(key) || key.find('=') != std::string_view::npos ||
      key.front() == '[' || key.front() == ';' || HasLineBreak(key)) {
    return Refuse(error, "The key name [" + std::string(key) + "] cannot be stored");
  }
  if (HasLineBreak(value)) {
    return Refuse(error, "A value of [" + std::string(key) + "] holds a line break");
  }

  bool byteOrderMark = false;
  auto lines = ReadLines(file, error, &byteOrderMark);
  if (!lines) return false;
  // Lines keep their carriage returns; new lines follow the file's first line.
  const std::string cr =
      !lines->empty() && !lines->front().empty() && lines->front().back() == '\r' ? "\r" : "";
  const std::string keyLine = std::string(key) + "=" + Encoded(value) + cr;

  std::optional<std::size_t> sectionLine;
  std::size_t insertAt = 0;  // after the last non-blank line of the section
  for (std::size_t i = 0; i < lines->size(); ++i) {
    const ParsedLine parsed = Parse((*lines)[i]);
    if (parsed.kind == ParsedLine::Kind::Section) {
      if (sectionLine) break;
      if (EqualsIgnoreCase(parsed.name, sectionName)) {
        sectionLine = i;
        insertAt = i + 1;
      }
      continue;
    }
    if (!sectionLine) continue;
    if (parsed.kind == ParsedLine::Kind::Key && EqualsIgnoreCase(parsed.name, key)) {
      (*lines)[i] = keyLine;
      return ReplaceFile(file, *lines, byteOrderMark, access, error);
    }
    if (!Trim((*lines)[i]).empty()) insertAt = i + 1;
  }
  if (sectionLine) {
    lines->insert(lines->begin() + static_cast<std::ptrdiff_t>(insertAt), keyLine);
  } else {
    lines->push_back("[" + std::string(sectionName) + "]" + cr);
    lines->push_back(keyLine);
  }
  return ReplaceFile(file, *lines, byteOrderMark, access, error);
}

}  // namespace tablift
