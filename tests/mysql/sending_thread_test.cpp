#include "mysql/sending_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace tablift {
namespace {

// Every handed item is sent once, in the order handed, the one still waiting
// at close() too; a sent item comes back emptied but with its memory.
TEST(SendingThread, SendsEveryItemInOrderAndGivesTheMemoryBack) {
  std::vector<std::string> sent;  // written on the sending thread only
  std::vector<std::string> inputs;
  for (int i = 0; i < 200; ++i)
    inputs.push_back(std::string(100, static_cast<char>('a' + i % 26)) + std::to_string(i));
  std::size_t spares = 0;
  {
    SendingThread<std::string> sender;
    sender.start([&](std::string& item) { sent.push_back(item); },
                 [](std::string& item) { item.clear(); });
    ASSERT_TRUE(sender.running());
    for (const std::string& input : inputs) {
      sender.hand(input);
      if (std::optional<std::string> spare = sender.takeSpare()) {
        EXPECT_TRUE(spare->empty());
        EXPECT_GE(spare->capacity(), 100u);
        ++spares;
      }
    }
    sender.close();
    EXPECT_FALSE(sender.running());
  }
  EXPECT_EQ(sent, inputs);
  EXPECT_GT(spares, 0u);
}

// waitIdle returns only once the item handed last has been sent: a caller
// may then use the connection itself.
TEST(SendingThread, WaitIdleReturnsAfterTheLastItemWasSent) {
  std::atomic<int> sent{0};
  SendingThread<int> sender;
  sender.start(
      [&](int&) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ++sent;
      },
      [](int&) {});
  for (int i = 0; i < 3; ++i)
    sender.hand(i);
  sender.waitIdle();
  EXPECT_EQ(sent.load(), 3);
}

}  // namespace
}  // namespace tablift
