#include "data_access/safe_file_name.h"

namespace tablift {

std::string SafeFileName(std::string_view name) {
  std::string safe(name);
  for (char& c : safe) {
    if (c == '/' || c == '\\' || c == '\0') c = '_';
  }
  if (safe.empty() || safe == "." || safe == "..") return "_" + safe;
  return safe;
}

}  // namespace tablift
