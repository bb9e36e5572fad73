#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tablift::jet {

enum class JetVersion { Jet3, Jet4 };

// What the header page of an .mdb file says, read without libmdb: this is the
// first check a file passes before anything follows its structures.
struct FileHeader {
  JetVersion version = JetVersion::Jet4;
  std::size_t pageSize = 4096;
  std::uint64_t pageCount = 0;    // whole or partial pages in the file
  std::uint16_t codePage = 0;     // of Jet 3 text
  std::uint32_t databaseKey = 0;  // non-zero: the pages are encoded
  std::string password;           // UTF-8; empty when the database has none
};

enum class HeaderCheck {
  Ok,
  FileNotFound,
  CannotOpen,          // exists, but cannot be read (permissions, a folder)
  UnrecognizedFormat,  // not a Jet 3 or Jet 4 database
};

HeaderCheck ReadFileHeader(const std::string& path, FileHeader& header);

// Decodes the database password the header stores. `headerPage` is the first
// page as read from the file (at least 0x80 bytes past 0x18).
std::string DecodeDatabasePassword(const std::uint8_t* headerPage, std::size_t size,
                                   JetVersion version);

}  // namespace tablift::jet
