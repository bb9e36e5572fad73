// Every kind of saved query of a real Access file arrives as the MySQL object
// that does what the query does (a view, or a procedure for queries that ask
// for values and for actions), or is left out with one line saying why.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "data_access/jet/writer/jet_database_writer.h"
#include "data_access/text_query.h"
#include "tests/migration/migration_fixture.h"

namespace tablift::test {
namespace {

using ::testing::AllOf;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::SizeIs;
using ::testing::StartsWith;
using ::testing::UnorderedElementsAre;

class QueryKindsTest : public MigrationTest {
 protected:
  // Tables, then the saved queries, of a fixture copied under a unique name.
  std::string migrateFixture(const std::string& file) {
    const auto fixtures = FixturesDirectory();
    if (!fixtures) return {};
    connect(copyAccessFile(*fixtures / file, "kinds"), "", "InnoDB");
    if (HasFatalFailure()) return {};
    const std::string database = createTargetDatabase("kinds");
    EXPECT_NE(migrate("Tables", "", database), nullptr);
    EXPECT_NE(migrate("Views", "", database), nullptr);
    return database;
  }

  // The objects of a kind, by name: "VIEW" from information_schema.VIEWS,
  // "PROCEDURE" from information_schema.ROUTINES.
  std::vector<std::string> objects(const std::string& database, const std::string& kind) {
    if (kind == "VIEW")
      return query("select table_name from information_schema.views where table_schema = '" +
                   database + "' order by table_name");
    return query("select routine_name from information_schema.routines where routine_schema = '" +
                 database + "' and routine_type = '" + kind + "' order by routine_name");
  }

  // The "E::" lines that name the query.
  std::vector<std::string> reasons(const std::string& name) {
    std::vector<std::string> lines;
    for (const std::string& line : markedLogTexts())
      if (line.rfind("E::", 0) == 0 && line.find("[" + name + "]") != std::string::npos)
        lines.push_back(line);
    return lines;
  }

  // The numbers of the step's count line: views, procedures, left out.
  std::vector<int> counts() {
    const std::regex count("Queries: (\\d+) views, (\\d+) procedures, (\\d+) left out");
    for (const std::string& line : logTexts()) {
      std::smatch match;
      if (std::regex_match(line, match, count))
        return {std::stoi(match[1]), std::stoi(match[2]), std::stoi(match[3])};
    }
    return {};
  }

  // "" when the statement ran, with or without rows; else the reason.
  std::string run(const std::string& sql) {
    const std::string outcome = tryQuery(sql);
    return outcome == kStatementSucceeded ? std::string() : outcome;
  }

