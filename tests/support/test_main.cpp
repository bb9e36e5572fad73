// The main() of every test program: the environment the tests expect (the
// private server's state directory, the private ODBC configuration, the
// offscreen Qt platform), then GoogleTest.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
  std::ifstream lines(TABLIFT_TEST_ENVIRONMENT_FILE);
  for (std::string line; std::getline(lines, line);) {
    const auto equals = line.find('=');
    if (equals == std::string::npos) continue;
    setenv(line.substr(0, equals).c_str(), line.substr(equals + 1).c_str(), /*overwrite=*/0);
  }
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
