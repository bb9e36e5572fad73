#include "data_access/regex_service.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/data_access/captured_user_messages.h"

namespace tablift {
namespace {

// The patterns as the callers write them.
constexpr const char* kUpToLastSeparator = R"(.*(\\|/))";
constexpr const char* kDrivePrefix = R"([a-zA-Z]:[\\|/])";
constexpr const char* kQuotedJoin = R"(\([`\w*`\sjoin\s]+`\w*`\))";
constexpr const char* kCounterColumn = R"(\sCOUNTER\s(.*),)";
constexpr const char* kSizedText = R"(\sTEXT\s*(\([0-9]*\)))";
constexpr const char* kLongDefault = R"(\s(TEXT|BLOB)\s(default\s*[^\s]*)\s)";

TEST(RegexPatterns, PathPrefixes) {
  EXPECT_EQ(ReplaceAll(R"(C:\data/shop\nordwind)", kUpToLastSeparator, ""), "nordwind");
  EXPECT_EQ(ReplaceAll(R"(/srv/db\sub/x.mdb)", kUpToLastSeparator, ""), "x.mdb");
  EXPECT_EQ(ReplaceAll("nordwind", kUpToLastSeparator, ""), "nordwind");

  EXPECT_EQ(ReplaceAll(R"(D:\backup\shop)", kDrivePrefix, ""), R"(backup\shop)");
  EXPECT_EQ(ReplaceAll("c:/tmp", kDrivePrefix, ""), "tmp");
  EXPECT_EQ(ReplaceAll("/home/backup", kDrivePrefix, ""), "/home/backup");
}

TEST(RegexPatterns, FindLastMatchReturnsTheLastJoin) {
  const std::string view =
      "select * from (`orders` join `customers`) , (`items` inner join `parts`) "
      "where x in (select id from (`a` left join `b`))";
  EXPECT_EQ(FindLastMatch(view, kQuotedJoin), "(`a` left join `b`)");
  EXPECT_EQ(FindLastMatch("select * from `orders`", kQuotedJoin), "");
}

TEST(RegexPatterns, DdlRewrites) {
  EXPECT_EQ(ReplaceAll("CREATE TABLE t (id COUNTER NOT NULL, name VARCHAR(5))", kCounterColumn,
                       " INT AUTO_INCREMENT $1 PRIMARY KEY,"),
            "CREATE TABLE t (id INT AUTO_INCREMENT NOT NULL PRIMARY KEY, name VARCHAR(5))");
  // "." stops at the line end, so the group keeps to the counter's own line.
  EXPECT_EQ(ReplaceAll("(\nid COUNTER NOT NULL,\nname TEXT(5),\nn LONG\n)", kCounterColumn,
                       " INT AUTO_INCREMENT $1 PRIMARY KEY,"),
            "(\nid INT AUTO_INCREMENT NOT NULL PRIMARY KEY,\nname TEXT(5),\nn LONG\n)");
  const std::string lower_case = "CREATE TABLE t (id counter not null, x LONG)";
  EXPECT_EQ(ReplaceAll(lower_case, kCounterColumn, " INT AUTO_INCREMENT $1 PRIMARY KEY,"),
            lower_case);

  EXPECT_EQ(ReplaceAll("a TEXT(50),\nb TEXT (8),\nc TEXT,", kSizedText, " VARCHAR$1"),
            "a VARCHAR(50),\nb VARCHAR(8),\nc TEXT,");

  EXPECT_EQ(
      ReplaceAll("notes TEXT default '' NULL, pic BLOB default 0x00\n)", kLongDefault, " $1 "),
      "notes TEXT NULL, pic BLOB )");
}

TEST(RegexPatterns, HexadecimalZeros) {
  EXPECT_EQ(ReplaceAll("000A1F", "^0*", "0x"), "0xA1F");
  EXPECT_EQ(ReplaceAll("A1F", "^0*", "0x"), "0xA1F");
  EXPECT_EQ(ReplaceAll("0xA1F000", "0*$", ""), "0xA1F");
  EXPECT_EQ(ReplaceAll("1200", "0*$", "."), "12..");
  EXPECT_EQ(ReplaceAll("000", "0*$", ""), "");
}

TEST(RegexDialect, LineFeedsAndAnchors) {
  // "$" is the end of the text only, not before a final line feed.
  EXPECT_EQ(ReplaceAll("a0\n", "0*$", "X"), "a0\nX");
  // "." excludes only the line feed.
  EXPECT_EQ(FindLastMatch("ab\r\ncd", "b."), "b\r");
  EXPECT_EQ(ReplaceAll("a\nb", "a.b", "X"), "a\nb");
  // "\s" covers every ASCII white-space character.
  EXPECT_EQ(ReplaceAll("a \n\t\r\v\fb", R"(\s+)", "_"), "a_b");
  // "^" is the start of the text only.
  EXPECT_EQ(ReplaceAll("0a\n0b", "^0", "x"), "xa\n0b");
}

TEST(RegexDialect, Utf8Text) {
  EXPECT_EQ(ReplaceAll("\xC3\xA9_a1", R"(\w)", ""), "\xC3\xA9");
  EXPECT_EQ(ReplaceAll("\xC3\xA4", ".", "x"), "x");
  // Empty matches step over whole characters, never into one.
  EXPECT_EQ(ReplaceAll("\xC3\xA4"
                       "b",
                       "x*", "-"),
            "-\xC3\xA4-b-");
  // Invalid UTF-8 in a value is matched around, not rejected.
  EXPECT_EQ(ReplaceAll("a\xFF b\xC3", R"(\s)", "_"), "a\xFF_b\xC3");
}

TEST(RegexReplacement, ReferencesAsInVBScript) {
  EXPECT_EQ(ReplaceAll("ab", "(x)?b", "[$1]"), "a[]");
  EXPECT_EQ(ReplaceAll("abc", "b", "[$&|$`|$'|$$]"), "a[b|a|c|$]c");
  // $0 and numbers beyond the groups stay text; "$10" with one group is $1 then "0".
  EXPECT_EQ(ReplaceAll("ab", "(a)", "$0$2$1$10"), "$0$2aa0b");
  EXPECT_EQ(ReplaceAll("abcdefghijk", "(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)", "$11$01"), "ka");
  EXPECT_EQ(ReplaceAll("a", "a", "x$"), "x$");
  EXPECT_EQ(ReplaceAll("abc", "", "-"), "-a-b-c-");
}

TEST(RegexService, UncompilablePatternShowsTheMessageAndGivesError) {
  const test::CapturedUserMessages messages;
  EXPECT_EQ(ReplaceAll("abc", "(", "x"), "Error");
  EXPECT_EQ(FindLastMatch("abc", "[a-"), "Error");
  EXPECT_EQ(messages.texts(),
            (std::vector<std::string>{"Can not create RegExp!", "Can not create RegExp!"}));
}

TEST(RegexService, ManyDistinctPatternsKeepTheirOwnMeaning) {
  for (int round = 0; round < 2; ++round) {
    for (int n = 0; n < 150; ++n) {
      const std::string digits = std::to_string(n);
      ASSERT_EQ(ReplaceAll("<" + digits + ">", digits, "n"), "<n>") << digits;
    }
  }
}

}  // namespace
}  // namespace tablift
