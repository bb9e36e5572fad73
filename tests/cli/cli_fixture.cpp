#include "tests/cli/cli_fixture.h"

#include "tests/support/target_connection.h"

namespace tablift::test {

void CliTest::SetUp() {
  server_ = PrivateServerFromEnvironment();
  ASSERT_TRUE(server_.has_value()) << "the private MariaDB server is not running";
  ASSERT_TRUE(ConnectTarget(window_, *server_));
}

std::vector<std::string> CliTest::serverOptions(const std::string& password) const {
  return {"--server",   server_->host + ":" + std::to_string(server_->port),
          "--user",     server_->user,
          "--password", password};
}

ProgramRun CliTest::cli(std::vector<std::string> arguments) const {
  arguments.insert(arguments.begin(), TABLIFT_CLI_PROGRAM);
  return RunProgram(arguments, temp_.path());
}

std::filesystem::path CliTest::sample(std::uint64_t rows) {
  const std::filesystem::path path = temp_.path() / "shop.mdb";
  if (std::filesystem::exists(path)) return path;
  const ProgramRun written = cli({"sample", path.string(), "--rows", std::to_string(rows)});
  EXPECT_EQ(written.exitCode, 0) << written.output;
  return path;
}

}  // namespace tablift::test
