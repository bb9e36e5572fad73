#include "data_access/jet/sql/sql_parser.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "data_access/jet/sql/sql_lexer.h"
#include "data_access/jet/sql/text_folding.h"

namespace tablift::jet {
namespace {

// Words that are never names unless written in brackets.
constexpr std::array<std::string_view, 39> kReservedWords = {
    "select", "distinct", "distinctrow", "all",    "top",     "from",  "where",    "group",
    "by",     "having",   "order",       "asc",    "desc",    "as",    "on",       "inner",
    "left",   "right",    "outer",       "join",   "and",     "or",    "not",      "xor",
    "eqv",    "imp",      "mod",         "like",   "between", "in",    "is",       "null",
    "union",  "true",     "false",       "exists", "percent", "pivot", "transform"};

bool IsReserved(const Token& token) {
  if (token.kind != Token::Kind::Word) return false;
  for (std::string_view word : kReservedWords) {
    if (NamesEqual(token.text, word)) return true;
  }
  return false;
}

class Parser {
 public:
  explicit Parser(std::string_view sql) : sql_(sql), tokens_(TokenizeSql(sql)) {}

  QueryStatement parseStatement() {
    QueryStatement query;
    if (isKeyword(peek(), "parameters")) parseParameters(query);
    if (isKeyword(peek(), "transform")) {
      query.selects.push_back(parseCrosstab());
    } else {
      parseSelects(query);
    }
    // Access appends this to queries that run with their owner's rights; it
    // changes nothing about the rows.
    if (isKeyword(peek(), "with") && isKeyword(peek(1), "owneraccess") &&
        isKeyword(peek(2), "option")) {
      take();
      take();
      take();
    }
    acceptSymbol(";");
    if (peek().kind != Token::Kind::End) syntaxError(peek());
    return query;
  }

 private:
  // --- statements -----------------------------------------------------------

  // select [UNION [ALL] select ...] [ORDER BY ...]: the ORDER BY after the
  // last select of a union sorts the whole union.
  void parseSelects(QueryStatement& query) {
    query.selects.push_back(parseUnionMember());
    while (isKeyword(peek(), "union")) {
      take();
      query.unionAll.push_back(acceptKeyword("all"));
      query.selects.push_back(parseUnionMember());
    }
    if (query.selects.size() > 1) {
      query.orderBy = std::move(query.selects.back().orderBy);
      query.selects.back().orderBy.clear();
    }
  }

  // A select of a union: SELECT ..., (SELECT ...), or TABLE name.
  SelectStatement parseUnionMember() {
    if (isSymbol(peek(), "(") && isKeyword(peek(1), "select")) {
      Nesting nesting(*this, take());
      SelectStatement select = parseSelect();
      expectSymbol(")");
      return select;
    }
    if (isKeyword(peek(), "table")) {
      take();
      clause_ = Clause::From;
      SelectStatement select;
      SelectItem all;
      all.kind = SelectItem::Kind::AllColumns;
      all.position = positionOf(peek());
      select.items.push_back(std::move(all));
      select.from.push_back(parseFromPrimary());
      return select;
    }
    return parseSelect();
  }

  // A statement in parentheses: a subquery or a derived table.
  std::shared_ptr<QueryStatement> parseNestedQuery() {
    const Clause outer = clause_;
    auto query = std::make_shared<QueryStatement>();
    parseSelects(*query);
    clause_ = outer;
    return query;
  }

  // PARAMETERS [name] Type [(size)], ...;
  void parseParameters(QueryStatement& query) {
    take();
    clause_ = Clause::Parameters;
    do {
      ParameterDeclaration declaration;
      declaration.name = takeName();
      // [Forms]![Orders]![OrderID] Long: the parameter is the control's.
      std::size_t names = 1;
      const bool form =
          NamesEqual(declaration.name, "forms") || NamesEqual(declaration.name, "reports");
      while ((isSymbol(peek(), "!") || isSymbol(peek(), ".")) && isName(peek(1))) {
        take();
        const std::string next = takeName();
        declaration.name = form ? next : declaration.name + "." + next;
        ++names;
      }
      if (form && names < 3) syntaxError(peek());
      const Token& type = peek();
      if (type.kind != Token::Kind::Word) syntaxError(type);
      take();
      std::string typeName = type.text;
      // "Yes/No" is written with a slash.
      if (NamesEqual(typeName, "yes") && isSymbol(peek(), "/") && isKeyword(peek(1), "no")) {
        take();
        take();
        typeName = "yesno";
      }
      if (!ParameterType(typeName, declaration)) syntaxError(type);
      if (acceptSymbol("(")) {
        const auto* size = std::get_if<std::int64_t>(&peek().value);
        if (peek().kind != Token::Kind::Literal || !size || *size < 0) syntaxError(peek());
        declaration.size = static_cast<std::size_t>(*size);
        take();
        expectSymbol(")");
      }
      query.parameters.push_back(std::move(declaration));
    } while (acceptSymbol(","));
    expectSymbol(";");
  }

