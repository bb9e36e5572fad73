#include "cli/child_runs.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

extern char** environ;

namespace tablift {
namespace {

using Clock = std::chrono::steady_clock;

// One of a running child's two streams: the pipe's reading end and what was
// read of a line not yet ended.
struct Stream {
  int fd = -1;
  std::FILE* to = nullptr;
  std::string pending{};
};

struct Running {
  ChildRun* run = nullptr;
  pid_t pid = -1;
  Stream out;
  Stream err;
  Clock::time_point started;
};

void Relay(ChildRun& run, Stream& stream, const std::string& line) {
  // A blank line with a label in front only looks like a line of text.
  if (line.empty()) return;
  const std::string labelled = run.label + ": " + line + "\n";
  std::fwrite(labelled.data(), 1, labelled.size(), stream.to);
  std::fflush(stream.to);
  if (stream.to == stderr && !line.empty()) run.errorLines.push_back(line);
}

// Reads what the pipe holds; at its end the last unfinished line is relayed
// and the pipe closed.
void ReadStream(ChildRun& run, Stream& stream) {
  char buffer[4096];
  const ssize_t got = ::read(stream.fd, buffer, sizeof buffer);
  if (got < 0 && (errno == EINTR || errno == EAGAIN)) return;
  if (got <= 0) {
    if (!stream.pending.empty()) Relay(run, stream, stream.pending);
    stream.pending.clear();
    ::close(stream.fd);
    stream.fd = -1;
    return;
  }
  stream.pending.append(buffer, static_cast<std::size_t>(got));
  std::size_t end;
  while ((end = stream.pending.find('\n')) != std::string::npos) {
    std::string line = stream.pending.substr(0, end);
    // A live line redrawn in place shows only as its last state.
    if (const std::size_t back = line.rfind('\r'); back != std::string::npos)
      line.erase(0, back + 1);
    Relay(run, stream, line);
    stream.pending.erase(0, end + 1);
  }
}

bool Start(ChildRun& run, Running& running) {
  int out[2];
  int err[2];
  if (::pipe2(out, O_CLOEXEC) != 0) {
    run.errorLines.push_back(std::string("cannot make a pipe: ") + std::strerror(errno));
    return false;
  }
  if (::pipe2(err, O_CLOEXEC) != 0) {
    run.errorLines.push_back(std::string("cannot make a pipe: ") + std::strerror(errno));
    ::close(out[0]);
    ::close(out[1]);
    return false;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
  std::vector<char*> argv;
  for (std::string& argument : run.arguments)
    argv.push_back(argument.data());
  argv.push_back(nullptr);
  running.started = Clock::now();
  const int spawned =
      ::posix_spawn(&running.pid, argv.front(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(out[1]);
  ::close(err[1]);
  if (spawned != 0) {
    run.errorLines.push_back("cannot start " + run.arguments.front() + ": " +
                             std::strerror(spawned));
    ::close(out[0]);
    ::close(err[0]);
    return false;
  }
  running.run = &run;
  running.out = Stream{out[0], stdout};
  running.err = Stream{err[0], stderr};
  return true;
}

void Finish(Running& running) {
  int status = 0;
  while (::waitpid(running.pid, &status, 0) < 0 && errno == EINTR) {
  }
  ChildRun& run = *running.run;
  run.seconds = std::chrono::duration<double>(Clock::now() - running.started).count();
  if (WIFEXITED(status)) {
    run.exitCode = WEXITSTATUS(status);
  } else if (WIFSIGNALED(status)) {
    run.signal = WTERMSIG(status);
  }
}

// Waits for output of any running child and relays it.
void Pump(std::vector<Running>& running) {
  std::vector<pollfd> watched;
  std::vector<std::pair<Running*, Stream*>> owners;
  for (Running& child : running) {
    for (Stream* stream : {&child.out, &child.err}) {
      if (stream->fd < 0) continue;
      watched.push_back(pollfd{stream->fd, POLLIN, 0});
      owners.emplace_back(&child, stream);
    }
  }
  if (watched.empty()) return;
  if (::poll(watched.data(), watched.size(), -1) < 0) return;
  for (std::size_t i = 0; i < watched.size(); ++i) {
    if (watched[i].revents != 0) ReadStream(*owners[i].first->run, *owners[i].second);
  }
}

}  // namespace

void RunChildren(std::vector<ChildRun>& runs, int jobs) {
  std::vector<Running> running;
  std::size_t next = 0;
  while (next < runs.size() || !running.empty()) {
    while (static_cast<int>(running.size()) < jobs && next < runs.size()) {
      Running child;
      if (Start(runs[next], child)) running.push_back(std::move(child));
      ++next;
    }
    Pump(running);
    // A child that closed both streams has ended (or is about to).
    for (auto child = running.begin(); child != running.end();) {
      if (child->out.fd >= 0 || child->err.fd >= 0) {
        ++child;
        continue;
      }
      Finish(*child);
      child = running.erase(child);
    }
  }
}

}  // namespace tablift
