#include "data_access/odbc/odbc_connection_string.h"

#include <gtest/gtest.h>

namespace tablift::odbc {
namespace {

TEST(OdbcConnectionStringTest, ProviderStringWithLeadingSeparatorGetsTheProfilesCredentials) {
  PropertySet set(PropertySetId::DBInit);
  set.addBool(DBPROP_AUTH_MASK_PASSWORD, false);
  set.addString(DBPROP_AUTH_PASSWORD, std::string("p;w}d"));
  set.addString(DBPROP_AUTH_USERID, std::string("migrator"));
  set.addString(DBPROP_INIT_PROVIDERSTRING,
                std::string(";Driver={First};SERVER=h;PORT=1;UID=root;"));
  // The last provider string is the one in force; the catalog follows
  // "UID=root;" directly, as the target's strings have it.
  set.addString(DBPROP_INIT_PROVIDERSTRING,
                std::string(";Driver={MariaDB Unicode};SERVER=127.0.0.1;PORT=3307;UID=root;"
                            "Database=shop"));
  set.addInt32(DBPROP_INIT_MODE, DB_MODE_SHARE_DENY_NONE);
  const std::string text = BuildConnectionString(ReadInitProperties({set}), "latin1");
  EXPECT_EQ(text,
            "Driver={MariaDB Unicode};SERVER=127.0.0.1;PORT=3307;Database=shop;UID=migrator;"
            "PWD={p;w}}d};CHARSET=latin1;");
}

TEST(OdbcConnectionStringTest, DataSourceModeNamesTheDsnAndCatalog) {
  PropertySet set(PropertySetId::DBInit);
  set.addString(DBPROP_AUTH_PASSWORD, std::nullopt);
  set.addString(DBPROP_AUTH_USERID, std::string(""));
  set.addString(DBPROP_INIT_DATASOURCE, std::string("mysql-target"));
  set.addString(DBPROP_INIT_CATALOG, std::string("sales db"));
  EXPECT_EQ(BuildConnectionString(ReadInitProperties({set}), "latin1"),
            "DSN=mysql-target;DATABASE=sales db;CHARSET=latin1;");
}

TEST(OdbcConnectionStringTest, ParsingKeepsBracedValuesWhole) {
  const std::vector<Attribute> attributes =
      ParseConnectionString(" DRIVER = {A;B} ;;PWD={x}}y;z};noequals;CHARSET=utf8");
  ASSERT_EQ(attributes.size(), 3u);
  EXPECT_EQ(attributes[0], (Attribute{"DRIVER", "A;B"}));
  EXPECT_EQ(attributes[1], (Attribute{"PWD", "x}y;z"}));
  EXPECT_EQ(attributes[2], (Attribute{"CHARSET", "utf8"}));
  EXPECT_EQ(ConnectionStringValue(" lead"), "{ lead}");
  EXPECT_EQ(ConnectionStringValue("plain"), "plain");
}

}  // namespace
}  // namespace tablift::odbc
