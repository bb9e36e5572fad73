#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "core/log_sink.h"

namespace tablift {

struct Colour {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  friend bool operator==(const Colour&, const Colour&) = default;
};

inline constexpr Colour kBlack{0, 0, 0};
inline constexpr Colour kWhite{255, 255, 255};
inline constexpr Colour kErrorRed{255, 0, 0};
inline constexpr Colour kSuccessGreen{0, 255, 0};
inline constexpr Colour kProviderOrange{255, 128, 0};

// One line of the log: the timestamp and the shown text. Lines written with an
// "E::", "S::" or "T::" prefix carry a colour record of their own; all others
// are plain and drawn in the default colours.
struct LogLine {
  std::uint64_t sequence = 0;  // counts every line ever written, from 1
  std::string text;
  bool hasRecord = false;
  Colour textColour = kBlack;
  Colour backColour = kWhite;
};

// Told of every new line, on the writer's thread, after the pane's own lock is
// released. A listener must not block: it hands the line over (a queued Qt
// call, a console queue) and returns.
class OutputListener {
 public:
  virtual ~OutputListener() = default;
  virtual void lineAdded(const LogLine& line) = 0;
};

// The log pane's model: the latest lines, thread-safe for any number of writers
// (the user-interface thread and the controller thread).
class OutputPane : public LogSink {
 public:
  // The list never holds more lines than this: an append to a full list drops
  // the oldest line first.
  static constexpr std::size_t kMaxLines = 1001;

  // Appends a formatted message: picks the colour by its prefix, strips the
  // prefix and stamps it with the local time.
  void appendMessage(std::string message) override;
  // Appends a plain line, its text taken as it is (no prefix is looked at).
  void appendPlain(std::string message) override;

  std::vector<LogLine> lines() const;
  std::size_t size() const;
  // The newest line; empty text when nothing was written.
  LogLine lastLine() const;

  void addListener(OutputListener* listener);
  void removeListener(OutputListener* listener);

 private:
  void append(LogLine line);

  mutable std::mutex mutex_;
  std::deque<LogLine> lines_;
  std::uint64_t written_ = 0;
  std::mutex listenersMutex_;
  std::vector<OutputListener*> listeners_;
};

// The "YYYY/MM/DD HH:MM:SS:mmm " stamp of the local time, blank included.
std::string LogTimestamp();

}  // namespace tablift
