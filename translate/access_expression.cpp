#include "translate/access_expression.h"

#include <cctype>

#include "mysql/sql_literals.h"
#include "translate/access_format.h"
#include "translate/access_functions.h"
#include "translate/access_like.h"
#include "translate/access_parser.h"

namespace tablift {
namespace {

Operand Made(std::string sql, ValueType type, int precedence) {
  return Operand{std::move(sql), type, precedence, {}, {}, {}};
}

Operand Plain(std::string sql, ValueType type) {
  return Operand{std::move(sql), type, kAtom, {}, {}, {}};
}

// left op right, for an operator that binds at `level` from the left.
Operand Binary(const Operand& left, const std::string& op, const Operand& right, int level,
               ValueType type) {
  return Operand{Wrapped(left, level) + op + Wrapped(right, level + 1), type, level, {}, {}, {}};
}

Operand Prefix(const std::string& op, const Operand& operand, int level, ValueType type) {
  return Operand{op + Wrapped(operand, level), type, level, {}, {}, {}};
}

bool IsOneOf(const Token& token, std::initializer_list<const char*> words) {
  for (const char* word : words)
    if (IsWord(token, word)) return true;
  return false;
}

// The operands of an & run as MySQL text. Access takes Null as empty text,
// but gives Null when every operand is Null.
Operand Concatenation(const std::vector<Operand>& operands) {
  std::string list;
  bool someNeverNull = false;
  for (const Operand& operand : operands) {
    if (!list.empty()) list += ", ";
    list += operand.type == ValueType::Date ? DateText(operand.sql) : operand.sql;
    if (operand.text || operand.number) someNeverNull = true;
  }
  const std::string concat = "CONCAT_WS('', " + list + ")";
  Operand result =
      Plain(someNeverNull ? concat : "IF(COALESCE(" + list + ") IS NULL, NULL, " + concat + ")",
            ValueType::Text);
  result.pieces = operands;
  return result;
}

// Whether Access could take the text for a number ("12", " -1.5e3 ").
bool ReadsAsNumber(const std::string& text) {
  std::size_t i = 0;
  const auto digit = [&](std::size_t at) {
    return at < text.size() && std::isdigit(static_cast<unsigned char>(text[at]));
  };
  const auto skipBlanks = [&] {
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
      ++i;
  };
  skipBlanks();
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  bool digits = false;
  while (digit(i)) {
    ++i;
    digits = true;
  }
  if (i < text.size() && text[i] == '.') ++i;
  while (digit(i)) {
    ++i;
    digits = true;
  }
  if (!digits) return false;
  if (i < text.size() && std::string_view("eEdD").find(text[i]) != std::string_view::npos) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    if (!digit(i)) return false;
    while (digit(i))
      ++i;
  }
  skipBlanks();
  return i == text.size();
}

}  // namespace

std::string Wrapped(const Operand& operand, int level) {
  return operand.precedence < level ? "(" + operand.sql + ")" : operand.sql;
}

const Token& AccessParser::peek(std::size_t ahead) const {
  const std::size_t index = std::min(at_ + ahead, tokens_.size() - 1);
  return tokens_[index];
}

bool AccessParser::symbol(const char* text) {
  if (peek().kind != TokenKind::Symbol || peek().text != text) return false;
  ++at_;
  return true;
}

bool AccessParser::word(const char* text) {
  if (!IsWord(peek(), text)) return false;
  ++at_;
  return true;
}

void AccessParser::expectSymbol(const char* text) {
  if (!symbol(text)) {
    if (atEnd()) throw Untranslatable{std::string("a ") + text + " is missing at the end"};
    throw Untranslatable{std::string("a ") + text + " is missing before \"" + peek().text + "\""};
  }
}

void AccessParser::unexpected() const {
  if (atEnd()) throw Untranslatable{"it ends too early"};
  throw Untranslatable{"\"" + peek().text + "\" is not expected there"};
}

std::string AccessParser::name(const Token& token) const {
  return QuoteIdentifier(names_ ? names_(token.text) : token.text);
}

AccessParser::Nesting::Nesting(AccessParser& parser) : parser_(parser) {
  // Saved queries nest a few levels deep.
  constexpr int kDeepest = 200;
  if (++parser_.depth_ > kDeepest) {
    --parser_.depth_;
    throw Untranslatable{"it is nested too deeply"};
  }
}

Operand AccessParser::expression() {
  const Nesting nesting(*this);
  return implication();
}

