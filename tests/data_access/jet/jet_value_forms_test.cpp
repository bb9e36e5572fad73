// How stored Jet values become the provider's values and texts: Jet 4's
// compressed text, Decimal and GUID bytes, and the text form of every kind of
// value, at the edges where a careless conversion goes wrong.

#include <gtest/gtest.h>

#include <limits>

#include "data_access/jet/jet4_text.h"
#include "data_access/jet/stored_values.h"
#include "data_access/jet/value_text.h"
#include "data_access/jet/windows1252_text.h"

namespace tablift::jet {
namespace {

std::string Decode(std::vector<std::uint8_t> stored) {
  return DecodeJet4Text(stored);
}

TEST(JetStoredText, Utf16AndCompressedRunsBecomeUtf8) {
  EXPECT_EQ(Decode({'A', 0, 0xE9, 0}), "A\xC3\xA9");
  EXPECT_EQ(Decode({0xFF, 0xFE, 'a', 'b', 'c'}), "abc");
  // 00 switches to two-byte units and back: a, U+20AC, b.
  EXPECT_EQ(Decode({0xFF, 0xFE, 'a', 0, 0xAC, 0x20, 0, 'b'}),
            "a\xE2\x82\xAC"
            "b");
  EXPECT_EQ(Decode({0x3D, 0xD8, 0x00, 0xDE}), "\xF0\x9F\x98\x80");  // a surrogate pair
  EXPECT_EQ(Decode({0x3D, 0xD8, 'x', 0}), "\xEF\xBF\xBDx");         // a lone surrogate
  EXPECT_EQ(Decode({'A', 0, 'B'}), "A");  // an odd byte carries no character
  EXPECT_EQ(Decode({}), "");
}

TEST(JetStoredText, CodePage1252KeepsEveryByte) {
  const std::vector<std::uint8_t> stored = {'M', 0xE8, 'r', 'e', ' ', 0x80, 0x81, 0x9F};
  // The undefined 0x81 becomes U+0081, not '?'.
  EXPECT_EQ(DecodeWindows1252(stored), "M\xC3\xA8re \xE2\x82\xAC\xC2\x81\xC5\xB8");
}

std::array<std::uint8_t, 17> DecimalBytes(bool negative, unsigned __int128 magnitude) {
  std::array<std::uint8_t, 17> bytes{};
  bytes[0] = negative ? 0x80 : 0;
  for (int word = 0; word < 4; ++word) {
    const auto value = static_cast<std::uint32_t>(magnitude >> (32 * (3 - word)));
    for (int byte = 0; byte < 4; ++byte)
      bytes[1 + word * 4 + byte] = static_cast<std::uint8_t>(value >> (8 * byte));
  }
  return bytes;
}

TEST(JetStoredValues, DecimalsKeepEveryDigit) {
  EXPECT_EQ(DecimalDigits(DecimalBytes(false, 1234500), 4), "123.4500");
  EXPECT_EQ(DecimalDigits(DecimalBytes(true, 1234500), 4), "-123.4500");
  EXPECT_EQ(DecimalDigits(DecimalBytes(false, 12), 4), "0.0012");
  EXPECT_EQ(DecimalDigits(DecimalBytes(true, 0), 2), "0.00");  // no negative zero
  EXPECT_EQ(DecimalDigits(DecimalBytes(false, 7), 0), "7");
  const unsigned __int128 large = (static_cast<unsigned __int128>(1) << 96) + 5;
  EXPECT_EQ(DecimalDigits(DecimalBytes(false, large), 0), "79228162514264337593543950341");
}

TEST(JetStoredValues, GuidsInRegistryForm) {
  std::array<std::uint8_t, 16> bytes{};
  for (std::uint8_t i = 0; i < 16; ++i)
    bytes[i] = i;
  EXPECT_EQ(GuidText(bytes), "{03020100-0504-0706-0809-0A0B0C0D0E0F}");
}

TEST(JetValueText, DatesCountFromTheAccessEpochInBothDirections) {
  EXPECT_EQ(DateText(0), "1899-12-30 00:00:00");
  EXPECT_EQ(DateText(36526.5), "2000-01-01 12:00:00");
  // Before the epoch the days count back while the time runs forward.
  EXPECT_EQ(DateText(-1.25), "1899-12-29 06:00:00");
  EXPECT_EQ(DateText(-0.5), "1899-12-30 12:00:00");
  // A time that rounds up to midnight belongs to the next day.
  EXPECT_EQ(DateText(2.9999999999), "1900-01-02 00:00:00");
  EXPECT_EQ(DateText(60.0), "1900-02-28 00:00:00");
  EXPECT_EQ(DateText(61.0), "1900-03-01 00:00:00");  // 1900 was no leap year
  EXPECT_EQ(DateText(2958465.9999884), "9999-12-31 23:59:59");
}

TEST(JetValueText, NumbersInCLocaleWithFullPrecision) {
  EXPECT_EQ(ValueText(Currency{-5000}, JetType::Currency).text, "-0.5000");
  EXPECT_EQ(ValueText(Currency{std::numeric_limits<std::int64_t>::min()}, JetType::Currency).text,
            "-922337203685477.5808");
  EXPECT_EQ(ValueText(static_cast<double>(0.1f), JetType::Single).text, "0.1");
  EXPECT_EQ(ValueText(0.1, JetType::Double).text, "0.1");
  EXPECT_EQ(ValueText(1.0 / 3.0, JetType::Double).text, "0.3333333333333333");
  EXPECT_EQ(ValueText(std::int64_t{-32768}, JetType::Integer).text, "-32768");
  EXPECT_EQ(ValueText(Decimal{"-1.50"}, JetType::Decimal).text, "-1.50");
}

TEST(JetValueText, OtherKindsAndNull) {
  EXPECT_EQ(ValueText(true, JetType::Boolean).text, "True");
  EXPECT_EQ(ValueText(false, JetType::Boolean).text, "False");
  EXPECT_EQ(ValueText(Bytes{{0x00, 0xFF, 0x10, 0x00}}, JetType::Binary).text, "00FF1000");
  EXPECT_EQ(ValueText(Bytes{}, JetType::OleObject).text, "");
  EXPECT_FALSE(ValueText(Bytes{}, JetType::OleObject).null);
  EXPECT_EQ(ValueText(std::string(""), JetType::Text).text, "");
  EXPECT_FALSE(ValueText(std::string(""), JetType::Text).null);
  EXPECT_TRUE(ValueText(Null{}, JetType::Text).null);
}

}  // namespace
}  // namespace tablift::jet
