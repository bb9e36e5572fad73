#include "translate/data_definition.h"

#include <cctype>
#include <charconv>
#include <utility>
#include <vector>

#include "data_access/catalog_rowsets.h"
#include "data_access/jet/column_types.h"
#include "data_access/jet/sql/text_folding.h"
#include "mysql/sql_literals.h"
#include "translate/table_ddl.h"

namespace tablift {
namespace {

struct Token {
  std::string text;
  bool name = false;  // a word or a bracketed name, as opposed to a symbol or number
};

struct Unsupported {
  std::string problem;
};

std::vector<Token> Tokens(const std::string& sql) {
  std::vector<Token> tokens;
  std::size_t i = 0;
  while (i < sql.size()) {
    const unsigned char c = static_cast<unsigned char>(sql[i]);
    if (std::isspace(c) || c < 0x20) {
      ++i;
    } else if (c == '[' || c == '`' || c == '"') {
      const char close = c == '[' ? ']' : static_cast<char>(c);
      const std::size_t end = sql.find(close, i + 1);
      if (end == std::string::npos) throw Unsupported{"an unclosed name"};
      tokens.push_back({sql.substr(i + 1, end - i - 1), true});
      i = end + 1;
    } else if (std::isalpha(c) || c == '_' || c >= 0x80) {
      std::size_t end = i;
      while (end < sql.size() && (std::isalnum(static_cast<unsigned char>(sql[end])) ||
                                  sql[end] == '_' || static_cast<unsigned char>(sql[end]) >= 0x80))
        ++end;
      tokens.push_back({sql.substr(i, end - i), true});
      i = end;
    } else if (std::isdigit(c)) {
      std::size_t end = i;
      while (end < sql.size() && std::isdigit(static_cast<unsigned char>(sql[end])))
        ++end;
      tokens.push_back({sql.substr(i, end - i), false});
      i = end;
    } else {
      tokens.push_back({std::string(1, static_cast<char>(c)), false});
      ++i;
    }
  }
  while (!tokens.empty() && !tokens.back().name && tokens.back().text == ";")
    tokens.pop_back();
  return tokens;
}

class Reader {
 public:
  Reader(std::vector<Token> tokens, const NameMapping& names)
      : tokens_(std::move(tokens)), names_(names) {}

  bool atEnd() const { return at_ >= tokens_.size(); }
  bool peek(const char* word, std::size_t ahead = 0) const {
    return at_ + ahead < tokens_.size() && jet::NamesEqual(tokens_[at_ + ahead].text, word);
  }
  bool accept(const char* word) {
    if (!peek(word)) return false;
    ++at_;
    return true;
  }
  void expect(const char* word) {
    if (!accept(word)) throw Unsupported{std::string("\"") + word + "\" expected" + where()};
  }
  std::string name() {
    if (atEnd() || !tokens_[at_].name) throw Unsupported{"a name expected" + where()};
    return tokens_[at_++].text;
  }
  // A name as MySQL is to read it.
  std::string quoted() {
    const std::string raw = name();
    return QuoteIdentifier(names_ ? names_(raw) : raw);
  }
  int number() {
    if (atEnd() || tokens_[at_].name) throw Unsupported{"a number expected" + where()};
    const std::string& text = tokens_[at_++].text;
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value > 65535)
      throw Unsupported{"the size " + text + " is out of range"};
    return value;
  }
  std::string where() const {
    return atEnd() ? " at the end" : " at \"" + tokens_[at_].text + "\"";
  }

