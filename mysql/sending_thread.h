#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>

namespace tablift {

// Hands the items a loader fills (batches of rows, pieces of a bulk load) to
// one thread that sends them, so that the next item is filled while one
// travels and the server stores it. At most one item waits; the filler waits
// while it does. A sent item, emptied, comes back as the spare, so that its
// memory serves a later one.
//
// States of the thread: idle (nothing waits, nothing travels) -> an item
// waits (hand) -> it travels (taken by the thread, the slot free again) ->
// idle, or on to the next waiting item; close() lets the thread send what
// waits and end. When no thread can be started, hand() sends each item on the
// caller's thread.
template <typename Item>
class SendingThread {
 public:
  // `deliver` sends one item and never throws; `empty` clears a sent item,
  // keeping its memory.
  using Deliver = std::function<void(Item&)>;
  using Empty = std::function<void(Item&)>;

  SendingThread() = default;
  ~SendingThread() { close(); }
  SendingThread(const SendingThread&) = delete;
  SendingThread& operator=(const SendingThread&) = delete;

  // Starts the thread; called once, when the owner is ready to send.
  void start(Deliver deliver, Empty empty) {
    deliver_ = std::move(deliver);
    empty_ = std::move(empty);
    try {
      thread_ = std::thread([this] { loop(); });
    } catch (const std::system_error&) {
      // No second thread: items are sent as they are handed.
    }
  }

  bool running() const { return thread_.joinable(); }

  void hand(Item item) {
    if (!thread_.joinable()) {
      deliver_(item);
      return;
    }
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !waiting_; });
    waiting_ = std::move(item);
    changed_.notify_all();
  }

  // Waits until no item waits or travels.
  void waitIdle() {
    if (!thread_.joinable()) return;
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !waiting_ && !travelling_; });
  }

  // The emptied item sent last, when there is one not taken yet.
  std::optional<Item> takeSpare() {
    std::lock_guard lock(mutex_);
    return std::exchange(spare_, std::nullopt);
  }

  // Sends what waits and ends the thread.
  void close() {
    if (!thread_.joinable()) return;
    {
      std::lock_guard lock(mutex_);
      closing_ = true;
    }
    changed_.notify_all();
    thread_.join();
  }

 private:
  void loop() {
    for (;;) {
      Item item;
      {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return waiting_ || closing_; });
        if (!waiting_) return;
        item = std::move(*waiting_);
        waiting_.reset();
        travelling_ = true;
      }
      // The slot is free again: the next item is filled while this one
      // travels.
      changed_.notify_all();
      deliver_(item);
      empty_(item);
      {
        std::lock_guard lock(mutex_);
        travelling_ = false;
        if (!spare_) spare_ = std::move(item);
      }
      changed_.notify_all();
    }
  }

  Deliver deliver_;
  Empty empty_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::optional<Item> waiting_;
  std::optional<Item> spare_;
  bool travelling_ = false;
  bool closing_ = false;
  std::thread thread_;
};

}  // namespace tablift