Operand AccessParser::implication() {
  Operand left = equivalence();
  while (word("Imp")) {
    const Operand right = equivalence();
    left = Binary(Prefix("NOT ", left, kNot, ValueType::Boolean), " OR ", right, kOr,
                  ValueType::Boolean);
  }
  return left;
}

Operand AccessParser::equivalence() {
  Operand left = exclusiveOr();
  while (word("Eqv")) {
    const Operand right = exclusiveOr();
    left = Prefix("NOT ", Binary(left, " XOR ", right, kXor, ValueType::Boolean), kNot,
                  ValueType::Boolean);
  }
  return left;
}

Operand AccessParser::exclusiveOr() {
  Operand left = disjunction();
  while (word("Xor")) {
    const Operand right = disjunction();
    left = Binary(left, " XOR ", right, kXor, ValueType::Boolean);
  }
  return left;
}

Operand AccessParser::disjunction() {
  Operand left = conjunction();
  while (word("Or")) {
    const Operand right = conjunction();
    left = Binary(left, " OR ", right, kOr, ValueType::Boolean);
  }
  return left;
}

Operand AccessParser::conjunction() {
  Operand left = negation();
  while (word("And")) {
    const Operand right = negation();
    left = Binary(left, " AND ", right, kAnd, ValueType::Boolean);
  }
  return left;
}

Operand AccessParser::negation() {
  const Nesting nesting(*this);
  if (word("Not")) return Prefix("NOT ", negation(), kNot, ValueType::Boolean);
  return comparison();
}

Operand AccessParser::comparison() {
  Operand left = concatenation();
  while (true) {
    const Token& next = peek();
    if (next.kind == TokenKind::Symbol &&
        (next.text == "=" || next.text == "<>" || next.text == "<" || next.text == ">" ||
         next.text == "<=" || next.text == ">=")) {
      const std::string op = next.text;
      ++at_;
      const Operand right = concatenation();
      left = Binary(left, " " + op + " ", right, kComparison, ValueType::Boolean);
      continue;
    }
    if (IsWord(next, "Is")) {
      ++at_;
      const bool negated = word("Not");
      if (!word("Null")) unexpected();
      left = Made(Wrapped(left, kComparison + 1) + (negated ? " IS NOT NULL" : " IS NULL"),
                  ValueType::Boolean, kComparison);
      continue;
    }
    bool negated = false;
    if (IsWord(next, "Not") && IsOneOf(peek(1), {"Like", "Between", "In"})) {
      negated = true;
      ++at_;
    }
    if (word("Like")) {
      left = like(left, negated);
    } else if (word("Between")) {
      const Operand low = concatenation();
      if (!word("And")) unexpected();
      const Operand high = concatenation();
      left = Made(Wrapped(left, kComparison + 1) + (negated ? " NOT BETWEEN " : " BETWEEN ") +
                      Wrapped(low, kComparison + 1) + " AND " + Wrapped(high, kComparison + 1),
                  ValueType::Boolean, kComparison);
    } else if (word("In")) {
      expectSymbol("(");
      std::string list;
      if (IsWord(peek(), "SELECT")) {
        list = statement();
      } else {
        do {
          if (!list.empty()) list += ", ";
          list += expression().sql;
        } while (symbol(","));
      }
      expectSymbol(")");
      left = Made(Wrapped(left, kComparison + 1) + (negated ? " NOT IN (" : " IN (") + list + ")",
                  ValueType::Boolean, kComparison);
    } else {
      return left;
    }
  }
}

Operand AccessParser::like(const Operand& value, bool negated) {
  const Operand pattern = concatenation();
  return Made(LikeCondition(Wrapped(value, kComparison + 1), pattern, negated), ValueType::Boolean,
              kComparison);
}

Operand AccessParser::concatenation() {
  std::vector<Operand> operands{additive()};
  while (symbol("&"))
    operands.push_back(additive());
  if (operands.size() == 1) return operands.front();
  return Concatenation(operands);
}