 private:
  std::vector<Token> tokens_;
  std::size_t at_ = 0;
  const NameMapping& names_;
};

struct TypeWord {
  const char* word;
  jet::JetType type;
  bool autoNumber;
};

constexpr TypeWord kTypeWords[] = {
    {"TEXT", jet::JetType::Text, false},
    {"CHAR", jet::JetType::Text, false},
    {"VARCHAR", jet::JetType::Text, false},
    {"CHARACTER", jet::JetType::Text, false},
    {"STRING", jet::JetType::Text, false},
    {"ALPHANUMERIC", jet::JetType::Text, false},
    {"NCHAR", jet::JetType::Text, false},
    {"NVARCHAR", jet::JetType::Text, false},
    {"MEMO", jet::JetType::Memo, false},
    {"LONGTEXT", jet::JetType::Memo, false},
    {"LONGCHAR", jet::JetType::Memo, false},
    {"NOTE", jet::JetType::Memo, false},
    {"NTEXT", jet::JetType::Memo, false},
    {"BYTE", jet::JetType::Byte, false},
    {"TINYINT", jet::JetType::Byte, false},
    {"INTEGER1", jet::JetType::Byte, false},
    {"SHORT", jet::JetType::Integer, false},
    {"SMALLINT", jet::JetType::Integer, false},
    {"INTEGER2", jet::JetType::Integer, false},
    {"LONG", jet::JetType::Long, false},
    {"INT", jet::JetType::Long, false},
    {"INTEGER", jet::JetType::Long, false},
    {"INTEGER4", jet::JetType::Long, false},
    {"COUNTER", jet::JetType::Long, true},
    {"AUTOINCREMENT", jet::JetType::Long, true},
    {"IDENTITY", jet::JetType::Long, true},
    {"CURRENCY", jet::JetType::Currency, false},
    {"MONEY", jet::JetType::Currency, false},
    {"SINGLE", jet::JetType::Single, false},
    {"REAL", jet::JetType::Single, false},
    {"FLOAT4", jet::JetType::Single, false},
    {"IEEESINGLE", jet::JetType::Single, false},
    {"DOUBLE", jet::JetType::Double, false},
    {"FLOAT", jet::JetType::Double, false},
    {"FLOAT8", jet::JetType::Double, false},
    {"NUMBER", jet::JetType::Double, false},
    {"IEEEDOUBLE", jet::JetType::Double, false},
    {"DATETIME", jet::JetType::DateTime, false},
    {"DATE", jet::JetType::DateTime, false},
    {"TIME", jet::JetType::DateTime, false},
    {"TIMESTAMP", jet::JetType::DateTime, false},
    {"YESNO", jet::JetType::Boolean, false},
    {"BIT", jet::JetType::Boolean, false},
    {"LOGICAL", jet::JetType::Boolean, false},
    {"LOGICAL1", jet::JetType::Boolean, false},
    {"BOOLEAN", jet::JetType::Boolean, false},
    {"GUID", jet::JetType::ReplicationId, false},
    {"UNIQUEIDENTIFIER", jet::JetType::ReplicationId, false},
    {"LONGBINARY", jet::JetType::OleObject, false},
    {"OLEOBJECT", jet::JetType::OleObject, false},
    {"GENERAL", jet::JetType::OleObject, false},
    {"IMAGE", jet::JetType::OleObject, false},
    {"BINARY", jet::JetType::Binary, false},
    {"VARBINARY", jet::JetType::Binary, false},
    {"DECIMAL", jet::JetType::Decimal, false},
    {"NUMERIC", jet::JetType::Decimal, false},
    {"DEC", jet::JetType::Decimal, false},
};

// A column definition: name, type with its size, NOT NULL, PRIMARY KEY or
// UNIQUE. The column is typed as a migrated table's column of that Access
// type is.
std::string ColumnDefinition(Reader& reader, std::vector<std::string>& extras) {
  const std::string column = reader.quoted();
  const std::string word = reader.name();
  const TypeWord* type = nullptr;
  for (const TypeWord& candidate : kTypeWords)
    if (jet::NamesEqual(candidate.word, word)) type = &candidate;
  if (type == nullptr) throw Unsupported{"the Access type " + word + " is not known"};
  int size = 0;
  int scale = 0;
  if (reader.accept("(")) {
    size = reader.number();
    if (reader.accept(",")) scale = reader.number();
    reader.expect(")");
  }
  bool required = false;
  std::string constraint;
  while (!reader.atEnd() && !reader.peek(",") && !reader.peek(")")) {
    if (reader.accept("NOT")) {
      reader.expect("NULL");
      required = true;
    } else if (reader.accept("NULL")) {
    } else if (reader.accept("CONSTRAINT")) {
      reader.name();
    } else if (reader.accept("PRIMARY")) {
      reader.expect("KEY");
      constraint = " PRIMARY KEY";
    } else if (reader.accept("UNIQUE")) {
      constraint = " UNIQUE";
    } else {
      throw Unsupported{"the column clause" + reader.where() + " is not supported"};
    }
  }
  const std::uint32_t length =
      type->type == jet::JetType::Text
          ? (size > 0 ? size : 255)
          : (type->type == jet::JetType::Binary ? (size > 0 ? size : 510) : 0);
  const std::uint8_t precision = type->type == jet::JetType::Decimal ? (size > 0 ? size : 18) : 0;
  const jet::OleDbColumnType described = jet::DescribeColumnType(
      type->type, length, precision, static_cast<std::uint8_t>(scale), required, type->autoNumber);
  ColumnRow row;
  row.columnFlags = described.flags;
  row.dataType = described.dataType;
  row.isNullable = described.nullable;
  row.characterMaximumLength = described.characterMaximumLength.value_or(0);
  row.numericPrecision = described.numericPrecision.value_or(0);
  row.numericScale = described.numericScale.value_or(0);
  row.datetimePrecision = described.datetimePrecision.value_or(0);
  const std::string mysqlType = MySqlColumnType(row, true);
  // MySQL keeps an auto-increment column only when an index leads with it.
  if (type->autoNumber && constraint.empty())
    extras.push_back("KEY " + QuoteIdentifier(kAutoNumberKeyName) + " (" + column + ")");
  return column + " " + mysqlType + (required ? " NOT NULL" : "") + constraint;
}

std::string ColumnList(Reader& reader, bool withOrder) {
  reader.expect("(");
  std::string list;
  do {
    list += (list.empty() ? "" : ", ") + reader.quoted();
    if (withOrder && reader.accept("DESC")) list += " DESC";
    if (withOrder) reader.accept("ASC");
  } while (reader.accept(","));
  reader.expect(")");
  return list;
}

std::string CreateTable(Reader& reader) {
  const std::string table = reader.quoted();
  reader.expect("(");
  std::vector<std::string> items;
  std::vector<std::string> extras;
  do {
    if (reader.accept("CONSTRAINT")) {
      const std::string name = reader.quoted();
      if (reader.accept("PRIMARY")) {
        reader.expect("KEY");
        items.push_back("PRIMARY KEY (" + ColumnList(reader, false) + ")");
      } else if (reader.accept("UNIQUE")) {
        items.push_back("UNIQUE KEY " + name + " (" + ColumnList(reader, false) + ")");
      } else {
        throw Unsupported{"the table constraint" + reader.where() + " is not supported"};
      }
    } else {
      items.push_back(ColumnDefinition(reader, extras));
    }
  } while (reader.accept(","));
  reader.expect(")");
  items.insert(items.end(), extras.begin(), extras.end());
  std::string text = "CREATE TABLE " + table + " (";
  for (std::size_t i = 0; i < items.size(); ++i)
    text += (i > 0 ? ", " : "") + items[i];
  return text + ")";
}

std::string Translate(const std::string& accessSql, const NameMapping& names) {
  Reader reader(Tokens(accessSql), names);
  std::string text;
  if (reader.accept("CREATE")) {
    if (reader.accept("TABLE")) {
      text = CreateTable(reader);
    } else {
      const bool unique = reader.accept("UNIQUE");
      reader.expect("INDEX");
      const std::string index = reader.quoted();
      reader.expect("ON");
      const std::string table = reader.quoted();
      const std::string columns = ColumnList(reader, true);
      if (reader.accept("WITH")) {
        if (!reader.accept("PRIMARY"))
          throw Unsupported{"the index option" + reader.where() + " is not supported"};
        text = "ALTER TABLE " + table + " ADD PRIMARY KEY (" + columns + ")";
      } else {
        text = "CREATE " + std::string(unique ? "UNIQUE " : "") + "INDEX " + index + " ON " +
               table + " (" + columns + ")";
      }
    }
  } else if (reader.accept("ALTER")) {
    reader.expect("TABLE");
    const std::string table = reader.quoted();
    if (reader.accept("ADD")) {
      if (reader.peek("CONSTRAINT"))
        throw Unsupported{"ALTER TABLE ADD CONSTRAINT is not supported"};
      reader.accept("COLUMN");
      std::vector<std::string> extras;
      text = "ALTER TABLE " + table + " ADD COLUMN " + ColumnDefinition(reader, extras);
      for (const std::string& extra : extras)
        text += ", ADD " + extra;
    } else if (reader.accept("DROP")) {
      reader.accept("COLUMN");
      text = "ALTER TABLE " + table + " DROP COLUMN " + reader.quoted();
    } else {
      throw Unsupported{"ALTER TABLE" + reader.where() + " is not supported"};
    }
  } else if (reader.accept("DROP")) {
    if (reader.accept("TABLE")) {
      text = "DROP TABLE " + reader.quoted();
    } else {
      reader.expect("INDEX");
      const std::string index = reader.quoted();
      reader.expect("ON");
      text = "DROP INDEX " + index + " ON " + reader.quoted();
    }
  } else {
    throw Unsupported{"the statement" + reader.where() + " is no data definition MySQL is given"};
  }
  if (!reader.atEnd()) throw Unsupported{"the text" + reader.where() + " is not understood"};
  return text;
}

}  // namespace

Result<std::string> TranslateDataDefinition(const std::string& accessSql,
                                            const NameMapping& names) {
  try {
    return Translate(accessSql, names);
  } catch (const Unsupported& unsupported) {
    return Status::Failure(unsupported.problem);
  }
}

}  // namespace tablift
