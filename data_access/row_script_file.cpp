#include "data_access/row_script_file.h"

#include <cerrno>

namespace tablift {

bool RowScriptFile::open(const std::string& path) {
  file_.reset(std::fopen(path.c_str(), "w+"));
  if (!file_) return false;
  buffer_.resize(kBufferBytes);
  std::setvbuf(file_.get(), buffer_.data(), _IOFBF, buffer_.size());
  return true;
}

bool RowScriptFile::close() {
  if (!file_) {
    errno = EBADF;
    return false;
  }
  return std::fclose(file_.release()) == 0;
}

}  // namespace tablift