  std::vector<std::string> sorted(std::vector<std::string> rows) {
    std::sort(rows.begin(), rows.end());
    return rows;
  }
};

TEST_F(QueryKindsTest, EveryNorthwindQueryBecomesAnObjectOrSaysWhyNot) {
  const std::string db = migrateFixture("northwind-jet3.mdb");
  if (db.empty()) GTEST_SKIP() << "no fixtures";
  const std::vector<std::string> views = objects(db, "VIEW");
  const std::vector<std::string> procedures = objects(db, "PROCEDURE");
  EXPECT_THAT(procedures,
              ElementsAre("Employee Sales by Country", "Invoices Filter", "Sales by Year"));
  EXPECT_THAT(views, ::testing::IsSupersetOf({"Invoices", "Order Subtotals", "Sales by Category",
                                              "Ten Most Expensive Products"}));
  // All 22 saved queries are accounted for: each one not created says why,
  // exactly once.
  const std::vector<int> numbers = counts();
  ASSERT_THAT(numbers, SizeIs(3));
  EXPECT_EQ(numbers[0], static_cast<int>(views.size()));
  EXPECT_EQ(numbers[1], 3);
  EXPECT_EQ(numbers[0] + numbers[1] + numbers[2], 22);
  for (const char* query : {"Customers and Suppliers by City", "Quarterly Orders by Product"}) {
    const bool created = std::find(views.begin(), views.end(), query) != views.end();
    EXPECT_THAT(reasons(query), SizeIs(created ? 0 : 1)) << query;
  }

  // The parameter queries return what the same question asked of the
  // migrated tables returns.
  EXPECT_EQ(sorted(query("call `" + db +
                         "`.`Employee Sales by Country`('1995-01-01', '1995-12-31 23:59:59')")),
            query("select e.Country from `" + db + "`.Orders o join `" + db +
                  "`.Employees e on e.EmployeeID = o.EmployeeID where o.ShippedDate between "
                  "'1995-01-01' and '1995-12-31 23:59:59' and exists (select 1 from `" +
                  db + "`.`Order Details` d where d.OrderID = o.OrderID) order by e.Country"));
  const std::vector<std::string> invoice = query("call `" + db + "`.`Invoices Filter`(10248)");
  EXPECT_THAT(invoice, SizeIs(3));
  EXPECT_EQ(invoice, query("select o.ShipName from `" + db + "`.Orders o join `" + db +
                           "`.`Order Details` d on d.OrderID = o.OrderID where o.OrderID = 10248"));
  EXPECT_THAT(query("call `" + db + "`.`Invoices Filter`(1)"), SizeIs(0));

  // TOP 10 keeps the rows tied with the tenth.
  EXPECT_EQ(query("select count(*) from `" + db + "`.`Ten Most Expensive Products`"),
            query("select count(*) from `" + db +
                  "`.Products where UnitPrice >= (select "
                  "UnitPrice from `" +
                  db + "`.Products order by UnitPrice desc limit 9, 1)"));
}

TEST_F(QueryKindsTest, EveryKindOfTheQueriesFixture) {
  const std::string db = migrateFixture("queries-jet4.mdb");
  if (db.empty()) GTEST_SKIP() << "no fixtures";
  EXPECT_THAT(objects(db, "VIEW"), ElementsAre("CrosstabQuery", "SelectQuery"));
  EXPECT_THAT(objects(db, "PROCEDURE"),
              ElementsAre("AppendQuery", "DataDefinitionQuery", "DeleteQuery", "MakeTableQuery",
                          "UpdateQuery"));
  EXPECT_EQ(counts(), (std::vector<int>{2, 5, 2}));

  // The union's parts have no FROM, which the server refuses; the
  // pass-through query's SQL is for another server, kept in a file of
  // comments.
  EXPECT_THAT(reasons("UnionQuery"),
              ElementsAre(AllOf(StartsWith("E::VIEW [UnionQuery] "), HasSubstr("Table1"))));
  EXPECT_THAT(reasons("PassthroughQuery"),
              ElementsAre(AllOf(HasSubstr("pass-through"), HasSubstr("not run"))));
  const auto kept = dataCache() / "PassthroughQuery.passthrough.sql";
  ASSERT_TRUE(std::filesystem::exists(kept));
  const std::string text = ReadWholeFile(kept);
  EXPECT_THAT(text, HasSubstr("ALTER TABLE Table4 DROP COLUMN col5;"));
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);)
    EXPECT_THAT(line, StartsWith("-- "));

  // The crosstab had no rows to take headings from: its row headings alone.
  EXPECT_EQ(query("select group_concat(column_name order by ordinal_position) from "
                  "information_schema.columns where table_schema = '" +
                  db + "' and table_name = 'CrosstabQuery'"),
            std::vector<std::string>{"col1,col3,AvgOfcol2"});

  // The actions do what the queries do when they are called.
  const std::string t = "`" + db + "`.";
  ASSERT_EQ(run("insert into " + t +
                "Table1 values ('a', 'buzz', 'x'), ('z', 'k', 'y'), ('c', 'm', 'z')"),
            "");
  ASSERT_EQ(run("insert into " + t + "Table2 values ('buzz', 'u', 'k'), ('k', 'v', 'w')"), "");
  ASSERT_EQ(run("insert into " + t + "Table3 values ('k', 'p', 'buzz'), ('q', 'r', 'none')"), "");
  // Delete: the rows whose col1 sorts after "blah".
  ASSERT_EQ(run("call " + t + "DeleteQuery()"), "");
  EXPECT_EQ(query("select group_concat(col1 order by col1) from " + t + "Table1"),
            std::vector<std::string>{"a"});
  // Make-table: the grouped rows, and again on a second call.
  ASSERT_EQ(run("call " + t + "MakeTableQuery()"), "");
  ASSERT_EQ(run("call " + t + "MakeTableQuery()"), "");
  EXPECT_EQ(query("select count(*) from " + t + "Table4"), std::vector<std::string>{"1"});
  EXPECT_EQ(query("select count(*) from " + t + "Table4"),
            query("select count(*) from (select t2.col2 a, t3.col2 b from " + t +
                  "Table2 t2 join " + t + "Table1 t1 on t2.col1 = t1.col2 right join " + t +
                  "Table3 t3 on t1.col2 = t3.col3 group by t2.col2, t3.col2 having max(t2.col1) "
                  "= 'buzz' and t2.col2 <> 'blah') x"));
  // Data definition: the table with Access's Text type.
  ASSERT_EQ(run("call " + t + "DataDefinitionQuery()"), "");
  EXPECT_EQ(query("select group_concat(concat(column_name, ' ', column_type)) from "
                  "information_schema.columns where table_schema = '" +
                  db + "' and table_name = 'Table5'"),
            std::vector<std::string>{"col1 varchar(255),col2 varchar(255)"});

