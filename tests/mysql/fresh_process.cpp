#include "tests/mysql/fresh_process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include <gtest/gtest.h>

#include "tests/support/test_paths.h"

extern char** environ;

namespace tablift::test {
namespace {

constexpr const char* kQuestionVariable = "TABLIFT_FRESH_QUESTION";
constexpr const char* kAnswerFileVariable = "TABLIFT_FRESH_ANSWER_FILE";

std::map<std::string, std::function<std::string()>>& Questions() {
  static std::map<std::string, std::function<std::string()>> questions;
  return questions;
}

std::vector<std::string> ChangedEnvironment(const EnvironmentChanges& changes) {
  std::map<std::string, std::string> variables;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string line(*entry);
    const std::size_t equals = line.find('=');
    if (equals != std::string::npos) variables[line.substr(0, equals)] = line.substr(equals + 1);
  }
  for (const auto& [name, value] : changes) {
    if (value) {
      variables[name] = *value;
    } else {
      variables.erase(name);
    }
  }
  std::vector<std::string> lines;
  for (const auto& [name, value] : variables)
    lines.push_back(name + "=" + value);
  return lines;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (std::string& text : texts)
    pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

}  // namespace

FreshProcessQuestion::FreshProcessQuestion(std::string name, std::function<std::string()> answer)
    : name_(std::move(name)) {
  Questions()[name_] = std::move(answer);
}

std::string FreshProcessQuestion::ask(const EnvironmentChanges& changes) const {
  ScopedTempDir exchange;
  const std::filesystem::path answerFile = exchange.path() / "answer";
  EnvironmentChanges all = changes;
  all.emplace_back(kQuestionVariable, name_);
  all.emplace_back(kAnswerFileVariable, answerFile.string());
  std::vector<std::string> environment = ChangedEnvironment(all);

  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return "fresh process failed: cannot name this program";
  std::vector<std::string> arguments = {program.string(),
                                        "--gtest_filter=FreshProcess.DISABLED_Answer",
                                        "--gtest_also_run_disabled_tests"};

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  // The copy's own test report would only clutter this test's output.
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t child = 0;
  const int spawned = posix_spawn(&child, arguments[0].c_str(), &actions, nullptr,
                                  Pointers(arguments).data(), Pointers(environment).data());
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return "fresh process failed: cannot start " + arguments[0];

  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    return "fresh process failed: status " + std::to_string(status);
  }
  std::ifstream answer(answerFile, std::ios::binary);
  if (!answer) return "fresh process failed: no answer";
  std::ostringstream text;
  text << answer.rdbuf();
  return text.str();
}

EnvironmentChanges OdbcConfigurationIn(const std::string& directory) {
  // HOME keeps the user's ~/.odbcinst.ini out; ODBCINSTINI could rename the
  // system file.
  return {{"ODBCSYSINI", directory},
          {"ODBCINI", directory + "/odbc.ini"},
          {"ODBCINSTINI", std::nullopt},
          {"HOME", directory}};
}

// What the copy runs; disabled, so that it runs only when asked for.
TEST(FreshProcess, DISABLED_Answer) {
  const char* question = std::getenv(kQuestionVariable);
  const char* answerFile = std::getenv(kAnswerFileVariable);
  if (question == nullptr || answerFile == nullptr) GTEST_SKIP() << "run only by ask()";
  const auto found = Questions().find(question);
  ASSERT_NE(found, Questions().end()) << "no question named " << question;
  std::ofstream(answerFile, std::ios::binary) << found->second();
}

}  // namespace tablift::test
