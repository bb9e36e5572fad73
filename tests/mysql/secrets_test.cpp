// Passwords stay out of everything that is shown: log lines, message boxes,
// hints and provider texts, whichever way a connection fails.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/scripted_prompter.h"
#include "data_access/secret_masking.h"
#include "engine/connect_side.h"
#include "engine/output_pane.h"
#include "engine/workbench.h"
#include "tests/support/private_server.h"

namespace tablift::test {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

TEST(SecretMaskingTest, PasswordValuesOfConnectionStringsAreMasked) {
  EXPECT_EQ(MaskPasswords("DRIVER={MariaDB};UID=me;PWD=s3cret;DATABASE=shop;"),
            "DRIVER={MariaDB};UID=me;PWD=****;DATABASE=shop;");
  // Braced values may hold ';' and doubled braces.
  EXPECT_EQ(MaskPasswords("PWD={a;b}}c};PORT=1"), "PWD=****;PORT=1");
  EXPECT_EQ(MaskPasswords("uid=x; pwd = open sesame"), "uid=x; pwd = ****");
  EXPECT_EQ(MaskPasswords("Password=xyz;Password=abc"), "Password=****;Password=****");
  // An unbraced value runs to the next ';': what follows is masked with it.
  EXPECT_EQ(MaskPasswords("failed for 'DSN=x;PWD=y' at 3"), "failed for 'DSN=x;PWD=****");
  // Words that only look like the keys stay.
  EXPECT_EQ(MaskPasswords("Access denied (using password: YES)"),
            "Access denied (using password: YES)");
  EXPECT_EQ(MaskPasswords("UPWD=x;MyPassword=y"), "UPWD=x;MyPassword=y");
  EXPECT_EQ(MaskPasswords(""), "");
}

class ConnectionSecretsTest : public ::testing::Test {
 protected:
  static constexpr const char* kPassword = "Hunter2-PWD=secret;";

  // Everything the user was shown while the target side connected.
  std::vector<std::string> shownWhileConnecting(const std::string& address,
                                                const std::string& password) {
    ScriptedPrompter prompter;
    Workbench window(prompter);
    window.targetProfile() = {"TCP/IP:Port", "MSDASQL", address, "", server_->user, password};
    ConnectTarget(window);
    std::vector<std::string> shown;
    for (const LogLine& line : window.output().lines())
      shown.push_back(line.text);
    for (const auto& prompt : prompter.prompts())
      shown.push_back(prompt.text);
    return shown;
  }

  void SetUp() override {
    server_ = PrivateServerFromEnvironment();
    if (!server_) GTEST_SKIP() << "the private server is not running";
  }

  std::optional<PrivateServer> server_;
};

TEST_F(ConnectionSecretsTest, FailedConnectionsNeverShowThePassword) {
  const std::string address = server_->host + ":" + std::to_string(server_->port);
  // A wrong password: the server refuses.
  const auto refused = shownWhileConnecting(address, kPassword);
  EXPECT_THAT(refused, ::testing::Contains("Target Connection error!"));
  for (const std::string& text : refused)
    EXPECT_THAT(text, Not(HasSubstr("Hunter2"))) << text;
  // Nobody listening on the port.
  for (const std::string& text : shownWhileConnecting(server_->host + ":1", kPassword))
    EXPECT_THAT(text, Not(HasSubstr("Hunter2"))) << text;
}

}  // namespace
}  // namespace tablift::test
