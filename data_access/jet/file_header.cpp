#include "data_access/jet/file_header.h"

#include <sys/stat.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <vector>

#include "data_access/jet/database_header.h"
#include "data_access/jet/rc4_cipher.h"
#include "data_access/jet/windows1252_text.h"

namespace tablift::jet {
namespace {

using namespace database_header;

constexpr std::size_t kJet3PageSize = 2048;
constexpr std::size_t kJet4PageSize = 4096;
constexpr std::size_t kDatabaseKeyOffset = 0x3E;
// Where an ACE header keeps the length of its encryption structure; the
// structure follows the length.
constexpr std::size_t kEncryptionInfoOffset = 0x299;
// A database holds at least the header, the first usage page and the table
// definition of MSysObjects.
constexpr std::uint64_t kMinimumPages = 3;

std::uint16_t Word(const std::uint8_t* at) {
  return static_cast<std::uint16_t>(at[0] | (at[1] << 8));
}

std::uint32_t DoubleWord(const std::uint8_t* at) {
  return static_cast<std::uint32_t>(at[0]) | (static_cast<std::uint32_t>(at[1]) << 8) |
         (static_cast<std::uint32_t>(at[2]) << 16) | (static_cast<std::uint32_t>(at[3]) << 24);
}

void AppendUtf8(std::string& out, std::uint32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

}  // namespace

const char* FileFormatName(FileFormat format) {
  switch (format) {
    case FileFormat::Jet3:
      return "Jet 3";
    case FileFormat::Jet4:
      return "Jet 4";
    case FileFormat::Ace12:
      return "ACE 12";
    case FileFormat::Ace14:
      return "ACE 14";
    case FileFormat::Ace15:
      return "ACE 15";
    case FileFormat::Ace16:
      return "ACE 16";
    case FileFormat::Ace17:
      return "ACE 17";
  }
  return "Jet 4";
}

std::string DecodeDatabasePassword(const std::uint8_t* headerPage, std::size_t size,
                                   JetVersion version) {
  std::string password;
  if (version == JetVersion::Jet3) {
    if (size < kPasswordOffset + kJet3PasswordLength) return password;
    std::size_t length = 0;
    while (length < kJet3PasswordLength && headerPage[kPasswordOffset + length] != 0)
      ++length;
    return DecodeWindows1252(std::span<const std::uint8_t>(headerPage + kPasswordOffset, length));
  }
  double created = 0;
  if (size < kCreationDateOffset + sizeof created) return password;
  std::memcpy(&created, headerPage + kCreationDateOffset, sizeof created);
  const std::array<std::uint8_t, 4> mask = PasswordMask(created);
  for (std::size_t i = 0; i + 1 < kJet4PasswordLength; i += 2) {
    const auto low = static_cast<std::uint8_t>(headerPage[kPasswordOffset + i] ^ mask[i % 4]);
    const auto high =
        static_cast<std::uint8_t>(headerPage[kPasswordOffset + i + 1] ^ mask[(i + 1) % 4]);
    const std::uint16_t unit = static_cast<std::uint16_t>(low | (high << 8));
    if (unit == 0) break;
    AppendUtf8(password, unit);
  }
  return password;
}

HeaderCheck ReadFileHeader(const std::string& path, FileHeader& header) {
  header = FileHeader{};
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) {
    return errno == EACCES ? HeaderCheck::CannotOpen : HeaderCheck::FileNotFound;
  }
  if (!S_ISREG(status.st_mode)) return HeaderCheck::CannotOpen;

  std::ifstream file(path, std::ios::binary);
  if (!file) return HeaderCheck::CannotOpen;
  std::vector<std::uint8_t> page(kJet4PageSize, 0);
  file.read(reinterpret_cast<char*>(page.data()), static_cast<std::streamsize>(page.size()));
  const auto read = static_cast<std::size_t>(file.gcount());
  if (read < kJet3PageSize) return HeaderCheck::UnrecognizedFormat;

  if (page[0] != 0 || page[1] != 1 || page[2] != 0 || page[3] != 0 ||
      (std::memcmp(page.data() + kSignatureOffset, kJetSignature, sizeof kJetSignature) != 0 &&
       std::memcmp(page.data() + kSignatureOffset, kAceSignature, sizeof kAceSignature) != 0)) {
    return HeaderCheck::UnrecognizedFormat;
  }
  // ACE files (Access 2007 and later) lay out their pages as Jet 4 does.
  static constexpr FileFormat kFormats[] = {FileFormat::Jet3,  FileFormat::Jet4,  FileFormat::Ace12,
                                            FileFormat::Ace14, FileFormat::Ace15, FileFormat::Ace16,
                                            FileFormat::Ace17};
  const std::uint8_t versionByte = page[kVersionOffset];
  if (versionByte >= std::size(kFormats)) return HeaderCheck::UnrecognizedFormat;
  header.format = kFormats[versionByte];
  header.version = header.format == FileFormat::Jet3 ? JetVersion::Jet3 : JetVersion::Jet4;
  header.pageSize = header.version == JetVersion::Jet3 ? kJet3PageSize : kJet4PageSize;
  if (read < header.pageSize) return HeaderCheck::UnrecognizedFormat;
  const auto size = static_cast<std::uint64_t>(status.st_size);
  header.pageCount = (size + header.pageSize - 1) / header.pageSize;
  if (header.pageCount < kMinimumPages) return HeaderCheck::UnrecognizedFormat;

  const std::size_t scrambled =
      header.version == JetVersion::Jet3 ? kJet3ScrambledLength : kJet4ScrambledLength;
  ApplyRc4(kScrambleKey, std::span<std::uint8_t>(page.data() + kScrambledOffset, scrambled));
  header.codePage = Word(page.data() + kCodePageOffset);
  header.databaseKey = DoubleWord(page.data() + kDatabaseKeyOffset);
  std::memcpy(header.encodingKey.data(), page.data() + kDatabaseKeyOffset, 4);
  if (header.encrypted()) {
    const std::size_t length = Word(page.data() + kEncryptionInfoOffset);
    const std::size_t start = kEncryptionInfoOffset + 2;
    if (length > header.pageSize - start) return HeaderCheck::UnrecognizedFormat;
    header.encryptionInfo.assign(page.begin() + static_cast<std::ptrdiff_t>(start),
                                 page.begin() + static_cast<std::ptrdiff_t>(start + length));
  }
  // An ACE database with a password is encrypted with it: its header keeps no
  // password of the Jet kind (the bytes there are no such password).
  if (!IsAce(header.format)) {
    header.password = DecodeDatabasePassword(page.data(), page.size(), header.version);
  }
  return HeaderCheck::Ok;
}

}  // namespace tablift::jet
