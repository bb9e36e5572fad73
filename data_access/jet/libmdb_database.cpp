#include "data_access/jet/libmdb_database.h"

#include <sys/stat.h>

#include <cstdlib>
#include <cstring>

#include "data_access/jet/jet4_text.h"
#include "data_access/jet/windows1252_text.h"

namespace tablift::jet {

std::unique_ptr<LibmdbDatabase> LibmdbDatabase::open(const std::string& path,
                                                     std::string& problem) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) {
    problem = "the file cannot be found";
    return nullptr;
  }
  MdbHandle* mdb = mdb_open(path.c_str(), MDB_NOFLAGS);
  if (mdb == nullptr) {
    problem = "libmdb does not recognise the file";
    return nullptr;
  }
  if (mdb->f->jet_version < MDB_VER_JET3 || mdb->f->jet_version > MDB_VER_ACCDB_2019) {
    mdb_close(mdb);
    problem = "the file is not a Jet or ACE database";
    return nullptr;
  }
  const auto size = static_cast<std::uint64_t>(status.st_size);
  const auto pageSize = static_cast<std::uint64_t>(mdb->fmt->pg_size);
  return std::unique_ptr<LibmdbDatabase>(new LibmdbDatabase(mdb, (size + pageSize - 1) / pageSize));
}

LibmdbDatabase::LibmdbDatabase(MdbHandle* mdb, std::uint64_t pageCount)
    : mdb_(mdb), pageCount_(pageCount) {
  format_.pageSize = static_cast<std::size_t>(mdb->fmt->pg_size);
  format_.rowCountOffset = mdb->fmt->row_count_offset;
  // libmdb would take code page 1252 too, but through iconv, which turns the
  // code page's five undefined bytes into '?'. A configured override of the
  // code page (MDB_JET3_CHARSET) is left to libmdb.
  constexpr std::uint16_t kWindowsLatin1 = 1252;
  windows1252_ = mdb->f->code_page == kWindowsLatin1 && std::getenv("MDB_JET3_CHARSET") == nullptr;
}

LibmdbDatabase::~LibmdbDatabase() {
  mdb_close(mdb_);
}

bool LibmdbDatabase::readPage(std::uint32_t page, std::vector<std::uint8_t>& bytes) {
  if (page >= pageCount_) return false;
  if (mdb_read_alt_pg(mdb_, page) != mdb_->fmt->pg_size) return false;
  bytes.assign(mdb_->alt_pg_buf, mdb_->alt_pg_buf + format_.pageSize);
  return true;
}

std::string LibmdbDatabase::decodeText(std::span<const std::uint8_t> stored) {
  if (!jet3()) return DecodeJet4Text(stored);
  if (stored.empty()) return {};
  if (windows1252_) return DecodeWindows1252(stored);
  // A code page character becomes at most four bytes of UTF-8.
  std::vector<char> out(stored.size() * 4 + 1);
  const int length = mdb_unicode2ascii(mdb_, reinterpret_cast<const char*>(stored.data()),
                                       stored.size(), out.data(), out.size());
  return std::string(out.data(), length > 0 ? static_cast<std::size_t>(length) : 0);
}

}  // namespace tablift::jet
