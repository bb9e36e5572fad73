// tablift-cli: the command-line front end over the migration engine.
#include <cstdio>
#include <string_view>

#include "cli/backup_command.h"
#include "cli/condition_command.h"
#include "cli/create_mdb_command.h"
#include "cli/db_command.h"
#include "cli/drivers_command.h"
#include "cli/install_driver_command.h"
#include "cli/migrate_command.h"
#include "cli/sample_command.h"
#include "cli/verify_command.h"
#include "engine/standard_options.h"

namespace {

constexpr std::string_view kProgram = "tablift-cli";
constexpr std::string_view kUsageLine =
    "Usage: tablift-cli [--help] [--version] <command> [options]\n"
    "\n"
    "Commands:\n"
    "  create-mdb PATH          create an empty Access database (.mdb) at PATH\n"
    "  sample PATH [--rows N]   write the sample order database (N rows in the big tables)\n"
    "  migrate SOURCE ...       migrate an Access database (.mdb or .accdb) into a MySQL server\n"
    "  verify SOURCE ...        compare migrated tables with their Access originals\n"
    "  backup --database NAME --dir FOLDER ...\n"
    "                           save MySQL tables, their rows and views as script files\n"
    "  condition SOURCE TABLE [CONDITION]\n"
    "                           show, test and save the migration condition of a table\n"
    "  drivers                  show which providers and drivers are installed and usable\n"
    "  install-driver FOLDER    install the MySQL ODBC driver shipped with the program\n"
    "  db create|drop|clear-tables|clear-data NAME   manage a database of the server\n"
    "  drop-table TABLE --database NAME, drop-view VIEW --database NAME,\n"
    "  rename-table OLD NEW --database NAME   manage one table or view\n"
    "    (these take the server options and --yes: without it every question is asked)\n"
    "\n"
    "Server options of migrate and verify:\n"
    "  --server HOST[:PORT] --user USER --password PASSWORD   (or --dsn NAME)\n"
    "  (the Access file or the server left out: the desktop program's saved settings)\n"
    "  --source-password PASSWORD   the Access file's database password\n"
    "  --database NAME   migrate into this existing database (without it the whole\n"
    "                    Access database is cloned into a new one named after the file)\n"
    "migrate also takes: --table T | --view V | --tables | --views,\n"
    "  --engine InnoDB|MyISAM (InnoDB unless told otherwise),\n"
    "  --charset NAME (utf8mb4 unless told otherwise),\n"
    "  --create (make the database named by --database when the server has none),\n"
    "  --report FILE.json (the end-of-run summary also as JSON),\n"
    "  --quiet (only errors and the summary) | --verbose (progress lines also when\n"
    "    the output is no terminal),\n"
    "  --names keep|underscore (keep: every table, column, key and view under its\n"
    "    own Access name; underscore: blanks in names become _; verify takes the\n"
    "    same option)\n"
    "verify also takes --call QUERY=ARG,ARG... (a parameter query's arguments),\n"
    "  and --server HOST:PORT,HOST:PORT,... to compare every node of a cluster\n"
    "backup takes the server options, --database NAME, --dir FOLDER and\n"
    "  --table T | --view V | --tables | --views (the whole database without them)\n"
    "Every command answers --help with its own usage.";

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs(tablift::ProgramHelp(kUsageLine).c_str(), stderr);
    return 2;
  }
  if (tablift::AnswerStandardOption(argv[1], kProgram, kUsageLine)) return 0;
  if (std::string_view(argv[1]) == "create-mdb")
    return tablift::RunCreateMdbCommand(argc - 2, argv + 2);
  if (std::string_view(argv[1]) == "sample") return tablift::RunSampleCommand(argc - 2, argv + 2);
  if (std::string_view(argv[1]) == "migrate") return tablift::RunMigrateCommand(argc - 2, argv + 2);
  if (std::string_view(argv[1]) == "backup") return tablift::RunBackupCommand(argc - 2, argv + 2);
  if (std::string_view(argv[1]) == "verify") return tablift::RunVerifyCommand(argc - 2, argv + 2);
  if (std::string_view(argv[1]) == "condition")
    return tablift::RunConditionCommand(argc - 2, argv + 2);
  if (std::string_view(argv[1]) == "drivers") return tablift::RunDriversCommand(argc - 2, argv + 2);
  if (std::string_view(argv[1]) == "install-driver")
    return tablift::RunInstallDriverCommand(argc - 2, argv + 2);
  if (std::string_view(argv[1]) == "db") return tablift::RunDbCommand(argc - 2, argv + 2);
  if (std::string_view(argv[1]) == "drop-table")
    return tablift::RunDropTableCommand(argc - 2, argv + 2);
  if (std::string_view(argv[1]) == "drop-view")
    return tablift::RunDropViewCommand(argc - 2, argv + 2);
  if (std::string_view(argv[1]) == "rename-table")
    return tablift::RunRenameTableCommand(argc - 2, argv + 2);
  std::fprintf(stderr, "tablift-cli: unknown command '%s' (see tablift-cli --help)\n", argv[1]);
  return 2;
}
