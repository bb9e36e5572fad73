// Access's functions in MySQL. Each translation keeps Access's answer,
// including the edges: Null arguments, month ends, half-way rounding
// (Access rounds half to even), Sunday as the first day of the week,
// DateDiff counting the boundaries crossed rather than whole periods.

#include "translate/access_functions.h"
#include "data_access/ascii_text.h"

#include <algorithm>
#include <cctype>

#include "mysql/sql_literals.h"
#include "translate/access_format.h"

namespace tablift {
namespace {

Operand Plain(std::string sql, ValueType type) {
  return Operand{std::move(sql), type, kAtom, {}, {}, {}};
}

Operand Compound(std::string sql, ValueType type, int precedence) {
  return Operand{std::move(sql), type, precedence, {}, {}, {}};
}

bool WholeLiteral(const Operand& operand, long long& value) {
  if (!operand.number) return false;
  const std::string& text = *operand.number;
  if (text.empty() || text.find_first_of(".eE") != std::string::npos) return false;
  try {
    value = std::stoll(text);
  } catch (...) {
    return false;
  }
  return true;
}

// Which calls a function takes, for the messages.
void Expect(const std::string& name, const std::vector<Operand>& arguments, std::size_t min,
            std::size_t max) {
  if (arguments.size() < min || arguments.size() > max)
    throw Untranslatable{name + " is called with " + std::to_string(arguments.size()) +
                         " arguments"};
}

// A literal argument the translation must read: an interval, a first day
// of the week.
std::string IntervalOf(const std::string& name, const Operand& argument) {
  if (!argument.text) throw Untranslatable{name + " with an interval that is not a literal text"};
  return ToLowerAscii(*argument.text);
}

int FirstDayOfWeek(const std::string& name, const std::vector<Operand>& arguments,
                   std::size_t index) {
  if (arguments.size() <= index) return 1;
  long long day = 0;
  if (!WholeLiteral(arguments[index], day) || day < 0 || day > 7)
    throw Untranslatable{name + " with a first day of the week that is not a number 0 to 7"};
  return day == 0 ? 1 : static_cast<int>(day);  // 0: the system's, Sunday
}

Operand CDate(const Operand& value);

// A date argument: a literal text is read as the #date# it spells ("1/31/2020"),
// as Access reads it; anything else is taken as it is.
std::string DateArgument(const Operand& argument) {
  return argument.text ? CDate(argument).sql : argument.sql;
}

// 0 for the first day of the week, up to 6.
std::string DayInWeek(const std::string& date, int firstDay) {
  return "((DAYOFWEEK(" + date + ") + " + std::to_string(7 - firstDay) + ") % 7)";
}

std::string Weekday(const std::string& date, int firstDay) {
  if (firstDay == 1) return "DAYOFWEEK(" + date + ")";
  return "(" + DayInWeek(date, firstDay) + " + 1)";
}

// The day number of the first day of the week `date` falls in.
std::string WeekStart(const std::string& date, int firstDay) {
  return "(TO_DAYS(" + date + ") - " + DayInWeek(date, firstDay) + ")";
}

Operand DatePart(const std::vector<Operand>& a) {
  Expect("DatePart", a, 2, 4);
  const std::string interval = IntervalOf("DatePart", a[0]);
  const int firstDay = FirstDayOfWeek("DatePart", a, 2);
  if (a.size() == 4) {
    long long firstWeek = 0;
    if (!WholeLiteral(a[3], firstWeek) || firstWeek > 1)
      throw Untranslatable{"DatePart counts weeks from January 1st only"};
  }
  const std::string d = DateArgument(a[1]);
  const auto f = [](const char* function, const std::string& date) {
    return Plain(std::string(function) + "(" + date + ")", ValueType::Whole);
  };
  if (interval == "yyyy") return f("YEAR", d);
  if (interval == "q") return f("QUARTER", d);
  if (interval == "m") return f("MONTH", d);
  if (interval == "y") return f("DAYOFYEAR", d);
  if (interval == "d") return f("DAYOFMONTH", d);
  if (interval == "w") return Plain(Weekday(d, firstDay), ValueType::Whole);
  if (interval == "ww") {
    // Week 1 is the week of January 1st.
    const std::string januaryFirst = "MAKEDATE(YEAR(" + d + "), 1)";
    return Compound(
        "(" + WeekStart(d, firstDay) + " - " + WeekStart(januaryFirst, firstDay) + ") DIV 7 + 1",
        ValueType::Whole, kAdditive);
  }
  if (interval == "h") return f("HOUR", d);
  if (interval == "n") return f("MINUTE", d);
  if (interval == "s") return f("SECOND", d);
  throw Untranslatable{"DatePart with the interval \"" + interval + "\""};
}

Operand DateAdd(const std::vector<Operand>& a) {
  Expect("DateAdd", a, 3, 3);
  const std::string interval = IntervalOf("DateAdd", a[0]);
  const std::string count = WholeNumber(a[1]);
  std::string unit;
  std::string amount = count;
  if (interval == "yyyy") {
    unit = "YEAR";
  } else if (interval == "q") {
    unit = "MONTH";
    amount = "3 * " + count;
  } else if (interval == "m") {
    unit = "MONTH";
  } else if (interval == "y" || interval == "d" || interval == "w") {
    unit = "DAY";
  } else if (interval == "ww") {
    unit = "WEEK";
  } else if (interval == "h") {
    unit = "HOUR";
  } else if (interval == "n") {
    unit = "MINUTE";
  } else if (interval == "s") {
    unit = "SECOND";
  } else {
    throw Untranslatable{"DateAdd with the interval \"" + interval + "\""};
  }
  // TIMESTAMPADD keeps the day within the month (Jan 31 + 1 month is the
  // end of February), as Access does, and always answers with a date and
  // time.
  return Plain(
      "TIMESTAMPADD(" + unit + ", " + amount + ", CAST(" + DateArgument(a[2]) + " AS DATETIME))",
      ValueType::Date);
}

Operand DateDiff(const std::vector<Operand>& a) {
  Expect("DateDiff", a, 3, 5);
  const std::string interval = IntervalOf("DateDiff", a[0]);
  const int firstDay = FirstDayOfWeek("DateDiff", a, 3);
  const std::string d1 = DateArgument(a[1]);
  const std::string d2 = DateArgument(a[2]);
  const auto difference = [](const std::string& second, const std::string& first) {
    return Compound(second + " - " + first, ValueType::Whole, kAdditive);
  };
  if (interval == "yyyy") return difference("YEAR(" + d2 + ")", "YEAR(" + d1 + ")");
  if (interval == "q")
    return difference("(YEAR(" + d2 + ") * 4 + QUARTER(" + d2 + "))",
                      "(YEAR(" + d1 + ") * 4 + QUARTER(" + d1 + "))");
  if (interval == "m")
    return difference("(YEAR(" + d2 + ") * 12 + MONTH(" + d2 + "))",
                      "(YEAR(" + d1 + ") * 12 + MONTH(" + d1 + "))");
  if (interval == "y" || interval == "d")
    return Plain("DATEDIFF(" + d2 + ", " + d1 + ")", ValueType::Whole);
  if (interval == "w")
    return Compound("DATEDIFF(" + d2 + ", " + d1 + ") DIV 7", ValueType::Whole, kMultiplicative);
  if (interval == "ww")
    return Compound("(" + WeekStart(d2, firstDay) + " - " + WeekStart(d1, firstDay) + ") DIV 7",
                    ValueType::Whole, kMultiplicative);
  const auto boundaries = [&](const char* seconds) {
    return difference("(TO_SECONDS(" + d2 + ") DIV " + seconds + ")",
                      "(TO_SECONDS(" + d1 + ") DIV " + seconds + ")");
  };
  if (interval == "h") return boundaries("3600");
  if (interval == "n") return boundaries("60");
  if (interval == "s") return difference("TO_SECONDS(" + d2 + ")", "TO_SECONDS(" + d1 + ")");
  throw Untranslatable{"DateDiff with the interval \"" + interval + "\""};
}

std::string IntegerCast(const Operand& operand) {
  return "CAST(" + HalfEven(operand.sql, 0) + " AS SIGNED)";
}

// Access text comparisons ignore case; MySQL's REPLACE does not.
Operand Replace(const std::vector<Operand>& a) {
  Expect("Replace", a, 3, 3);
  if (!a[1].text || !a[2].text)
    throw Untranslatable{"Replace with a sought or replacing text that is not a literal"};
  const std::string& sought = *a[1].text;
  const bool caseless = std::none_of(sought.begin(), sought.end(), [](char c) {
    return std::isalpha(static_cast<unsigned char>(c)) || static_cast<unsigned char>(c) >= 0x80;
  });
  if (caseless || sought.empty())
    return Plain("REPLACE(" + a[0].sql + ", " + a[1].sql + ", " + a[2].sql + ")", ValueType::Text);
  std::string regexp = "(?i)";
  for (const char c : sought) {
    if (std::string_view("\\.^$|()[]{}*+?").find(c) != std::string_view::npos) regexp += '\\';
    regexp += c;
  }
  std::string replacement;
  for (const char c : *a[2].text) {
    if (c == '\\' || c == '$') replacement += '\\';
    replacement += c;
  }
  return Plain("REGEXP_REPLACE(" + a[0].sql + ", " + StringLiteral(regexp) + ", " +
                   StringLiteral(replacement) + ")",
               ValueType::Text);
}

Operand InStr(const std::vector<Operand>& a) {
  Expect("InStr", a, 2, 4);
  std::size_t text = 0;
  std::string start;
  if (a.size() >= 3) {
    text = 1;
    start = a[0].sql;
  }
  std::string haystack = a[text].sql;
  std::string needle = a[text + 1].sql;
  if (a.size() == 4) {
    long long compare = 0;
    if (!WholeLiteral(a[3], compare))
      throw Untranslatable{"InStr with a comparison that is not a number"};
    if (compare == 0) {
      haystack = "BINARY " + Wrapped(a[text]);
      needle = "BINARY " + Wrapped(a[text + 1]);
    }
  }
  // LOCATE finds "" at the start; Access gives 0 in an empty text.
  std::string sql =
      "LOCATE(" + needle + ", " + haystack + (start.empty() ? "" : ", " + start) + ")";
  sql = "IF(CHAR_LENGTH(" + a[text].sql + ") = 0, 0, " + sql + ")";
  return Plain(sql, ValueType::Whole);
}

Operand Choose(const std::vector<Operand>& a) {
  if (a.size() < 2) throw Untranslatable{"Choose is called with too few arguments"};
  std::string sql = "ELT(" + WholeNumber(a[0]);
  for (std::size_t i = 1; i < a.size(); ++i)
    sql += ", " + a[i].sql;
  return Plain(sql + ")", a.size() == 2 ? a[1].type : ValueType::Unknown);
}

Operand Switch(const std::vector<Operand>& a) {
  if (a.empty() || a.size() % 2 != 0)
    throw Untranslatable{"Switch needs conditions and values in pairs"};
  std::string sql = "CASE";
  for (std::size_t i = 0; i < a.size(); i += 2)
    sql += " WHEN " + a[i].sql + " THEN " + a[i + 1].sql;
  return Plain(sql + " END", a[1].type);
}

Operand CDate(const Operand& value) {
  if (value.type == ValueType::Number)
    return Plain("TIMESTAMPADD(SECOND, ROUND(" + Wrapped(value) +
                     " * 86400), TIMESTAMP'1899-12-30 00:00:00')",
                 ValueType::Date);
  if (value.text) {
    // A literal date text is read as a #date# literal is.
    const std::vector<Token> tokens = TokenizeAccessSql("#" + *value.text + "#");
    return Plain("TIMESTAMP'" + tokens.front().text + "'", ValueType::Date);
  }
  return Plain("CAST(" + value.sql + " AS DATETIME)", ValueType::Date);
}

// Val reads the number at the start of a text, blanks anywhere ignored;
// no number there gives 0.
Operand Val(const Operand& value) {
  const std::string packed =
      "REPLACE(REPLACE(REPLACE(" + value.sql + ", ' ', ''), '\\t', ''), '\\n', '')";
  return Plain("CAST(IFNULL(REGEXP_SUBSTR(" + packed +
                   ", '^[+-]?([0-9]+[.]?[0-9]*|[.][0-9]+)([eEdD][+-]?[0-9]+)?'), '0') AS DOUBLE)",
               ValueType::Number);
}

struct Simple {
  const char* access;
  const char* mysql;
  std::size_t min, max;
  ValueType type;
};

// Functions MySQL has with Access's meaning, arguments in the same order.
constexpr Simple kSimple[] = {
    {"iif", "IF", 3, 3, ValueType::Unknown},
    {"len", "CHAR_LENGTH", 1, 1, ValueType::Whole},
    {"left", "LEFT", 2, 2, ValueType::Text},
    {"right", "RIGHT", 2, 2, ValueType::Text},
    {"mid", "SUBSTRING", 2, 3, ValueType::Text},
    {"ucase", "UPPER", 1, 1, ValueType::Text},
    {"lcase", "LOWER", 1, 1, ValueType::Text},
    {"trim", "TRIM", 1, 1, ValueType::Text},
    {"ltrim", "LTRIM", 1, 1, ValueType::Text},
    {"rtrim", "RTRIM", 1, 1, ValueType::Text},
    {"space", "SPACE", 1, 1, ValueType::Text},
    {"strreverse", "REVERSE", 1, 1, ValueType::Text},
    {"year", "YEAR", 1, 1, ValueType::Whole},
    {"month", "MONTH", 1, 1, ValueType::Whole},
    {"day", "DAYOFMONTH", 1, 1, ValueType::Whole},
    {"hour", "HOUR", 1, 1, ValueType::Whole},
    {"minute", "MINUTE", 1, 1, ValueType::Whole},
    {"second", "SECOND", 1, 1, ValueType::Whole},
    {"int", "FLOOR", 1, 1, ValueType::Whole},
    {"abs", "ABS", 1, 1, ValueType::Number},
    {"sgn", "SIGN", 1, 1, ValueType::Whole},
    {"sqr", "SQRT", 1, 1, ValueType::Number},
    {"exp", "EXP", 1, 1, ValueType::Number},
    {"log", "LN", 1, 1, ValueType::Number},
    {"sin", "SIN", 1, 1, ValueType::Number},
    {"cos", "COS", 1, 1, ValueType::Number},
    {"tan", "TAN", 1, 1, ValueType::Number},
    {"atn", "ATAN", 1, 1, ValueType::Number},
    {"sum", "SUM", 1, 1, ValueType::Number},
    {"count", "COUNT", 1, 1, ValueType::Whole},
    {"min", "MIN", 1, 1, ValueType::Unknown},
    {"max", "MAX", 1, 1, ValueType::Unknown},
    {"stdev", "STDDEV_SAMP", 1, 1, ValueType::Number},
    {"stdevp", "STDDEV_POP", 1, 1, ValueType::Number},
    {"var", "VAR_SAMP", 1, 1, ValueType::Number},
    {"varp", "VAR_POP", 1, 1, ValueType::Number},
    {"strcomp", "STRCMP", 2, 2, ValueType::Whole},
};

// Casts whose MySQL form gives Access's value.
struct Cast {
  const char* access;
  const char* type;
  ValueType result;
};
constexpr Cast kCasts[] = {
    {"cdbl", "DOUBLE", ValueType::Number},
};

}  // namespace

std::string HalfEven(const std::string& value, int digits) {
  // Access rounds the decimal digits it sees of a Double: fifteen
  // significant ones. 2.8822500000000004 is the tie 2.88225 to Access, and
  // goes to the even 2.8822 where MySQL's seventeen digits would go up.
  const std::string decimal = "CAST(" + value + " AS DECIMAL(65,30))";
  const std::string exact =
      "ROUND(" + decimal + ", 14 - FLOOR(LOG10(ABS(" + decimal + ") + (" + decimal + " = 0))))";
  const std::string scale = "1" + std::string(static_cast<std::size_t>(digits), '0');
  const std::string scaled = digits == 0 ? exact : "(" + exact + " * " + scale + ")";
  const std::string whole = "TRUNCATE(" + scaled + ", 0)";
  std::string rounded = "CASE WHEN ABS(" + scaled + " - " + whole + ") = 0.5 AND MOD(" + whole +
                        ", 2) = 0 THEN " + whole + " ELSE ROUND(" + scaled + ", 0) END";
  if (digits == 0) return "(" + rounded + ")";
  return "CAST((" + rounded + ") / " + scale + " AS DECIMAL(65," + std::to_string(digits) + "))";
}

std::string WholeNumber(const Operand& operand) {
  long long value = 0;
  if (WholeLiteral(operand, value) || operand.type == ValueType::Whole) return operand.sql;
  return HalfEven(operand.sql, 0);
}

Operand TranslateFunction(const std::string& written, const std::vector<Operand>& a) {
  std::string name = written;
  if (!name.empty() && name.back() == '$') name.pop_back();
  const std::string key = ToLowerAscii(name);
  for (const Simple& simple : kSimple) {
    if (key != simple.access) continue;
    Expect(name, a, simple.min, simple.max);
    // The date functions read a literal text as the date it spells.
    const bool ofDate = key == "year" || key == "month" || key == "day" || key == "hour" ||
                        key == "minute" || key == "second";
    std::string sql = std::string(simple.mysql) + "(";
    for (std::size_t i = 0; i < a.size(); ++i)
      sql += (i ? ", " : "") + (ofDate ? DateArgument(a[i]) : a[i].sql);
    ValueType type = simple.type;
    if (key == "iif") type = a[1].type == a[2].type ? a[1].type : ValueType::Unknown;
    if (key == "min" || key == "max") type = a[0].type;
    return Plain(sql + ")", type);
  }
  for (const Cast& cast : kCasts) {
    if (key != cast.access) continue;
    Expect(name, a, 1, 1);
    return Plain("CAST(" + a[0].sql + " AS " + cast.type + ")", cast.result);
  }
  if (key == "nz") {
    Expect(name, a, 1, 2);
    // Without a second argument a query's Nz gives "" for Null.
    return Plain("IFNULL(" + a[0].sql + ", " + (a.size() == 2 ? a[1].sql : "''") + ")",
                 a.size() == 2 && a[0].type == a[1].type ? a[0].type : ValueType::Unknown);
  }
  if (key == "switch") return Switch(a);
  if (key == "choose") return Choose(a);
  if (key == "datepart") return DatePart(a);
  if (key == "dateadd") return DateAdd(a);
  if (key == "datediff") return DateDiff(a);
  if (key == "format") return TranslateFormat(a);
  if (key == "instr") return InStr(a);
  if (key == "replace") return Replace(a);
  if (key == "cstr") {
    Expect(name, a, 1, 1);
    if (a[0].type == ValueType::Date) return Plain(DateText(a[0].sql), ValueType::Text);
    return Plain("CAST(" + a[0].sql + " AS CHAR)", ValueType::Text);
  }
  if (key == "avg") {
    Expect(name, a, 1, 1);
    // Access averages in Double; MySQL would average whole numbers as
    // decimals with four digits.
    return Plain("AVG(CAST(" + a[0].sql + " AS DOUBLE))", ValueType::Number);
  }
  if (key == "ccur") {
    Expect(name, a, 1, 1);
    // Currency keeps four decimals, rounded half to even.
    return Plain("CAST(" + HalfEven(a[0].sql, 4) + " AS DECIMAL(19,4))", ValueType::Number);
  }
  if (key == "cint" || key == "clng" || key == "cbyte") {
    Expect(name, a, 1, 1);
    return Plain(IntegerCast(a[0]), ValueType::Whole);
  }
  if (key == "round") {
    Expect(name, a, 1, 2);
    long long digits = 0;
    if (a.size() == 2 && (!WholeLiteral(a[1], digits) || digits < 0 || digits > 28))
      throw Untranslatable{"Round with a number of decimals that is not a literal 0 to 28"};
    return Plain(HalfEven(a[0].sql, static_cast<int>(digits)), ValueType::Number);
  }
  if (key == "fix") {
    Expect(name, a, 1, 1);
    return Plain("TRUNCATE(" + a[0].sql + ", 0)", ValueType::Whole);
  }
  if (key == "cbool") {
    Expect(name, a, 1, 1);
    return Compound(Wrapped(a[0], kComparison + 1) + " <> 0", ValueType::Boolean, kComparison);
  }
  if (key == "cdate" || key == "cvdate") {
    Expect(name, a, 1, 1);
    return CDate(a[0]);
  }
  if (key == "val") {
    Expect(name, a, 1, 1);
    return Val(a[0]);
  }
  if (key == "weekday") {
    Expect(name, a, 1, 2);
    return Plain(Weekday(DateArgument(a[0]), FirstDayOfWeek(name, a, 1)), ValueType::Whole);
  }
  if (key == "isnull") {
    Expect(name, a, 1, 1);
    return Compound(Wrapped(a[0], kComparison + 1) + " IS NULL", ValueType::Boolean, kComparison);
  }
  if (key == "now" || key == "date" || key == "time") {
    Expect(name, a, 0, 0);
    // Access's Time() is a time on its day zero.
    if (key == "time") return Plain("TIMESTAMP(DATE'1899-12-30', CURTIME())", ValueType::Date);
    return Plain(key == "now" ? "NOW()" : "CAST(CURDATE() AS DATETIME)", ValueType::Date);
  }
  if (key == "dateserial") {
    Expect(name, a, 3, 3);
    // Access carries months and days beyond their range into the next
    // (DateSerial(2020, 13, 0) is the last day of 2020).
    return Plain("TIMESTAMPADD(DAY, " + WholeNumber(a[2]) + " - 1, TIMESTAMPADD(MONTH, " +
                     WholeNumber(a[1]) + " - 1, CAST(MAKEDATE(" + WholeNumber(a[0]) +
                     ", 1) AS DATETIME)))",
                 ValueType::Date);
  }
  if (key == "datevalue" || key == "timevalue") {
    Expect(name, a, 1, 1);
    // A literal text is read as a #date# literal; other values are taken
    // to be dates (a text column holding dates is not read).
    const std::string date = CDate(a[0]).sql;
    if (key == "datevalue") return Plain("CAST(DATE(" + date + ") AS DATETIME)", ValueType::Date);
    return Plain("TIMESTAMP(DATE'1899-12-30', TIME(" + date + "))", ValueType::Date);
  }
  if (key == "timeserial") {
    Expect(name, a, 3, 3);
    return Plain("TIMESTAMPADD(SECOND, " + WholeNumber(a[0]) + " * 3600 + " + WholeNumber(a[1]) +
                     " * 60 + " + WholeNumber(a[2]) + ", TIMESTAMP'1899-12-30 00:00:00')",
                 ValueType::Date);
  }
  if (key == "cvar") {
    Expect(name, a, 1, 1);
    return a[0];
  }
  if (key == "str") {
    Expect(name, a, 1, 1);
    // A leading blank stands where a minus would.
    return Plain(
        "CONCAT(IF(" + Wrapped(a[0], kComparison + 1) + " >= 0, ' ', ''), " + a[0].sql + ")",
        ValueType::Text);
  }
  if (key == "chr") {
    Expect(name, a, 1, 1);
    // Access's characters 128 to 255 are Windows-1252, MySQL's latin1.
    return Plain("CHAR(" + WholeNumber(a[0]) + " USING latin1)", ValueType::Text);
  }
  if (key == "asc") {
    Expect(name, a, 1, 1);
    return Plain("ASCII(CONVERT(" + a[0].sql + " USING latin1))", ValueType::Whole);
  }
  if (key == "string") {
    Expect(name, a, 2, 2);
    const std::string character = a[1].type == ValueType::Number || a[1].number
                                      ? "CHAR(" + WholeNumber(a[1]) + " USING latin1)"
                                      : "LEFT(" + a[1].sql + ", 1)";
    return Plain("REPEAT(" + character + ", " + WholeNumber(a[0]) + ")", ValueType::Text);
  }
  if (key == "instrrev") {
    Expect(name, a, 2, 2);
    const std::string& text = a[0].sql;
    const std::string& sought = a[1].sql;
    const std::string backwards = "LOCATE(REVERSE(" + sought + "), REVERSE(" + text + "))";
    return Plain("CASE WHEN CHAR_LENGTH(" + text + ") = 0 THEN 0 WHEN CHAR_LENGTH(" + sought +
                     ") = 0 THEN CHAR_LENGTH(" + text + ") WHEN " + backwards +
                     " = 0 THEN 0 ELSE CHAR_LENGTH(" + text + ") - " + backwards +
                     " - CHAR_LENGTH(" + sought + ") + 2 END",
                 ValueType::Whole);
  }
  if (key == "first" || key == "last")
    throw Untranslatable{name + " has no MySQL counterpart (MySQL rows of a group have no order)"};
  throw Untranslatable{name + " has no MySQL counterpart"};
}

}  // namespace tablift
