#include "translate/extended_date_time.h"

namespace tablift {

bool CutToMicroseconds(std::string& text) {
  const std::size_t point = text.rfind('.');
  if (point == std::string::npos) return false;
  std::size_t end = point + 1;
  while (end < text.size() && text[end] >= '0' && text[end] <= '9')
    ++end;
  constexpr std::size_t kKept = 6;
  if (end - point - 1 <= kKept) return false;
  const std::size_t cutFrom = point + 1 + kKept;
  bool changed = false;
  for (std::size_t i = cutFrom; i < end; ++i)
    changed = changed || text[i] != '0';
  text.erase(cutFrom, end - cutFrom);
  return changed;
}

}  // namespace tablift
