#include "data_access/error_texts.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <thread>

#include "data_access/oledb_messages.h"

namespace tablift {
namespace {

TEST(ResultCodes, SeverityBitDecidesFailure) {
  EXPECT_TRUE(Succeeded(S_OK));
  EXPECT_TRUE(Succeeded(S_FALSE));
  EXPECT_TRUE(Succeeded(DB_S_ENDOFROWSET));
  EXPECT_TRUE(Succeeded(DB_S_ERRORSOCCURRED));
  EXPECT_TRUE(Failed(E_FAIL));
  EXPECT_TRUE(Failed(DB_E_ERRORSOCCURRED));
  EXPECT_TRUE(Failed(E_UNEXPECTED));
  EXPECT_FALSE(Failed(DB_S_ENDOFROWSET));
}

TEST(ResultMessages, DocumentedTextsOfTheCodesTheProgramMeets) {
  EXPECT_EQ(LookupResultMessage(DB_E_ERRORSINCOMMAND),
            "One or more errors occurred during processing of command.");
  EXPECT_EQ(LookupResultMessage(DB_S_ENDOFROWSET),
            "Start or end of rowset or chapter was reached.");
  EXPECT_EQ(LookupResultMessage(DB_E_NOTABLE), "Table does not exist.");
  EXPECT_EQ(LookupResultMessage(DB_SEC_E_AUTH_FAILED), "Authentication failed.");
  EXPECT_EQ(LookupResultMessage(E_FAIL), "Unspecified error");
  EXPECT_EQ(LookupResultMessage(E_NOINTERFACE), "No such interface supported");
  EXPECT_EQ(LookupResultMessage(E_INVALIDARG), "The parameter is incorrect.");
  EXPECT_EQ(LookupResultMessage(REGDB_E_CLASSNOTREG), "Class not registered");
  EXPECT_EQ(LookupResultMessage(CO_E_CLASSSTRING), "Invalid class string");
  EXPECT_EQ(LookupResultMessage(MakeResult(0x80041234)), "");
}

TEST(DescribeStepFailure, FillsTheThreeLineFormatExactly) {
  EXPECT_EQ(DescribeStepFailure(DB_E_ERRORSINCOMMAND, "Database Init"),
            "Database Init \r\n failed with error code:[0x80040e14] \r\n discription:"
            "One or more errors occurred during processing of command.");
  EXPECT_EQ(DescribeStepFailure(DB_S_ENDOFROWSET, "Bind Entry"),
            "Bind Entry \r\n failed with error code:[0x00040ec6] \r\n discription:"
            "Start or end of rowset or chapter was reached.");
  EXPECT_EQ(DescribeStepFailure(REGDB_E_CLASSNOTREG, "Create DB"),
            "Create DB \r\n failed with error code:[0x80040154] \r\n discription:"
            "Class not registered");
}

TEST(DescribeStepFailure, UnknownCodeGivesAnEmptyMessage) {
  EXPECT_EQ(DescribeStepFailure(MakeResult(0x8004DEAD), "Drop Database"),
            "Drop Database \r\n failed with error code:[0x8004dead] \r\n discription:");
}

TEST(DescribeSystemError, UsesTheErrorNumberAndItsDescription) {
  EXPECT_EQ(
      DescribeSystemError("No Connection!", ENOENT),
      std::string("No Connection! \r\n failed with error code:[0x00000002] \r\n discription:") +
          std::strerror(ENOENT));
  errno = EACCES;
  EXPECT_EQ(DescribeSystemError("Main Controller Error!"),
            std::string("Main Controller Error! \r\n failed with error code:[0x0000000d] \r\n "
                        "discription:") +
                std::strerror(EACCES));
}

// A data access object that answers the support test for one interface only.
class FakeObject : public ErrorInfoSupport {
 public:
  explicit FakeObject(HResult answer, InterfaceId supported = InterfaceId::ICommandPrepare)
      : answer_(answer), supported_(supported) {}
  HResult InterfaceSupportsErrorInfo(InterfaceId iid) const override {
    return iid == supported_ ? answer_ : E_NOINTERFACE;
  }

