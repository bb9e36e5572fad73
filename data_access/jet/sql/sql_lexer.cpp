#include "data_access/jet/sql/sql_lexer.h"

#include "data_access/jet/sql/text_folding.h"

#include <cmath>
#include <cstdlib>

#include "data_access/jet/sql/date_arithmetic.h"
#include "data_access/jet/sql/query_error.h"
#include "data_access/jet/sql/value_conversion.h"

namespace tablift::jet {
namespace {

bool IsNameStart(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c >= 0x80;
}

bool IsNamePart(unsigned char c) {
  return IsNameStart(c) || (c >= '0' && c <= '9');
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

[[noreturn]] void Fail(std::string_view sql, std::size_t offset, const std::string& what) {
  throw QueryError(QueryError::Kind::Command,
                   what + " at position " + std::to_string(CharacterPosition(sql, offset)), true);
}

class Lexer {
 public:
  explicit Lexer(std::string_view sql) : sql_(sql) {}

  std::vector<Token> run() {
    std::vector<Token> tokens;
    while (true) {
      while (i_ < sql_.size() && IsSpace(sql_[i_]))
        ++i_;
      Token token;
      token.offset = i_;
      if (i_ >= sql_.size()) {
        token.kind = Token::Kind::End;
        tokens.push_back(token);
        return tokens;
      }
      const char c = sql_[i_];
      if (IsNameStart(static_cast<unsigned char>(c))) {
        readWord(token);
      } else if (IsDigit(c) || (c == '.' && i_ + 1 < sql_.size() && IsDigit(sql_[i_ + 1]))) {
        readNumber(token);
      } else if (c == '\'' || c == '"') {
        readString(token);
      } else if (c == '[') {
        readQuotedName(token);
      } else if (c == '#') {
        readDate(token);
      } else {
        readSymbol(token);
      }
      token.length = i_ - token.offset;
      tokens.push_back(std::move(token));
    }
  }

 private:
  void readWord(Token& token) {
    token.kind = Token::Kind::Word;
    while (i_ < sql_.size() && IsNamePart(static_cast<unsigned char>(sql_[i_])))
      ++i_;
    // Left$, Mid$ ...: the string-returning spellings of the functions.
    if (i_ < sql_.size() && sql_[i_] == '$') ++i_;
    token.text = std::string(sql_.substr(token.offset, i_ - token.offset));
  }

  void readNumber(Token& token) {
    token.kind = Token::Kind::Literal;
    bool whole = true;
    while (i_ < sql_.size() && IsDigit(sql_[i_]))
      ++i_;
    if (i_ < sql_.size() && sql_[i_] == '.') {
      whole = false;
      ++i_;
      while (i_ < sql_.size() && IsDigit(sql_[i_]))
        ++i_;
    }
    if (i_ < sql_.size() && (sql_[i_] == 'e' || sql_[i_] == 'E')) {
      std::size_t j = i_ + 1;
      if (j < sql_.size() && (sql_[j] == '+' || sql_[j] == '-')) ++j;
      if (j < sql_.size() && IsDigit(sql_[j])) {
        whole = false;
        i_ = j;
        while (i_ < sql_.size() && IsDigit(sql_[i_]))
          ++i_;
      }
    }
    token.text = std::string(sql_.substr(token.offset, i_ - token.offset));
    const std::optional<Value> number = NumberFromText(token.text);
    if (!number) Fail(sql_, token.offset, "Invalid number '" + token.text + "'");
    // Whole numbers too large for 64 bits, and all numbers with a point or an
    // exponent, are Double as in Access.
    token.value = whole ? *number : Value(ToDouble(*number));
  }

  void readString(Token& token) {
    token.kind = Token::Kind::Literal;
    const char quote = sql_[i_++];
    std::string text;
    while (true) {
      if (i_ >= sql_.size()) Fail(sql_, token.offset, "Unterminated string");
      if (sql_[i_] == quote) {
        if (i_ + 1 < sql_.size() && sql_[i_ + 1] == quote) {
          text.push_back(quote);
          i_ += 2;
          continue;
        }
        ++i_;
        break;
      }
      text.push_back(sql_[i_++]);
    }
    token.value = std::move(text);
  }

  void readQuotedName(Token& token) {
    token.kind = Token::Kind::QuotedName;
    const std::size_t close = ClosingBracket();
    if (close == std::string_view::npos) Fail(sql_, token.offset, "Unterminated name '['");
    token.text = std::string(sql_.substr(i_ + 1, close - i_ - 1));
    if (token.text.empty()) Fail(sql_, token.offset, "Empty name '[]'");
    i_ = close + 1;
  }

  // A name ends at the first ']'; a derived table saved as [SELECT ...]. may
  // hold bracketed names of its own, so its brackets nest.
  std::size_t ClosingBracket() const {
    const std::string_view rest = sql_.substr(i_ + 1);
    const std::size_t start = rest.find_first_not_of(" \t\r\n");
    const bool select = start != std::string_view::npos && rest.size() >= start + 7 &&
                        NamesEqual(rest.substr(start, 6), "select") &&
                        std::string_view(" \t\r\n").find(rest[start + 6]) != std::string_view::npos;
    if (!select) return sql_.find(']', i_ + 1);
    std::size_t depth = 0;
    for (std::size_t j = i_ + 1; j < sql_.size(); ++j) {
      if (sql_[j] == '[') {
        ++depth;
      } else if (sql_[j] == ']') {
        if (depth == 0) return j;
        --depth;
      }
    }
    return std::string_view::npos;
  }

  void readDate(Token& token) {
    token.kind = Token::Kind::Literal;
    const std::size_t close = sql_.find('#', i_ + 1);
    if (close == std::string_view::npos) Fail(sql_, token.offset, "Unterminated date '#'");
    const std::string_view text = sql_.substr(i_ + 1, close - i_ - 1);
    const std::optional<double> serial = ParseDateText(text);
    if (!serial || !InDateRange(*serial)) {
      Fail(sql_, token.offset, "Invalid date '#" + std::string(text) + "#'");
    }
    token.value = DateTime{*serial};
    i_ = close + 1;
  }

  void readSymbol(Token& token) {
    token.kind = Token::Kind::Symbol;
    const char c = sql_[i_];
    const char next = i_ + 1 < sql_.size() ? sql_[i_ + 1] : '\0';
    if ((c == '<' && (next == '>' || next == '=')) || (c == '>' && next == '=')) {
      token.text = std::string{c, next};
      i_ += 2;
      return;
    }
    static constexpr std::string_view kSingle = "(),.!;*+-/\\^&=<>";
    if (kSingle.find(c) == std::string_view::npos) {
      Fail(sql_, i_, "Unexpected character '" + std::string(1, c) + "'");
    }
    token.text = std::string(1, c);
    ++i_;
  }

  std::string_view sql_;
  std::size_t i_ = 0;
};

}  // namespace

std::vector<Token> TokenizeSql(std::string_view sql) {
  return Lexer(sql).run();
}

}  // namespace tablift::jet
