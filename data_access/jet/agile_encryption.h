#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "data_access/jet/office_encryption.h"

namespace tablift::jet {

// Agile encryption (MS-OFFCRYPTO 2.3.4.10 to 2.3.4.15), which Access 2010 and
// later use: the XML descriptor after the version and reserved words, checked
// with the password (UTF-16LE bytes).
PasswordCheck OpenAgile(std::span<const std::uint8_t> info,
                        const std::array<std::uint8_t, 4>& encodingKey,
                        const std::vector<std::uint8_t>& password,
                        std::unique_ptr<PageDecryptor>& decryptor, std::string& problem);

// The agile key of MS-OFFCRYPTO 2.3.4.11: H0 = H(salt + password),
// Hn = H(n-1 as 4 bytes + Hn-1) `spinCount` times, then H(Hn + blockKey),
// cut or padded with 0x36 to `keyBytes`. `hashName`: "SHA1", "SHA256",
// "SHA384", "SHA512". Empty when the hash is unknown.
std::vector<std::uint8_t> AgileKey(std::string_view hashName,
                                   std::span<const std::uint8_t> password,
                                   std::span<const std::uint8_t> salt, std::uint32_t spinCount,
                                   std::span<const std::uint8_t> blockKey, std::size_t keyBytes);

}  // namespace tablift::jet
