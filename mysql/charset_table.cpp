#include "mysql/charset_table.h"

#include <array>

namespace tablift {
namespace {

constexpr std::array<CharsetChoice, 37> kChoices = {{
    {"big5", 1024, "Big5 Traditional Chinese", "BIG5"},
    {"dec8", 1025, "DEC West European ", "DEC8"},
    {"cp850", 1027, "DOS West European", "CP850"},
    {"hp8", 1026, "HP West European", "HP8"},
    {"koi8r", 1028, "KOI8-R Relcom Russian", "KOI8R"},
    {"latin1", 1029, "cp1252 West European", "LATIN1"},
    {"latin2", 1030, "ISO 8859-2 Central European", "LATIN2"},
    {"swe7", 1031, "7bit Swedish", "SWE7"},
    {"ascii", 1032, "US ASCII", "ASCII"},
    {"ujis", 1033, "EUC-JP Japanese", "UJIS"},
    {"sjis", 1034, "Shift-JIS Japanese", "SJIS"},
    {"hebrew", 1035, "ISO 8859-8 Hebrew", "HEBREW"},
    {"tis620", 1036, "TIS620 Thai", "TIS620"},
    {"euckr", 1037, "EUC-KR Korean", "EUCKR"},
    {"koi8u", 1038, "KOI8-U Ukrainian", "KOI8U"},
    {"gb2312", 1039, "GB2312 Simplified Chinese", "GB2312"},
    {"greek", 1040, "ISO 8859-7 Greek", "GREEK"},
    {"cp1250", 1041, " Windows Central European", "CP1250"},
    {"gbk", 1042, "GBK Simplified Chinese", "GBK"},
    {"latin5", 1043, "ISO 8859-9 Turkish", "LATIN5"},
    {"armscii8", 1044, "ARMSCII-8 Armenian", "ARMSCII8"},
    {"utf8", 1045, "UTF-8 Unicode", "UTF8"},
    {"ucs2", 1046, "UCS-2 Unicode", "UCS2"},
    {"cp866", 1047, "DOS Russian", "CP866"},
    {"keybcs2", 1048, "DOS Kamenicky Czech-Slovak", "KEYBCS2"},
    {"macce", 1049, "Mac Central European", "MACCE"},
    {"macroman", 1050, "Mac West European", "MACROMAN"},
    {"cp852", 1051, "DOS Central European", "CP852"},
    {"latin7", 1052, "ISO 8859-13 Baltic", "LATIN7"},
    {"cp1251", 1053, " Windows Cyrillic", "CP1251"},
    {"cp1256", 1054, " Windows Arabic", "CP1256"},
    {"cp1257", 1055, " Windows Baltic", "CP1257"},
    {"binary", 1056, "Binary pseudo charset", "BINARY"},
    {"geostd8", 1057, "GEOSTD8 Georgian", "GEOSTD8"},
    {"cp932", 1058, "SJIS for Windows Japanese", "CP932"},
    {"eucjpms", 1059, "UJIS for Windows Japanese", "EUCJPMS"},
    {"utf8mb4", 1060, "UTF-8 Unicode, every character", "UTF8MB4"},
}};

}  // namespace

std::span<const CharsetChoice> CharsetChoices() {
  return kChoices;
}

std::string CharsetNameAt(int index) {
  if (index < 0 || index >= static_cast<int>(kChoices.size())) return "UNKNOWN";
  return std::string(kChoices[static_cast<std::size_t>(index)].name);
}

int CharsetIndexOf(std::string_view name) {
  for (std::size_t i = 0; i < kChoices.size(); ++i) {
    if (kChoices[i].name == name) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace tablift
