#include "access/source_version.h"

#include "core/write_line.h"

namespace tablift {

std::string SourceVersion(JobContext& job, Session* session) {
  if (session == nullptr) {
    WriteLine(job, "No Connection!");
    return "No Connection!";
  }
  return "";
}

}  // namespace tablift