  static bool ParameterType(std::string_view word, ParameterDeclaration& declaration) {
    struct TypeWord {
      std::string_view word;
      JetType type;
    };
    static constexpr TypeWord kTypes[] = {{"bit", JetType::Boolean},
                                          {"boolean", JetType::Boolean},
                                          {"yesno", JetType::Boolean},
                                          {"logical", JetType::Boolean},
                                          {"logical1", JetType::Boolean},
                                          {"byte", JetType::Byte},
                                          {"integer1", JetType::Byte},
                                          {"tinyint", JetType::Byte},
                                          {"short", JetType::Integer},
                                          {"smallint", JetType::Integer},
                                          {"integer2", JetType::Integer},
                                          {"long", JetType::Long},
                                          {"int", JetType::Long},
                                          {"integer", JetType::Long},
                                          {"integer4", JetType::Long},
                                          {"counter", JetType::Long},
                                          {"autoincrement", JetType::Long},
                                          {"currency", JetType::Currency},
                                          {"money", JetType::Currency},
                                          {"ieeesingle", JetType::Single},
                                          {"single", JetType::Single},
                                          {"real", JetType::Single},
                                          {"float4", JetType::Single},
                                          {"ieeedouble", JetType::Double},
                                          {"double", JetType::Double},
                                          {"float", JetType::Double},
                                          {"float8", JetType::Double},
                                          {"number", JetType::Double},
                                          {"datetime", JetType::DateTime},
                                          {"date", JetType::DateTime},
                                          {"time", JetType::DateTime},
                                          {"timestamp", JetType::DateTime},
                                          {"text", JetType::Text},
                                          {"char", JetType::Text},
                                          {"varchar", JetType::Text},
                                          {"string", JetType::Text},
                                          {"alphanumeric", JetType::Text},
                                          {"longtext", JetType::Memo},
                                          {"memo", JetType::Memo},
                                          {"note", JetType::Memo},
                                          {"longchar", JetType::Memo},
                                          {"binary", JetType::Binary},
                                          {"varbinary", JetType::Binary},
                                          {"longbinary", JetType::OleObject},
                                          {"oleobject", JetType::OleObject},
                                          {"general", JetType::OleObject},
                                          {"image", JetType::OleObject},
                                          {"guid", JetType::ReplicationId},
                                          {"uniqueidentifier", JetType::ReplicationId},
                                          {"decimal", JetType::Decimal},
                                          {"numeric", JetType::Decimal},
                                          {"dec", JetType::Decimal},
                                          {"value", JetType::Text}};
    for (const TypeWord& type : kTypes) {
      if (NamesEqual(type.word, word)) {
        declaration.type = type.type;
        declaration.valueOnly = NamesEqual(word, "value");
        return true;
      }
    }
    return false;
  }

  // TRANSFORM aggregate select PIVOT expression [IN (value, ...)]
  SelectStatement parseCrosstab() {
    take();
    clause_ = Clause::Transform;
    ExprPtr transform = parseExpression();
    // Access keeps an alias on the aggregate; it names nothing in the result.
    if (acceptKeyword("as")) takeName();
    SelectStatement select = parseSelect();
    if (!isKeyword(peek(), "pivot")) syntaxError(peek());
    take();
    clause_ = Clause::Pivot;
    select.transform = std::move(transform);
    select.pivot = parseExpression();
    // The expression parser reads "x IN (a, b)" as a condition; after PIVOT
    // it is the pivot expression and its column values.
    if (select.pivot->kind == ExprKind::In && !select.pivot->negated) {
      ExprPtr in = std::move(select.pivot);
      select.pivot = std::move(in->operands[0]);
      for (std::size_t i = 1; i < in->operands.size(); ++i)
        select.pivotValues.push_back(std::move(in->operands[i]));
    }
    return select;
  }

