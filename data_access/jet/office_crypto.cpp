#include "data_access/jet/office_crypto.h"

namespace tablift::jet {

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

CryptoBytes Hash(const EVP_MD* digest, std::initializer_list<std::span<const std::uint8_t>> parts) {
  CryptoBytes out(static_cast<std::size_t>(EVP_MD_get_size(digest)));
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

CryptoBytes Fitted(CryptoBytes bytes, std::size_t size, std::uint8_t pad) {
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
                  CryptoBytes& out) {
  out.assign(data.size(), 0);
  return BlockDecrypt(cipher, key, iv, data, out.data());
}

// RC4 CryptoAPI (MS-OFFCRYPTO 2.3.5): the key of a block is SHA-1 of the
// password hash and the block number, 40-bit keys padded with zeros to 128.

}  // namespace tablift::jet
