#pragma once

#include <cstdint>
#include <filesystem>

#include "data_access/jet/writer/little_endian.h"
#include "data_access/jet/writer/write_status.h"

namespace tablift::jet {

// The database file as a sequence of 4096-byte pages. Page numbers are handed
// out in order; a page may be written any time after it was handed out, so
// that definitions can be completed after the rows they describe.
class PageFile {
 public:
  PageFile() = default;
  ~PageFile();
  PageFile(const PageFile&) = delete;
  PageFile& operator=(const PageFile&) = delete;

  // Creates the file; an existing file is never opened or replaced.
  WriteStatus create(const std::filesystem::path& path);

  // The next unused page number, or a failure when the file would grow past
  // the Jet 4 limit.
  WriteStatus allocate(std::uint32_t& page);
  WriteStatus allocateRun(std::uint32_t count, std::uint32_t& firstPage);
  std::uint32_t pageCount() const { return pageCount_; }

  WriteStatus write(std::uint32_t page, const ByteVector& bytes);

  // Flushes and closes the file, keeping it.
  WriteStatus close();
  // Closes and deletes the file: what is left of a failed write is never
  // mistaken for a database.
  void discard();

  const std::filesystem::path& path() const { return path_; }

 private:
  int descriptor_ = -1;
  std::uint32_t pageCount_ = 0;
  std::filesystem::path path_;
};

}  // namespace tablift::jet