  SelectStatement parseSelect() {
    SelectStatement statement;
    clause_ = Clause::Select;
    expectKeyword("select");
    if (acceptKeyword("distinct")) {
      statement.distinct = true;
    } else if (acceptKeyword("distinctrow")) {
      statement.distinctRow = true;
    } else {
      acceptKeyword("all");
    }
    if (acceptKeyword("top")) parseTop(statement);
    do {
      statement.items.push_back(parseSelectItem());
    } while (acceptSymbol(","));

    clause_ = Clause::From;
    expectKeyword("from");
    do {
      statement.from.push_back(parseFromEntry());
    } while (acceptSymbol(","));

    if (acceptKeyword("where")) {
      clause_ = Clause::Where;
      statement.where = parseExpression();
    }
    if (isKeyword(peek(), "group")) {
      clause_ = Clause::GroupBy;
      take();
      expectKeyword("by");
      do {
        statement.groupBy.push_back(parseExpression());
      } while (acceptSymbol(","));
    }
    if (acceptKeyword("having")) {
      clause_ = Clause::Having;
      statement.having = parseExpression();
    }
    if (isKeyword(peek(), "order")) {
      clause_ = Clause::OrderBy;
      take();
      expectKeyword("by");
      do {
        OrderItem item;
        item.expr = parseExpression();
        if (acceptKeyword("desc")) {
          item.descending = true;
        } else {
          acceptKeyword("asc");
        }
        statement.orderBy.push_back(std::move(item));
      } while (acceptSymbol(","));
    }
    return statement;
  }

  // --- tokens ---------------------------------------------------------------

  const Token& peek(std::size_t ahead = 0) const {
    const std::size_t i = index_ + ahead;
    return i < tokens_.size() ? tokens_[i] : tokens_.back();
  }

  const Token& take() {
    const Token& token = peek();
    if (index_ + 1 < tokens_.size()) ++index_;
    return token;
  }

  static bool isKeyword(const Token& token, std::string_view word) {
    return token.kind == Token::Kind::Word && NamesEqual(token.text, word);
  }

  static bool isSymbol(const Token& token, std::string_view symbol) {
    return token.kind == Token::Kind::Symbol && token.text == symbol;
  }

  bool acceptKeyword(std::string_view word) {
    if (!isKeyword(peek(), word)) return false;
    take();
    return true;
  }

  bool acceptSymbol(std::string_view symbol) {
    if (!isSymbol(peek(), symbol)) return false;
    take();
    return true;
  }

  void expectKeyword(std::string_view word) {
    if (!acceptKeyword(word)) syntaxError(peek());
  }

  void expectSymbol(std::string_view symbol) {
    if (!acceptSymbol(symbol)) syntaxError(peek());
  }

  std::size_t positionOf(const Token& token) const { return CharacterPosition(sql_, token.offset); }

  [[noreturn]] void syntaxError(const Token& token) const {
    std::string message = "Syntax error in ";
    message += ClauseName(clause_);
    message += " clause ";
    if (token.kind == Token::Kind::End) {
      message += "at end of statement";
    } else {
      message += "near '";
      message += sql_.substr(token.offset, token.length);
      message += "' at position " + std::to_string(positionOf(token));
    }
    throw QueryError(QueryError::Kind::Command, message, true);
  }

  bool isName(const Token& token) const {
    return token.kind == Token::Kind::QuotedName ||
           (token.kind == Token::Kind::Word && !IsReserved(token));
  }

  std::string takeName() {
    if (!isName(peek())) syntaxError(peek());
    return take().text;
  }

  // --- clauses ----------------------------------------------------------------

  void parseTop(SelectStatement& statement) {
    const Token& token = peek();
    if (token.kind != Token::Kind::Literal) syntaxError(token);
    double count = 0;
    if (const auto* whole = std::get_if<std::int64_t>(&token.value)) {
      count = static_cast<double>(*whole);
    } else if (const auto* real = std::get_if<double>(&token.value)) {
      count = *real;
    } else {
      syntaxError(token);
    }
    take();
    statement.topPercent = acceptKeyword("percent");
    // TOP n counts whole rows, at most as many as a table can hold.
    if (count <= 0 || (statement.topPercent && count > 100) ||
        (!statement.topPercent && (count > 2147483647.0 || std::floor(count) != count))) {
      syntaxError(token);
    }
    statement.top = count;
  }

