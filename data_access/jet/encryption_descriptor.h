#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The XML descriptor of Office's agile encryption (MS-OFFCRYPTO 2.3.4.10):
// the attributes of its keyData element and of the password key encryptor.
namespace tablift::jet {

struct AgileKeyData {
  std::uint32_t spinCount = 0;  // the password key encryptor only
  std::uint32_t blockSize = 0;
  std::uint32_t keyBits = 0;
  std::string cipherAlgorithm;  // "AES"
  std::string cipherChaining;   // "ChainingModeCBC"
  std::string hashAlgorithm;    // "SHA512"
  std::vector<std::uint8_t> salt;
};

struct AgileDescriptor {
  AgileKeyData keyData;
  AgileKeyData passwordKey;
  std::vector<std::uint8_t> encryptedVerifierHashInput;
  std::vector<std::uint8_t> encryptedVerifierHashValue;
  std::vector<std::uint8_t> encryptedKeyValue;
};

// Nothing when an element or attribute is missing or not what it should be.
std::optional<AgileDescriptor> ParseAgileDescriptor(std::string_view xml);

// Base64 as XML Schema writes it; blanks are skipped. Nothing when damaged.
std::optional<std::vector<std::uint8_t>> DecodeBase64(std::string_view text);

}  // namespace tablift::jet