  // Taken again once there are rows, the crosstab's headings are the values
  // the rows hold then, and the log names them.
  ASSERT_EQ(run("insert into " + t + "Table1 values ('k', 'q', 'r'), ('w', 'q', 'r')"), "");
  ASSERT_EQ(run("insert into " + t + "Table2 values ('w', 'n', 'k'), ('k', '20', 'w')"), "");
  ASSERT_EQ(run("drop view " + t + "CrosstabQuery"), "");
  ASSERT_NE(migrate("Views", "CrosstabQuery", db), nullptr);
  EXPECT_THAT(linesWith("Crosstab [CrosstabQuery]"),
              ::testing::Contains(HasSubstr("headings the migrated rows hold now")));
  EXPECT_EQ(query("select group_concat(column_name order by ordinal_position) from "
                  "information_schema.columns where table_schema = '" +
                  db + "' and table_name = 'CrosstabQuery'"),
            query("select concat('col1,col3,AvgOfcol2,', group_concat(distinct t1.col1 order by "
                  "t1.col1)) from " +
                  t + "Table1 t1 join " + t +
                  "Table2 t2 on t1.col1 = t2.col1 "
                  "join " +
                  t +
                  "Table2 t21 on t2.col1 = t21.col3 where t1.col1 > '10' and "
                  "t21.col1 is not null"));
}

TEST_F(QueryKindsTest, AQueryOverAQueryAsksForTheNamesNeitherGives) {
  const std::filesystem::path path = temp_.path() / (UniqueName("asking") + ".mdb");
  jet::JetDatabaseWriter writer;
  ASSERT_TRUE(writer.create(path).ok());
  ASSERT_TRUE(writer
                  .addTable({"Products",
                             {{.name = "Id", .type = jet::JetType::Long},
                              {.name = "Name", .type = jet::JetType::Text, .size = 50}}})
                  .ok());
  for (const auto& [id, name] : {std::pair{1, "chai"}, {2, "chang"}, {3, "chai"}})
    ASSERT_TRUE(writer.appendRow("Products", {std::int64_t{id}, std::string(name)}).ok());
  ASSERT_TRUE(writer
                  .addQuery({.name = "Plain Names",
                             .tables = {{"Products", ""}},
                             .columns = {{"Id", ""}, {"[Name]", "Label"}}})
                  .ok());
  // [Label] is a column of the query it reads; [Which name?] is no column
  // of it, and the form's control is a value too.
  ASSERT_TRUE(
      writer
          .addQuery({.name = "Asked Names",
                     .tables = {{"Plain Names", ""}},
                     .columns = {{"[Label]", ""}, {"[Id]", ""}},
                     .where = "[Label] = [Which name?] And [Id] >= [Forms]![Picker]![Least]"})
          .ok());
  ASSERT_TRUE(writer.finish().ok());
  connect(path, "", "InnoDB");
  if (HasFatalFailure()) return;
  const std::string db = createTargetDatabase("asking");
  ASSERT_NE(migrate("Tables", "", db), nullptr);
  ASSERT_NE(migrate("Views", "", db), nullptr);
  EXPECT_THAT(objects(db, "VIEW"), ElementsAre("Plain Names"));
  EXPECT_THAT(objects(db, "PROCEDURE"), ElementsAre("Asked Names"));
  EXPECT_THAT(query("call `" + db + "`.`Asked Names`('chai', 2)"), ElementsAre("chai"));
  EXPECT_THAT(query("call `" + db + "`.`Asked Names`('chai', 1)"), ElementsAre("chai", "chai"));
}

}  // namespace
}  // namespace tablift::test
