#include <gtest/gtest.h>

#include "mysql/cluster_target.h"
#include "translate/cluster_row_key.h"

namespace tablift {
namespace {

// The key column never takes the name of an Access column, whatever its case.
TEST(ClusterRowKeyTest, KeyColumnAvoidsTheTablesOwnColumns) {
  EXPECT_EQ(ClusterRowKeyColumn("CREATE TABLE `t` (`a` INT)"), "tablift_row_id");
  EXPECT_EQ(ClusterRowKeyColumn("CREATE TABLE `t` (`Tablift_Row_ID` INT, `tablift_row_id_2` INT)"),
            "tablift_row_id_3");
  // A column whose name only starts the same way is no collision.
  EXPECT_EQ(ClusterRowKeyColumn("CREATE TABLE `t` (`tablift_row_ids` INT)"), "tablift_row_id");
  EXPECT_EQ(ClusterRowKeyStatement("Order Lines", "tablift_row_id"),
            "ALTER TABLE `Order Lines` ADD COLUMN `tablift_row_id` BIGINT UNSIGNED NOT NULL "
            "AUTO_INCREMENT INVISIBLE, ADD PRIMARY KEY (`tablift_row_id`)");
  // Beside an AutoNumber the server cannot number a second column.
  EXPECT_EQ(ClusterRowKeyStatement("t", "k", true),
            "ALTER TABLE `t` ADD COLUMN `k` BIGINT UNSIGNED NOT NULL DEFAULT UUID_SHORT() "
            "INVISIBLE, ADD PRIMARY KEY (`k`)");
}

// Pieces stay under the cluster's limits; a server on its own keeps one
// transaction per table, and so does a cluster without limits on rows.
TEST(ClusterRowKeyTest, WriteSetLimitsBecomeCommitPieces) {
  TableLoad alone;
  LimitLoadToWriteSets(ClusterTarget{}, alone);
  EXPECT_EQ(alone.commitEveryRows, 0u);
  EXPECT_EQ(alone.commitEveryBytes, 0u);

  TableLoad galera;
  LimitLoadToWriteSets({ClusterKind::Galera, 3, 20000, 1000000}, galera);
  EXPECT_GT(galera.commitEveryRows, 0u);
  EXPECT_LT(galera.commitEveryRows, 20000u);
  EXPECT_GT(galera.commitEveryBytes, 0u);
  EXPECT_LT(galera.commitEveryBytes, 1000000u);

  TableLoad group;
  LimitLoadToWriteSets({ClusterKind::GroupReplication, 5, 0, 150000000}, group);
  EXPECT_EQ(group.commitEveryRows, 0u);
  EXPECT_GT(group.commitEveryBytes, 0u);
  EXPECT_EQ(DescribeClusterTarget({ClusterKind::GroupReplication, 5, 0, 150000000}),
            "Group Replication member (5 nodes; a transaction may change at most 150000000 bytes)");
  EXPECT_EQ(DescribeClusterTarget(ClusterTarget{}), "");
}

}  // namespace
}  // namespace tablift
