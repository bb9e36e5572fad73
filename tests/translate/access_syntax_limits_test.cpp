// Text no saved query holds (nested beyond any query, cut off, scrambled)
// ends in a reason, never in a crash or a half translation.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "translate/access_expression.h"
#include "translate/access_select.h"

namespace tablift {
namespace {

using ::testing::HasSubstr;

TEST(AccessSyntaxLimitsTest, NestingBeyondAnyQueryIsRefused) {
  const std::string deep = std::string(100000, '(') + "1" + std::string(100000, ')');
  const TranslatedExpression parenthesised = TranslateAccessExpression(deep, {});
  EXPECT_FALSE(parenthesised.ok);
  EXPECT_THAT(parenthesised.problem, HasSubstr("nested too deeply"));
  std::string negations;
  for (int i = 0; i < 100000; ++i)
    negations += "Not -";
  EXPECT_FALSE(TranslateAccessExpression(negations + "1", {}).ok);
  std::string selects = "SELECT 1 FROM T";
  for (int i = 0; i < 5000; ++i)
    selects = "SELECT * FROM (" + selects + ") AS t";
  EXPECT_THAT(TranslateAccessSelect(selects, {}).message(), HasSubstr("nested too deeply"));
  // Nesting as deep as real queries go is read.
  EXPECT_TRUE(TranslateAccessExpression(std::string(50, '(') + "1" + std::string(50, ')'), {}).ok);
}

TEST(AccessSyntaxLimitsTest, CutAndScrambledTextEndsInAReason) {
  const std::string samples[] = {
      "IIf([a] Is Null, Format(#1/31/2020#, \"mmm d, yyyy\"), Nz([b], 0) & \"x\")",
      "SELECT DISTINCT TOP 5 [T].[a] AS [x], Count(*) FROM (A INNER JOIN B ON A.k = B.k) LEFT "
      "JOIN [SELECT * FROM C]. AS c ON c.k = A.k WHERE [a] Like \"[!a-c]#*\" AND b In (SELECT k "
      "FROM D) GROUP BY [T].[a] HAVING Sum(b) > 1 ORDER BY 1 DESC UNION ALL SELECT 1, 2 FROM E;",
      "DateDiff(\"ww\", [d], Date(), 2) \\ 2 Mod 3 ^ -2 Between 1 And 2 Or Not Exists (SELECT 1 "
      "FROM T)",
  };
  std::mt19937 random(20201);
  for (const std::string& sample : samples) {
    // Every cut.
    for (std::size_t length = 0; length <= sample.size(); ++length) {
      const std::string cut = sample.substr(0, length);
      const TranslatedExpression expression = TranslateAccessExpression(cut, {});
      EXPECT_TRUE(expression.ok || !expression.problem.empty()) << cut;
      const Result<std::string> select = TranslateAccessSelect(cut, {});
      EXPECT_TRUE(select.ok() || !select.message().empty()) << cut;
    }
    // Characters swapped, doubled and dropped.
    for (int round = 0; round < 2000; ++round) {
      std::string scrambled = sample;
      for (int change = 0; change < 3; ++change) {
        const std::size_t at = random() % scrambled.size();
        const std::size_t other = random() % scrambled.size();
        switch (random() % 3) {
          case 0:
            std::swap(scrambled[at], scrambled[other]);
            break;
          case 1:
            scrambled.insert(at, 1, scrambled[other]);
            break;
          default:
            scrambled.erase(at, 1);
        }
      }
      const TranslatedExpression expression = TranslateAccessExpression(scrambled, {});
      EXPECT_TRUE(expression.ok || !expression.problem.empty()) << scrambled;
      const Result<std::string> select = TranslateAccessSelect(scrambled, {});
      EXPECT_TRUE(select.ok() || !select.message().empty()) << scrambled;
    }
  }
}

}  // namespace
}  // namespace tablift
