#include "access/source_format.h"

#include "data_access/property_set.h"
#include "data_access/result_codes.h"

namespace tablift {

Result<std::string> AccessFileFormat(DataSource& dataSource) {
  std::string format;
  if (Failed(ReadDataSourceInfo(dataSource, DBPROP_JETOLEDB_ENGINE, format)) || format.empty()) {
    return Status::Failure("the source names no Access file format");
  }
  return format;
}

}  // namespace tablift
