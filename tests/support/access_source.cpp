#include <gtest/gtest.h>

#include "tests/support/access_source.h"

#include "data_access/jet/writer/jet_database_writer.h"
#include "engine/connect_side.h"

namespace tablift::test {

void WriteTables(const std::filesystem::path& path, const std::vector<jet::TableDesign>& tables) {
  jet::JetDatabaseWriter writer;
  ASSERT_TRUE(writer.create(path).ok());
  for (const jet::TableDesign& table : tables) {
    const jet::WriteStatus status = writer.addTable(table);
    ASSERT_TRUE(status.ok()) << table.name << ": " << status.message();
  }
  ASSERT_TRUE(writer.finish().ok());
}

JetSourceTest::JetSourceTest()
    : home_("HOME", (temp_.path() / "home").string()), profile_("USERPROFILE", std::nullopt) {
  std::filesystem::create_directories(temp_.path() / "home");
}

void JetSourceTest::connectSource(const std::filesystem::path& path) {
  window_.sourceProfile().progId = "Microsoft.Jet.OLEDB.4.0";
  window_.sourceProfile().sourceName = path.string();
  tablift::ConnectSource(window_);
  ASSERT_NE(window_.sourceSession(), nullptr) << path;
}

std::vector<std::string> JetSourceTest::logTexts() const {
  std::vector<std::string> texts;
  for (const LogLine& line : const_cast<Workbench&>(window_).output().lines()) {
    // Past the timestamp "MM/DD/YY HH:MM:SS:mmm " and its blank.
    texts.push_back(line.text.size() > 24 ? line.text.substr(24) : line.text);
  }
  return texts;
}

}  // namespace tablift::test
