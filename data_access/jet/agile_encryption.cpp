#include "data_access/jet/agile_encryption.h"

#include <openssl/crypto.h>

#include <algorithm>
#include <optional>

#include "data_access/jet/encryption_descriptor.h"
#include "data_access/jet/office_crypto.h"

namespace tablift::jet {
namespace {

// The block keys of MS-OFFCRYPTO 2.3.4.11 and 2.3.4.13.
constexpr std::array<std::uint8_t, 8> kVerifierInputBlock = {0xfe, 0xa7, 0xd2, 0x76,
                                                             0x3b, 0x4b, 0x9e, 0x79};
constexpr std::array<std::uint8_t, 8> kVerifierValueBlock = {0xd7, 0xaa, 0x0f, 0x6d,
                                                             0x30, 0x61, 0x34, 0x4e};
constexpr std::array<std::uint8_t, 8> kKeyValueBlock = {0x14, 0x6e, 0x0b, 0xe7,
                                                        0xab, 0xac, 0xd0, 0xd6};

class AgileDecryptor : public PageDecryptor {
 public:
  AgileDecryptor(CryptoBytes key, const EVP_CIPHER* cipher, const EVP_MD* digest, CryptoBytes salt,
                 std::size_t blockSize, const std::array<std::uint8_t, 4>& encodingKey)
      : key_(std::move(key)),
        cipher_(cipher),
        digest_(digest),
        salt_(std::move(salt)),
        blockSize_(blockSize),
        encodingKey_(encodingKey) {}
  ~AgileDecryptor() override { OPENSSL_cleanse(key_.data(), key_.size()); }

  bool decrypt(std::uint32_t page, std::span<std::uint8_t> bytes) override {
    const std::array<std::uint8_t, 4> block = BlockOfPage(encodingKey_, page);
    const CryptoBytes iv = Fitted(Hash(digest_, {salt_, block}), blockSize_, 0x36);
    if (bytes.size() % blockSize_ != 0) return false;
    CryptoBytes plain(bytes.size());
    const bool ok = BlockDecrypt(cipher_, key_, iv, bytes, plain.data());
    if (ok) std::copy(plain.begin(), plain.end(), bytes.begin());
    OPENSSL_cleanse(plain.data(), plain.size());
    return ok;
  }

 private:
  CryptoBytes key_;
  const EVP_CIPHER* cipher_;
  const EVP_MD* digest_;
  CryptoBytes salt_;
  std::size_t blockSize_;
  std::array<std::uint8_t, 4> encodingKey_;
};

}  // namespace

std::vector<std::uint8_t> AgileKey(std::string_view hashName,
                                   std::span<const std::uint8_t> password,
                                   std::span<const std::uint8_t> salt, std::uint32_t spinCount,
                                   std::span<const std::uint8_t> blockKey, std::size_t keyBytes) {
  const EVP_MD* digest = Digest(hashName);
  if (digest == nullptr) return {};
  CryptoBytes hash = Hash(digest, {salt, password});
  for (std::uint32_t i = 0; i < spinCount && !hash.empty(); ++i) {
    const std::array<std::uint8_t, 4> counter = {
        static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i >> 8),
        static_cast<std::uint8_t>(i >> 16), static_cast<std::uint8_t>(i >> 24)};
    hash = Hash(digest, {counter, hash});
  }
  if (hash.empty()) return {};
  CryptoBytes key = Fitted(Hash(digest, {hash, blockKey}), keyBytes, 0x36);
  OPENSSL_cleanse(hash.data(), hash.size());
  return key;
}

PasswordCheck OpenAgile(std::span<const std::uint8_t> info,
                        const std::array<std::uint8_t, 4>& encodingKey,
                        const std::vector<std::uint8_t>& password,
                        std::unique_ptr<PageDecryptor>& decryptor, std::string& problem) {
  const auto unsupported = [&problem](const char* why) { return UnsupportedBecause(problem, why); };
  if (info.size() < 8) return unsupported("the encryption descriptor is cut short");
  const std::string_view xml(reinterpret_cast<const char*>(info.data() + 8), info.size() - 8);
  const std::optional<AgileDescriptor> descriptor = ParseAgileDescriptor(xml);
  if (!descriptor) return unsupported("the encryption descriptor is damaged");
  const AgileKeyData& data = descriptor->keyData;
  const AgileKeyData& encryptor = descriptor->passwordKey;
  const EVP_MD* dataDigest = Digest(data.hashAlgorithm);
  const EVP_MD* encryptorDigest = Digest(encryptor.hashAlgorithm);
  const EVP_CIPHER* dataCipher =
      AesCipher(data.cipherAlgorithm, data.cipherChaining, data.keyBits / 8);
  const EVP_CIPHER* encryptorCipher =
      AesCipher(encryptor.cipherAlgorithm, encryptor.cipherChaining, encryptor.keyBits / 8);
  if (dataDigest == nullptr || encryptorDigest == nullptr || dataCipher == nullptr ||
      encryptorCipher == nullptr || data.blockSize == 0 || encryptor.blockSize == 0 ||
      encryptor.spinCount > 10000000) {
    return unsupported("the file uses an encryption Access does not make");
  }
  const std::size_t keyBytes = encryptor.keyBits / 8;
  const auto decryptWith = [&](const std::array<std::uint8_t, 8>& blockKey,
                               const CryptoBytes& encrypted, CryptoBytes& plain) {
    CryptoBytes key = AgileKey(encryptor.hashAlgorithm, password, encryptor.salt,
                               encryptor.spinCount, blockKey, keyBytes);
    const CryptoBytes iv = Fitted(encryptor.salt, encryptor.blockSize, 0x36);
    const bool ok = !key.empty() && encrypted.size() % encryptor.blockSize == 0 &&
                    BlockDecrypt(encryptorCipher, key, iv, encrypted, plain);
    OPENSSL_cleanse(key.data(), key.size());
    return ok;
  };
  CryptoBytes input;
  CryptoBytes value;
  if (!decryptWith(kVerifierInputBlock, descriptor->encryptedVerifierHashInput, input) ||
      !decryptWith(kVerifierValueBlock, descriptor->encryptedVerifierHashValue, value)) {
    return unsupported("the password verifier is damaged");
  }
  input.resize(std::min(input.size(), encryptor.salt.size()));
  const CryptoBytes expected = Hash(encryptorDigest, {input});
  const bool same = !expected.empty() && value.size() >= expected.size() &&
                    CRYPTO_memcmp(expected.data(), value.data(), expected.size()) == 0;
  if (!same) return PasswordCheck::WrongPassword;
  CryptoBytes key;
  if (!decryptWith(kKeyValueBlock, descriptor->encryptedKeyValue, key) ||
      key.size() < data.keyBits / 8) {
    return unsupported("the encrypted key is damaged");
  }
  key.resize(data.keyBits / 8);
  decryptor = std::make_unique<AgileDecryptor>(std::move(key), dataCipher, dataDigest, data.salt,
                                               data.blockSize, encodingKey);
  return PasswordCheck::Ok;
}

}  // namespace tablift::jet
