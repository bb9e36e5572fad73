#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/scripted_prompter.h"
#include "data_access/jet/writer/table_design.h"
#include "engine/workbench.h"
#include "tests/support/test_paths.h"

namespace tablift::test {

// Writes a Jet 4 database holding the given (empty) tables; fails the test
// when the writer refuses.
void WriteTables(const std::filesystem::path& path, const std::vector<jet::TableDesign>& tables);

// A workbench whose source side can be connected to Access files: the home
// folder (where the workgroup file goes) is a temporary one.
class JetSourceTest : public ::testing::Test {
 protected:
  JetSourceTest();

  // Points the source profile at the Jet provider and `path`, then connects
  // the source; fails the test when no session opens.
  void connectSource(const std::filesystem::path& path);
  Session* source() { return window_.sourceSession(); }
  // The texts of the log lines, without their timestamps.
  std::vector<std::string> logTexts() const;

  ScopedTempDir temp_;
  ScopedEnvironment home_;
  ScopedEnvironment profile_;
  ScriptedPrompter prompter_;
  Workbench window_{prompter_};
};

}  // namespace tablift::test
