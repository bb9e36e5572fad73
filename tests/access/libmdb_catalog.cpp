#include "tests/access/libmdb_catalog.h"

#include <mdbtools.h>

#include <memory>

namespace tablift::test {

std::optional<LibmdbCatalog> ReadLibmdbCatalog(const std::filesystem::path& path) {
  std::unique_ptr<MdbHandle, void (*)(MdbHandle*)> mdb(mdb_open(path.c_str(), MDB_NOFLAGS),
                                                       mdb_close);
  if (mdb == nullptr) return std::nullopt;
  if (mdb_read_catalog(mdb.get(), MDB_TABLE) == nullptr) return std::nullopt;
  LibmdbCatalog catalog;
  catalog.jetVersion = mdb->f->jet_version;
  for (unsigned i = 0; i < mdb->num_catalog; ++i) {
    auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
    if (entry->object_type != MDB_TABLE) continue;
    auto& names = mdb_is_user_table(entry) ? catalog.userTables : catalog.systemTables;
    names.emplace_back(entry->object_name);
  }
  return catalog;
}

}  // namespace tablift::test
