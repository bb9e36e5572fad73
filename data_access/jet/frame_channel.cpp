#include "data_access/jet/frame_channel.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <optional>

namespace tablift::jet {
namespace {

using Clock = std::chrono::steady_clock;

// Milliseconds left before the deadline for poll(); -1 waits without limit.
int PollTimeout(std::optional<Clock::time_point> deadline) {
  if (!deadline) return -1;
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(*deadline - Clock::now());
  return left.count() <= 0 ? 0 : static_cast<int>(std::min<long long>(left.count(), 1 << 30));
}

FrameResult WaitFor(int socket, short events, std::optional<Clock::time_point> deadline) {
  for (;;) {
    pollfd entry{socket, events, 0};
    const int ready = ::poll(&entry, 1, PollTimeout(deadline));
    if (ready > 0) return FrameResult::Ok;  // readable, writable, or hung up: the call tells
    if (ready == 0) return FrameResult::TimedOut;
    if (errno != EINTR) return FrameResult::Closed;
  }
}

FrameResult SendAll(int socket, const char* data, std::size_t size,
                    std::optional<Clock::time_point> deadline) {
  while (size > 0) {
    const FrameResult ready = WaitFor(socket, POLLOUT, deadline);
    if (ready != FrameResult::Ok) return ready;
    // MSG_NOSIGNAL: a reader that died must not take the program with it
    // through SIGPIPE.
    const ssize_t sent = ::send(socket, data, size, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (sent < 0) {
      if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) continue;
      return FrameResult::Closed;
    }
    data += sent;
    size -= static_cast<std::size_t>(sent);
  }
  return FrameResult::Ok;
}

FrameResult ReceiveAll(int socket, char* data, std::size_t size,
                       std::optional<Clock::time_point> deadline) {
  while (size > 0) {
    const FrameResult ready = WaitFor(socket, POLLIN, deadline);
    if (ready != FrameResult::Ok) return ready;
    const ssize_t received = ::recv(socket, data, size, MSG_DONTWAIT);
    if (received == 0) return FrameResult::Closed;
    if (received < 0) {
      if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) continue;
      return FrameResult::Closed;
    }
    data += received;
    size -= static_cast<std::size_t>(received);
  }
  return FrameResult::Ok;
}

FrameResult Write(int socket, std::string_view payload, std::optional<Clock::time_point> deadline) {
  if (payload.size() > kMaxFrameSize) return FrameResult::Invalid;
  const auto size = static_cast<std::uint32_t>(payload.size());
  const char header[4] = {static_cast<char>(size & 0xFF), static_cast<char>((size >> 8) & 0xFF),
                          static_cast<char>((size >> 16) & 0xFF),
                          static_cast<char>((size >> 24) & 0xFF)};
  const FrameResult result = SendAll(socket, header, sizeof header, deadline);
  if (result != FrameResult::Ok) return result;
  return SendAll(socket, payload.data(), payload.size(), deadline);
}

FrameResult Read(int socket, std::string& payload, std::optional<Clock::time_point> deadline) {
  payload.clear();
  unsigned char header[4] = {};
  FrameResult result = ReceiveAll(socket, reinterpret_cast<char*>(header), sizeof header, deadline);
  if (result != FrameResult::Ok) return result;
  const std::uint32_t size =
      static_cast<std::uint32_t>(header[0]) | (static_cast<std::uint32_t>(header[1]) << 8) |
      (static_cast<std::uint32_t>(header[2]) << 16) | (static_cast<std::uint32_t>(header[3]) << 24);
  if (size > kMaxFrameSize) return FrameResult::Invalid;
  payload.resize(size);
  return ReceiveAll(socket, payload.data(), size, deadline);
}

}  // namespace

bool WriteFrame(int socket, std::string_view payload) {
  return Write(socket, payload, std::nullopt) == FrameResult::Ok;
}

FrameResult ReadFrame(int socket, std::string& payload) {
  return Read(socket, payload, std::nullopt);
}

bool FrameWaiting(int socket) {
  pollfd entry{socket, POLLIN, 0};
  return ::poll(&entry, 1, 0) != 0;
}

FrameResult WriteFrameBefore(int socket, std::string_view payload, Clock::time_point deadline) {
  return Write(socket, payload, deadline);
}

FrameResult ReadFrameBefore(int socket, std::string& payload, Clock::time_point deadline) {
  return Read(socket, payload, deadline);
}

}  // namespace tablift::jet
