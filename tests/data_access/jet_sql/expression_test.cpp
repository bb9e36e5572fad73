// The expression language as Access evaluates it: precedence, arithmetic,
// three-valued logic, comparisons between kinds, and Like.

#include <gtest/gtest.h>

#include "tests/data_access/jet_sql/query_runner.h"

namespace tablift::jet::testing {
namespace {

using I = std::int64_t;
const Value kNull = Null{};

TEST(JetSqlExpressions, PrecedenceAndArithmetic) {
  EXPECT_EQ(Eval("1 + 2 * 3"), Value(I{7}));
  EXPECT_EQ(Eval("(1 + 2) * 3"), Value(I{9}));
  // ^ binds tighter than unary minus, and is left-associative.
  EXPECT_EQ(Eval("-2 ^ 2"), Value(-4.0));
  EXPECT_EQ(Eval("2 ^ 3 ^ 2"), Value(64.0));
  EXPECT_EQ(Eval("2 ^ -1"), Value(0.5));
  // * / before \ before Mod before + -.
  EXPECT_EQ(Eval("7 \\ 2 * 2"), Value(I{1}));
  EXPECT_EQ(Eval("10 - 4 Mod 3"), Value(I{9}));
  EXPECT_EQ(Eval("7 Mod 5 \\ 2"), Value(I{1}));
  EXPECT_EQ(Eval("-7 \\ 2"), Value(I{-3}));
  EXPECT_EQ(Eval("-7 Mod 3"), Value(I{-1}));
  // \ and Mod round their operands half to even first.
  EXPECT_EQ(Eval("5.5 \\ 2"), Value(I{3}));
  EXPECT_EQ(Eval("4.5 Mod 3"), Value(I{1}));
  EXPECT_EQ(Eval("7 / 2"), Value(3.5));
  // & binds less tightly than +, comparisons less than &, Not less than those.
  EXPECT_EQ(Eval("1 + 2 & 3"), Value("33"));
  EXPECT_EQ(Eval("'a' & 1 + 1"), Value("a2"));
  EXPECT_EQ(Eval("1 + 2 = 3"), Value(true));
  EXPECT_EQ(Eval("Not 1 = 2"), Value(true));
  EXPECT_EQ(Eval("True Or False And False"), Value(true));
  EXPECT_EQ(Eval("(True Or False) And False"), Value(false));
  // True is -1; numeric text takes part as a number, two texts are joined.
  EXPECT_EQ(Eval("True + 1"), Value(I{0}));
  EXPECT_EQ(Eval("'3' + 4"), Value(7.0));
  EXPECT_EQ(Eval("'3' + '4'"), Value("34"));
  EXPECT_EQ(Eval("1.5e3 + .5"), Value(1500.5));
  // Currency and Decimal stay exact where Double does not.
  EXPECT_EQ(Eval("0.1 + 0.2 = 0.3"), Value(false));
  EXPECT_EQ(Eval("CCur(0.1) + CCur(0.2) = CCur(0.3)"), Value(true));
  EXPECT_EQ(Eval("CCur(1.1) * 3"), Value(Currency{33000}));
  EXPECT_EQ(Eval("CCur(10) / 4"), Value(2.5));
  EXPECT_EQ(Eval("CDec('0.1') + CDec('0.2')"), Value(Decimal{"0.3"}));
  EXPECT_EQ(Eval("CDec('1.5') * 2"), Value(Decimal{"3.0"}));

  EXPECT_NE(EvalError("1 / 0").find("Division by zero"), std::string::npos);
  EXPECT_NE(EvalError("5 Mod 0").find("Division by zero"), std::string::npos);
  EXPECT_NE(EvalError("4611686018427387904 * 2").find("Overflow"), std::string::npos);
  EXPECT_NE(EvalError("'abc' * 2").find("Type mismatch"), std::string::npos);
}

TEST(JetSqlExpressions, NullFollowsThreeValuedLogic) {
  EXPECT_EQ(Eval("Null = Null"), kNull);
  EXPECT_EQ(Eval("Nothing <> 1"), kNull);
  EXPECT_EQ(Eval("Not Nothing"), kNull);
  EXPECT_EQ(Eval("False And Nothing"), Value(false));
  EXPECT_EQ(Eval("Nothing And False"), Value(false));
  EXPECT_EQ(Eval("True And Nothing"), kNull);
  EXPECT_EQ(Eval("True Or Nothing"), Value(true));
  EXPECT_EQ(Eval("Nothing Or False"), kNull);
  EXPECT_EQ(Eval("Nothing Xor True"), kNull);
  EXPECT_EQ(Eval("True Eqv True"), Value(true));
  EXPECT_EQ(Eval("False Imp Nothing"), Value(true));
  EXPECT_EQ(Eval("Nothing Imp True"), Value(true));
  EXPECT_EQ(Eval("Nothing Imp False"), kNull);

  EXPECT_EQ(Eval("1 + Nothing"), kNull);
  EXPECT_EQ(Eval("'a' + Nothing"), kNull);
  EXPECT_EQ(Eval("'a' & Nothing"), Value("a"));
  EXPECT_EQ(Eval("Nothing & Nothing"), kNull);

  EXPECT_EQ(Eval("Nothing Is Null"), Value(true));
  EXPECT_EQ(Eval("Nothing Is Not Null"), Value(false));
  EXPECT_EQ(Eval("Id Is Null"), Value(false));
  EXPECT_EQ(Eval("1 In (2, Nothing)"), kNull);
  EXPECT_EQ(Eval("1 In (2, Nothing, 1)"), Value(true));
  EXPECT_EQ(Eval("1 Not In (2, Nothing)"), kNull);
  EXPECT_EQ(Eval("Nothing In (1, 2)"), kNull);
  EXPECT_EQ(Eval("5 Between 1 And Nothing"), kNull);
  EXPECT_EQ(Eval("0 Between 1 And Nothing"), Value(false));
  EXPECT_EQ(Eval("IIf(Nothing, 1, 2)"), Value(I{2}));

  // WHERE keeps only rows whose condition is True: the product without a
  // category is neither = 1 nor <> 1.
  MemoryCatalog catalog = SampleCatalog();
  const auto count = [&](const std::string& condition) {
    const QueryOutput output =
        RunQuery(catalog, "select count(*) from Products where " + condition);
    return output.rows.empty() ? Value(Null{}) : output.rows[0][0];
  };
  EXPECT_EQ(count("CategoryID <> 1"), Value(I{2}));
  EXPECT_EQ(count("Not (CategoryID = 1)"), Value(I{2}));
  EXPECT_EQ(count("CategoryID = 1 Or CategoryID <> 1"), Value(I{4}));
  EXPECT_EQ(count("CategoryID Is Null"), Value(I{1}));
  EXPECT_EQ(count("Nz(CategoryID, 0) = 0"), Value(I{1}));
}

TEST(JetSqlExpressions, ComparisonsAcrossKinds) {
  // Text compares without regard to case, accented letters included, and
  // sorts accented letters beside their base letter.
  EXPECT_EQ(Eval("'abc' = 'ABC'"), Value(true));
  EXPECT_EQ(Eval("'Äpfel' = 'äPFEL'"), Value(true));
  EXPECT_EQ(Eval("'ÉCOLE' = 'école'"), Value(true));
  EXPECT_EQ(Eval("'é' = 'e'"), Value(false));
  EXPECT_EQ(Eval("'e' < 'é'"), Value(true));
  EXPECT_EQ(Eval("'é' < 'f'"), Value(true));
  EXPECT_EQ(Eval("'b' > 'A'"), Value(true));
  EXPECT_EQ(Eval("'10' > '9'"), Value(false));
  // Numbers of different kinds compare by value.
  EXPECT_EQ(Eval("1 = 1.0"), Value(true));
  EXPECT_EQ(Eval("CCur(0.1) = 0.1"), Value(true));
  EXPECT_EQ(Eval("CDec('2.50') = CCur(2.5)"), Value(true));
  EXPECT_EQ(Eval("CDec('12345678901234567890.1') > CDec('12345678901234567890')"), Value(true));
  EXPECT_EQ(Eval("True = -1"), Value(true));
  // Numeric text against a number compares as a number, date text against a
  // date as a date.
  EXPECT_EQ(Eval("'10' = 10"), Value(true));
  EXPECT_EQ(Eval("'10' > 9"), Value(true));
  EXPECT_EQ(Eval("'abc' = 1"), Value(false));
  EXPECT_EQ(Eval("#2024-02-29# = '2024-02-29'"), Value(true));
  EXPECT_EQ(Eval("#2/29/2024# > '1/31/2024'"), Value(true));
  EXPECT_EQ(Eval("#1899-12-31# = 1"), Value(true));

  MemoryCatalog catalog = SampleCatalog();
  QueryOutput output = RunQuery(catalog, "select ProductID from Products where ProductID = '3'");
  EXPECT_EQ(output.rows, (std::vector<Row>{{I{3}}}));
  output = RunQuery(catalog, "select ProductID from Products where UnitPrice > '15'");
  EXPECT_EQ(output.rows, (std::vector<Row>{{I{1}}, {I{2}}}));
  output = RunQuery(catalog, "select ProductID from Products where ProductName = 'ÄPFEL'");
  EXPECT_EQ(output.rows, (std::vector<Row>{{I{4}}}));
  output = RunQuery(catalog, "select ProductID from Products where Discontinued = Yes");
  EXPECT_EQ(output.rows, (std::vector<Row>{{I{2}}, {I{5}}}));
}

TEST(JetSqlExpressions, LikePatterns) {
  EXPECT_EQ(Eval("'Chai' Like 'ch*'"), Value(true));
  EXPECT_EQ(Eval("'Chai' Like 'C?ai'"), Value(true));
  EXPECT_EQ(Eval("'Chai' Like 'C?i'"), Value(false));
  EXPECT_EQ(Eval("'Chai' Like 'Cha'"), Value(false));
  EXPECT_EQ(Eval("'A1' Like 'A#'"), Value(true));
  EXPECT_EQ(Eval("'AB' Like 'A#'"), Value(false));
  EXPECT_EQ(Eval("'b' Like '[a-c]'"), Value(true));
  EXPECT_EQ(Eval("'B' Like '[a-c]'"), Value(true));
  EXPECT_EQ(Eval("'d' Like '[a-c]'"), Value(false));
  EXPECT_EQ(Eval("'d' Like '[!a-c]'"), Value(true));
  EXPECT_EQ(Eval("'x' Like '[xyz]'"), Value(true));
  EXPECT_EQ(Eval("'-' Like '[a-]'"), Value(true));
  EXPECT_EQ(Eval("'a*b' Like 'a[*]b'"), Value(true));
  EXPECT_EQ(Eval("'axb' Like 'a[*]b'"), Value(false));
  EXPECT_EQ(Eval("'a?#' Like 'a[?][#]'"), Value(true));
  EXPECT_EQ(Eval("'a]' Like 'a]'"), Value(true));
  EXPECT_EQ(Eval("'' Like '*'"), Value(true));
  EXPECT_EQ(Eval("'aXbYc' Like 'a*b*c'"), Value(true));
  EXPECT_EQ(Eval("'acb' Like 'a*b*c'"), Value(false));
  EXPECT_EQ(Eval("'abcbc' Like '*bc'"), Value(true));
  EXPECT_EQ(Eval("'Äpfel' Like 'ä*'"), Value(true));
  EXPECT_EQ(Eval("'Île' Like '?le'"), Value(true));
  EXPECT_EQ(Eval("'école' Like 'e*'"), Value(false));
  EXPECT_EQ(Eval("123 Like '1#3'"), Value(true));
  EXPECT_EQ(Eval("Nothing Like '*'"), Value(Null{}));
  EXPECT_EQ(Eval("'x' Not Like 'y*'"), Value(true));
  EXPECT_EQ(Eval("'abc' Like 'a' & '*'"), Value(true));

  EXPECT_NE(EvalError("'a' Like '[a'").find("Invalid pattern string"), std::string::npos);
  EXPECT_NE(EvalError("'a' Like '[z-a]'").find("Invalid pattern string"), std::string::npos);

  MemoryCatalog catalog = SampleCatalog();
  const QueryOutput output =
      RunQuery(catalog, "select ProductID from Products where ProductName Like '*an*'");
  EXPECT_EQ(output.rows, (std::vector<Row>{{I{2}}, {I{3}}, {I{5}}}));
}

}  // namespace
}  // namespace tablift::jet::testing
