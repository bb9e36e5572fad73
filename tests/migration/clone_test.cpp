// Whole Access databases cloned into the private server: every migrated
// table arrives row for row with its keys, the relationships become foreign
// keys and the views that could be created can be read.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "access/index_answer.h"
#include "access/index_reader.h"
#include "access/system_table_rows.h"
#include "data_access/catalog_rowsets.h"
#include "data_access/safe_file_name.h"
#include "data_access/text_query.h"
#include "engine/use_database.h"
#include "migration/table_verification.h"
#include "tests/migration/migration_fixture.h"

namespace tablift::test {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;
using ::testing::UnorderedElementsAreArray;

struct CloneCase {
  std::string file;  // in the fixtures folder; "sample" for the written sample
  std::string password;
  // Saved queries that do not become views: Access SQL that MySQL cannot
  // take.
  std::vector<std::string> failingViews;
  // The storage engine of the new tables. InnoDB keeps the relationships as
  // foreign keys; MyISAM accepts and forgets them.
  std::string engine = "InnoDB";
  // Column pairs of the relationships Access enforces between tables that
  // are migrated.
  std::size_t foreignKeys = 0;
};

void PrintTo(const CloneCase& c, std::ostream* out) {
  *out << c.file << " " << c.engine;
}

std::string CaseName(const ::testing::TestParamInfo<CloneCase>& info) {
  std::string name;
  for (char c : info.param.file)
    name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return name + "_" + info.param.engine;
}

// The text between the first "[" and the following "]".
std::string Bracketed(const std::string& line) {
  const std::size_t open = line.find('[');
  const std::size_t close = line.find(']', open);
  return open == std::string::npos || close == std::string::npos
             ? std::string()
             : line.substr(open + 1, close - open - 1);
}

class CloneTest : public MigrationTest, public ::testing::WithParamInterface<CloneCase> {
 protected:
  // The fields of the indexes of one kind that the Access file defines.
  std::vector<IndexAnswerEntry> accessIndexes(const std::string& table, IndexKind kind) {
    IndexRequest request;
    request.job = &window_;
    request.kind = kind;
    request.path = window_.sourceProfile().sourceName;
    request.table = table;
    request.password = window_.sourceProfile().password;
    EXPECT_TRUE(RunIndexReader(request));
    return ParseIndexAnswer(request.answer);
  }

