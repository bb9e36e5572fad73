#include "data_access/odbc/odbc_provider.h"

namespace tablift {

std::unique_ptr<ProviderDataSource> CreateOdbcDataSource() {
  return nullptr;
}

}  // namespace tablift
