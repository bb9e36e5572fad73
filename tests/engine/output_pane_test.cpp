#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <regex>
#include <thread>

#include "core/scripted_prompter.h"
#include "core/write_line.h"
#include "engine/line_forwarder.h"
#include "engine/workbench.h"

namespace tablift {
namespace {

const std::regex kStamp(R"(^\d{4}/\d{2}/\d{2} \d{2}:\d{2}:\d{2}:\d{3} )");

std::string WithoutStamp(const std::string& text) {
  std::smatch match;
  EXPECT_TRUE(std::regex_search(text, match, kStamp)) << text;
  return text.substr(match.length(0));
}

class OutputPaneTest : public ::testing::Test {
 protected:
  ScriptedPrompter prompter;
  Workbench window{prompter};
};

TEST_F(OutputPaneTest, PrefixesChooseColourAndAreNotShown) {
  WriteLine(window, "E::TABLE: Create [%s].[%s] ERROR !", "shop", "Orders");
  WriteLine(window, "S::Create table [%s] SUCCESSFULLY!!!", "Orders");
  WriteLine(window, "T::%s", "Duplicate entry");
  WriteLine(window, "RESULT: The operation completed SUCCESSFULLY");
  WriteLine(window, "X::not a prefix");
  WriteLine(window, " E::prefix only counts at the start");

  const auto lines = window.output().lines();
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(WithoutStamp(lines[0].text), "TABLE: Create [shop].[Orders] ERROR !");
  EXPECT_TRUE(lines[0].hasRecord);
  EXPECT_EQ(lines[0].textColour, (Colour{255, 0, 0}));
  EXPECT_EQ(lines[0].backColour, (Colour{255, 255, 255}));
  EXPECT_EQ(WithoutStamp(lines[1].text), "Create table [Orders] SUCCESSFULLY!!!");
  EXPECT_EQ(lines[1].textColour, (Colour{0, 255, 0}));
  EXPECT_EQ(WithoutStamp(lines[2].text), "Duplicate entry");
  EXPECT_EQ(lines[2].textColour, (Colour{255, 128, 0}));
  // A success said in words is green too.
  EXPECT_TRUE(lines[3].hasRecord);
  EXPECT_EQ(lines[3].textColour, kSuccessGreen);
  for (int i = 4; i < 6; ++i) {
    EXPECT_FALSE(lines[i].hasRecord) << i;
    EXPECT_EQ(lines[i].textColour, kBlack);
  }
  EXPECT_EQ(WithoutStamp(lines[4].text), "X::not a prefix");
  EXPECT_EQ(WithoutStamp(lines[5].text), " E::prefix only counts at the start");
}

TEST_F(OutputPaneTest, FormattedTextIsUsedUnchanged) {
  WriteLine(window, "T::%s", "Syntax error near '100%' %d %s");
  WritePlainLine(window, "E::plain lines keep %s and their prefix");
  const auto lines = window.output().lines();
  EXPECT_EQ(WithoutStamp(lines[0].text), "Syntax error near '100%' %d %s");
  EXPECT_EQ(WithoutStamp(lines[1].text), "E::plain lines keep %s and their prefix");
  EXPECT_FALSE(lines[1].hasRecord);
}

TEST_F(OutputPaneTest, LongMessagesAreKeptWhole) {
  const std::string provider(5000, 'x');
  WriteLine(window, "T::%s|end", provider.c_str());
  EXPECT_EQ(WithoutStamp(window.output().lastLine().text), provider + "|end");
}

TEST_F(OutputPaneTest, KeepsTheLatest1001Lines) {
  for (int i = 0; i < 1500; ++i)
    WriteLine(window, "line %d", i);
  const auto lines = window.output().lines();
  ASSERT_EQ(lines.size(), 1001u);
  EXPECT_EQ(WithoutStamp(lines.front().text), "line 499");
  EXPECT_EQ(WithoutStamp(lines.back().text), "line 1499");
  EXPECT_EQ(lines.back().sequence, 1500u);
}

// Collects what a listener is told.
class Recorder : public OutputListener {
 public:
  void lineAdded(const LogLine& line) override {
    std::lock_guard guard(mutex);
    sequences.push_back(line.sequence);
  }
  std::mutex mutex;
  std::vector<std::uint64_t> sequences;
};

TEST_F(OutputPaneTest, WritersOnSeveralThreadsLoseNoLineAndKeepOrder) {
  Recorder recorder;
  window.output().addListener(&recorder);
  auto writer = [this](const char* who) {
    for (int i = 0; i < 2000; ++i)
      WriteLine(window, "S::%s %d", who, i);
  };
  std::thread controller(writer, "controller");
  writer("ui");
  controller.join();
  window.output().removeListener(&recorder);

  ASSERT_EQ(recorder.sequences.size(), 4000u);
  for (std::size_t i = 0; i < recorder.sequences.size(); ++i) {
    EXPECT_EQ(recorder.sequences[i], i + 1);
  }
  const auto lines = window.output().lines();
  EXPECT_EQ(lines.size(), OutputPane::kMaxLines);
  EXPECT_EQ(lines.back().sequence, 4000u);
}

TEST_F(OutputPaneTest, ForwarderNeverHoldsUpTheWriter) {
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  std::vector<std::string> delivered;
  {
    LineForwarder forwarder([&](const LogLine& line) {
      released.wait();  // a console that does not take output yet
      delivered.push_back(WithoutStamp(line.text));
    });
    window.output().addListener(&forwarder);
    auto writing = std::async(std::launch::async, [this] {
      for (int i = 0; i < 100; ++i)
        WriteLine(window, "row %d", i);
    });
    ASSERT_EQ(writing.wait_for(std::chrono::seconds(30)), std::future_status::ready)
        << "the writer waited for the sink";
    release.set_value();
    forwarder.flush();
    EXPECT_EQ(delivered.size(), 100u);
    WriteLine(window, "last");
    window.output().removeListener(&forwarder);
  }  // the forwarder delivers what is still queued before it goes
  ASSERT_EQ(delivered.size(), 101u);
  EXPECT_EQ(delivered.front(), "row 0");
  EXPECT_EQ(delivered[99], "row 99");
  EXPECT_EQ(delivered.back(), "last");
}

}  // namespace
}  // namespace tablift
