#include "data_access/jet/reader_process.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "data_access/jet/frame_channel.h"
#include "data_access/jet/reader_service.h"

namespace tablift::jet {
namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kDefaultAnswerTimeLimit = std::chrono::seconds(30);
// Room a reader may take beyond what it inherits: enough for the largest
// value Jet holds, twice over, but not enough for a runaway loop to take the
// machine down with it.
constexpr unsigned long long kMemoryHeadroom = 3ull << 30;
constexpr int kReaderSocket = 3;
constexpr int kReaderImage = 4;
// How long a reader that closed its end gets to finish dying, so that we can
// say how it ended.
constexpr auto kExitGrace = std::chrono::milliseconds(1000);
constexpr auto kParentCheckInterval = std::chrono::milliseconds(500);

void LimitMemory() {
  unsigned long long pages = 0;
  if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(statm, "%llu", &pages) != 1) pages = 0;
    std::fclose(statm);
  }
  const auto pageSize = static_cast<unsigned long long>(::sysconf(_SC_PAGESIZE));
  const rlimit limit{static_cast<rlim_t>(pages * pageSize + kMemoryHeadroom),
                     static_cast<rlim_t>(pages * pageSize + kMemoryHeadroom)};
  ::setrlimit(RLIMIT_AS, &limit);
}

// A reader must not outlive the program, even when it is stuck inside
// libmdb. (The kernel's parent-death signal would follow the thread that
// forked, which may end long before the program does.)
void WatchParent(pid_t parent) {
  std::thread([parent] {
    while (::getppid() == parent)
      std::this_thread::sleep_for(kParentCheckInterval);
    ::_exit(1);
  }).detach();
}

// The reader's side of the fork. Only the forking thread exists here; the
// service uses nothing of the program's state but the path.
[[noreturn]] void RunReader(int socket, int providerEnd, const std::string& path, int image,
                            pid_t parent) {
  if (::getppid() != parent) ::_exit(1);
  ::close(providerEnd);
  // libmdb writes its complaints about damaged files to the standard
  // streams; they are not the program's output.
  const int devNull = ::open("/dev/null", O_RDWR);
  if (devNull >= 0) {
    ::dup2(devNull, STDOUT_FILENO);
    ::dup2(devNull, STDERR_FILENO);
  }
  // The image must not be closed by the socket's move to its place.
  if (image == kReaderSocket) {
    image = ::fcntl(image, F_DUPFD, kReaderImage + 1);
    if (image < 0) ::_exit(1);
  }
  if (socket != kReaderSocket && ::dup2(socket, kReaderSocket) < 0) ::_exit(1);
  // The decrypted pages of an encrypted file are read through their own
  // descriptor, by the path the kernel gives it.
  std::string readPath = path;
  if (image >= 0) {
    if (image != kReaderImage && ::dup2(image, kReaderImage) < 0) ::_exit(1);
    readPath = "/proc/self/fd/" + std::to_string(kReaderImage);
  }
  ::close_range(image >= 0 ? kReaderImage + 1 : kReaderSocket + 1, ~0u, 0);
  // libmdb converts Jet 3 text to the character set this names; ours is
  // UTF-8 whatever the user's environment says.
  ::setenv("MDBICONV", "UTF-8", 1);
  LimitMemory();
  WatchParent(parent);
  ::_exit(RunReaderService(kReaderSocket, readPath));
}

std::string DescribeEnd(int status) {
  if (WIFSIGNALED(status)) {
    const int signal = WTERMSIG(status);
    return "the reader process ended with signal " + std::to_string(signal) + " (" +
           ::strsignal(signal) + ")";
  }
  if (WIFEXITED(status)) {
    return "the reader process ended with exit status " + std::to_string(WEXITSTATUS(status));
  }
  return "the reader process ended";
}

}  // namespace

std::chrono::milliseconds ReaderProcess::AnswerTimeLimit() {
  if (const char* configured = std::getenv("TABLIFT_JET_READER_TIMEOUT_MS")) {
    char* end = nullptr;
    const long long value = std::strtoll(configured, &end, 10);
    if (end != configured && *end == '\0' && value > 0) return std::chrono::milliseconds(value);
  }
  return kDefaultAnswerTimeLimit;
}

std::unique_ptr<ReaderProcess> ReaderProcess::start(const std::string& path,
                                                    std::string& firstAnswer, std::string& problem,
                                                    bool* timedOut, int image) {
  if (timedOut != nullptr) *timedOut = false;
  int sockets[2] = {-1, -1};
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sockets) != 0) {
    problem = std::string("the reader process cannot be started: ") + std::strerror(errno);
    return nullptr;
  }
  const pid_t parent = ::getpid();
  const pid_t pid = ::fork();
  if (pid < 0) {
    problem = std::string("the reader process cannot be started: ") + std::strerror(errno);
    ::close(sockets[0]);
    ::close(sockets[1]);
    return nullptr;
  }
  if (pid == 0) RunReader(sockets[1], sockets[0], path, image, parent);
  ::close(sockets[1]);

  std::unique_ptr<ReaderProcess> process(new ReaderProcess(pid, sockets[0]));
  const FrameResult result =
      ReadFrameBefore(process->socket_, firstAnswer, Clock::now() + AnswerTimeLimit());
  if (result == FrameResult::Ok) return process;
  if (result == FrameResult::TimedOut) {
    process->stop(false);
    problem = "the reader process did not answer in time";
    if (timedOut != nullptr) *timedOut = true;
  } else {
    problem = process->stop(true);
  }
  return nullptr;
}

ReaderProcess::~ReaderProcess() {
  stop(false);
}

bool ReaderProcess::exchange(const std::string& request, std::string& answer,
                             std::string& problem) {
  if (!alive()) {
    problem = "the reader process is not running";
    return false;
  }
  const auto limit = AnswerTimeLimit();
  const auto deadline = Clock::now() + limit;
  FrameResult result = WriteFrameBefore(socket_, request, deadline);
  if (result == FrameResult::Ok) result = ReadFrameBefore(socket_, answer, deadline);
  if (result == FrameResult::Ok) return true;
  if (result == FrameResult::TimedOut) {
    stop(false);
    problem = "the reader process did not answer within " + std::to_string(limit.count()) +
              " ms and was stopped";
  } else {
    problem = stop(true);
  }
  return false;
}

std::string ReaderProcess::stop(bool waitForExit) {
  if (socket_ >= 0) {
    ::close(socket_);
    socket_ = -1;
  }
  if (pid_ <= 0) return "the reader process is not running";
  int status = 0;
  pid_t ended = 0;
  const auto giveUp = Clock::now() + (waitForExit ? kExitGrace : std::chrono::milliseconds(0));
  while ((ended = ::waitpid(pid_, &status, WNOHANG)) == 0 && Clock::now() < giveUp) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  std::string description;
  if (ended == pid_) {
    description = DescribeEnd(status);
  } else {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, &status, 0);
    description = "the reader process was stopped";
  }
  pid_ = -1;
  return description;
}

}  // namespace tablift::jet
