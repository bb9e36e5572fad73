#include "translate/access_select.h"

#include <algorithm>

#include "data_access/ascii_text.h"
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
  const std::string word = ToUpperAscii(std::string_view(text).substr(start, 7));
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
    bool top = false;
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
      part.text = selectCore(part.orderBy, part.limit, part.top);
    }
    parts.push_back(part);
    // A part kept as a statement of its own may end in its own ;.
    while (symbol(";")) {
    }
    if (!word("UNION")) break;
    if (!part.orderBy.empty() && !part.top)
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
  if (orderBy.empty() && !parts.back().top) {
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

std::string AccessParser::selectCore(SortOrder& orderBy, std::string& limit, bool& top) {
  if (word("PARAMETERS"))
    throw Untranslatable{"it declares PARAMETERS, which a view cannot ask for"};
  if (word("TRANSFORM"))
    throw Untranslatable{"a crosstab (TRANSFORM ... PIVOT) has no MySQL counterpart"};
  for (const char* change : {"INSERT", "UPDATE", "DELETE"})
    if (IsWord(peek(), change))
      throw Untranslatable{"it is " + std::string(change) + ", not SELECT"};
  if (!word("SELECT")) unexpected();
  bool distinct = false;
  bool distinctRow = false;
  if (word("DISTINCT")) {
    distinct = true;
  } else if (word("DISTINCTROW")) {
    distinctRow = true;
  } else {
    word("ALL");
  }
  std::string count;
  top = word("TOP");
  if (top) {
    const Token number = peek();
    if (number.kind != TokenKind::Number || !WholeNumberText(number.text) || number.text.size() > 9)
      throw Untranslatable{"its TOP value \"" + number.text + "\" is not a whole number"};
    ++at_;
    if (word("PERCENT")) throw Untranslatable{"TOP n PERCENT has no MySQL counterpart"};
    count = number.text;
  }
  OutputTables output;
  const std::string items = selectItems(output);
  if (IsWord(peek(), "INTO"))
    throw Untranslatable{"SELECT ... INTO makes a table, which a view cannot"};
  std::vector<std::string> tables;
  SelectClauses clauses;
  if (word("FROM")) clauses.from = fromClause(tables);
  if (word("WHERE")) clauses.where = expression().sql;
  const bool grouped = word("GROUP");
  if (grouped) {
    if (!word("BY")) unexpected();
    do {
      if (!clauses.groupBy.empty()) clauses.groupBy += ", ";
      clauses.groupBy += expression().sql;
    } while (symbol(","));
  }
  // DISTINCTROW removes rows that come from the same records of the
  // tables the output reads. When it reads every table (or there is one),
  // each row is its own combination of records and nothing is removed; a
  // grouped row stands for no record of its own.
  if (distinctRow && !grouped && !output.readAll(tables))
    throw Untranslatable{
        "DISTINCTROW with output from only some of its tables has no MySQL counterpart"};
  if (word("HAVING")) clauses.having = expression().sql;
  if (IsWord(peek(), "ORDER")) {
    ++at_;
    if (!word("BY")) unexpected();
    orderBy = orderItems();
  }
  if (word("WITH")) {
    if (!word("OWNERACCESS") || !word("OPTION")) unexpected();
  }
  if (top) {
    // Access's TOP keeps the rows that tie with the last one; LIMIT alone
    // would cut them off.
    const std::vector<SortKey> keys = SortKeysOf(orderBy, output);
    if (keys.empty() || distinct || clauses.from.empty() || std::stoul(count) == 0) {
      limit = count;
    } else {
      std::string& filter = grouped ? clauses.having : clauses.where;
      const std::string condition = TopWithTiesCondition(clauses, keys, std::stoul(count));
      filter = filter.empty() ? condition : "(" + filter + ") AND " + condition;
    }
  }
  std::string text = std::string("SELECT ") + (distinct ? "DISTINCT " : "") + items;
  if (!clauses.from.empty()) text += " FROM " + clauses.from;
  if (!clauses.where.empty()) text += " WHERE " + clauses.where;
  if (!clauses.groupBy.empty()) text += " GROUP BY " + clauses.groupBy;
  if (!clauses.having.empty()) text += " HAVING " + clauses.having;
  return text;
}

// The ORDER BY terms as expressions the rows can be compared on: an item's
// place in the list or its alias stands for the item. Nothing when a term
// names what cannot be known here (a place among the columns of *).
std::vector<SortKey> AccessParser::SortKeysOf(const SortOrder& order, const OutputTables& output) {
  std::vector<SortKey> keys;
  for (SortKey key : order.keys) {
    if (WholeNumberText(key.sql)) {
      const std::size_t place = std::stoul(key.sql);
      if (output.all || place < 1 || place > output.items.size()) return {};
      key.sql = output.items[place - 1];
    } else {
      for (std::size_t i = 0; i < output.labels.size(); ++i)
        if (!output.labels[i].empty() && output.labels[i] == key.sql) key.sql = output.items[i];
    }
    keys.push_back(key);
  }
  return keys;
}

std::string AccessParser::selectItems(OutputTables& output) {
  std::vector<std::string> items;
  bool star = false;
  do {
    if (symbol("*")) {
      star = true;
      output.all = true;
      continue;
    }
    // The tables a column of the output names.
    const std::size_t start = at_;
    std::string item = expression().sql;
    for (std::size_t i = start; i + 1 < at_; ++i) {
      const Token& token = tokens_[i];
      const bool qualifier =
          (token.kind == TokenKind::Word || token.kind == TokenKind::Bracketed) &&
          (tokens_[i + 1].text == "." || tokens_[i + 1].text == "!") &&
          tokens_[i + 1].kind == TokenKind::Symbol;
      if (qualifier) output.named.push_back(token.text);
    }
    const std::string label = alias();
    output.items.push_back(item);
    output.labels.push_back(label);
    if (!label.empty()) item += " AS " + label;
    items.push_back(std::move(item));
  } while (symbol(","));
  // MySQL takes a bare * only at the head of the list.
  std::string text = star ? "*" : "";
  for (const std::string& item : items)
    text += (text.empty() ? "" : ", ") + item;
  return text;
}

std::optional<Token> AccessParser::aliasToken() {
  const bool written = word("AS");
  const Token token = peek();
  if (token.kind == TokenKind::Bracketed || (token.kind == TokenKind::Word && !ClauseWord(token))) {
    ++at_;
    return token;
  }
  if (written) unexpected();
  return std::nullopt;
}

std::string AccessParser::alias() {
  const std::optional<Token> token = aliasToken();
  return token ? name(*token) : std::string();
}

bool AccessParser::OutputTables::readAll(const std::vector<std::string>& tables) const {
  if (tables.size() <= 1 || all) return true;
  return std::all_of(tables.begin(), tables.end(), [&](const std::string& table) {
    return std::any_of(named.begin(), named.end(),
                       [&](const std::string& used) { return EqualsIgnoreCase(table, used); });
  });
}

std::string AccessParser::fromClause(std::vector<std::string>& tables) {
  std::string text = joinedTables(tables);
  while (symbol(","))
    text += ", " + joinedTables(tables);
  return text;
}

// A table followed by its joins: T1 INNER JOIN T2 ON ... LEFT JOIN T3 ON ...
std::string AccessParser::joinedTables(std::vector<std::string>& tables) {
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
std::string AccessParser::tablePrimary(std::vector<std::string>& tables) {
  const Nesting nesting(*this);
  if (symbol("(")) {
    if (IsWord(peek(), "SELECT")) {
      const std::string select = statement();
      expectSymbol(")");
      const std::optional<Token> label = aliasToken();
      if (!label) throw Untranslatable{"a derived table has no alias"};
      tables.push_back(label->text);
      return "(" + select + ") AS " + name(*label);
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
    const std::optional<Token> label = aliasToken();
    if (!label) throw Untranslatable{"a derived table has no alias"};
    tables.push_back(label->text);
    return "(" + select.value() + ") AS " + name(*label);
  }
  if (first.kind != TokenKind::Word && first.kind != TokenKind::Bracketed) unexpected();
  if (first.kind == TokenKind::Word && ClauseWord(first)) unexpected();
  ++at_;
  std::string text = name(first);
  std::string table = first.text;
  if (symbol(".")) {
    const Token second = peek();
    if (second.kind != TokenKind::Word && second.kind != TokenKind::Bracketed) unexpected();
    ++at_;
    text += "." + name(second);
    table = second.text;
  }
  if (IsWord(peek(), "IN") && peek(1).kind == TokenKind::String)
    throw Untranslatable{"it reads a table of another database (IN '" + peek(1).text + "')"};
  const std::optional<Token> label = aliasToken();
  tables.push_back(label ? label->text : table);
  if (label) text += " AS " + name(*label);
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
    order.keys.push_back({item.sql, direction == " DESC"});
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
