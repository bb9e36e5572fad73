#include "translate/access_format.h"

#include <algorithm>
#include <cctype>

#include "data_access/ascii_text.h"
#include "mysql/sql_literals.h"

namespace tablift {
namespace {

Operand Text(std::string sql) {
  return Operand{std::move(sql), ValueType::Text, kAtom, {}, {}, {}};
}

bool StartsWith(const std::string& text, std::size_t at, std::string_view prefix) {
  if (text.size() - at < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (ToLowerAscii(text[at + i]) != prefix[i]) return false;
  return true;
}

// Builds CONCAT(...) from DATE_FORMAT runs and other pieces.
class DatePieces {
 public:
  explicit DatePieces(std::string date) : date_(std::move(date)) {}

  void format(const std::string& code) { run_ += code; }
  void literal(char c) {
    if (c == '%') run_ += '%';
    run_ += c;
  }
  void piece(const std::string& sql) {
    flush();
    pieces_.push_back(sql);
  }
  std::string sql() {
    flush();
    if (pieces_.size() == 1) return pieces_.front();
    std::string concat = "CONCAT(";
    for (std::size_t i = 0; i < pieces_.size(); ++i)
      concat += (i ? ", " : "") + pieces_[i];
    return concat + ")";
  }

 private:
  void flush() {
    if (run_.empty()) return;
    pieces_.push_back("DATE_FORMAT(" + date_ + ", " + StringLiteral(run_) + ")");
    run_.clear();
  }
  std::string date_;
  std::string run_;
  std::vector<std::string> pieces_;
};

std::string DatePattern(const std::string& date, const std::string& pattern) {
  const std::string lower = ToLowerAscii(pattern);
  const bool twelveHours = lower.find("am/pm") != std::string::npos;
  DatePieces out(date);
  // Whether an m after h (or before s) means minutes.
  bool afterHour = false;
  for (std::size_t i = 0; i < pattern.size();) {
    const char c = lower[i];
    std::size_t run = 1;
    while (i + run < lower.size() && lower[i + run] == c)
      ++run;
    const auto take = [&](std::size_t n) { i += n; };
    if (StartsWith(pattern, i, "am/pm")) {
      if (pattern.compare(i, 5, "am/pm") == 0) {
        out.piece("LOWER(DATE_FORMAT(" + date + ", '%p'))");
      } else {
        out.format("%p");
      }
      take(5);
      continue;
    }
    if (c == '"') {
      const std::size_t close = pattern.find('"', i + 1);
      if (close == std::string::npos) throw Untranslatable{"the format \"" + pattern + "\""};
      for (std::size_t j = i + 1; j < close; ++j)
        out.literal(pattern[j]);
      i = close + 1;
      continue;
    }
    if (c == '\\' && i + 1 < pattern.size()) {
      out.literal(pattern[i + 1]);
      take(2);
      continue;
    }
    if (c == 'y') {
      if (run >= 3) {
        out.format("%Y");
        take(run == 3 ? 3 : 4);
        if (run != 4 && run != 3) throw Untranslatable{"the format \"" + pattern + "\""};
      } else if (run == 2) {
        out.format("%y");
        take(2);
      } else {
        out.piece("DAYOFYEAR(" + date + ")");
        take(1);
      }
      continue;
    }
    if (c == 'm') {
      std::size_t next = i + run;
      while (next < lower.size() && !std::isalpha(static_cast<unsigned char>(lower[next])))
        ++next;
      const bool minutes = run <= 2 && (afterHour || (next < lower.size() && lower[next] == 's'));
      if (run > 4) throw Untranslatable{"the format \"" + pattern + "\""};
      if (minutes) {
        if (run == 2) {
          out.format("%i");
        } else {
          out.piece("MINUTE(" + date + ")");
        }
      } else {
        static const char* const kMonth[] = {"%c", "%m", "%b", "%M"};
        out.format(kMonth[run - 1]);
      }
      afterHour = false;
      take(run);
      continue;
    }
    if (c == 'd') {
      if (run > 4) throw Untranslatable{"the format \"" + pattern + "\""};
      static const char* const kDay[] = {"%e", "%d", "%a", "%W"};
      out.format(kDay[run - 1]);
      take(run);
      continue;
    }
    if (c == 'h') {
      if (run > 2) throw Untranslatable{"the format \"" + pattern + "\""};
      out.format(twelveHours ? (run == 2 ? "%h" : "%l") : (run == 2 ? "%H" : "%k"));
      afterHour = true;
      take(run);
      continue;
    }
    if (c == 'n' || c == 's') {
      if (run > 2) throw Untranslatable{"the format \"" + pattern + "\""};
      if (run == 2) {
        out.format(c == 'n' ? "%i" : "%S");
      } else {
        out.piece(std::string(c == 'n' ? "MINUTE(" : "SECOND(") + date + ")");
      }
      afterHour = false;
      take(run);
      continue;
    }
    if (c == 'q' && run == 1) {
      out.piece("QUARTER(" + date + ")");
      take(1);
      continue;
    }
    if (c == 'w' && run == 1) {
      out.piece("DAYOFWEEK(" + date + ")");
      take(1);
      continue;
    }
    if (std::isalpha(static_cast<unsigned char>(c)))
      throw Untranslatable{"Format with the pattern \"" + pattern + "\""};
    out.literal(pattern[i]);
    take(1);
  }
  return out.sql();
}

// A number pattern: [prefix][#,##]0[.00...][%][suffix].
bool NumberPattern(const std::string& value, const std::string& pattern, std::string& sql) {
  const std::size_t first = pattern.find_first_of("#0");
  if (first == std::string::npos) return false;
  std::size_t end = first;
  while (end < pattern.size() && std::string_view("#0,.").find(pattern[end]) != std::string::npos)
    ++end;
  const std::string prefix = pattern.substr(0, first);
  std::string suffix = pattern.substr(end);
  const std::string core = pattern.substr(first, end - first);
  const bool percent = !suffix.empty() && suffix.front() == '%';
  if (percent) suffix.erase(0, 1);
  for (const std::string& literal : {prefix, suffix})
    if (literal.find_first_of("#0%;\"\\") != std::string::npos ||
        std::any_of(literal.begin(), literal.end(),
                    [](char c) { return std::isalpha(static_cast<unsigned char>(c)); }))
      throw Untranslatable{"Format with the pattern \"" + pattern + "\""};
  const std::size_t point = core.find('.');
  std::string whole = core.substr(0, point);
  const std::string fraction = point == std::string::npos ? "" : core.substr(point + 1);
  const bool grouped = whole.find(',') != std::string::npos;
  const auto refuse = [&] { throw Untranslatable{"Format with the pattern \"" + pattern + "\""}; };
  // A comma right before the point divides by thousands, which is not read.
  if (!whole.empty() && whole.back() == ',') refuse();
  whole.erase(std::remove(whole.begin(), whole.end(), ','), whole.end());
  // Placeholders: # where a digit may be left out, 0 where one is always
  // shown; the 0s stand next to the point.
  const std::size_t wholeZeros = whole.size() - std::min(whole.size(), whole.find('0'));
  const std::size_t fractionZeros = std::min(fraction.size(), fraction.find('#'));
  if (whole.find('#', whole.size() - wholeZeros) != std::string::npos ||
      fraction.find_first_not_of('#', fractionZeros) != std::string::npos ||
      (grouped && wholeZeros > 1))
    refuse();
  const std::size_t optional = fraction.size() - fractionZeros;
  const std::string scaled = "CAST(" + value + " AS DECIMAL(65,30))" + (percent ? " * 100" : "");
  std::string digits =
      "FORMAT(ABS(" + scaled + "), " + std::to_string(fraction.size()) + ", 'en_US')";
  if (!grouped) digits = "REPLACE(" + digits + ", ',', '')";
  if (optional > 0)
    digits = "REGEXP_REPLACE(" + digits + ", '0{1," + std::to_string(optional) + "}$', '')";
  if (wholeZeros == 0) {
    digits = "IF(" + digits + " = '0' OR " + digits + " LIKE '0.%', SUBSTRING(" + digits +
             ", 2), " + digits + ")";
  } else if (wholeZeros > 1) {
    const std::string integer = "SUBSTRING_INDEX(" + digits + ", '.', 1)";
    digits = "CONCAT(LPAD(" + integer + ", GREATEST(CHAR_LENGTH(" + integer + "), " +
             std::to_string(wholeZeros) + "), '0'), IF(LOCATE('.', " + digits +
             ") > 0, SUBSTRING(" + digits + ", LOCATE('.', " + digits + ")), ''))";
  }
  // Access shows no sign for a negative number that rounds to zero.
  sql = "CONCAT(IF(" + value + " < 0 AND " + digits + " REGEXP '[1-9]', '-', ''), " +
        StringLiteral(prefix) + ", " + digits + ", " +
        StringLiteral((percent ? "%" : "") + suffix) + ")";
  return true;
}

// A number format in sections: positive;negative;zero;Null. A negative
// number is shown without its sign in its own section; a missing or empty
// section is the first one.
std::string NumberSections(const std::string& value, const std::string& format) {
  std::vector<std::string> sections;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = format.find(';', start);
    sections.push_back(format.substr(start, end == std::string::npos ? end : end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  if (sections.size() > 4) throw Untranslatable{"Format with the pattern \"" + format + "\""};
  const auto shown = [&](std::size_t index, const std::string& number) {
    const std::string& section =
        index < sections.size() && !sections[index].empty() ? sections[index] : sections[0];
    std::string sql;
    if (!NumberPattern(number, section, sql)) {
      // A section without placeholders is shown as it is written.
      if (section.find_first_of("\\\"") != std::string::npos ||
          std::any_of(section.begin(), section.end(),
                      [](char c) { return std::isalpha(static_cast<unsigned char>(c)); }))
        throw Untranslatable{"Format with the pattern \"" + format + "\""};
      sql = StringLiteral(section);
    }
    return sql;
  };
  std::string sql = "CASE";
  if (sections.size() > 3) sql += " WHEN " + value + " IS NULL THEN " + StringLiteral(sections[3]);
  sql += " WHEN " + value + " < 0 THEN " + shown(1, "ABS(" + value + ")");
  if (sections.size() > 2) sql += " WHEN " + value + " = 0 THEN " + shown(2, value);
  return sql + " ELSE " + shown(0, value) + " END";
}

}  // namespace

namespace {

std::string DateForms(const std::string& date, const char* day, const char* time,
                      const char* both) {
  return "CASE WHEN TIME(" + date + ") = '00:00:00' THEN DATE_FORMAT(" + date + ", '" + day +
         "') WHEN DATE(" + date + ") = '1899-12-30' THEN DATE_FORMAT(" + date + ", '" + time +
         "') ELSE DATE_FORMAT(" + date + ", '" + both + "') END";
}

}  // namespace

std::string GeneralDate(const std::string& date) {
  return DateForms(date, "%c/%e/%Y", "%l:%i:%s %p", "%c/%e/%Y %l:%i:%s %p");
}

std::string DateText(const std::string& date) {
  return DateForms(date, "%Y-%m-%d", "%H:%i:%s", "%Y-%m-%d %H:%i:%s");
}

Operand TranslateFormat(const std::vector<Operand>& a) {
  if (a.size() != 2)
    throw Untranslatable{"Format without a format of its own has no MySQL counterpart"};
  if (!a[1].text) throw Untranslatable{"Format with a format that is not a literal text"};
  const std::string& format = *a[1].text;
  const std::string named = ToLowerAscii(format);
  const std::string& v = a[0].sql;
  const std::string w = Wrapped(a[0]);
  const auto date = [&](const char* pattern) {
    return Text("DATE_FORMAT(" + v + ", '" + pattern + "')");
  };
  const auto grouped = [&](const std::string& value, int decimals) {
    return "FORMAT(CAST(" + value + " AS DECIMAL(65,30)), " + std::to_string(decimals) +
           ", 'en_US')";
  };
  if (named == "general date") return Text(GeneralDate(v));
  if (named == "long date") return date("%W, %M %e, %Y");
  if (named == "medium date") return date("%d-%b-%y");
  if (named == "short date") return date("%c/%e/%Y");
  if (named == "long time") return date("%l:%i:%s %p");
  if (named == "medium time") return date("%h:%i %p");
  if (named == "short time") return date("%H:%i");
  if (named == "general number") return Text("CAST(" + v + " AS CHAR)");
  if (named == "currency")
    return Text("IF(" + w + " < 0, CONCAT('($', " + grouped("ABS(" + v + ")", 2) +
                ", ')'), CONCAT('$', " + grouped(v, 2) + "))");
  if (named == "fixed") return Text("REPLACE(" + grouped(v, 2) + ", ',', '')");
  if (named == "standard") return Text(grouped(v, 2));
  if (named == "percent")
    return Text("CONCAT(REPLACE(" + grouped(Wrapped(a[0]) + " * 100", 2) + ", ',', ''), '%')");
  if (named == "yes/no") return Text("IF(" + w + " <> 0, 'Yes', 'No')");
  if (named == "true/false") return Text("IF(" + w + " <> 0, 'True', 'False')");
  if (named == "on/off") return Text("IF(" + w + " <> 0, 'On', 'Off')");
  if (format.find(';') != std::string::npos && format.find('"') == std::string::npos)
    return Text(NumberSections(w, format));
  std::string sql;
  if (NumberPattern(w, format, sql)) return Text(sql);
  return Text(DatePattern(v, format));
}

}  // namespace tablift
