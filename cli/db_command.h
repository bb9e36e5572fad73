#pragma once

namespace tablift {

// tablift-cli db create|drop|clear-tables|clear-data NAME: the target tree's
// database commands against a MySQL server.
int RunDbCommand(int argc, char** argv);
// tablift-cli drop-table TABLE / drop-view VIEW / rename-table OLD NEW, each
// with --database NAME.
int RunDropTableCommand(int argc, char** argv);
int RunDropViewCommand(int argc, char** argv);
int RunRenameTableCommand(int argc, char** argv);

}  // namespace tablift