  SelectItem parseSelectItem() {
    SelectItem item;
    item.position = positionOf(peek());
    if (acceptSymbol("*")) {
      item.kind = SelectItem::Kind::AllColumns;
      return item;
    }
    if (isName(peek()) && (isSymbol(peek(1), ".") || isSymbol(peek(1), "!")) &&
        isSymbol(peek(2), "*")) {
      item.kind = SelectItem::Kind::TableColumns;
      item.qualifier = take().text;
      take();
      take();
      return item;
    }
    item.expr = parseExpression();
    if (acceptKeyword("as")) item.alias = takeName();
    return item;
  }

  std::unique_ptr<FromNode> parseFromEntry() {
    std::unique_ptr<FromNode> node = parseFromPrimary();
    while (true) {
      JoinKind kind = JoinKind::Inner;
      const Token& start = peek();
      if (acceptKeyword("inner")) {
        kind = JoinKind::Inner;
      } else if (acceptKeyword("left")) {
        kind = JoinKind::Left;
        acceptKeyword("outer");
      } else if (acceptKeyword("right")) {
        kind = JoinKind::Right;
        acceptKeyword("outer");
      } else if (isKeyword(peek(), "join")) {
        // A bare JOIN is what Access calls an inner join.
      } else {
        return node;
      }
      expectKeyword("join");
      auto join = std::make_unique<FromNode>();
      join->isJoin = true;
      join->position = positionOf(start);
      join->join = kind;
      join->left = std::move(node);
      join->right = parseFromPrimary();
      expectKeyword("on");
      const Clause outer = clause_;
      clause_ = Clause::On;
      join->on = parseExpression();
      clause_ = outer;
      node = std::move(join);
    }
  }

  std::unique_ptr<FromNode> parseFromPrimary() {
    auto node = std::make_unique<FromNode>();
    node->position = positionOf(peek());
    if (isSymbol(peek(), "(")) {
      Nesting nesting(*this, take());
      if (isKeyword(peek(), "select")) {
        node->derived = parseNestedQuery();
        expectSymbol(")");
        parseAlias(*node, true);
        return node;
      }
      std::unique_ptr<FromNode> inner = parseFromEntry();
      expectSymbol(")");
      return inner;
    }
    // [SELECT ...]. AS X: how Access saves a derived table.
    if (peek().kind == Token::Kind::QuotedName && isSymbol(peek(1), ".") &&
        StartsWithSelect(peek().text)) {
      const std::string inner = take().text;
      take();
      node->derived = std::make_shared<QueryStatement>(ParseQuery(inner));
      parseAlias(*node, true);
      return node;
    }
    node->table = takeName();
    parseAlias(*node, false);
    return node;
  }

  void parseAlias(FromNode& node, bool required) {
    if (acceptKeyword("as")) {
      node.alias = takeName();
    } else if (isName(peek())) {
      node.alias = take().text;
    } else if (required) {
      syntaxError(peek());
    }
  }

  static bool StartsWithSelect(std::string_view text) {
    const std::size_t start = text.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos || text.size() - start < 7) return false;
    return NamesEqual(text.substr(start, 6), "select") &&
           std::string_view(" \t\r\n").find(text[start + 6]) != std::string_view::npos;
  }

  // --- expressions ------------------------------------------------------------

  // Parsing, binding and evaluation recurse along the expression tree; these
  // limits keep a pathological statement ("((((...", "1+1+1+...") from
  // exhausting the stack of the thread running it. Access's own limits are
  // lower.
  static constexpr std::size_t kMaxNesting = 200;
  static constexpr std::size_t kMaxHeight = 1000;

  [[noreturn]] void tooComplex(const Token& at) const {
    throw QueryError(QueryError::Kind::Command,
                     "Expression too complex in " + std::string(ClauseName(clause_)) +
                         " clause at position " + std::to_string(positionOf(at)),
                     true);
  }

  // Counts one level of recursion for as long as it lives.
  class Nesting {
   public:
    Nesting(Parser& parser, const Token& at) : parser_(parser) {
      if (++parser_.nesting_ > kMaxNesting) parser_.tooComplex(at);
    }
    ~Nesting() { --parser_.nesting_; }
    Nesting(const Nesting&) = delete;
    Nesting& operator=(const Nesting&) = delete;

   private:
    Parser& parser_;
  };

