#include "tests/support/target_connection.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <atomic>
#include <chrono>

#include "data_access/error_texts.h"
#include "data_access/provider_registry.h"
#include "data_access/text_query.h"
#include "mysql/execute_statement.h"

namespace tablift::test {

bool ConnectTarget(Workbench& window, const PrivateServer& server, const std::string& database) {
  Connection& target = window.targetConnection();
  target.close();
  target.profile.progId = "MSDASQL";
  target.profile.catalogName = database;
  Clsid clsid = nullptr;
  if (Failed(CLSIDFromProgID("MSDASQL", clsid))) {
    ADD_FAILURE() << "no MSDASQL provider";
    return false;
  }
  PropertySet init(PropertySetId::DBInit);
  init.addString(DBPROP_INIT_PROVIDERSTRING, server.odbcConnectionString(database));
  if (Failed(target.dataSource.open(clsid, &init, 1))) {
    ADD_FAILURE() << DescribeOleDbError(&target.dataSource, InterfaceId::IDBInitialize);
    return false;
  }
  auto session = std::make_shared<Session>();
  if (Failed(session->open(target.dataSource))) {
    ADD_FAILURE() << "no session";
    return false;
  }
  target.session = session;
  std::string name;
  std::string version;
  ReadDataSourceInfo(target.dataSource, DBPROP_DBMSNAME, name);
  ReadDataSourceInfo(target.dataSource, DBPROP_DBMSVER, version);
  target.dbmsVersion = version;
  target.setDbmsName(name + "[" + version + "]");
  return true;
}

ScratchDatabase::ScratchDatabase(Workbench& window, const std::string& prefix) : window_(window) {
  static std::atomic<int> counter{0};
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count() % 1000000007;
  name_ = prefix + "_" + std::to_string(getpid()) + "_" + std::to_string(stamp) + "_" +
          std::to_string(++counter);
  ExecuteOrFail(window_, "create database `" + name_ + "`");
}

ScratchDatabase::~ScratchDatabase() {
  ExecuteStatement(window_, window_.targetConnection().openSession(),
                   "drop database if exists `" + name_ + "`")
      .ok();
}

void ExecuteOrFail(Workbench& window, const std::string& sql) {
  Session* session = window.targetConnection().openSession();
  ASSERT_NE(session, nullptr);
  const std::size_t before = window.output().size();
  if (!ExecuteStatement(window, session, sql, Report::Outcome).ok()) {
    const auto lines = window.output().lines();
    ADD_FAILURE() << "not accepted: " << sql << "\n"
                  << (lines.size() > before || !lines.empty() ? lines.back().text : "");
  }
}

std::vector<std::string> QueryColumn(Workbench& window, const std::string& sql) {
  std::vector<std::string> values;
  const PropertySet properties = QueryRowsetProperties();
  const std::string failure = RunTextQuery(window.targetConnection().openSession(), sql,
                                           &properties, [&](const TextRow& row) {
                                             ColumnValue value;
                                             if (Succeeded(row.fullValue(1, value))) {
                                               values.push_back(value.null ? "NULL" : value.text);
                                             }
                                             return true;
                                           });
  EXPECT_EQ(failure, "") << sql;
  return values;
}

}  // namespace tablift::test
