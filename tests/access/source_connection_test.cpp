// Opening the Access side: its initialisation properties, connecting it,
// and switching it to another database file.

#include <gtest/gtest.h>

#include <filesystem>

#include "access/source_init_properties.h"
#include "access/source_version.h"
#include "engine/connect_side.h"
#include "engine/select_database.h"
#include "tests/support/access_source.h"

namespace tablift {
namespace {

namespace fs = std::filesystem;

std::string Text(const PropertyValue& value) {
  return std::get<PropertyString>(value).value_or("<null>");
}

TEST(SourceInitPropertiesTest, TheJetSetInOrderAndTheDatabaseName) {
  ConnectionProfile profile{"Access", "microsoft.jet.oledb.4.0", "/data/shop.mdb", "old", "admin",
                            "secret"};
  PropertySet set(PropertySetId::DBInit);
  ASSERT_TRUE(BuildSourceInitProperties(profile, set));
  const auto& p = set.properties();
  ASSERT_EQ(p.size(), 11u);
  const PropertyId ids[] = {DBPROP_AUTH_CACHE_AUTHINFO, DBPROP_AUTH_ENCRYPT_PASSWORD,
                            DBPROP_AUTH_MASK_PASSWORD,  DBPROP_AUTH_PASSWORD,
                            DBPROP_AUTH_USERID,         DBPROP_INIT_DATASOURCE,
                            DBPROP_INIT_CATALOG,        DBPROP_INIT_MODE,
                            DBPROP_INIT_PROMPT,         DBPROP_INIT_LCID,
                            DBPROP_INIT_PROVIDERSTRING};
  for (std::size_t i = 0; i < p.size(); ++i)
    EXPECT_EQ(p[i].id, ids[i]) << i;
  EXPECT_EQ(std::get<bool>(p[0].value), true);
  EXPECT_EQ(std::get<bool>(p[1].value), false);
  EXPECT_EQ(std::get<bool>(p[2].value), false);
  EXPECT_EQ(Text(p[3].value), "secret");
  EXPECT_EQ(Text(p[4].value), "admin");
  EXPECT_EQ(Text(p[5].value), "/data/shop.mdb");
  EXPECT_EQ(Text(p[6].value), "old");  // the catalog as it was before
  EXPECT_EQ(std::get<std::int32_t>(p[7].value), 0x10);
  EXPECT_EQ(std::get<std::int16_t>(p[8].value), 4);
  EXPECT_EQ(std::get<std::int32_t>(p[9].value), 0x409);
  EXPECT_EQ(Text(p[10].value), ";COUNTRY=0;CP=1252;LANGID=0x0409");
  EXPECT_EQ(profile.catalogName, "/data/shop");

  // Only a trailing ".mdb" in lower case goes; empty names are left out.
  profile.sourceName = "/data/SHOP.MDB";
  profile.catalogName.clear();
  PropertySet upper(PropertySetId::DBInit);
  BuildSourceInitProperties(profile, upper);
  EXPECT_EQ(upper.properties().size(), 10u);
  EXPECT_EQ(upper.find(DBPROP_INIT_CATALOG), nullptr);
  EXPECT_EQ(profile.catalogName, "/data/SHOP.MDB");
  profile.sourceName = "/data/xmdb";
  BuildSourceInitProperties(profile, upper);
  EXPECT_EQ(profile.catalogName, "/data/xmdb");
}

TEST(SourceInitPropertiesTest, OtherProvidersGoThroughTheAccessOdbcDriver) {
  test::ScopedEnvironment home("HOME", "/home/someone");
  test::ScopedEnvironment profileFolder("USERPROFILE", std::nullopt);
  ConnectionProfile profile{"ODBC", "MSDASQL", "", "", "", ""};
  PropertySet set(PropertySetId::DBInit);
  BuildSourceInitProperties(profile, set);
  EXPECT_EQ(set.find(DBPROP_INIT_DATASOURCE), nullptr);
  EXPECT_EQ(Text(*set.find(DBPROP_INIT_PROVIDERSTRING)),
            "Driver={Microsoft Access Driver (*.mdb)};SystemDB=/home/someone/Application "
            "Data/Microsoft/Access/System.MDW;");
  EXPECT_EQ(profile.catalogName, "");
}

class SourceConnectionTest : public test::JetSourceTest {
 protected:
  fs::path workgroup() const {
    return temp_.path() / "home" / "Application Data" / "Microsoft" / "Access" / "System.MDW";
  }
};

TEST_F(SourceConnectionTest, ConnectingTheSourceOpensTheFileAndNamesTheEngine) {
  test::WriteTables(temp_.path() / "shop.mdb", {{"Orders", {{"Id", jet::JetType::Long}}}});
  // A directory in place of the workgroup file is replaced by the file.
  fs::create_directories(workgroup());
  connectSource(temp_.path() / "shop.mdb");
  EXPECT_TRUE(fs::is_regular_file(workgroup()));
  EXPECT_EQ(window_.sourceConnection().dbmsName(), "MS Jet[04.00.0000]");
  EXPECT_EQ(window_.sourceProfile().catalogName, (temp_.path() / "shop").string());
  // The source tree shows the database with its table.
  EXPECT_EQ(window_.treeDatabasePath(Workbench::kSourceSide), (temp_.path() / "shop").string());
  const CatalogNode root = window_.sourceTree().nodes();
  ASSERT_EQ(root.children.size(), 1u);
  EXPECT_EQ(root.children[0].text, (temp_.path() / "shop").string());
  ASSERT_FALSE(root.children[0].children.empty());
  ASSERT_FALSE(root.children[0].children[0].children.empty());
  EXPECT_EQ(root.children[0].children[0].children[0].text, "Orders");
  const auto lines = logTexts();
  EXPECT_NE(std::find(lines.begin(), lines.end(), "Connect Source Database!"), lines.end());
  // The connection's result, then the file's format.
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[lines.size() - 2], "RESULT: The operation completed SUCCESSFULLY");
  EXPECT_EQ(lines.back(), "Access file format: Jet 4");
  EXPECT_EQ(SourceVersion(window_, source()), "");
}

TEST_F(SourceConnectionTest, AFileThatCannotBeOpenedLeavesTheSourceClosed) {
  window_.sourceProfile().progId = "Microsoft.Jet.OLEDB.4.0";
  window_.sourceProfile().sourceName = (temp_.path() / "missing.mdb").string();
  ConnectSource(window_);
  EXPECT_EQ(window_.sourceSession(), nullptr);
  EXPECT_EQ(prompter_.texts(ScriptedPrompter::Kind::Hint),
            std::vector<std::string>{
                "Source Connection error! Please confirm source database connection properties !"});
  EXPECT_EQ(prompter_.texts(ScriptedPrompter::Kind::Message),
            std::vector<std::string>{"Source Connection error!"});
  EXPECT_EQ(SourceVersion(window_, nullptr), "No Connection!");
}

TEST_F(SourceConnectionTest, SelectingADatabaseReconnectsTheSourceToThatFile) {
  test::WriteTables(temp_.path() / "first.mdb", {{"One", {{"Id", jet::JetType::Long}}}});
  test::WriteTables(temp_.path() / "second.mdb", {{"Two", {{"Id", jet::JetType::Long}}}});
  test::WriteTables(temp_.path() / "THIRD.MDB", {{"Three", {{"Id", jet::JetType::Long}}}});
  connectSource(temp_.path() / "first.mdb");

  // A database name is the path without its ending, with either separator.
  ASSERT_TRUE(SelectDatabase(window_, (temp_.path() / "second").string(), Workbench::kSourceSide));
  ASSERT_NE(source(), nullptr);
  EXPECT_EQ(window_.sourceProfile().sourceName, (temp_.path() / "second.mdb").string());
  EXPECT_EQ(window_.sourceProfile().catalogName, (temp_.path() / "second").string());

  // An upper-case ending is an ending: no second one is added.
  ASSERT_TRUE(
      SelectDatabase(window_, (temp_.path() / "THIRD.MDB").string(), Workbench::kSourceSide));
  ASSERT_NE(source(), nullptr);
  EXPECT_EQ(window_.sourceProfile().sourceName, (temp_.path() / "THIRD.MDB").string());

  // A bare name is looked for in the folder of the target tree's database,
  // whichever separator that path uses.
  window_.setTreeDatabasePath(Workbench::kTargetSide, temp_.path().string() + "\\x");
  ASSERT_TRUE(SelectDatabase(window_, "first", Workbench::kSourceSide));
  EXPECT_EQ(window_.sourceProfile().sourceName, temp_.path().string() + "\\first.mdb");
  window_.setTreeDatabasePath(Workbench::kTargetSide, (temp_.path() / "x").string());
  ASSERT_TRUE(SelectDatabase(window_, "first", Workbench::kSourceSide));
  EXPECT_EQ(window_.sourceProfile().sourceName, (temp_.path() / "first.mdb").string());
  ASSERT_NE(source(), nullptr);
}

}  // namespace
}  // namespace tablift
