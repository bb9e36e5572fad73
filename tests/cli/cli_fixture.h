#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/scripted_prompter.h"
#include "engine/workbench.h"
#include "tests/support/private_server.h"
#include "tests/support/run_program.h"
#include "tests/support/test_paths.h"

namespace tablift::test {

// The built tablift-cli against the private server: a folder of the test's
// own (its program directory too, so no saved settings or conditions of
// another run are read), the sample database written there by the program,
// and a workbench connected to the server to look at what arrived.
class CliTest : public ::testing::Test {
 protected:
  void SetUp() override;

  // "--server HOST:PORT --user USER --password PASSWORD" of the private server.
  std::vector<std::string> serverOptions(const std::string& password) const;
  std::vector<std::string> serverOptions() const { return serverOptions(server_->password); }
  // Runs tablift-cli with `arguments` (the program's name is put in front).
  ProgramRun cli(std::vector<std::string> arguments) const;
  // The sample database with `rows` rows in its big tables, written once per
  // test by `tablift-cli sample`.
  std::filesystem::path sample(std::uint64_t rows);

  ScopedTempDir temp_;
  ScopedEnvironment home_{"TABLIFT_HOME", temp_.path().string()};
  std::optional<PrivateServer> server_;
  ScriptedPrompter prompter_;
  Workbench window_{prompter_};
};

}  // namespace tablift::test
