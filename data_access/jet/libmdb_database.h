#pragma once

#include "data_access/jet/libmdb.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "data_access/jet/page_rows.h"

namespace tablift::jet {

// An .mdb or .accdb file opened read-only with libmdb. Used only inside the reader
// process (see reader_process.h): libmdb follows the file's structures as it
// finds them, so everything that drives it lives where a wild read can do no
// harm to the program.
class LibmdbDatabase {
 public:
  // Null when libmdb does not take the file; `problem` says why.
  static std::unique_ptr<LibmdbDatabase> open(const std::string& path, std::string& problem);
  ~LibmdbDatabase();
  LibmdbDatabase(const LibmdbDatabase&) = delete;
  LibmdbDatabase& operator=(const LibmdbDatabase&) = delete;

  MdbHandle* handle() const { return mdb_; }
  bool jet3() const { return IS_JET3(mdb_); }
  // Access 2007 and later: column entries carry more (see table_layout.h).
  bool ace() const { return mdb_->f->jet_version >= MDB_VER_ACCDB_2007; }
  const PageFormat& pageFormat() const { return format_; }
  std::size_t pageSize() const { return format_.pageSize; }
  std::uint64_t pageCount() const { return pageCount_; }

  // A decoded copy of a page, read beside libmdb's current page so that a
  // table being read keeps its place. False for a page outside the file.
  bool readPage(std::uint32_t page, std::vector<std::uint8_t>& bytes);

  // Text as stored in a row or a property, as UTF-8: Jet 4 text is UTF-16,
  // Jet 3 text is in the database's code page (libmdb converts it).
  std::string decodeText(std::span<const std::uint8_t> stored);

 private:
  LibmdbDatabase(MdbHandle* mdb, std::uint64_t pageCount);

  MdbHandle* mdb_;
  PageFormat format_;
  std::uint64_t pageCount_;
  bool windows1252_ = false;  // Jet 3 text decoded by us rather than by iconv
};

}  // namespace tablift::jet
