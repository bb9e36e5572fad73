#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tablift::test {

// Environment changes for a fresh process: a value, or nothing to unset.
using EnvironmentChanges = std::vector<std::pair<std::string, std::optional<std::string>>>;

// A question that must be answered by a process of its own. libodbcinst reads
// ODBCSYSINI once and keeps that directory for the life of the process (and
// caches single values for 20 seconds), so a test with a driver configuration
// of its own cannot look at it from the test process: it asks a new copy of
// this test program, started with the changed environment, and gets the
// answer's text back.
class FreshProcessQuestion {
 public:
  // Registers the question under a name unique in this program; define
  // questions at namespace scope so that the copy knows them too.
  FreshProcessQuestion(std::string name, std::function<std::string()> answer);

  // The answer, or a text beginning "fresh process failed" when the copy did
  // not give one.
  std::string ask(const EnvironmentChanges& changes) const;

 private:
  std::string name_;
};

// The changes that make a fresh process read the driver configuration in
// `directory` (its odbcinst.ini) and nothing of the machine's or the user's.
EnvironmentChanges OdbcConfigurationIn(const std::string& directory);

}  // namespace tablift::test
