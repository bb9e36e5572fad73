#include "translate/access_select.h"

#include <cctype>

#include "translate/access_parser.h"

namespace tablift {
namespace {

// Words that end a select item, a table reference or an expression.
bool ClauseWord(const Token& token) {
  for (const char* word :
       {"FROM", "WHERE", "GROUP", "HAVING", "ORDER", "UNION", "INNER", "LEFT", "RIGHT", "JOIN",
        "ON", "AS", "WITH", "SELECT", "OUTER", "FULL", "CROSS", "IN"})
    if (IsWord(token, word)) return true;
  return false;
}

bool StartsWithSelect(const std::string& text) {
  const std::size_t start = text.find_first_not_of(" \t\r\n");
  if (start == std::string::npos || text.size() - start < 7) return false;
  std::string word = text.substr(start, 7);
  for (char& c : word)
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return word == "SELECT " || word == "SELECT\t" || word == "SELECT\r" || word == "SELECT\n";
}

bool WholeNumberText(const std::string& text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

}  // namespace

// SELECT ... [UNION [ALL] SELECT ...] [ORDER BY ...]. In a union, a part
// with TOP gets parentheses so that its LIMIT stays its own, and the ORDER
// BY after the last part sorts the whole union.
std::string AccessParser::statement() {
  const Nesting nesting(*this);
  struct Part {
    std::string text;
    SortOrder orderBy;
    std::string limit;
  };
  std::vector<Part> parts;
  std::vector<std::string> connectors;
  while (true) {
    Part part;
    if (symbol("(")) {
      part.text = "(" + statement() + ")";
      expectSymbol(")");
    } else if (word("TABLE")) {
      const Token table = peek();
      if (table.kind != TokenKind::Word && table.kind != TokenKind::Bracketed) unexpected();
      ++at_;
      part.text = "SELECT * FROM " + name(table);
    } else {
      part.text = selectCore(part.orderBy, part.limit);
    }
    parts.push_back(part);
    if (!word("UNION")) break;
    if (!part.orderBy.empty() && part.limit.empty())
      throw Untranslatable{"ORDER BY stands before the last UNION"};
    connectors.push_back(word("ALL") ? " UNION ALL " : " UNION ");
  }
  SortOrder orderBy;
  if (word("ORDER")) {
    if (!word("BY")) unexpected();
    orderBy = orderItems();
  }
  while (symbol(";")) {
  }
  if (parts.size() == 1) {
    const Part& only = parts.front();
    if (!orderBy.empty() && !only.orderBy.empty()) unexpected();
    const SortOrder& sort = orderBy.empty() ? only.orderBy : orderBy;
    return only.text + (sort.empty() ? "" : " ORDER BY " + sort.own) +
           (only.limit.empty() ? "" : " LIMIT " + only.limit);
  }
  if (orderBy.empty() && parts.back().limit.empty()) {
    orderBy = parts.back().orderBy;
    parts.back().orderBy = {};
  }
  std::string text;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const Part& part = parts[i];
    if (i > 0) text += connectors[i - 1];
    if (part.limit.empty()) {
      text += part.text;
    } else {
      text += "(" + part.text + (part.orderBy.empty() ? "" : " ORDER BY " + part.orderBy.own) +
              " LIMIT " + part.limit + ")";
    }
  }
  if (!orderBy.empty()) text += " ORDER BY " + orderBy.union_;
  return text;
}

std::string AccessParser::selectCore(SortOrder& orderBy, std::string& limit) {
  if (word("PARAMETERS"))
    throw Untranslatable{"it declares PARAMETERS, which a view cannot ask for"};
  if (!word("SELECT")) unexpected();
  std::string text = "SELECT ";
  bool distinctRow = false;
  if (word("DISTINCT")) {
    text += "DISTINCT ";
  } else if (word("DISTINCTROW")) {
    distinctRow = true;
  } else {
    word("ALL");
  }
  if (word("TOP")) {
    const Token count = peek();
    if (count.kind != TokenKind::Number || !WholeNumberText(count.text))
      throw Untranslatable{"its TOP value \"" + count.text + "\" is not a whole number"};
    ++at_;
    if (word("PERCENT")) throw Untranslatable{"TOP n PERCENT has no MySQL counterpart"};
    limit = count.text;
  }
  text += selectItems();
  if (word("FROM")) {
    int tables = 0;
    text += " FROM " + fromClause(tables);
    // DISTINCTROW removes rows that come from the same records; over one
    // table each row is its own record, so it has no effect.
    if (distinctRow && tables > 1)
      throw Untranslatable{"DISTINCTROW over several tables has no MySQL counterpart"};
  }
  if (word("WHERE")) text += " WHERE " + expression().sql;
  if (word("GROUP")) {
    if (!word("BY")) unexpected();
    std::string items;
    do {
      if (!items.empty()) items += ", ";
      items += expression().sql;
    } while (symbol(","));
    text += " GROUP BY " + items;
  }
  if (word("HAVING")) text += " HAVING " + expression().sql;
  if (IsWord(peek(), "ORDER")) {
    ++at_;
    if (!word("BY")) unexpected();
    orderBy = orderItems();
  }
  if (word("WITH")) {
    if (!word("OWNERACCESS") || !word("OPTION")) unexpected();
  }
  return text;
}

std::string AccessParser::selectItems() {
  std::vector<std::string> items;
  bool star = false;
  do {
    if (symbol("*")) {
      star = true;
      continue;
    }
    std::string item = expression().sql;
    const std::string label = alias();
    if (!label.empty()) item += " AS " + label;
    items.push_back(std::move(item));
  } while (symbol(","));
  // MySQL takes a bare * only at the head of the list.
  std::string text = star ? "*" : "";
  for (const std::string& item : items)
    text += (text.empty() ? "" : ", ") + item;
  return text;
}

std::string AccessParser::alias() {
  const bool written = word("AS");
  const Token token = peek();
  if (token.kind == TokenKind::Bracketed || (token.kind == TokenKind::Word && !ClauseWord(token))) {
    ++at_;
    return name(token);
  }
  if (written) unexpected();
  return {};
}

std::string AccessParser::fromClause(int& tables) {
  std::string text = joinedTables(tables);
  while (symbol(","))
    text += ", " + joinedTables(tables);
  return text;
}

// A table followed by its joins: T1 INNER JOIN T2 ON ... LEFT JOIN T3 ON ...
std::string AccessParser::joinedTables(int& tables) {
  std::string text = tablePrimary(tables);
  while (true) {
    std::string kind;
    if (word("INNER")) {
      kind = "INNER JOIN";
    } else if (word("LEFT")) {
      word("OUTER");
      kind = "LEFT JOIN";
    } else if (word("RIGHT")) {
      word("OUTER");
      kind = "RIGHT JOIN";
    } else if (IsWord(peek(), "JOIN")) {
      kind = "JOIN";
    } else {
      break;
    }
    if (!word("JOIN")) unexpected();
    const std::string right = tablePrimary(tables);
    if (!word("ON")) throw Untranslatable{"a JOIN has no ON"};
    text += " " + kind + " " + right + " ON " + expression().sql;
  }
  return text;
}

// A table with its alias, a derived table, or a join in parentheses.
std::string AccessParser::tablePrimary(int& tables) {
  const Nesting nesting(*this);
  if (symbol("(")) {
    if (IsWord(peek(), "SELECT")) {
      const std::string select = statement();
      expectSymbol(")");
      ++tables;
      const std::string label = alias();
      if (label.empty()) throw Untranslatable{"a derived table has no alias"};
      return "(" + select + ") AS " + label;
    }
    const std::string text = "(" + joinedTables(tables) + ")";
    expectSymbol(")");
    return text;
  }
  const Token first = peek();
  // Access 97 to 2003 keep a derived table as [SELECT ...]. AS alias.
  if (first.kind == TokenKind::Bracketed && peek(1).text == "." && StartsWithSelect(first.text)) {
    at_ += 2;
    const Result<std::string> select = TranslateAccessSelect(first.text, names_);
    if (!select.ok()) throw Untranslatable{select.message()};
    ++tables;
    const std::string label = alias();
    if (label.empty()) throw Untranslatable{"a derived table has no alias"};
    return "(" + select.value() + ") AS " + label;
  }
  if (first.kind != TokenKind::Word && first.kind != TokenKind::Bracketed) unexpected();
  if (first.kind == TokenKind::Word && ClauseWord(first)) unexpected();
  ++at_;
  std::string text = name(first);
  if (symbol(".")) {
    const Token second = peek();
    if (second.kind != TokenKind::Word && second.kind != TokenKind::Bracketed) unexpected();
    ++at_;
    text += "." + name(second);
  }
  if (IsWord(peek(), "IN") && peek(1).kind == TokenKind::String)
    throw Untranslatable{"it reads a table of another database (IN '" + peek(1).text + "')"};
  ++tables;
  const std::string label = alias();
  if (!label.empty()) text += " AS " + label;
  return text;
}

AccessParser::SortOrder AccessParser::orderItems() {
  SortOrder order;
  do {
    if (!order.own.empty()) {
      order.own += ", ";
      order.union_ += ", ";
    }
    const std::size_t start = at_;
    const Operand item = expression();
    const Token last = tokens_[at_ - 1];
    // A column named with its table sorts a union by the column's name.
    bool reference = item.sql != "TRUE" && item.sql != "FALSE" && item.sql != "NULL";
    for (std::size_t i = start; i < at_; ++i) {
      const Token& token = tokens_[i];
      const bool namePart = token.kind == TokenKind::Word || token.kind == TokenKind::Bracketed;
      const bool dot = token.kind == TokenKind::Symbol && (token.text == "." || token.text == "!");
      if ((i - start) % 2 == 0 ? !namePart : !dot) reference = false;
    }
    std::string direction;
    if (word("DESC")) {
      direction = " DESC";
    } else if (word("ASC")) {
      direction = " ASC";
    }
    order.own += item.sql + direction;
    order.union_ += (reference ? name(last) : item.sql) + direction;
  } while (symbol(","));
  return order;
}

Result<std::string> TranslateAccessSelect(std::string_view accessSql, const NameMapping& names) {
  try {
    AccessParser parser(TokenizeAccessSql(accessSql), names);
    std::string text = parser.statement();
    if (!parser.atEnd())
      throw Untranslatable{"\"" + parser.peek().text + "\" is not expected there"};
    return text;
  } catch (const Untranslatable& failure) {
    return Status::Failure("The SELECT statement cannot be translated: " + failure.problem);
  }
}

}  // namespace tablift
