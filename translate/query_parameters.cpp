#include "translate/query_parameters.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "data_access/jet/sql/text_folding.h"
#include "mysql/sql_literals.h"

namespace tablift {
namespace {

constexpr const char* kOpenType = "VARCHAR(255)";

// A piece of an Access expression as far as names are concerned.
struct Token {
  enum class Kind { Name, Text, Other } kind = Kind::Other;
  std::size_t begin = 0;
  std::size_t end = 0;
  std::string name;  // a Name's text, without brackets
  char symbol = 0;   // an Other's character
};

bool WordCharacter(char c) {
  const unsigned char u = static_cast<unsigned char>(c);
  return std::isalnum(u) || c == '_' || u >= 0x80;
}

std::vector<Token> Tokens(const std::string& text) {
  std::vector<Token> tokens;
  std::size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    Token token;
    token.begin = i;
    if (c == '"' || c == '\'' || c == '#') {
      // Texts and dates hold no names; a doubled quote stays inside.
      std::size_t j = i + 1;
      while (j < text.size()) {
        if (text[j] == c) {
          if (c != '#' && j + 1 < text.size() && text[j + 1] == c) {
            j += 2;
            continue;
          }
          break;
        }
        ++j;
      }
      token.kind = Token::Kind::Text;
      i = std::min(j + 1, text.size());
    } else if (c == '[') {
      const std::size_t close = text.find(']', i + 1);
      const std::size_t j = close == std::string::npos ? text.size() : close;
      token.kind = Token::Kind::Name;
      token.name = text.substr(i + 1, j - i - 1);
      i = std::min(j + 1, text.size());
    } else if (WordCharacter(c)) {
      std::size_t j = i;
      while (j < text.size() && WordCharacter(text[j]))
        ++j;
      token.kind = Token::Kind::Name;
      token.name = text.substr(i, j - i);
      i = j;
    } else {
      token.symbol = c;
      i = i + 1;
    }
    token.end = i;
    if (token.kind == Token::Kind::Other && std::isspace(static_cast<unsigned char>(c))) continue;
    tokens.push_back(std::move(token));
  }
  return tokens;
}

bool Symbol(const std::vector<Token>& tokens, std::size_t i, char symbol) {
  return i < tokens.size() && tokens[i].kind == Token::Kind::Other && tokens[i].symbol == symbol;
}

bool IsName(const std::vector<Token>& tokens, std::size_t i) {
  return i < tokens.size() && tokens[i].kind == Token::Kind::Name;
}

// Whether tokens[i] starts Forms!Form!Control or Reports!Report!Control.
bool FormReference(const std::vector<Token>& tokens, std::size_t i) {
  return IsName(tokens, i) &&
         (jet::NamesEqual(tokens[i].name, "Forms") || jet::NamesEqual(tokens[i].name, "Reports")) &&
         Symbol(tokens, i + 1, '!') && IsName(tokens, i + 2) && Symbol(tokens, i + 3, '!') &&
         IsName(tokens, i + 4);
}

// A name used on its own: not a table's column (T.c), not a function, not
// part of a form reference.
bool Unqualified(const std::vector<Token>& tokens, std::size_t i) {
  if (!IsName(tokens, i)) return false;
  if (i > 0 && (Symbol(tokens, i - 1, '.') || Symbol(tokens, i - 1, '!'))) return false;
  return !Symbol(tokens, i + 1, '.') && !Symbol(tokens, i + 1, '!') && !Symbol(tokens, i + 1, '(');
}

// Words an expression uses that are no names.
bool Keyword(const std::string& word) {
  static const char* const kWords[] = {"And",     "Or",  "Not", "Is",  "Null", "Like", "In",
                                       "Between", "Mod", "Xor", "Eqv", "Imp",  "True", "False",
                                       "Yes",     "No",  "On",  "Off", "Asc",  "Desc"};
  return std::any_of(std::begin(kWords), std::end(kWords),
                     [&](const char* keyword) { return jet::NamesEqual(word, keyword); });
}

bool IsNumber(const std::string& word) {
  return !word.empty() && std::isdigit(static_cast<unsigned char>(word.front()));
}

// The expressions of a query that may hold parameter references.
bool HoldsExpression(const QueryElement& element) {
  switch (element.kind) {
    case kOutputColumn:
    case kJoin:
    case kCondition:
    case kGroupBy:
    case kHaving:
    case kOrderBy:
      return true;
    default:
      return false;
  }
}

std::string ControlOf(const std::string& accessName) {
  const std::size_t bang = accessName.rfind('!');
  std::string control = bang == std::string::npos ? accessName : accessName.substr(bang + 1);
  if (control.size() >= 2 && control.front() == '[' && control.back() == ']')
    control = control.substr(1, control.size() - 2);
  return control;
}

int Integer(const std::string& text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() ? value : 0;
}

bool Contains(const std::vector<std::string>& names, const std::string& name) {
  return std::any_of(names.begin(), names.end(),
                     [&](const std::string& other) { return jet::NamesEqual(other, name); });
}

}  // namespace

