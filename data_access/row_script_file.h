#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tablift {

// A script file written one row at a time, as long as its table: written
// through a large buffer of its own. Failures leave errno set, as the C
// library's do.
class RowScriptFile {
 public:
  // Creates (or empties) the file.
  bool open(const std::string& path);
  bool isOpen() const { return file_ != nullptr; }
  bool write(std::string_view text) {
    return std::fwrite(text.data(), 1, text.size(), file_.get()) == text.size();
  }
  bool flush() { return std::fflush(file_.get()) == 0; }
  // Writes what is buffered and closes the file; whether all of it was
  // written.
  bool close();

 private:
  struct Closer {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };
  static constexpr std::size_t kBufferBytes = 256 * 1024;

  std::vector<char> buffer_;  // outlives the file that writes through it
  std::unique_ptr<std::FILE, Closer> file_;
};

}  // namespace tablift
