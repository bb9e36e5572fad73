#include "data_access/user_messages.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>
#include <vector>

#include "tests/data_access/captured_user_messages.h"

namespace tablift {
namespace {

TEST(UserMessages, EmptyHandlerRestoresTheDefaultOfStandardError) {
  {
    const test::CapturedUserMessages messages;
    ShowUserMessage("to the window");
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"to the window"});
  }
  testing::internal::CaptureStderr();
  ShowUserMessage("Can not create RegExp!");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Can not create RegExp!\n");
}

TEST(UserMessages, HandlerMayShowMessagesAndReplaceItself) {
  const test::CapturedUserMessages messages;
  std::vector<std::string> seen;
  SetUserMessageHandler([&seen](const std::string& text) {
    seen.push_back(text);
    if (text == "first") ShowUserMessage("nested");
    if (text == "last") SetUserMessageHandler({});
  });
  ShowUserMessage("first");
  ShowUserMessage("last");
  EXPECT_EQ(seen, (std::vector<std::string>{"first", "nested", "last"}));
}

TEST(UserMessages, ThrowingHandlerFallsBackToStandardError) {
  SetUserMessageHandler([](const std::string&) { throw std::runtime_error("no window"); });
  testing::internal::CaptureStderr();
  ShowUserMessage("still shown");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "still shown\n");
  SetUserMessageHandler({});
}

TEST(UserMessages, ShownFromSeveralThreads) {
  std::atomic<int> count = 0;
  SetUserMessageHandler([&count](const std::string&) { ++count; });
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([] {
      for (int i = 0; i < 200; ++i)
        ShowUserMessage("x");
    });
  }
  for (std::thread& thread : threads)
    thread.join();
  SetUserMessageHandler({});
  EXPECT_EQ(count, 800);
}

}  // namespace
}  // namespace tablift
