#include "data_access/jet/rc4_cryptoapi.h"

#include <openssl/crypto.h>

#include "data_access/jet/office_crypto.h"
#include "data_access/jet/rc4_cipher.h"

namespace tablift::jet {
namespace {

// EncryptionHeader flags and algorithms.
constexpr std::uint32_t kCryptoApiFlag = 0x04;
constexpr std::uint32_t kAesFlag = 0x20;
constexpr std::uint32_t kRc4Algorithm = 0x6801;
constexpr std::uint32_t kSha1Algorithm = 0x8004;
constexpr std::size_t kSha1Size = 20;

// RC4 CryptoAPI (MS-OFFCRYPTO 2.3.5): the key of a block is SHA-1 of the
// password hash and the block number, 40-bit keys padded with zeros to 128.
class Rc4CryptoApiDecryptor : public PageDecryptor {
 public:
  Rc4CryptoApiDecryptor(CryptoBytes baseHash, std::size_t keyBytes,
                        const std::array<std::uint8_t, 4>& encodingKey)
      : baseHash_(std::move(baseHash)), keyBytes_(keyBytes), encodingKey_(encodingKey) {}
  ~Rc4CryptoApiDecryptor() override { OPENSSL_cleanse(baseHash_.data(), baseHash_.size()); }

  CryptoBytes keyOf(std::span<const std::uint8_t> block) const {
    CryptoBytes key = Hash(EVP_sha1(), {baseHash_, block});
    key.resize(keyBytes_);
    if (keyBytes_ == 5) key.resize(16, 0);
    return key;
  }

  bool decrypt(std::uint32_t page, std::span<std::uint8_t> bytes) override {
    const std::array<std::uint8_t, 4> block = BlockOfPage(encodingKey_, page);
    CryptoBytes key = keyOf(block);
    ApplyRc4(key, bytes);
    OPENSSL_cleanse(key.data(), key.size());
    return true;
  }

 private:
  CryptoBytes baseHash_;
  std::size_t keyBytes_;
  std::array<std::uint8_t, 4> encodingKey_;
};

}  // namespace

PasswordCheck OpenRc4CryptoApi(std::span<const std::uint8_t> info,
                               const std::array<std::uint8_t, 4>& encodingKey,
                               const std::vector<std::uint8_t>& password,
                               std::unique_ptr<PageDecryptor>& decryptor, std::string& problem) {
  // Version (4), flags (4), header size (4), the header, then the verifier.
  const auto unsupported = [&problem](const char* why) { return UnsupportedBecause(problem, why); };
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
  CryptoBytes baseHash = Hash(EVP_sha1(), {salt, password});
  auto opened =
      std::make_unique<Rc4CryptoApiDecryptor>(std::move(baseHash), keyBits / 8, encodingKey);

  // The verifier and its hash are one RC4 stream under the key of block 0.
  CryptoBytes checked(verifier.begin() + 20, verifier.begin() + 36);
  checked.insert(checked.end(), verifier.begin() + 40, verifier.begin() + 40 + kSha1Size);
  const std::array<std::uint8_t, 4> zero{};
  CryptoBytes key = opened->keyOf(zero);
  ApplyRc4(key, checked);
  const CryptoBytes expected = Hash(EVP_sha1(), {std::span<const std::uint8_t>(checked).first(16)});
  const bool same =
      !expected.empty() && CRYPTO_memcmp(expected.data(), checked.data() + 16, kSha1Size) == 0;
  OPENSSL_cleanse(checked.data(), checked.size());
  OPENSSL_cleanse(key.data(), key.size());
  if (!same) return PasswordCheck::WrongPassword;
  decryptor = std::move(opened);
  return PasswordCheck::Ok;
}

}  // namespace tablift::jet