  // The columns of each index of a MySQL table that admits no duplicates,
  // joined by ",".
  std::set<std::string> uniqueColumnLists(const std::string& database, const std::string& table,
                                          bool primary) {
    const auto rows = query(
        "select concat(index_name, ':', group_concat(column_name order by seq_in_index)) from "
        "information_schema.statistics where table_schema = '" +
        database + "' and table_name = '" + table + "' and non_unique = 0 and index_name " +
        (primary ? "=" : "<>") + " 'PRIMARY' group by index_name");
    std::set<std::string> lists;
    for (const std::string& row : rows)
      lists.insert(row.substr(row.find(':') + 1));
    return lists;
  }
};

TEST_P(CloneTest, TablesKeysRelationshipsAndViewsArrive) {
  const CloneCase& c = GetParam();
  fs::path mdb;
  if (c.file == "sample") {
    mdb = writeSample(200);
  } else {
    const auto fixtures = FixturesDirectory();
    if (!fixtures || !fs::exists(*fixtures / c.file)) GTEST_SKIP() << "no " << c.file;
    mdb = copyAccessFile(*fixtures / c.file, fs::path(c.file).stem().string());
  }
  connect(mdb, c.password, c.engine);
  if (HasFatalFailure()) return;
  const std::string source = sourceDatabase();
  const std::string database = mdb.stem().string();

  const TaskPtr task = migrate("", "", "");
  ASSERT_NE(task, nullptr);
  EXPECT_EQ(task->type(), CloneDatabase);
  EXPECT_EQ(task->targetDatabase(), source);
  ASSERT_TRUE(UseDatabase(window_, database, Workbench::kTargetSide));

  // Tables: every one, whatever its name holds, each row for row.
  const std::vector<std::string> tables = migratableSourceTables();
  EXPECT_THAT(targetTables(database), UnorderedElementsAreArray(tables));
  EXPECT_THAT(linesWith("ERROR !"), IsEmpty());
  EXPECT_THAT(linesWith("records were not accepted"), IsEmpty());
  for (const std::string& table : tables) {
    SCOPED_TRACE(table);
    const TableVerification verified =
        VerifyTable(window_, window_.sourceSession(), window_.targetSession(), source, table);
    EXPECT_TRUE(verified.matches())
        << verified.error << " " << verified.sourceRows << "/" << verified.targetRows << " rows, "
        << verified.differingRows << " differ";

    // The Access primary key and unique indexes.
    std::set<std::string> primary;
    for (const auto& index : accessIndexes(table, IndexKind::PrimaryKey))
      primary.insert(Joined(index.fields, ","));
    EXPECT_EQ(uniqueColumnLists(database, table, true), primary);
    const std::set<std::string> unique = uniqueColumnLists(database, table, false);
    for (const auto& index : accessIndexes(table, IndexKind::Unique)) {
      EXPECT_TRUE(unique.count(Joined(index.fields, ",")))
          << "unique index " << index.name << " (" << Joined(index.fields, ",") << ")";
    }
  }

  // Relationships between migrated tables that Access enforces.
  std::vector<std::vector<std::string>> relationships;
  ASSERT_EQ(
      ReadSystemRows(
          window_.sourceSession(),
          "SELECT szObject, szColumn, szReferencedObject, szReferencedColumn, "
          "grbit FROM MSysRelationships",
          {{"szObject"}, {"szColumn"}, {"szReferencedObject"}, {"szReferencedColumn"}, {"grbit"}},
          relationships),
      "");
  const std::set<std::string> migrated(tables.begin(), tables.end());
  std::set<std::string> expectedKeys;
  for (const auto& row : relationships) {
    const int flags = std::stoi(row[4].empty() ? "0" : row[4]);
    const bool enforced = (flags & 0x2) == 0;
    if (enforced && migrated.count(row[0]) && migrated.count(row[2])) {
      // With the cascades Access applies on update (0x100) and delete (0x1000).
      expectedKeys.insert(
          Joined({row[0], row[1], row[2], row[3], (flags & 0x100) ? "CASCADE" : "RESTRICT",
                  (flags & 0x1000) ? "CASCADE" : "RESTRICT"}));
    }
  }
  const auto keys = query(
      "select concat(k.table_name, '|', k.column_name, '|', k.referenced_table_name, '|', "
      "k.referenced_column_name, '|', r.update_rule, '|', r.delete_rule) from "
      "information_schema.key_column_usage k join information_schema.referential_constraints r "
      "on r.constraint_schema = k.table_schema and r.constraint_name = k.constraint_name and "
      "r.table_name = k.table_name where k.table_schema = '" +
      database + "' and k.referenced_table_name is not null");
  EXPECT_EQ(expectedKeys.size(), c.foreignKeys);
  if (c.engine == "InnoDB") {
    EXPECT_EQ(std::set<std::string>(keys.begin(), keys.end()), expectedKeys);
  }
  if (c.engine == "InnoDB") {
    // Every statement that was built was accepted.
    EXPECT_THAT(linesWith("Create Relationship failure!"), IsEmpty());
  } else {
    // MyISAM keeps no FOREIGN KEY: each relationship is reported lost, with
    // the reason, instead of being claimed as created.
    EXPECT_THAT(linesWith("Create FOREIGN KEY SUCCESSFULLY!!!"), IsEmpty());
    EXPECT_EQ(linesWith("Create Relationship failure!").size(),
              linesWith("storage engine, which keeps no FOREIGN KEY").size());
  }

  // Saved queries: the expected ones fail, each reported once with its
  // reason right before the failure line; a pass-through query is kept aside
  // with one line saying so; every other one was created, a view that reads.
  std::set<std::string> created;
  std::set<std::string> createdViews;
  for (const std::string& line : logTexts()) {
    const bool view = line.rfind("Create VIEW [", 0) == 0;
    if ((view || line.rfind("Create PROCEDURE [", 0) == 0) &&
        line.find("SUCCESSFULLY!!!") != std::string::npos) {
      created.insert(Bracketed(line));
      if (view) createdViews.insert(Bracketed(line));
    }
  }
  std::vector<std::string> failed;
  const std::vector<std::string> lines = markedLogTexts();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].find("is a pass-through query") != std::string::npos) {
      failed.push_back(Bracketed(lines[i]));
      continue;
    }
    if ((lines[i].rfind("Create VIEW [", 0) != 0 && lines[i].rfind("Create PROCEDURE [", 0) != 0) ||
        lines[i].find("failure!!!") == std::string::npos)
      continue;
    failed.push_back(Bracketed(lines[i]));
    ASSERT_GT(i, 0u);
    EXPECT_EQ(Bracketed(lines[i - 1]), failed.back()) << lines[i - 1];
    EXPECT_EQ(lines[i - 1].rfind("E::", 0), 0u) << lines[i - 1];
  }
  EXPECT_THAT(failed, UnorderedElementsAreArray(c.failingViews));
  // Every saved query the Access file lists was tried.
  std::set<std::string> tried = created;
  tried.insert(failed.begin(), failed.end());
  std::set<std::string> listed;
  TablesRowset views;
  ASSERT_TRUE(Succeeded(views.open(*window_.sourceSession(), {}, {}, {}, "VIEW")));
  while (views.moveNext() == S_OK)
    listed.insert(views.row().tableName);
  EXPECT_EQ(tried, listed);
  EXPECT_THAT(targetTables(database, true), UnorderedElementsAreArray(std::vector<std::string>(
                                                createdViews.begin(), createdViews.end())));
  for (const std::string& view : createdViews) {
    EXPECT_EQ(tryQuery("select * from `" + database + "`.`" + view + "`"), "") << view;
  }

  // On MyISAM the relationships Access enforces are lost, which fails the
  // task as much as a view that could not be made.
  const bool whole = c.failingViews.empty() && (c.engine == "InnoDB" || c.foreignKeys == 0);
  EXPECT_EQ(task->stateText(), whole ? kStateSuccess : kStateFailure);
  EXPECT_EQ(logTexts().back(), whole ? "Operation completed SUCCESSFULLY!" : "Operation FAILURE!");
}

