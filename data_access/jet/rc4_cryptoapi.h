#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "data_access/jet/office_encryption.h"

namespace tablift::jet {

// RC4 CryptoAPI encryption (MS-OFFCRYPTO 2.3.5), which Access 2007 uses: the
// EncryptionInfo structure (version, flags, header, verifier) checked with the
// password (UTF-16LE bytes).
PasswordCheck OpenRc4CryptoApi(std::span<const std::uint8_t> info,
                               const std::array<std::uint8_t, 4>& encodingKey,
                               const std::vector<std::uint8_t>& password,
                               std::unique_ptr<PageDecryptor>& decryptor, std::string& problem);

}  // namespace tablift::jet
