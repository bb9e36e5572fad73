#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

// Messages between the provider and its reader process travel over a socket
// as frames: a 32-bit little-endian length, then that many bytes.
namespace tablift::jet {

// A frame longer than this is a damaged frame (the largest value Jet can hold
// is below it).
inline constexpr std::uint32_t kMaxFrameSize = (1u << 30) + (1u << 20);

enum class FrameResult { Ok, Closed, TimedOut, Invalid };

// Waits without a limit (the reader process's side; the provider watches it).
bool WriteFrame(int socket, std::string_view payload);
FrameResult ReadFrame(int socket, std::string& payload);

// Whether a frame (or the end of the other side) is waiting to be read, without
// waiting for one.
bool FrameWaiting(int socket);

// Gives up at `deadline` (the provider's side).
FrameResult WriteFrameBefore(int socket, std::string_view payload,
                             std::chrono::steady_clock::time_point deadline);
FrameResult ReadFrameBefore(int socket, std::string& payload,
                            std::chrono::steady_clock::time_point deadline);

}  // namespace tablift::jet
