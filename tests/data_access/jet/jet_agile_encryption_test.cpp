// Office agile encryption (Access 2010 and later): a plain fixture is
// encrypted here the way Access encrypts a database (AES-256-CBC pages, a
// SHA-512 password key spun 100000 times), then read through the provider
// and, independently, by mdb-reader.

#include <gtest/gtest.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

#include <filesystem>
#include <fstream>

#include "data_access/jet/agile_encryption.h"
#include "data_access/jet/office_encryption.h"
#include "tests/data_access/jet/jet_test_database.h"
#include "tests/data_access/jet/second_reader.h"
#include "tests/support/test_paths.h"

namespace tablift::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kPageSize = 4096;
constexpr std::size_t kInfoOffset = 0x299;
constexpr std::array<std::uint8_t, 4> kDatabaseKey = {0x5A, 0x17, 0xC3, 0x9E};

Bytes Random(std::size_t size) {
  Bytes bytes(size);
  EXPECT_EQ(RAND_bytes(bytes.data(), static_cast<int>(size)), 1);
  return bytes;
}

Bytes Sha512(std::initializer_list<std::span<const std::uint8_t>> parts) {
  Bytes out(64);
  EVP_MD_CTX* context = EVP_MD_CTX_new();
  EVP_DigestInit_ex(context, EVP_sha512(), nullptr);
  for (const auto& part : parts)
    EVP_DigestUpdate(context, part.data(), part.size());
  EVP_DigestFinal_ex(context, out.data(), nullptr);
  EVP_MD_CTX_free(context);
  return out;
}

Bytes Encrypt(std::span<const std::uint8_t> key, std::span<const std::uint8_t> iv,
              std::span<const std::uint8_t> data) {
  Bytes out(data.size());
  EVP_CIPHER_CTX* context = EVP_CIPHER_CTX_new();
  int written = 0;
  EVP_EncryptInit_ex(context, EVP_aes_256_cbc(), nullptr, key.data(), iv.data());
  EVP_CIPHER_CTX_set_padding(context, 0);
  EVP_EncryptUpdate(context, out.data(), &written, data.data(), static_cast<int>(data.size()));
  EVP_CIPHER_CTX_free(context);
  EXPECT_EQ(static_cast<std::size_t>(written), data.size());
  return out;
}

std::string Base64(const Bytes& bytes) {
  std::string text(4 * ((bytes.size() + 2) / 3) + 1, '\0');
  const int length = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(text.data()), bytes.data(),
                                     static_cast<int>(bytes.size()));
  text.resize(static_cast<std::size_t>(length));
  return text;
}

