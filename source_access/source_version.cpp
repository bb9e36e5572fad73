#include "source_access/source_version.h"

#include "Converters/write_line.h"

namespace tablift {

std::string SourceVersion(Workbench& window, Session* session) {
  if (session == nullptr) {
    WriteLine(window, "No Connection!");
    return "No Connection!";
  }
  return "";
}

}  // namespace tablift