std::string ParameterType(int jetType) {
  switch (jetType) {
    case 1:
      return "TINYINT(1)";
    case 2:
      return "TINYINT UNSIGNED";
    case 3:
      return "SMALLINT";
    case 4:
      return "INT";
    case 5:
      return "DECIMAL(19,4)";
    case 6:
      return "FLOAT";
    case 7:
      return "DOUBLE";
    case 8:
      return "DATETIME";
    case 12:
      return "LONGTEXT";
    case 15:
      return "CHAR(38)";
    case 16:
      return "BIGINT";
    case 20:
      return "DECIMAL(28,10)";
    default:
      return kOpenType;
  }
}

ParameterisedQuery ResolveParameters(const std::vector<QueryElement>& elements,
                                     const ColumnLister& columnsOf) {
  ParameterisedQuery query;
  query.elements = elements;
  std::vector<ProcedureParameter>& parameters = query.parameters;
  // Parameters the query names plainly, as [Beginning Date], and those it
  // reaches through a form: both by the name of the parameter's reference.
  const auto find = [&](const std::string& control) -> ProcedureParameter* {
    for (ProcedureParameter& parameter : parameters)
      if (jet::NamesEqual(parameter.name, control)) return &parameter;
    return nullptr;
  };
  const auto throughForm = [](const ProcedureParameter& parameter) {
    return parameter.accessName.find('!') != std::string::npos;
  };
  for (const QueryElement& element : elements) {
    if (element.kind != kParameter || element.name1.empty()) continue;
    if (find(ControlOf(element.name1)) == nullptr)
      parameters.push_back(
          {element.name1, ControlOf(element.name1), ParameterType(Integer(element.flag))});
  }

  // What the query's names may refer to besides parameters.
  std::vector<std::string> known;
  std::vector<std::string> columns;
  bool allColumnsKnown = static_cast<bool>(columnsOf);
  for (const QueryElement& element : elements) {
    if (element.kind == kInputTable) {
      known.push_back(element.name1);
      if (!element.name2.empty()) known.push_back(element.name2);
      const std::vector<std::string> listed =
          columnsOf ? columnsOf(element.name1) : std::vector<std::string>{};
      if (listed.empty()) allColumnsKnown = false;
      columns.insert(columns.end(), listed.begin(), listed.end());
    }
    if (element.kind == kOutputColumn && !element.name1.empty()) known.push_back(element.name1);
  }

  // Every parameter and every name the query uses on its own as a column.
  std::vector<std::string> usedUnqualified;
  for (const QueryElement& element : elements) {
    if (!HoldsExpression(element)) continue;
    const std::string& text = element.expression;
    const std::vector<Token> tokens = Tokens(text);
    for (std::size_t i = 0; i < tokens.size(); ++i) {
      if (FormReference(tokens, i)) {
        if (find(tokens[i + 4].name) == nullptr)
          parameters.push_back({text.substr(tokens[i].begin, tokens[i + 4].end - tokens[i].begin),
                                tokens[i + 4].name, kOpenType});
        i += 4;
        continue;
      }
      if (!Unqualified(tokens, i)) continue;
      const std::string& name = tokens[i].name;
      if (const ProcedureParameter* parameter = find(name);
          parameter != nullptr && !throughForm(*parameter))
        continue;
      const bool bracketed = text[tokens[i].begin] == '[';
      if (bracketed && allColumnsKnown && !Contains(columns, name) && !Contains(known, name)) {
        parameters.push_back({name, name, kOpenType});
        continue;
      }
      if (!Keyword(name) && !IsNumber(name)) usedUnqualified.push_back(name);
    }
  }

  // A parameter that shares its name with a column would hide the column.
  std::vector<std::string> referenceNames;
  for (ProcedureParameter& parameter : parameters) {
    referenceNames.push_back(parameter.name);
    if (Contains(columns, parameter.name) ||
        (throughForm(parameter) && Contains(usedUnqualified, parameter.name)))
      parameter.name += "_param";
  }

  // The references, rewritten as [parameter].
  for (QueryElement& element : query.elements) {
    if (!HoldsExpression(element)) continue;
    const std::string& text = element.expression;
    const std::vector<Token> tokens = Tokens(text);
    std::string rewritten;
    std::size_t copied = 0;
    const auto replace = [&](std::size_t first, std::size_t last, const std::string& name) {
      rewritten += text.substr(copied, tokens[first].begin - copied) + "[" + name + "]";
      copied = tokens[last].end;
    };
    for (std::size_t i = 0; i < tokens.size(); ++i) {
      const bool form = FormReference(tokens, i);
      if (!form && !Unqualified(tokens, i)) continue;
      const std::string& reference = tokens[form ? i + 4 : i].name;
      for (std::size_t p = 0; p < parameters.size(); ++p) {
        if (throughForm(parameters[p]) != form || !jet::NamesEqual(referenceNames[p], reference))
          continue;
        replace(i, form ? i + 4 : i, parameters[p].name);
        break;
      }
      if (form) i += 4;
    }
    element.expression = rewritten + text.substr(copied);
  }
  return query;
}

std::string ParameterList(const std::vector<ProcedureParameter>& parameters,
                          const NameMapping& names) {
  std::string list = "(";
  for (std::size_t i = 0; i < parameters.size(); ++i) {
    if (i > 0) list += ", ";
    list += "IN " + QuoteIdentifier(names ? names(parameters[i].name) : parameters[i].name) + " " +
            parameters[i].type;
  }
  return list + ")";
}

}  // namespace tablift
