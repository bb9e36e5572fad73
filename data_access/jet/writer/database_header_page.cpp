#include "data_access/jet/writer/database_header_page.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "data_access/jet/rc4_cipher.h"
#include "data_access/jet/writer/jet4_page_format.h"

namespace tablift::jet {
namespace {

constexpr char kSignature[] = "Standard Jet DB";
constexpr std::size_t kSignatureOffset = 0x04;
constexpr std::size_t kVersionOffset = 0x14;
constexpr std::uint8_t kVersionJet4 = 0x01;

// The hidden block and the key Jet uses for it.
constexpr std::size_t kHiddenOffset = 0x18;
constexpr std::size_t kHiddenLength = 128;
constexpr std::array<std::uint8_t, 4> kHeaderKey = {0xC7, 0xDA, 0x39, 0x6B};

constexpr std::size_t kCodePageOffset = 0x3C;
constexpr std::size_t kPasswordOffset = 0x42;
constexpr std::size_t kPasswordLength = 40;
constexpr std::size_t kSortOrderOffset = 0x6E;
constexpr std::size_t kCreatedOffset = 0x72;

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
  std::memcpy(&page[kSignatureOffset], kSignature, sizeof kSignature);
  page[kVersionOffset] = kVersionJet4;

  std::copy(kEngineTable.begin(), kEngineTable.end(), page.begin() + kHiddenOffset);
  StoreLe16(&page[kCodePageOffset], jet4::kCodePage1252);
  StoreLe16(&page[kSortOrderOffset], jet4::kGeneralSortOrder);
  std::copy(kEngineFlags.begin(), kEngineFlags.end(), page.begin() + kEngineFlagsOffset);
  StoreLeDouble(&page[kCreatedOffset], fields.created);

  // Jet 4 masks the password with the whole days of the creation date, so
  // that even an empty password does not read as zeros.
  const std::size_t passwordBytes = std::min(fields.password.size(), kPasswordLength);
  std::copy_n(fields.password.begin(), passwordBytes, page.begin() + kPasswordOffset);
  std::array<std::uint8_t, 4> mask{};
  StoreLe32(mask.data(), static_cast<std::uint32_t>(static_cast<std::int32_t>(fields.created)));
  for (std::size_t i = 0; i < kPasswordLength; ++i)
    page[kPasswordOffset + i] ^= mask[i % 4];

  ApplyRc4(kHeaderKey, std::span(page).subspan(kHiddenOffset, kHiddenLength));

  std::copy(kEngineTrailer.begin(), kEngineTrailer.end(), page.begin() + kEngineTrailerOffset);
  page[kEngineTailOffset] = 0x01;
  page[kEngineTailOffset + 1] = 0x01;
  for (std::size_t at = kEngineTailOffset + 3; at < jet4::kPageSize; at += 2)
    page[at] = 0x01;
  return page;
}

}  // namespace tablift::jet