// An encrypted copy of an ACE file, with password `password`.
void EncryptCopy(const std::string& original, const std::filesystem::path& copy,
                 const std::string& password) {
  std::ifstream in(original, std::ios::binary);
  Bytes file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_EQ(file.size() % kPageSize, 0u);

  const Bytes dataSalt = Random(16);
  const Bytes keySalt = Random(16);
  const Bytes secretKey = Random(32);
  const Bytes verifierInput = Random(16);
  const Bytes passwordBytes = jet::PasswordBytes(password);
  const auto passwordKey = [&](std::array<std::uint8_t, 8> block) {
    return jet::AgileKey("SHA512", passwordBytes, keySalt, 100000, block, 32);
  };
  const Bytes encryptedInput = Encrypt(
      passwordKey({0xfe, 0xa7, 0xd2, 0x76, 0x3b, 0x4b, 0x9e, 0x79}), keySalt, verifierInput);
  const Bytes encryptedValue =
      Encrypt(passwordKey({0xd7, 0xaa, 0x0f, 0x6d, 0x30, 0x61, 0x34, 0x4e}), keySalt,
              Sha512({verifierInput}));
  const Bytes encryptedKey =
      Encrypt(passwordKey({0x14, 0x6e, 0x0b, 0xe7, 0xab, 0xac, 0xd0, 0xd6}), keySalt, secretKey);
  const std::string common =
      R"( blockSize="16" keyBits="256" hashSize="64" cipherAlgorithm="AES" )"
      R"(cipherChaining="ChainingModeCBC" hashAlgorithm="SHA512" saltSize="16" )";
  const std::string xml =
      "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
      "<encryption xmlns=\"http://schemas.microsoft.com/office/2006/encryption\" "
      "xmlns:p=\"http://schemas.microsoft.com/office/2006/keyEncryptor/password\">"
      "<keyData" +
      common + "saltValue=\"" + Base64(dataSalt) +
      "\"/><keyEncryptors><keyEncryptor "
      "uri=\"http://schemas.microsoft.com/office/2006/keyEncryptor/password\">"
      "<p:encryptedKey spinCount=\"100000\"" +
      common + "saltValue=\"" + Base64(keySalt) + "\" encryptedVerifierHashInput=\"" +
      Base64(encryptedInput) + "\" encryptedVerifierHashValue=\"" + Base64(encryptedValue) +
      "\" encryptedKeyValue=\"" + Base64(encryptedKey) +
      "\"/></keyEncryptor></keyEncryptors></encryption>";

  // The header: the database key (stored under the header's key stream,
  // which is XOR: the plain key was zero) and the encryption structure.
  for (std::size_t i = 0; i < 4; ++i)
    file[0x3E + i] ^= kDatabaseKey[i];
  Bytes info = {4, 0, 4, 0, 0x40, 0, 0, 0};
  info.insert(info.end(), xml.begin(), xml.end());
  ASSERT_LT(kInfoOffset + 2 + info.size(), kPageSize);
  file[kInfoOffset] = static_cast<std::uint8_t>(info.size());
  file[kInfoOffset + 1] = static_cast<std::uint8_t>(info.size() >> 8);
  std::copy(info.begin(), info.end(), file.begin() + kInfoOffset + 2);

  for (std::uint32_t page = 1; page < file.size() / kPageSize; ++page) {
    std::array<std::uint8_t, 4> block{};
    for (std::size_t i = 0; i < 4; ++i)
      block[i] = static_cast<std::uint8_t>(kDatabaseKey[i] ^ (page >> (8 * i)));
    const Bytes iv = Sha512({dataSalt, block});
    const auto plain = std::span<const std::uint8_t>(file).subspan(page * kPageSize, kPageSize);
    const Bytes encrypted = Encrypt(secretKey, std::span(iv).first(16), plain);
    std::copy(encrypted.begin(), encrypted.end(), file.begin() + page * kPageSize);
  }
  std::ofstream(copy, std::ios::binary)
      .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
}

TEST(JetAgileEncryptionTest, AnAgileEncryptedFileReadsAsItsPlainOriginal) {
  TABLIFT_JET_FIXTURE_OR_SKIP(original, "numeric-ace14.accdb");
  ScopedTempDir directory;
  const std::filesystem::path copy = directory.path() / "agile.accdb";
  EncryptCopy(original, copy, "Grüße 2010");

  JetConnection refused;
  std::string error;
  EXPECT_EQ(OpenJet(copy.string(), "grüße 2010", refused, &error), DB_SEC_E_AUTH_FAILED);
  EXPECT_EQ(error, "Not a valid password.");

  JetConnection encrypted;
  ASSERT_EQ(OpenJet(copy.string(), "Grüße 2010", encrypted), S_OK);
  JetConnection plain;
  ASSERT_EQ(OpenJet(original, "", plain), S_OK);
  const QueryRows expected = RunQuery(plain.session, "select * from test");
  const QueryRows read = RunQuery(encrypted.session, "select * from test");
  ASSERT_EQ(read.error, "");
  ASSERT_FALSE(expected.rows.empty());
  ASSERT_EQ(read.rows.size(), expected.rows.size());
  for (std::size_t r = 0; r < read.rows.size(); ++r) {
    for (std::size_t c = 0; c < read.rows[r].size(); ++c) {
      EXPECT_EQ(read.rows[r][c].text, expected.rows[r][c].text);
      EXPECT_EQ(read.rows[r][c].null, expected.rows[r][c].null);
    }
  }
  // mdb-reader decrypts the copy with the same password: the structure and
  // the key derivation are Office's, not an agreement with ourselves.
  ExpectSameAsSecondReader(encrypted.session, copy.string(), "Grüße 2010", "test");
}

TEST(JetAgileEncryptionTest, PasswordsAreHashedAsUtf16) {
  EXPECT_EQ(jet::PasswordBytes("aß€"), (Bytes{'a', 0, 0xDF, 0, 0xAC, 0x20}));
  // A character beyond the basic plane is a surrogate pair.
  EXPECT_EQ(jet::PasswordBytes("\xF0\x9F\x98\x80"), (Bytes{0x3D, 0xD8, 0x00, 0xDE}));
  EXPECT_EQ(jet::PasswordBytes(std::string(300, 'x')).size(), 510u);
}

}  // namespace
}  // namespace tablift::test
