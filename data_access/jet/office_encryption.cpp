#include "data_access/jet/office_encryption.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>

#include <algorithm>
#include <cstring>
#include <optional>

#include "data_access/jet/encryption_descriptor.h"
#include "data_access/jet/rc4_cipher.h"

namespace tablift::jet {
namespace {

constexpr std::size_t kMaxPasswordCharacters = 255;

// Version numbers of the EncryptionInfo structure.
constexpr std::uint16_t kAgileMajor = 4;
constexpr std::uint16_t kAgileMinor = 4;
constexpr std::uint16_t kStandardMinor = 2;
// EncryptionHeader flags.
constexpr std::uint32_t kCryptoApiFlag = 0x04;
constexpr std::uint32_t kAesFlag = 0x20;
constexpr std::uint32_t kRc4Algorithm = 0x6801;
constexpr std::uint32_t kSha1Algorithm = 0x8004;
constexpr std::size_t kSha1Size = 20;

// The block keys of MS-OFFCRYPTO 2.3.4.11 and 2.3.4.13.
constexpr std::array<std::uint8_t, 8> kVerifierInputBlock = {0xfe, 0xa7, 0xd2, 0x76,
                                                             0x3b, 0x4b, 0x9e, 0x79};
constexpr std::array<std::uint8_t, 8> kVerifierValueBlock = {0xd7, 0xaa, 0x0f, 0x6d,
                                                             0x30, 0x61, 0x34, 0x4e};
constexpr std::array<std::uint8_t, 8> kKeyValueBlock = {0x14, 0x6e, 0x0b, 0xe7,
                                                        0xab, 0xac, 0xd0, 0xd6};

using Bytes = std::vector<std::uint8_t>;

std::uint32_t Word32(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint32_t>(bytes[at]) | (static_cast<std::uint32_t>(bytes[at + 1]) << 8) |
         (static_cast<std::uint32_t>(bytes[at + 2]) << 16) |
         (static_cast<std::uint32_t>(bytes[at + 3]) << 24);
}

std::uint16_t Word16(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

const EVP_MD* Digest(std::string_view name) {
  if (name == "SHA1" || name == "SHA-1") return EVP_sha1();
  if (name == "SHA256") return EVP_sha256();
  if (name == "SHA384") return EVP_sha384();
  if (name == "SHA512") return EVP_sha512();
  return nullptr;
}

// The hash of the parts, one after the other.
Bytes Hash(const EVP_MD* digest, std::initializer_list<std::span<const std::uint8_t>> parts) {
  Bytes out(static_cast<std::size_t>(EVP_MD_get_size(digest)));
  EVP_MD_CTX* context = EVP_MD_CTX_new();
  bool ok = context != nullptr && EVP_DigestInit_ex(context, digest, nullptr) == 1;
  for (const auto& part : parts)
    ok = ok && EVP_DigestUpdate(context, part.data(), part.size()) == 1;
  unsigned int length = 0;
  ok = ok && EVP_DigestFinal_ex(context, out.data(), &length) == 1;
  EVP_MD_CTX_free(context);
  if (!ok) out.clear();
  return out;
}

// Cut to `size` bytes, or padded with `pad`.
Bytes Fitted(Bytes bytes, std::size_t size, std::uint8_t pad) {
  bytes.resize(size, pad);
  return bytes;
}

std::array<std::uint8_t, 4> BlockOfPage(const std::array<std::uint8_t, 4>& encodingKey,
                                        std::uint32_t page) {
  std::array<std::uint8_t, 4> block{};
  for (std::size_t i = 0; i < 4; ++i)
    block[i] = static_cast<std::uint8_t>(encodingKey[i] ^ ((page >> (8 * i)) & 0xFF));
  return block;
}

const EVP_CIPHER* AesCipher(std::string_view algorithm, std::string_view chaining,
                            std::size_t keyBytes) {
  if (algorithm != "AES") return nullptr;
  const bool cbc = chaining == "ChainingModeCBC";
  const bool cfb = chaining == "ChainingModeCFB";
  switch (keyBytes) {
    case 16:
      return cbc ? EVP_aes_128_cbc() : cfb ? EVP_aes_128_cfb8() : nullptr;
    case 24:
      return cbc ? EVP_aes_192_cbc() : cfb ? EVP_aes_192_cfb8() : nullptr;
    case 32:
      return cbc ? EVP_aes_256_cbc() : cfb ? EVP_aes_256_cfb8() : nullptr;
    default:
      return nullptr;
  }
}

// Decrypts `data` (a whole number of blocks) without padding.
bool BlockDecrypt(const EVP_CIPHER* cipher, std::span<const std::uint8_t> key,
                  std::span<const std::uint8_t> iv, std::span<const std::uint8_t> data,
                  std::uint8_t* out) {
  if (cipher == nullptr ||
      key.size() != static_cast<std::size_t>(EVP_CIPHER_get_key_length(cipher)) ||
      iv.size() < static_cast<std::size_t>(EVP_CIPHER_get_iv_length(cipher))) {
    return false;
  }
  EVP_CIPHER_CTX* context = EVP_CIPHER_CTX_new();
  int written = 0;
  int last = 0;
  bool ok =
      context != nullptr &&
      EVP_DecryptInit_ex(context, cipher, nullptr, key.data(), iv.data()) == 1 &&
      EVP_CIPHER_CTX_set_padding(context, 0) == 1 &&
      EVP_DecryptUpdate(context, out, &written, data.data(), static_cast<int>(data.size())) == 1 &&
      EVP_DecryptFinal_ex(context, out + written, &last) == 1;
  EVP_CIPHER_CTX_free(context);
  return ok && static_cast<std::size_t>(written + last) == data.size();
}

bool BlockDecrypt(const EVP_CIPHER* cipher, std::span<const std::uint8_t> key,
                  std::span<const std::uint8_t> iv, std::span<const std::uint8_t> data,
                  Bytes& out) {
  out.assign(data.size(), 0);
  return BlockDecrypt(cipher, key, iv, data, out.data());
}

// RC4 CryptoAPI (MS-OFFCRYPTO 2.3.5): the key of a block is SHA-1 of the
// password hash and the block number, 40-bit keys padded with zeros to 128.
class Rc4CryptoApiDecryptor : public PageDecryptor {
 public:
  Rc4CryptoApiDecryptor(Bytes baseHash, std::size_t keyBytes,
                        const std::array<std::uint8_t, 4>& encodingKey)
      : baseHash_(std::move(baseHash)), keyBytes_(keyBytes), encodingKey_(encodingKey) {}
  ~Rc4CryptoApiDecryptor() override { OPENSSL_cleanse(baseHash_.data(), baseHash_.size()); }

  Bytes keyOf(std::span<const std::uint8_t> block) const {
    Bytes key = Hash(EVP_sha1(), {baseHash_, block});
    key.resize(keyBytes_);
    if (keyBytes_ == 5) key.resize(16, 0);
    return key;
  }

  bool decrypt(std::uint32_t page, std::span<std::uint8_t> bytes) override {
    const std::array<std::uint8_t, 4> block = BlockOfPage(encodingKey_, page);
    Bytes key = keyOf(block);
    ApplyRc4(key, bytes);
    OPENSSL_cleanse(key.data(), key.size());
    return true;
  }

 private:
  Bytes baseHash_;
  std::size_t keyBytes_;
  std::array<std::uint8_t, 4> encodingKey_;
};

PasswordCheck OpenRc4CryptoApi(std::span<const std::uint8_t> info,
                               const std::array<std::uint8_t, 4>& encodingKey,
                               const Bytes& password, std::unique_ptr<PageDecryptor>& decryptor,
                               std::string& problem) {
  // Version (4), flags (4), header size (4), the header, then the verifier.
  const auto unsupported = [&problem](const char* why) {
    problem = why;
    return PasswordCheck::Unsupported;
  };
  if (info.size() < 12) return unsupported("the encryption header is cut short");
  const std::size_t headerSize = Word32(info, 8);
  if (headerSize < 32 || headerSize > info.size() - 12) {
    return unsupported("the encryption header is cut short");
  }
  const auto header = info.subspan(12, headerSize);
  const std::uint32_t flags = Word32(header, 0);
  const std::uint32_t algorithm = Word32(header, 8);
  const std::uint32_t hashAlgorithm = Word32(header, 12);
  std::uint32_t keyBits = Word32(header, 16);
  if ((flags & kCryptoApiFlag) == 0 || (flags & kAesFlag) != 0) {
    return unsupported("the file uses an encryption Access does not make");
  }
  if ((algorithm != 0 && algorithm != kRc4Algorithm) ||
      (hashAlgorithm != 0 && hashAlgorithm != kSha1Algorithm)) {
    return unsupported("the file uses an encryption Access does not make");
  }
  if (keyBits == 0) keyBits = 40;
  if (keyBits < 40 || keyBits > 128 || keyBits % 8 != 0) {
    return unsupported("the encryption key size is impossible");
  }
  // The verifier: salt size, salt, encrypted verifier, hash size, hash.
  const auto verifier = info.subspan(12 + headerSize);
  if (verifier.size() < 4 + 16 + 16 + 4 + kSha1Size || Word32(verifier, 0) != 16) {
    return unsupported("the password verifier is damaged");
  }
  const auto salt = verifier.subspan(4, 16);
  Bytes baseHash = Hash(EVP_sha1(), {salt, password});
  auto opened =
      std::make_unique<Rc4CryptoApiDecryptor>(std::move(baseHash), keyBits / 8, encodingKey);

  // The verifier and its hash are one RC4 stream under the key of block 0.
  Bytes checked(verifier.begin() + 20, verifier.begin() + 36);
  checked.insert(checked.end(), verifier.begin() + 40, verifier.begin() + 40 + kSha1Size);
  const std::array<std::uint8_t, 4> zero{};
  Bytes key = opened->keyOf(zero);
  ApplyRc4(key, checked);
  const Bytes expected = Hash(EVP_sha1(), {std::span<const std::uint8_t>(checked).first(16)});
  const bool same =
      !expected.empty() && CRYPTO_memcmp(expected.data(), checked.data() + 16, kSha1Size) == 0;
  OPENSSL_cleanse(checked.data(), checked.size());
  OPENSSL_cleanse(key.data(), key.size());
  if (!same) return PasswordCheck::WrongPassword;
  decryptor = std::move(opened);
  return PasswordCheck::Ok;
}

// Agile (MS-OFFCRYPTO 2.3.4.10 to 2.3.4.15).
class AgileDecryptor : public PageDecryptor {
 public:
  AgileDecryptor(Bytes key, const EVP_CIPHER* cipher, const EVP_MD* digest, Bytes salt,
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
    const Bytes iv = Fitted(Hash(digest_, {salt_, block}), blockSize_, 0x36);
    if (bytes.size() % blockSize_ != 0) return false;
    Bytes plain(bytes.size());
    const bool ok = BlockDecrypt(cipher_, key_, iv, bytes, plain.data());
    if (ok) std::copy(plain.begin(), plain.end(), bytes.begin());
    OPENSSL_cleanse(plain.data(), plain.size());
    return ok;
  }

 private:
  Bytes key_;
  const EVP_CIPHER* cipher_;
  const EVP_MD* digest_;
  Bytes salt_;
  std::size_t blockSize_;
  std::array<std::uint8_t, 4> encodingKey_;
};

PasswordCheck OpenAgile(std::span<const std::uint8_t> info,
                        const std::array<std::uint8_t, 4>& encodingKey, const Bytes& password,
                        std::unique_ptr<PageDecryptor>& decryptor, std::string& problem) {
  const auto unsupported = [&problem](const char* why) {
    problem = why;
    return PasswordCheck::Unsupported;
  };
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
  const auto decryptWith = [&](const std::array<std::uint8_t, 8>& blockKey, const Bytes& encrypted,
                               Bytes& plain) {
    Bytes key = AgileKey(encryptor.hashAlgorithm, password, encryptor.salt, encryptor.spinCount,
                         blockKey, keyBytes);
    const Bytes iv = Fitted(encryptor.salt, encryptor.blockSize, 0x36);
    const bool ok = !key.empty() && encrypted.size() % encryptor.blockSize == 0 &&
                    BlockDecrypt(encryptorCipher, key, iv, encrypted, plain);
    OPENSSL_cleanse(key.data(), key.size());
    return ok;
  };
  Bytes input;
  Bytes value;
  if (!decryptWith(kVerifierInputBlock, descriptor->encryptedVerifierHashInput, input) ||
      !decryptWith(kVerifierValueBlock, descriptor->encryptedVerifierHashValue, value)) {
    return unsupported("the password verifier is damaged");
  }
  input.resize(std::min(input.size(), encryptor.salt.size()));
  const Bytes expected = Hash(encryptorDigest, {input});
  const bool same = !expected.empty() && value.size() >= expected.size() &&
                    CRYPTO_memcmp(expected.data(), value.data(), expected.size()) == 0;
  if (!same) return PasswordCheck::WrongPassword;
  Bytes key;
  if (!decryptWith(kKeyValueBlock, descriptor->encryptedKeyValue, key) ||
      key.size() < data.keyBits / 8) {
    return unsupported("the encrypted key is damaged");
  }
  key.resize(data.keyBits / 8);
  decryptor = std::make_unique<AgileDecryptor>(std::move(key), dataCipher, dataDigest, data.salt,
                                               data.blockSize, encodingKey);
  return PasswordCheck::Ok;
}

}  // namespace

std::vector<std::uint8_t> PasswordBytes(const std::string& password) {
  Bytes out;
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

std::vector<std::uint8_t> AgileKey(std::string_view hashName,
                                   std::span<const std::uint8_t> password,
                                   std::span<const std::uint8_t> salt, std::uint32_t spinCount,
                                   std::span<const std::uint8_t> blockKey, std::size_t keyBytes) {
  const EVP_MD* digest = Digest(hashName);
  if (digest == nullptr) return {};
  Bytes hash = Hash(digest, {salt, password});
  for (std::uint32_t i = 0; i < spinCount && !hash.empty(); ++i) {
    const std::array<std::uint8_t, 4> counter = {
        static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i >> 8),
        static_cast<std::uint8_t>(i >> 16), static_cast<std::uint8_t>(i >> 24)};
    hash = Hash(digest, {counter, hash});
  }
  if (hash.empty()) return {};
  Bytes key = Fitted(Hash(digest, {hash, blockKey}), keyBytes, 0x36);
  OPENSSL_cleanse(hash.data(), hash.size());
  return key;
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
  Bytes passwordBytes = PasswordBytes(password);
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