Operand AccessParser::additive() {
  Operand left = modulo();
  while (true) {
    const bool plus = symbol("+");
    if (!plus && !symbol("-")) return left;
    const Operand right = modulo();
    const std::string a = Wrapped(left, kMultiplicative), b = Wrapped(right, kMultiplicative);
    const auto text = [](const Operand& operand) {
      return operand.type == ValueType::Text || operand.type == ValueType::Words;
    };
    const bool words = left.type == ValueType::Words || right.type == ValueType::Words;
    if (plus && ((text(left) && text(right)) ||
                 (words && right.type != ValueType::Number && right.type != ValueType::Whole &&
                  left.type != ValueType::Number && left.type != ValueType::Whole))) {
      // + joins texts; unlike &, a Null makes the whole Null. Text that is
      // no number can only be joined, whatever the other operand holds.
      left = Plain("CONCAT(" + left.sql + ", " + right.sql + ")",
                   words ? ValueType::Words : ValueType::Text);
    } else if (left.type == ValueType::Date && right.type == ValueType::Date && !plus) {
      // Days between, with the time of day as the fraction.
      left = Made("(TO_SECONDS(" + left.sql + ") - TO_SECONDS(" + right.sql + ")) / 86400e0",
                  ValueType::Number, kMultiplicative);
    } else if (left.type == ValueType::Date &&
               (right.type == ValueType::Number || right.type == ValueType::Whole ||
                right.type == ValueType::Unknown)) {
      // A date and a number of days (a fraction being part of a day).
      left = Plain(std::string("TIMESTAMPADD(SECOND, ") + (plus ? "" : "-") + "ROUND(" + b +
                       " * 86400), " + left.sql + ")",
                   ValueType::Date);
    } else if (plus && right.type == ValueType::Date &&
               (left.type == ValueType::Number || left.type == ValueType::Whole)) {
      left = Plain("TIMESTAMPADD(SECOND, ROUND(" + a + " * 86400), " + right.sql + ")",
                   ValueType::Date);
    } else {
      left = Binary(left, plus ? " + " : " - ", right, kAdditive, ValueType::Number);
    }
  }
}

Operand AccessParser::modulo() {
  Operand left = integerDivision();
  while (word("Mod")) {
    const Operand right = integerDivision();
    // Access rounds both operands to whole numbers; the remainder takes the
    // dividend's sign, as MySQL's does.
    left =
        Made(WholeNumber(left) + " MOD " + WholeNumber(right), ValueType::Whole, kMultiplicative);
  }
  return left;
}

Operand AccessParser::integerDivision() {
  Operand left = multiplicative();
  while (symbol("\\")) {
    const Operand right = multiplicative();
    // Both operands rounded to whole numbers, the quotient cut toward zero.
    left =
        Made(WholeNumber(left) + " DIV " + WholeNumber(right), ValueType::Whole, kMultiplicative);
  }
  return left;
}

Operand AccessParser::multiplicative() {
  Operand left = unary();
  while (true) {
    if (symbol("*")) {
      const Operand right = unary();
      left = Binary(left, " * ", right, kMultiplicative, ValueType::Number);
    } else if (symbol("/")) {
      // Access divides in Double; MySQL would divide whole numbers as
      // decimals with four digits (1/3 = 0.3333).
      const Operand right = unary();
      left = Binary(Plain("CAST(" + left.sql + " AS DOUBLE)", ValueType::Number), " / ", right,
                    kMultiplicative, ValueType::Number);
    } else {
      return left;
    }
  }
}

Operand AccessParser::unary() {
  const Nesting nesting(*this);
  if (symbol("-")) {
    const Operand operand = unary();
    if (operand.number && operand.number->front() != '-') {
      Operand negative = Plain("-" + operand.sql, ValueType::Number);
      negative.number = "-" + *operand.number;
      return negative;
    }
    return Prefix("-", operand, kUnary + 1, ValueType::Number);
  }
  if (symbol("+")) return unary();
  return power();
}

Operand AccessParser::power() {
  Operand left = primary();
  while (symbol("^")) {
    Operand right;
    if (symbol("-")) {
      right = Prefix("-", primary(), kUnary + 1, ValueType::Number);
    } else {
      right = primary();
    }
    left = Plain("POWER(" + left.sql + ", " + right.sql + ")", ValueType::Number);
  }
  return left;
}

