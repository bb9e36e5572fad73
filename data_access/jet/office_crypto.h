#pragma once

#include <openssl/evp.h>

#include <array>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string_view>
#include <vector>

// The pieces of MS-OFFCRYPTO that both of Access's encryptions use, over
// OpenSSL's libcrypto.
namespace tablift::jet {

using CryptoBytes = std::vector<std::uint8_t>;

// Little-endian numbers of an encryption structure (the caller checks the
// bounds).
std::uint32_t Word32(std::span<const std::uint8_t> bytes, std::size_t at);
std::uint16_t Word16(std::span<const std::uint8_t> bytes, std::size_t at);

// "SHA1", "SHA256", "SHA384", "SHA512"; null for another name.
const EVP_MD* Digest(std::string_view name);
// The hash of the parts, one after the other; empty when the hash fails.
CryptoBytes Hash(const EVP_MD* digest, std::initializer_list<std::span<const std::uint8_t>> parts);
// Cut to `size` bytes, or padded with `pad`.
CryptoBytes Fitted(CryptoBytes bytes, std::size_t size, std::uint8_t pad);
// The block number of a page: the database key XOR the page's number.
std::array<std::uint8_t, 4> BlockOfPage(const std::array<std::uint8_t, 4>& encodingKey,
                                        std::uint32_t page);
// AES of that key size in CBC or CFB chaining, as the descriptor names them;
// null for anything else.
const EVP_CIPHER* AesCipher(std::string_view algorithm, std::string_view chaining,
                            std::size_t keyBytes);
// Decrypts `data` (a whole number of blocks) without padding into `out`.
bool BlockDecrypt(const EVP_CIPHER* cipher, std::span<const std::uint8_t> key,
                  std::span<const std::uint8_t> iv, std::span<const std::uint8_t> data,
                  std::uint8_t* out);
bool BlockDecrypt(const EVP_CIPHER* cipher, std::span<const std::uint8_t> key,
                  std::span<const std::uint8_t> iv, std::span<const std::uint8_t> data,
                  CryptoBytes& out);

}  // namespace tablift::jet
