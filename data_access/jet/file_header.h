#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tablift::jet {

// The page layout family: Access 2007 and later (ACE) files keep Jet 4's.
enum class JetVersion { Jet3, Jet4 };

// The exact format of the file, as the version byte of its header names it.
enum class FileFormat { Jet3, Jet4, Ace12, Ace14, Ace15, Ace16, Ace17 };

// "Jet 3", "Jet 4", "ACE 12", "ACE 14", "ACE 15", "ACE 16" or "ACE 17".
const char* FileFormatName(FileFormat format);

inline bool IsAce(FileFormat format) {
  return format != FileFormat::Jet3 && format != FileFormat::Jet4;
}

// What the header page of an .mdb or .accdb file says, read without libmdb:
// this is the first check a file passes before anything follows its
// structures.
struct FileHeader {
  JetVersion version = JetVersion::Jet4;
  FileFormat format = FileFormat::Jet4;
  std::size_t pageSize = 4096;
  std::uint64_t pageCount = 0;    // whole or partial pages in the file
  std::uint16_t codePage = 0;     // of Jet 3 text
  std::uint32_t databaseKey = 0;  // non-zero: the pages are encoded
  std::string password;           // UTF-8; empty when the database has none
  // The database key as stored: in an ACE file a non-zero key means that
  // every page but the header is encrypted with the database password, and
  // `encryptionInfo` then holds how (Office's EncryptionInfo structure).
  std::array<std::uint8_t, 4> encodingKey{};
  std::vector<std::uint8_t> encryptionInfo;

  bool encrypted() const { return IsAce(format) && databaseKey != 0; }
};

enum class HeaderCheck {
  Ok,
  FileNotFound,
  CannotOpen,          // exists, but cannot be read (permissions, a folder)
  UnrecognizedFormat,  // not a Jet or ACE database
};

HeaderCheck ReadFileHeader(const std::string& path, FileHeader& header);

// Decodes the database password the header stores. `headerPage` is the first
// page as read from the file (at least 0x80 bytes past 0x18).
std::string DecodeDatabasePassword(const std::uint8_t* headerPage, std::size_t size,
                                   JetVersion version);

}  // namespace tablift::jet
