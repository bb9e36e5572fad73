#pragma once

#include <optional>
#include <string>
#include <vector>

#include "translate/access_expression.h"
#include "translate/access_tokens.h"

namespace tablift {

// What the translation knows of a value's Access type, where it matters for
// the MySQL form (+ joins texts, date arithmetic counts days).
// Whole is a number known to have no fraction (a count, a year, the result
// of \ and Mod).
enum class ValueType { Unknown, Text, Number, Whole, Date, Boolean, Null };

// How tightly MySQL binds the operator at the top of a text; an operand
// with a looser one needs parentheses.
enum Precedence : int {
  kOr = 10,
  kXor = 20,
  kAnd = 30,
  kNot = 40,
  kComparison = 50,  // = <> < > <= >= LIKE REGEXP IN IS BETWEEN
  kAdditive = 60,
  kMultiplicative = 70,  // * / DIV MOD
  kUnary = 80,
  kAtom = 100,  // a name, a literal, a call, anything in parentheses
};

// A translated operand: its MySQL text and what is known of it.
struct Operand {
  std::string sql;
  ValueType type = ValueType::Unknown;
  int precedence = kAtom;
  // The value of a string literal, the text of a number literal.
  std::optional<std::string> text;
  std::optional<std::string> number;
  // The operands of an & run, which a Like pattern reads piece by piece.
  std::vector<Operand> pieces;
};

// The text of `operand` ready to stand as an operand of an operator that
// binds at `level`: in parentheses when its own operator binds more loosely.
std::string Wrapped(const Operand& operand, int level = kAtom);

// Reads Access SQL tokens and writes the MySQL text: expressions (here) and
// SELECT statements (access_select.cpp), which contain each other.
class AccessParser {
 public:
  AccessParser(std::vector<Token> tokens, const NameMapping& names)
      : tokens_(std::move(tokens)), names_(names) {}

  Operand expression();
  // A whole statement: SELECT ... [UNION ...] [ORDER BY ...].
  std::string statement();

  bool atEnd() const { return peek().kind == TokenKind::End; }
  const Token& peek(std::size_t ahead = 0) const;

 private:
  // Expressions, from the loosest operator to the tightest.
  Operand implication();
  Operand equivalence();
  Operand exclusiveOr();
  Operand disjunction();
  Operand conjunction();
  Operand negation();
  Operand comparison();
  Operand concatenation();
  Operand additive();
  Operand modulo();
  Operand integerDivision();
  Operand multiplicative();
  Operand unary();
  Operand power();
  Operand primary();
  Operand call(const std::string& name);
  Operand reference();
  Operand like(const Operand& value, bool negated);

  // Statements.
  // ORDER BY items, as one SELECT uses them and as they sort a union, which
  // knows its columns without their tables.
  struct SortOrder {
    std::string own;
    std::string union_;
    bool empty() const { return own.empty(); }
  };
  std::string selectCore(SortOrder& orderBy, std::string& limit);
  std::string selectItems();
  std::string fromClause(int& tables);
  std::string joinedTables(int& tables);
  std::string tablePrimary(int& tables);
  std::string alias();
  SortOrder orderItems();

  // Counts one more level of nesting while it lives; refuses text nested
  // beyond any saved query's depth before the reading runs out of stack.
  class Nesting {
   public:
    explicit Nesting(AccessParser& parser);
    ~Nesting() { --parser_.depth_; }
    Nesting(const Nesting&) = delete;
    Nesting& operator=(const Nesting&) = delete;

   private:
    AccessParser& parser_;
  };

  bool symbol(const char* text);
  bool word(const char* text);
  void expectSymbol(const char* text);
  std::string name(const Token& token) const;
  [[noreturn]] void unexpected() const;

  std::vector<Token> tokens_;
  std::size_t at_ = 0;
  int depth_ = 0;  // expressions and statements being read inside each other
  const NameMapping& names_;
};

}  // namespace tablift