  // A node whose operands are complete: its height, checked.
  ExprPtr seal(ExprPtr node) const {
    std::size_t below = 0;
    for (const ExprPtr& operand : node->operands)
      below = std::max(below, operand->height);
    node->height = below + 1;
    if (node->height > kMaxHeight) {
      QueryError error(QueryError::Kind::Command, "Expression too complex");
      error.locate(node->clause, node->position);
      throw error;
    }
    return node;
  }

  ExprPtr makeNode(ExprKind kind, const Token& at) const {
    auto node = std::make_unique<Expr>();
    node->kind = kind;
    node->clause = clause_;
    node->position = positionOf(at);
    return node;
  }

  ExprPtr makeBinary(Operator op, const Token& at, ExprPtr left, ExprPtr right) const {
    ExprPtr node = makeNode(ExprKind::Binary, at);
    node->op = op;
    node->operands.push_back(std::move(left));
    node->operands.push_back(std::move(right));
    return seal(std::move(node));
  }

  ExprPtr parseExpression() {
    Nesting nesting(*this, peek());
    return parseImp();
  }

  // One level of left-associative keyword operators.
  template <typename Next>
  ExprPtr parseKeywordLevel(std::string_view word, Operator op, Next next) {
    ExprPtr left = (this->*next)();
    while (isKeyword(peek(), word)) {
      const Token& at = take();
      left = makeBinary(op, at, std::move(left), (this->*next)());
    }
    return left;
  }

  ExprPtr parseImp() { return parseKeywordLevel("imp", Operator::Imp, &Parser::parseEqv); }
  ExprPtr parseEqv() { return parseKeywordLevel("eqv", Operator::Eqv, &Parser::parseXor); }
  ExprPtr parseXor() { return parseKeywordLevel("xor", Operator::Xor, &Parser::parseOr); }
  ExprPtr parseOr() { return parseKeywordLevel("or", Operator::Or, &Parser::parseAnd); }
  ExprPtr parseAnd() { return parseKeywordLevel("and", Operator::And, &Parser::parseNot); }

  ExprPtr parseNot() {
    if (isKeyword(peek(), "not")) {
      const Token& at = take();
      Nesting nesting(*this, at);
      ExprPtr node = makeNode(ExprKind::Unary, at);
      node->op = Operator::Not;
      node->operands.push_back(parseNot());
      return seal(std::move(node));
    }
    return parseComparison();
  }

  ExprPtr parseComparison() {
    ExprPtr left = parseConcatenation();
    while (true) {
      const Token& at = peek();
      if (at.kind == Token::Kind::Symbol) {
        static constexpr std::pair<std::string_view, Operator> kComparisons[] = {
            {"=", Operator::Equal},        {"<>", Operator::NotEqual},
            {"<", Operator::Less},         {">", Operator::Greater},
            {"<=", Operator::LessOrEqual}, {">=", Operator::GreaterOrEqual}};
        bool found = false;
        for (const auto& [symbol, op] : kComparisons) {
          if (at.text == symbol) {
            take();
            if (isQuantifier()) {
              left = parseQuantified(op, at, std::move(left));
            } else {
              left = makeBinary(op, at, std::move(left), parseConcatenation());
            }
            found = true;
            break;
          }
        }
        if (found) continue;
        return left;
      }
      if (isKeyword(at, "is")) {
        take();
        ExprPtr node = makeNode(ExprKind::IsNull, at);
        node->negated = acceptKeyword("not");
        expectKeyword("null");
        node->operands.push_back(std::move(left));
        left = seal(std::move(node));
        continue;
      }
      bool negated = false;
      if (isKeyword(at, "not") && (isKeyword(peek(1), "like") || isKeyword(peek(1), "between") ||
                                   isKeyword(peek(1), "in"))) {
        take();
        negated = true;
      }
      const Token& op = peek();
      if (acceptKeyword("like")) {
        ExprPtr node = makeNode(ExprKind::Like, op);
        node->negated = negated;
        node->operands.push_back(std::move(left));
        node->operands.push_back(parseConcatenation());
        left = seal(std::move(node));
      } else if (acceptKeyword("between")) {
        ExprPtr node = makeNode(ExprKind::Between, op);
        node->negated = negated;
        node->operands.push_back(std::move(left));
        node->operands.push_back(parseConcatenation());
        expectKeyword("and");
        node->operands.push_back(parseConcatenation());
        left = seal(std::move(node));
      } else if (acceptKeyword("in")) {
        ExprPtr node = makeNode(ExprKind::In, op);
        node->negated = negated;
        node->operands.push_back(std::move(left));
        if (!isSymbol(peek(), "(")) syntaxError(peek());
        if (isKeyword(peek(1), "select")) {
          Nesting nesting(*this, take());
          node->kind = ExprKind::InSubquery;
          node->op = Operator::Equal;
          node->subquery = parseNestedQuery();
          expectSymbol(")");
          left = seal(std::move(node));
          continue;
        }
        take();
        do {
          node->operands.push_back(parseExpression());
        } while (acceptSymbol(","));
        expectSymbol(")");
        left = seal(std::move(node));
      } else {
        return left;
      }
    }
  }