Operand AccessParser::primary() {
  const Token token = peek();
  switch (token.kind) {
    case TokenKind::Number: {
      ++at_;
      Operand number = Plain(token.text, ValueType::Number);
      number.number = token.text;
      return number;
    }
    case TokenKind::String: {
      ++at_;
      Operand text = Plain(StringLiteral(token.text),
                           ReadsAsNumber(token.text) ? ValueType::Text : ValueType::Words);
      text.text = token.text;
      return text;
    }
    case TokenKind::Date:
      ++at_;
      return Plain("TIMESTAMP'" + token.text + "'", ValueType::Date);
    case TokenKind::Bracketed:
      return reference();
    case TokenKind::Symbol:
      if (symbol("(")) {
        if (IsWord(peek(), "SELECT")) {
          const std::string select = statement();
          expectSymbol(")");
          return Plain("(" + select + ")", ValueType::Unknown);
        }
        Operand inner = expression();
        expectSymbol(")");
        return inner;
      }
      if (token.text == "?")
        throw Untranslatable{"it asks for a parameter (?), which a view cannot"};
      unexpected();
    case TokenKind::Word:
      break;
    case TokenKind::End:
      unexpected();
  }
  if (IsOneOf(token, {"True", "Yes", "On"})) {
    ++at_;
    return Plain("TRUE", ValueType::Boolean);
  }
  if (IsOneOf(token, {"False", "No", "Off"})) {
    ++at_;
    return Plain("FALSE", ValueType::Boolean);
  }
  if (IsWord(token, "Null")) {
    ++at_;
    return Plain("NULL", ValueType::Null);
  }
  if (IsWord(token, "Exists") && peek(1).text == "(") {
    at_ += 2;
    const std::string select = statement();
    expectSymbol(")");
    return Plain("EXISTS (" + select + ")", ValueType::Boolean);
  }
  // Left( and Right( are functions, LEFT JOIN and RIGHT JOIN are not.
  if (peek(1).kind == TokenKind::Symbol && peek(1).text == "(" &&
      !IsOneOf(token, {"SELECT", "FROM", "WHERE", "HAVING", "ON", "AS", "And", "Or", "Not", "Like",
                       "Is", "In", "Between", "Mod", "Xor", "Eqv", "Imp"})) {
    at_ += 2;
    return call(token.text);
  }
  if (IsOneOf(token,
              {"SELECT", "FROM",  "WHERE",   "GROUP", "HAVING", "ORDER", "UNION", "AS",  "ON",
               "JOIN",   "INNER", "LEFT",    "RIGHT", "BY",     "And",   "Or",    "Not", "Like",
               "Is",     "In",    "Between", "Mod",   "Xor",    "Eqv",   "Imp"}))
    unexpected();
  return reference();
}

Operand AccessParser::call(const std::string& name) {
  std::vector<Operand> arguments;
  if (symbol(")")) return TranslateFunction(name, arguments);
  if (peek().kind == TokenKind::Symbol && peek().text == "*" && peek(1).text == ")") {
    at_ += 2;
    arguments.push_back(Plain("*", ValueType::Unknown));
    return TranslateFunction(name, arguments);
  }
  do {
    arguments.push_back(expression());
  } while (symbol(","));
  expectSymbol(")");
  return TranslateFunction(name, arguments);
}

// A column or table name: Name, [Name], T.Name, [T].[Name], T.*.
Operand AccessParser::reference() {
  const Token first = peek();
  Token bare = first;
  bare.kind = TokenKind::Word;
  if (IsOneOf(bare, {"Forms", "Reports", "Screen"}) && (peek(1).text == "!" || peek(1).text == "."))
    throw Untranslatable{"it refers to a form or report (" + first.text +
                         "!...), which MySQL cannot see"};
  std::string text;
  while (true) {
    const Token part = peek();
    if (part.kind == TokenKind::Word || part.kind == TokenKind::Bracketed) {
      text += name(part);
      ++at_;
    } else if (part.kind == TokenKind::Symbol && part.text == "*" && !text.empty()) {
      text += "*";
      ++at_;
      return Plain(text, ValueType::Unknown);
    } else {
      unexpected();
    }
    // ! between names is Access's other way of writing a dot.
    if (peek().kind == TokenKind::Symbol && (peek().text == "." || peek().text == "!") &&
        (peek(1).kind == TokenKind::Word || peek(1).kind == TokenKind::Bracketed ||
         peek(1).text == "*")) {
      text += ".";
      ++at_;
      continue;
    }
    return Plain(text, ValueType::Unknown);
  }
}

TranslatedExpression TranslateAccessExpression(std::string_view expression,
                                               const NameMapping& names) {
  TranslatedExpression result;
  try {
    AccessParser parser(TokenizeAccessSql(expression), names);
    if (parser.atEnd()) throw Untranslatable{"the expression is empty"};
    result.text = parser.expression().sql;
    if (!parser.atEnd()) {
      if (parser.peek().text == ")") throw Untranslatable{"a ) has no ("};
      throw Untranslatable{"\"" + parser.peek().text + "\" is not expected there"};
    }
  } catch (const Untranslatable& failure) {
    result.ok = false;
    result.text.clear();
    result.problem = failure.problem;
  }
  return result;
}

}  // namespace tablift