 private:
  HResult answer_;
  InterfaceId supported_;
};

ErrorRecord Record(std::string description) {
  ErrorRecord record;
  record.description = std::move(description);
  record.source = "Microsoft JET Database Engine";
  return record;
}

class DescribeOleDbErrorTest : public testing::Test {
 protected:
  void SetUp() override { ClearThreadErrorObject(); }
  void TearDown() override { ClearThreadErrorObject(); }

  FakeObject command_{S_OK};
};

TEST_F(DescribeOleDbErrorTest, NothingToReadIsUnknownError) {
  PostError("Syntax error in FROM clause.", "Jet");
  EXPECT_EQ(DescribeOleDbError(nullptr, InterfaceId::ICommandPrepare), "Unknown Error!");

  // The support test failing: the error object is not even looked at.
  EXPECT_EQ(DescribeOleDbError(&command_, InterfaceId::IColumnsInfo), "Unknown Error!");
  EXPECT_EQ(DescribeOleDbError(&command_, InterfaceId::ICommandPrepare),
            "Syntax error in FROM clause.");

  // No error object left on the thread.
  EXPECT_EQ(DescribeOleDbError(&command_, InterfaceId::ICommandPrepare), "Unknown Error!");

  ErrorObject no_records;
  no_records.own = Record("ignored");
  no_records.records.emplace();
  SetThreadErrorObject(no_records);
  EXPECT_EQ(DescribeOleDbError(&command_, InterfaceId::ICommandPrepare), "Unknown Error!");
}

TEST_F(DescribeOleDbErrorTest, ReadsTheFirstRecordOrTheErrorObjectItself) {
  ErrorObject several;
  several.own = Record("object text");
  several.records.emplace();
  several.records->push_back(Record("first record"));
  several.records->push_back(Record("second record"));
  SetThreadErrorObject(several);
  EXPECT_EQ(DescribeOleDbError(&command_, InterfaceId::ICommandPrepare), "first record");

  ErrorObject without_record_list;
  without_record_list.own = Record("object text");
  SetThreadErrorObject(without_record_list);
  EXPECT_EQ(DescribeOleDbError(&command_, InterfaceId::ICommandPrepare), "object text");

  ErrorObject unreadable_first;
  unreadable_first.own = Record("object text");
  unreadable_first.records.emplace();
  unreadable_first.records->push_back(std::nullopt);
  unreadable_first.records->push_back(Record("second record"));
  SetThreadErrorObject(unreadable_first);
  EXPECT_EQ(DescribeOleDbError(&command_, InterfaceId::ICommandPrepare), "");
}

TEST_F(DescribeOleDbErrorTest, SupportAnswerFalseStillReadsTheRecords) {
  const FakeObject data_source(S_FALSE, InterfaceId::IDBInitialize);
  PostError("Could not find file 'x.mdb'.", "Jet");
  EXPECT_EQ(DescribeOleDbError(&data_source, InterfaceId::IDBInitialize),
            "Could not find file 'x.mdb'.");
}

TEST_F(DescribeOleDbErrorTest, ErrorObjectsBelongToTheirThread) {
  PostError("controller failure", "ODBC");
  std::optional<ErrorObject> seen_elsewhere = ErrorObject{};
  std::string described_elsewhere;
  std::thread other([&] {
    seen_elsewhere = TakeThreadErrorObject();
    PostError("other thread failure", "ODBC");
    described_elsewhere = DescribeOleDbError(&command_, InterfaceId::ICommandPrepare);
  });
  other.join();
  EXPECT_FALSE(seen_elsewhere.has_value());
  EXPECT_EQ(described_elsewhere, "other thread failure");
  EXPECT_EQ(DescribeOleDbError(&command_, InterfaceId::ICommandPrepare), "controller failure");
}

TEST_F(DescribeOleDbErrorTest, PostErrorLeavesOneRecordWithTheSource) {
  PostError("Table 'x' doesn't exist", "MSDASQL");
  const std::optional<ErrorObject> taken = TakeThreadErrorObject();
  ASSERT_TRUE(taken.has_value());
  ASSERT_TRUE(taken->records.has_value());
  ASSERT_EQ(taken->records->size(), 1u);
  ASSERT_TRUE(taken->records->front().has_value());
  EXPECT_EQ(taken->records->front()->source, "MSDASQL");
  EXPECT_EQ(taken->records->front()->description, "Table 'x' doesn't exist");
  EXPECT_FALSE(TakeThreadErrorObject().has_value());
}

}  // namespace
}  // namespace tablift
