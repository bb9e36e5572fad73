#include "data_access/jet/writer/database_header_page.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "data_access/jet/database_header.h"
#include "data_access/jet/rc4_cipher.h"
#include "data_access/jet/writer/jet4_page_format.h"

namespace tablift::jet {
namespace {

using namespace database_header;

constexpr std::uint8_t kVersionJet4 = 0x01;
constexpr std::size_t kSortOrderOffset = 0x6E;

// Bytes that an empty database made by the Jet 4 engine carries and whose
// meaning is not documented; they are reproduced as found.
constexpr std::array<std::uint8_t, 24> kEngineTable = {
    0x00, 0x01, 0x00, 0x00, 0x01, 0x01, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00,
    0x03, 0x00, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00, 0x05, 0x00, 0x00, 0x00};
constexpr std::size_t kEngineFlagsOffset = 0x6A;
constexpr std::array<std::uint8_t, 2> kEngineFlags = {0xA6, 0x11};
constexpr std::size_t kEngineTrailerOffset = 0x98;
constexpr std::array<std::uint8_t, 8> kEngineTrailer = {0x54, 0x06, 0x00, 0x00,
                                                        '4',  '.',  '0',  0x00};
constexpr std::size_t kEngineTailOffset = 0xE00;

}  // namespace

ByteVector BuildDatabaseHeaderPage(const DatabaseHeaderFields& fields) {
  ByteVector page(jet4::kPageSize, 0);
  page[0] = jet4::kPageDatabaseHeader;
  page[1] = 0x01;
  std::memcpy(&page[kSignatureOffset], kJetSignature, sizeof kJetSignature);
  page[kVersionOffset] = kVersionJet4;

  std::copy(kEngineTable.begin(), kEngineTable.end(), page.begin() + kScrambledOffset);
  StoreLe16(&page[kCodePageOffset], jet4::kCodePage1252);
  StoreLe16(&page[kSortOrderOffset], jet4::kGeneralSortOrder);
  std::copy(kEngineFlags.begin(), kEngineFlags.end(), page.begin() + kEngineFlagsOffset);
  StoreLeDouble(&page[kCreationDateOffset], fields.created);

  const std::size_t passwordBytes = std::min(fields.password.size(), kJet4PasswordLength);
  std::copy_n(fields.password.begin(), passwordBytes, page.begin() + kPasswordOffset);
  const std::array<std::uint8_t, 4> mask = PasswordMask(fields.created);
  for (std::size_t i = 0; i < kJet4PasswordLength; ++i)
    page[kPasswordOffset + i] ^= mask[i % 4];

  ApplyRc4(kScrambleKey, std::span(page).subspan(kScrambledOffset, kJet4ScrambledLength));

  std::copy(kEngineTrailer.begin(), kEngineTrailer.end(), page.begin() + kEngineTrailerOffset);
  page[kEngineTailOffset] = 0x01;
  page[kEngineTailOffset + 1] = 0x01;
  for (std::size_t at = kEngineTailOffset + 3; at < jet4::kPageSize; at += 2)
    page[at] = 0x01;
  return page;
}

}  // namespace tablift::jet
