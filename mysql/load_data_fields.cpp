#include "mysql/load_data_fields.h"

namespace tablift {
namespace {

bool IsHexDigits(std::string_view text) {
  if (text.size() % 2 != 0) return false;
  for (const char c : text) {
    const bool digit = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
    if (!digit) return false;
  }
  return true;
}

void AppendEscapedText(std::string_view text, std::string& out) {
  std::size_t plain = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char escape = 0;
    switch (text[i]) {
      case '\\':
        escape = '\\';
        break;
      case '\t':
        escape = 't';
        break;
      case '\n':
        escape = 'n';
        break;
      case '\r':
        escape = 'r';
        break;
      case '\0':
        escape = '0';
        break;
      default:
        continue;
    }
    out.append(text.data() + plain, i - plain);
    out += '\\';
    out += escape;
    plain = i + 1;
  }
  out.append(text.data() + plain, text.size() - plain);
}

}  // namespace

bool LoadDataBytesColumn(std::uint16_t columnType) {
  return columnType == DBTYPE_BYTES;
}

void AppendLoadDataField(std::uint16_t columnType, const ColumnValue& value, std::string& out) {
  if (value.null) {
    out += "\\N";
  } else if (LoadDataBytesColumn(columnType)) {
    if (IsHexDigits(value.text)) {
      out += value.text;
      return;
    }
    // Not the hexadecimal digits the provider promises: the literal stores
    // the text's own bytes, and so does this.
    static constexpr char kDigits[] = "0123456789ABCDEF";
    for (const char c : value.text) {
      const auto byte = static_cast<unsigned char>(c);
      out += kDigits[byte >> 4];
      out += kDigits[byte & 0x0F];
    }
  } else if (columnType == DBTYPE_BOOL && (value.text == "True" || value.text == "False")) {
    out += value.text == "True" ? '1' : '0';
  } else {
    AppendEscapedText(value.text, out);
  }
}

}  // namespace tablift
