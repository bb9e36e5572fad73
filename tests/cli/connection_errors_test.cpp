// What tablift-cli says when it cannot reach the server, or the database it
// is told to migrate into is not there.
#include <arpa/inet.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "tests/cli/cli_fixture.h"
#include "tests/support/target_connection.h"

namespace tablift::test {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

// A loopback port that is bound but not listening: a connection there is
// refused, and no other program can take the port meanwhile.
class DeadPort {
 public:
  DeadPort() : socket_(::socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length) == 0)
      port_ = ntohs(address.sin_port);
  }
  ~DeadPort() { ::close(socket_); }
  DeadPort(const DeadPort&) = delete;
  DeadPort& operator=(const DeadPort&) = delete;
  int port() const { return port_; }

 private:
  int socket_;
  int port_ = 0;
};

using ConnectionErrors = CliTest;

TEST_F(ConnectionErrors, AWrongPasswordShowsTheServersReasonWithThePasswordMasked) {
  const std::string wrong = "not-the-Secret-42";
  std::vector<std::string> arguments{"migrate", sample(10).string()};
  for (const std::string& option : serverOptions(wrong))
    arguments.push_back(option);
  const ProgramRun run = cli(arguments);
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_THAT(run.output, HasSubstr("Access denied for user '" + server_->user + "'"));
  EXPECT_THAT(run.output, HasSubstr("cannot connect to the MySQL server " + server_->host + ":" +
                                    std::to_string(server_->port) + ": Access denied"));
  EXPECT_THAT(run.output, Not(HasSubstr(wrong)));
}

TEST_F(ConnectionErrors, APortWhereNothingListensShowsTheDriversReason) {
  const DeadPort dead;
  ASSERT_NE(dead.port(), 0);
  const std::string address = "127.0.0.1:" + std::to_string(dead.port());
  const ProgramRun run = cli({"migrate", sample(10).string(), "--server", address, "--user", "root",
                              "--password", "pw-Secret-7"});
  EXPECT_EQ(run.exitCode, 1);
  // MariaDB Connector/ODBC's words for a refused connection.
  EXPECT_THAT(run.output, HasSubstr("cannot connect to the MySQL server " + address +
                                    ": Can't connect to server on '127.0.0.1'"));
  EXPECT_THAT(run.output, Not(HasSubstr("pw-Secret-7")));
}

TEST_F(ConnectionErrors, AMissingDatabaseIsNamedWithTheCommandThatMakesItOrMadeWithCreate) {
  const std::string name = "cli missing " + std::to_string(::getpid());
  ExecuteOrFail(window_, "DROP DATABASE IF EXISTS `" + name + "`");
  std::vector<std::string> arguments{"migrate", sample(10).string(), "--database",
                                     name,      "--table",           "Shippers"};
  for (const std::string& option : serverOptions())
    arguments.push_back(option);

  const ProgramRun refused = cli(arguments);
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_THAT(refused.output, HasSubstr("the server has no database [" + name + "]"));
  EXPECT_THAT(refused.output, HasSubstr("add --create"));
  // The exact command, the password left for the user to type.
  EXPECT_THAT(refused.output, HasSubstr("tablift-cli db create '`" + name + "`' --server " +
                                        server_->host + ":" + std::to_string(server_->port) +
                                        " --user " + server_->user + " --password PASSWORD"));
  EXPECT_THAT(refused.output, Not(HasSubstr(server_->password)));
  EXPECT_TRUE(QueryColumn(window_, "SHOW DATABASES LIKE '" + name + "'").empty());

  arguments.push_back("--create");
  const ProgramRun created = cli(arguments);
  EXPECT_EQ(created.exitCode, 0) << created.output;
  EXPECT_EQ(QueryColumn(window_, "SELECT COUNT(*) FROM `" + name + "`.`Shippers`"),
            std::vector<std::string>{"3"});
  ExecuteOrFail(window_, "DROP DATABASE IF EXISTS `" + name + "`");
}

}  // namespace
}  // namespace tablift::test
