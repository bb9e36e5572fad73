#include <gtest/gtest.h>

#include <thread>

#include "core/scripted_prompter.h"
#include "data_access/user_messages.h"
#include "engine/workbench.h"

namespace tablift {
namespace {

TEST(WorkbenchTest, StartsIdleWithLatin1AndNoStatus) {
  ScriptedPrompter prompter;
  Workbench window(prompter);
  EXPECT_EQ(window.runState().load(), RunState::Idle);
  EXPECT_EQ(window.charset(), "LATIN1");
  EXPECT_TRUE(window.tasks().empty());
  EXPECT_EQ(window.conditionFile().filename(), "Condition.cfg");
}

TEST(WorkbenchTest, LowLevelMessagesReachItsPrompterWhileItLives) {
  ScriptedPrompter prompter;
  {
    Workbench window(prompter);
    std::thread controller([] { ShowUserMessage("Can not create RegExp!"); });
    controller.join();
  }
  ShowUserMessage("after the window closed");  // goes to the default handler
  EXPECT_EQ(prompter.texts(ScriptedPrompter::Kind::Message),
            (std::vector<std::string>{"Can not create RegExp!"}));
}

TEST(WorkbenchTest, StatusTextReachesTheListener) {
  ScriptedPrompter prompter;
  Workbench window(prompter);
  std::vector<std::string> shown;
  window.setStatusListener([&](const std::string& text) { shown.push_back(text); });
  std::thread controller([&] { window.setStatusText("Some Tasks are WORKING!!!"); });
  controller.join();
  window.setStatusText("NO PROCESSING!!!");
  EXPECT_EQ(shown, (std::vector<std::string>{"Some Tasks are WORKING!!!", "NO PROCESSING!!!"}));
  EXPECT_EQ(window.statusText(), "NO PROCESSING!!!");
}

TEST(ScriptedPrompterTest, AnswersFromTheScriptThenTheDefault) {
  ScriptedPrompter prompter(/*defaultAnswer=*/false);
  prompter.queueAnswer(true);
  prompter.queueChoice("/tmp/backup");
  EXPECT_TRUE(prompter.askOkCancel("Convert table [a] into Target database [b]?"));
  EXPECT_FALSE(prompter.askYesNo("Are you sure?"));
  EXPECT_EQ(prompter.chooseFolder("Backup", "."), "/tmp/backup");
  EXPECT_EQ(prompter.chooseFolder("Backup", "."), std::nullopt);
  EXPECT_EQ(prompter.prompts().size(), 4u);
  EXPECT_EQ(prompter.texts(ScriptedPrompter::Kind::YesNo),
            (std::vector<std::string>{"Are you sure?"}));
}

}  // namespace
}  // namespace tablift
