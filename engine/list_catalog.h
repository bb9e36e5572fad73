#pragma once

namespace tablift {

class Workbench;
class CatalogTree;

// Rebuilds one database tree from its side's data source and session: the
// root (the data source name, or "DATABASES"), the databases, and below the
// current database the "Tables" folder with every table (each with its
// "Fields" and "Indexes"; on the Access side without the temporary tables
// Access hides) and the "Views" folder with every view (with its "Fields").
// Without a session the tree stays empty.
void ListCatalog(Workbench& window, CatalogTree& tree);

}  // namespace tablift