std::vector<CloneCase> CloneCases() {
  const std::vector<CloneCase> files = {
      CloneCase{"sample", "", {}, "", 5},
      // Every saved query of Northwind becomes a view or a procedure.
      CloneCase{"northwind-jet3.mdb", "", {}, "", 7}, CloneCase{"types-jet3.mdb", "", {}},
      CloneCase{"keys-relationships-jet3.mdb", "", {}, "", 2},
      CloneCase{"types-ole-jet4.mdb", "", {}},
      CloneCase{"keys-relationships-jet4.mdb", "", {}, "", 2},
      CloneCase{"composite-index-jet4.mdb", "", {}},
      // The union's parts have no FROM; the pass-through query is kept aside.
      CloneCase{"queries-jet4.mdb", "", {"UnionQuery", "PassthroughQuery"}},
      CloneCase{"decimal-jet4.mdb", "", {}}, CloneCase{"numeric-jet4.mdb", "", {}},
      CloneCase{"dates-jet4.mdb", "", {}}, CloneCase{"password-jet4.mdb", "password", {}},
      CloneCase{"empty-jet4.mdb", "", {}}, CloneCase{"empty-access2000.mdb", "", {}}};
  std::vector<CloneCase> cases;
  for (const char* engine : {"InnoDB", "MyISAM"}) {
    for (CloneCase c : files) {
      c.engine = engine;
      cases.push_back(c);
    }
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(AccessFiles, CloneTest, ::testing::ValuesIn(CloneCases()), CaseName);

}  // namespace
}  // namespace tablift::test