  // ANY, SOME or ALL before a subquery.
  bool isQuantifier() const {
    return (isKeyword(peek(), "any") || isKeyword(peek(), "some") || isKeyword(peek(), "all")) &&
           isSymbol(peek(1), "(") && isKeyword(peek(2), "select");
  }

  // x op ANY|SOME|ALL (SELECT ...)
  ExprPtr parseQuantified(Operator op, const Token& at, ExprPtr left) {
    ExprPtr node = makeNode(ExprKind::InSubquery, at);
    node->op = op;
    node->all = isKeyword(take(), "all");
    Nesting nesting(*this, take());
    node->subquery = parseNestedQuery();
    expectSymbol(")");
    node->operands.push_back(std::move(left));
    return seal(std::move(node));
  }

  template <typename Next>
  ExprPtr parseSymbolLevel(std::initializer_list<std::pair<std::string_view, Operator>> symbols,
                           Next next) {
    ExprPtr left = (this->*next)();
    while (true) {
      const Token& at = peek();
      bool found = false;
      for (const auto& [symbol, op] : symbols) {
        if (isSymbol(at, symbol)) {
          take();
          left = makeBinary(op, at, std::move(left), (this->*next)());
          found = true;
          break;
        }
      }
      if (!found) return left;
    }
  }

  ExprPtr parseConcatenation() {
    return parseSymbolLevel({{"&", Operator::Concatenate}}, &Parser::parseAdditive);
  }
  ExprPtr parseAdditive() {
    return parseSymbolLevel({{"+", Operator::Add}, {"-", Operator::Subtract}},
                            &Parser::parseModulo);
  }
  ExprPtr parseModulo() {
    return parseKeywordLevel("mod", Operator::Modulo, &Parser::parseIntegerDivision);
  }
  ExprPtr parseIntegerDivision() {
    return parseSymbolLevel({{"\\", Operator::IntegerDivide}}, &Parser::parseMultiplicative);
  }
  ExprPtr parseMultiplicative() {
    return parseSymbolLevel({{"*", Operator::Multiply}, {"/", Operator::Divide}},
                            &Parser::parseUnary);
  }

  // Unary minus binds less tightly than ^: -2^2 is -4.
  ExprPtr parseUnary() {
    if (isSymbol(peek(), "-") || isSymbol(peek(), "+")) {
      const Token& at = take();
      Nesting nesting(*this, at);
      ExprPtr node = makeNode(ExprKind::Unary, at);
      node->op = at.text == "-" ? Operator::Negate : Operator::Identity;
      node->operands.push_back(parseUnary());
      return seal(std::move(node));
    }
    return parsePower();
  }

  ExprPtr parsePower() {
    ExprPtr left = parsePrimary();
    while (isSymbol(peek(), "^")) {
      const Token& at = take();
      left = makeBinary(Operator::Power, at, std::move(left), parseExponent());
    }
    return left;
  }

  // 2 ^ -1: the exponent may carry its own sign.
  ExprPtr parseExponent() {
    if (isSymbol(peek(), "-") || isSymbol(peek(), "+")) {
      const Token& at = take();
      Nesting nesting(*this, at);
      ExprPtr node = makeNode(ExprKind::Unary, at);
      node->op = at.text == "-" ? Operator::Negate : Operator::Identity;
      node->operands.push_back(parseExponent());
      return seal(std::move(node));
    }
    return parsePrimary();
  }

