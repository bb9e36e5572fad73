#include "data_access/jet/office_encryption.h"

#include <openssl/crypto.h>

#include "data_access/jet/agile_encryption.h"
#include "data_access/jet/office_crypto.h"
#include "data_access/jet/rc4_cryptoapi.h"

namespace tablift::jet {
namespace {

constexpr std::size_t kMaxPasswordCharacters = 255;

// Version numbers of the EncryptionInfo structure.
constexpr std::uint16_t kAgileMajor = 4;
constexpr std::uint16_t kAgileMinor = 4;
constexpr std::uint16_t kStandardMinor = 2;

}  // namespace

std::vector<std::uint8_t> PasswordBytes(const std::string& password) {
  std::vector<std::uint8_t> out;
  std::size_t characters = 0;
  std::size_t i = 0;
  const auto byte = [&password](std::size_t at) { return static_cast<std::uint8_t>(password[at]); };
  while (i < password.size() && characters < kMaxPasswordCharacters) {
    std::uint32_t code = byte(i);
    std::size_t length = 1;
    if (code >= 0xF0 && i + 3 < password.size()) {
      code = ((code & 0x07) << 18) | ((byte(i + 1) & 0x3Fu) << 12) | ((byte(i + 2) & 0x3Fu) << 6) |
             (byte(i + 3) & 0x3Fu);
      length = 4;
    } else if (code >= 0xE0 && i + 2 < password.size()) {
      code = ((code & 0x0F) << 12) | ((byte(i + 1) & 0x3Fu) << 6) | (byte(i + 2) & 0x3Fu);
      length = 3;
    } else if (code >= 0xC0 && i + 1 < password.size()) {
      code = ((code & 0x1F) << 6) | (byte(i + 1) & 0x3Fu);
      length = 2;
    }
    i += length;
    const auto unit = [&out](std::uint32_t u) {
      out.push_back(static_cast<std::uint8_t>(u & 0xFF));
      out.push_back(static_cast<std::uint8_t>(u >> 8));
    };
    if (code >= 0x10000) {
      code -= 0x10000;
      unit(0xD800 + (code >> 10));
      unit(0xDC00 + (code & 0x3FF));
    } else {
      unit(code);
    }
    ++characters;
  }
  return out;
}

PasswordCheck OpenPageDecryptor(std::span<const std::uint8_t> encryptionInfo,
                                const std::array<std::uint8_t, 4>& encodingKey,
                                const std::string& password,
                                std::unique_ptr<PageDecryptor>& decryptor, std::string& problem) {
  decryptor.reset();
  if (encryptionInfo.size() < 8) {
    problem = "the encryption structure is missing";
    return PasswordCheck::Unsupported;
  }
  std::vector<std::uint8_t> passwordBytes = PasswordBytes(password);
  const std::uint16_t major = Word16(encryptionInfo, 0);
  const std::uint16_t minor = Word16(encryptionInfo, 2);
  PasswordCheck result = PasswordCheck::Unsupported;
  if (major == kAgileMajor && minor == kAgileMinor) {
    result = OpenAgile(encryptionInfo, encodingKey, passwordBytes, decryptor, problem);
  } else if (major >= 2 && major <= 4 && minor == kStandardMinor) {
    result = OpenRc4CryptoApi(encryptionInfo, encodingKey, passwordBytes, decryptor, problem);
  } else {
    problem = "the file uses encryption version " + std::to_string(major) + "." +
              std::to_string(minor) + ", which Access does not make";
  }
  OPENSSL_cleanse(passwordBytes.data(), passwordBytes.size());
  return result;
}

}  // namespace tablift::jet
