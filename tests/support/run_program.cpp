#include "tests/support/run_program.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

namespace tablift::test {

int StartProgram(const std::vector<std::string>& arguments,
                 const std::filesystem::path& outputFile) {
  std::vector<char*> argv;
  for (const std::string& argument : arguments)
    argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    const int out = open(outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (out >= 0) {
      dup2(out, STDOUT_FILENO);
      dup2(out, STDERR_FILENO);
    }
    const int in = open("/dev/null", O_RDONLY);
    if (in >= 0) dup2(in, STDIN_FILENO);
    execv(argv[0], argv.data());
    _exit(127);
  }
  return child;
}

int WaitForProgram(int child) {
  int status = 0;
  if (waitpid(child, &status, 0) != child) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

ProgramRun RunProgram(const std::vector<std::string>& arguments,
                      const std::filesystem::path& folder) {
  ProgramRun run;
  const std::filesystem::path outputFile = folder / "program-output.txt";
  const int child = StartProgram(arguments, outputFile);
  if (child < 0) return run;
  run.exitCode = WaitForProgram(child);
  std::ifstream in(outputFile);
  std::ostringstream text;
  text << in.rdbuf();
  run.output = text.str();
  return run;
}

}  // namespace tablift::test