  ExprPtr parsePrimary() {
    const Token& at = peek();
    switch (at.kind) {
      case Token::Kind::Literal: {
        take();
        ExprPtr node = makeNode(ExprKind::Literal, at);
        node->literal = at.value;
        return node;
      }
      case Token::Kind::Symbol:
        if (at.text == "(") {
          if (isKeyword(peek(1), "select")) {
            Nesting nesting(*this, take());
            ExprPtr node = makeNode(ExprKind::Subquery, at);
            node->subquery = parseNestedQuery();
            expectSymbol(")");
            return node;
          }
          take();
          ExprPtr inner = parseExpression();
          expectSymbol(")");
          return inner;
        }
        syntaxError(at);
      case Token::Kind::Word:
        if (ExprPtr constant = parseConstantWord(at)) return constant;
        // Left, Right and Asc are keywords elsewhere and functions here.
        if (isSymbol(peek(1), "(") &&
            (isKeyword(at, "left") || isKeyword(at, "right") || isKeyword(at, "asc"))) {
          return parseCall();
        }
        if (isKeyword(at, "exists")) {
          take();
          if (!isSymbol(peek(), "(") || !isKeyword(peek(1), "select")) syntaxError(peek());
          Nesting nesting(*this, take());
          ExprPtr node = makeNode(ExprKind::Exists, at);
          node->subquery = parseNestedQuery();
          expectSymbol(")");
          return node;
        }
        if (IsReserved(at)) syntaxError(at);
        if (isSymbol(peek(1), "(")) return parseCall();
        return parseColumn();
      case Token::Kind::QuotedName:
        return parseColumn();
      case Token::Kind::End:
        break;
    }
    syntaxError(at);
  }

  ExprPtr parseConstantWord(const Token& at) {
    static constexpr std::pair<std::string_view, int> kConstants[] = {
        {"true", 1}, {"yes", 1}, {"on", 1}, {"false", 0}, {"no", 0}, {"off", 0}, {"null", -1}};
    for (const auto& [word, meaning] : kConstants) {
      if (!isKeyword(at, word)) continue;
      // "On" after a join's table is the keyword; here an operand is expected.
      take();
      ExprPtr node = makeNode(ExprKind::Literal, at);
      if (meaning < 0) {
        node->literal = Null{};
      } else {
        node->literal = meaning == 1;
      }
      return node;
    }
    return nullptr;
  }

  ExprPtr parseCall() {
    const Token& name = take();
    take();  // (
    ExprPtr node = makeNode(ExprKind::Function, name);
    node->name = name.text;
    if (NamesEqual(name.text, "count") && isSymbol(peek(), "*") && isSymbol(peek(1), ")")) {
      node->kind = ExprKind::Aggregate;
      take();
      take();
      return node;
    }
    if (!acceptSymbol(")")) {
      do {
        node->operands.push_back(parseExpression());
      } while (acceptSymbol(","));
      expectSymbol(")");
    }
    return seal(std::move(node));
  }

  // name, [name], T.name, T!name; Forms!F!Control and Reports!R!Control (and
  // a subform's, Forms!F!Sub.Form!Control) name a control of an open form or
  // report, which a query run outside Access knows as the parameter named
  // after the control.
  ExprPtr parseColumn() {
    const Token& first = take();
    ExprPtr node = makeNode(ExprKind::Column, first);
    node->name = first.text;
    node->bracketed = first.kind == Token::Kind::QuotedName;
    if ((isSymbol(peek(), ".") || isSymbol(peek(), "!")) && isName(peek(1))) {
      take();
      node->qualifier = node->name;
      const Token& second = take();
      node->name = second.text;
      node->bracketed = second.kind == Token::Kind::QuotedName;
      if ((NamesEqual(node->qualifier, "forms") || NamesEqual(node->qualifier, "reports")) &&
          (isSymbol(peek(), ".") || isSymbol(peek(), "!")) && isName(peek(1))) {
        take();
        node->qualifier.clear();
        node->name = take().text;
        node->formControl = true;
        // A subform's control: Forms!Main!Sub.Form!Control.
        while ((isSymbol(peek(), ".") || isSymbol(peek(), "!")) && isName(peek(1))) {
          take();
          node->name = take().text;
        }
      }
    }
    return node;
  }

  std::string_view sql_;
  std::vector<Token> tokens_;
  std::size_t index_ = 0;
  std::size_t nesting_ = 0;
  Clause clause_ = Clause::Select;
};

}  // namespace

QueryStatement ParseQuery(std::string_view sql) {
  return Parser(sql).parseStatement();
}

SelectStatement ParseSelect(std::string_view sql) {
  QueryStatement query = ParseQuery(sql);
  return std::move(query.selects.front());
}

}  // namespace tablift::jet
