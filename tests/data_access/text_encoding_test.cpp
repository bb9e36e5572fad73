#include "data_access/text_encoding.h"

#include <gtest/gtest.h>

namespace tablift {
namespace {

TextEncoding Encoding(const char* name) {
  std::string error;
  std::optional<TextEncoding> encoding = TextEncoding::ForCharset(name, error);
  EXPECT_TRUE(encoding.has_value()) << error;
  return encoding.value_or(TextEncoding::Utf8());
}

TEST(TextEncodingTest, Latin1IsWindows1252WithMySqlsFiveExtraBytes) {
  const TextEncoding latin1 = Encoding("LATIN1");
  EXPECT_EQ(latin1.name(), "latin1");
  std::string bytes;
  std::string error;
  ASSERT_TRUE(latin1.encode("M\xC3\xBCller \xE2\x82\xAC \xC2\x81", bytes, error)) << error;
  EXPECT_EQ(bytes, "M\xFCller \x80 \x81");
  std::string back;
  ASSERT_TRUE(latin1.decode(bytes, back, error));
  EXPECT_EQ(back, "M\xC3\xBCller \xE2\x82\xAC \xC2\x81");
  // Every byte is a character, so any server text decodes.
  std::string all;
  for (int byte = 0; byte < 256; ++byte)
    all += static_cast<char>(byte);
  std::string decoded;
  ASSERT_TRUE(latin1.decode(all, decoded, error));
  ASSERT_TRUE(latin1.encode(decoded, bytes, error)) << error;
  EXPECT_EQ(bytes, all);
}

TEST(TextEncodingTest, ACharacterTheSetCannotHoldIsNamed) {
  std::string bytes;
  std::string error;
  EXPECT_FALSE(Encoding("latin1").encode("x \xCE\xA9 y", bytes, error));
  EXPECT_EQ(error, "Character '\xCE\xA9' (U+03A9) cannot be sent in character set latin1");
  EXPECT_FALSE(Encoding("gbk").encode("a\xC3\x86", bytes, error));  // Æ is not in GBK
  EXPECT_EQ(error, "Character '\xC3\x86' (U+00C6) cannot be sent in character set gbk");
  // utf8 (utf8mb3) holds the Basic Multilingual Plane only.
  EXPECT_FALSE(Encoding("utf8").encode("ok \xF0\x9F\x98\x80", bytes, error));
  EXPECT_EQ(error, "Character '\xF0\x9F\x98\x80' (U+1F600) cannot be sent in character set utf8");
  EXPECT_TRUE(Encoding("utf8mb4").encode("ok \xF0\x9F\x98\x80", bytes, error));
}

TEST(TextEncodingTest, MalformedUtf8IsReportedNotSent) {
  std::string bytes;
  std::string error;
  EXPECT_FALSE(Encoding("utf8mb4").encode("ab\xC3", bytes, error));
  EXPECT_EQ(error, "Text is not valid UTF-8 (byte 0xC3 at offset 2)");
}

TEST(TextEncodingTest, IconvSetsRoundTrip) {
  const TextEncoding gbk = Encoding("gbk");
  std::string bytes;
  std::string back;
  std::string error;
  ASSERT_TRUE(gbk.encode("\xE4\xB8\xAD\xE6\x96\x87", bytes, error)) << error;  // 中文
  EXPECT_EQ(bytes, "\xD6\xD0\xCE\xC4");
  ASSERT_TRUE(gbk.decode(bytes, back, error));
  EXPECT_EQ(back, "\xE4\xB8\xAD\xE6\x96\x87");
  EXPECT_FALSE(Encoding("ascii").decode("a\xFF", back, error));
  EXPECT_EQ(error, "Byte 0xFF at offset 1 is not text in character set ascii");
}

TEST(TextEncodingTest, SetsWithoutAFaithfulTableAreRefused) {
  for (const char* name : {"ucs2", "binary", "swe7", "klingon"}) {
    std::string error;
    EXPECT_FALSE(TextEncoding::ForCharset(name, error).has_value()) << name;
    EXPECT_EQ(error, std::string("Character set ") + name + " is not supported for the connection");
  }
}

}  // namespace
}  // namespace tablift
