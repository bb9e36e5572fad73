#include "engine/output_pane.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>

#include "data_access/secret_masking.h"

namespace tablift {
namespace {

// The text colour of each severity but plain information.
Colour ColourOf(Severity severity) {
  switch (severity) {
    case Severity::Error:
      return kErrorRed;
    case Severity::Success:
      return kSuccessGreen;
    case Severity::ProviderText:
      return kProviderOrange;
    case Severity::Information:
      break;
  }
  return kBlack;
}

}  // namespace

std::string LogTimestamp() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto millis =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm local{};
  localtime_r(&seconds, &local);
  char stamp[64];
  std::snprintf(stamp, sizeof stamp, "%02d/%02d/%02d %02d:%02d:%02d:%03d ", local.tm_year + 1900,
                local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                static_cast<int>(millis));
  return stamp;
}

void OutputPane::appendMessage(std::string message) {
  LogLine line;
  const Severity severity = SeverityOf(message);
  if (severity != Severity::Information) {
    line.hasRecord = true;
    line.textColour = ColourOf(severity);
    line.backColour = kWhite;
    message.erase(0, 3);
  } else if (message.find("SUCCESSFULLY") != std::string::npos) {
    // The workers say a step succeeded in words ("Create table [x]
    // SUCCESSFULLY!!!", "Operation completed SUCCESSFULLY!"); the log shows
    // those lines green, as it shows "S::" lines.
    line.hasRecord = true;
    line.textColour = kSuccessGreen;
    line.backColour = kWhite;
  }
  line.text = std::move(message);
  append(std::move(line));
}

void OutputPane::appendPlain(std::string message) {
  LogLine line;
  line.text = std::move(message);
  append(std::move(line));
}

void OutputPane::append(LogLine line) {
  // The log is shown, copied and kept: a connection string quoted in a
  // message must not carry its password there.
  line.text = MaskPasswords(line.text);
  // The delivery lock is held across the append and the notification so that
  // every listener sees the lines in the order the pane holds them.
  std::lock_guard delivery(listenersMutex_);
  {
    std::lock_guard lock(mutex_);
    if (lines_.size() >= kMaxLines) lines_.pop_front();
    line.sequence = ++written_;
    line.text.insert(0, LogTimestamp());
    lines_.push_back(line);
  }
  for (OutputListener* listener : listeners_)
    listener->lineAdded(line);
}

std::vector<LogLine> OutputPane::lines() const {
  std::lock_guard lock(mutex_);
  return {lines_.begin(), lines_.end()};
}

std::size_t OutputPane::size() const {
  std::lock_guard lock(mutex_);
  return lines_.size();
}

LogLine OutputPane::lastLine() const {
  std::lock_guard lock(mutex_);
  return lines_.empty() ? LogLine{} : lines_.back();
}

void OutputPane::addListener(OutputListener* listener) {
  std::lock_guard lock(listenersMutex_);
  listeners_.push_back(listener);
}

void OutputPane::removeListener(OutputListener* listener) {
  std::lock_guard lock(listenersMutex_);
  std::erase(listeners_, listener);
}

}  // namespace tablift
