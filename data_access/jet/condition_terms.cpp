#include "data_access/jet/condition_terms.h"

#include <cctype>

#include "data_access/jet/sql/text_folding.h"

namespace tablift::jet {
namespace {

// "(x)" → "x" as long as the parentheses enclose the whole text.
std::string Unwrapped(std::string text) {
  for (text = Trimmed(text); text.size() >= 2 && text.front() == '(' && text.back() == ')';) {
    const std::string inner = text.substr(1, text.size() - 2);
    int depth = 0;
    bool encloses = true;
    for (char c : inner) {
      if (c == '(') ++depth;
      if (c == ')' && --depth < 0) encloses = false;
    }
    if (!encloses || depth != 0) break;
    text = Trimmed(inner);
  }
  return text;
}

const char* const kAggregates[] = {"Sum",  "Avg",   "Count",  "Min", "Max", "First",
                                   "Last", "StDev", "StDevP", "Var", "VarP"};

}  // namespace

bool WordAt(const std::string& text, std::size_t i, const char* word) {
  const std::size_t length = std::char_traits<char>::length(word);
  if (i + length > text.size() || !NamesEqual(text.substr(i, length), word)) return false;
  const auto boundary = [&](std::size_t at) {
    return at >= text.size() ||
           !(std::isalnum(static_cast<unsigned char>(text[at])) || text[at] == '_');
  };
  return (i == 0 || boundary(i - 1)) && boundary(i + length);
}

std::string Trimmed(const std::string& text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && std::isspace(static_cast<unsigned char>(text[begin])))
    ++begin;
  while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1])))
    --end;
  return text.substr(begin, end - begin);
}

std::vector<std::string> AndTerms(const std::string& condition) {
  const std::string text = Unwrapped(condition);
  std::vector<std::string> terms;
  std::size_t start = 0;
  bool inBetween = false;
  TopLevel(text, [&](std::size_t i) {
    // The And of "Between a And b" belongs to the Between.
    if (WordAt(text, i, "Between")) inBetween = true;
    if (WordAt(text, i, "And")) {
      if (inBetween) {
        inBetween = false;
      } else {
        terms.push_back(Unwrapped(text.substr(start, i - start)));
        start = i + 3;
      }
    }
    return false;
  });
  terms.push_back(Unwrapped(text.substr(start)));
  return terms;
}

bool HoldsAggregate(const std::string& text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    for (const char* aggregate : kAggregates) {
      if (!WordAt(text, i, aggregate)) continue;
      std::size_t j = i + std::char_traits<char>::length(aggregate);
      while (j < text.size() && text[j] == ' ')
        ++j;
      if (j < text.size() && text[j] == '(') return true;
    }
  }
  return false;
}

}  // namespace tablift::jet
