#pragma once

#include <optional>
#include <string>
#include <vector>

#include "translate/access_expression.h"
#include "translate/access_tokens.h"
#include "translate/access_top.h"

namespace tablift {

// What the translation knows of a value's Access type, where it matters for
// the MySQL form (+ joins texts, date arithmetic counts days).
// Whole is a number known to have no fraction (a count, a year, the result
// of \ and Mod).
// Words is text that cannot be read as a number ("Mr ", or text joined with
// it), which Access's + can only join.
enum class ValueType { Unknown, Text, Words, Number, Whole, Date, Boolean, Null };

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
    std::vector<SortKey> keys;
    bool empty() const { return own.empty(); }
  };
  // `top` tells whether the SELECT has TOP; `limit` is the LIMIT it needs
  // when its rows cannot be compared on their sort keys.
  std::string selectCore(SortOrder& orderBy, std::string& limit, bool& top);
  // The tables a select list reads fields of: those it names, or all (*).
  struct OutputTables {
    std::vector<std::string> named;
    bool all = false;
    // Each item's MySQL text and its alias (backquoted, or empty).
    std::vector<std::string> items, labels;
    // Whether a field of each of `tables` is read.
    bool readAll(const std::vector<std::string>& tables) const;
  };
  std::string selectItems(OutputTables& output);
  // `tables` gathers the names the query knows its tables by.
  std::string fromClause(std::vector<std::string>& tables);
  std::string joinedTables(std::vector<std::string>& tables);
  std::string tablePrimary(std::vector<std::string>& tables);
  std::optional<Token> aliasToken();
  std::string alias();
  SortOrder orderItems();
  static std::vector<SortKey> SortKeysOf(const SortOrder& order, const OutputTables& output);

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
