#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// How an ACE file encrypted with a database password is read. Access keeps
// Office's EncryptionInfo structure (MS-OFFCRYPTO) in the header page and
// encrypts every other page with a key made from the password and the page's
// number (the database key's four bytes, XORed with the number):
//
//   RC4 CryptoAPI (Access 2007): RC4 with SHA-1 of the password hash and the
//   page's block number;
//   agile (Access 2010 and later): AES-CBC with the key the password unlocks
//   (SHA-512 spun 100000 times), the page's IV the hash of the key data's
//   salt and the block number.
namespace tablift::jet {

class PageDecryptor {
 public:
  virtual ~PageDecryptor() = default;
  // Decrypts page `page` (not the header page) in place. False when the
  // cipher fails.
  virtual bool decrypt(std::uint32_t page, std::span<std::uint8_t> bytes) = 0;
};

enum class PasswordCheck {
  Ok,
  WrongPassword,
  Unsupported,  // an encryption Access does not use for databases, or damaged
};

// The Unsupported check, with why in `problem`.
inline PasswordCheck UnsupportedBecause(std::string& problem, const char* why) {
  problem = why;
  return PasswordCheck::Unsupported;
}

// Checks the password against the encryption structure's verifier and gives
// the decryptor of the pages. `password` is UTF-8.
PasswordCheck OpenPageDecryptor(std::span<const std::uint8_t> encryptionInfo,
                                const std::array<std::uint8_t, 4>& encodingKey,
                                const std::string& password,
                                std::unique_ptr<PageDecryptor>& decryptor, std::string& problem);

// A password as Office hashes it: UTF-16LE, at most 255 characters.
std::vector<std::uint8_t> PasswordBytes(const std::string& password);

}  // namespace tablift::jet
