#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <pwd.h>

#include <filesystem>

#include <cstdint>
#include <sstream>

#include "hosts/common/trace.h"
#include "hosts/console/console_host.h"
#include "hosts/console/console_run.h"
#include "platform/instance_lock_posix.h"

namespace tdwk::test {
namespace {

using ::testing::HasSubstr;

TEST(ConsoleHostTest, StartsTheIntroductionInAFramedWindowAndClosesAtTheEndOfInput) {
  ConsoleApp app;
  const ConsoleRun run = app.Run({});
  EXPECT_EQ(run.exitStatus, 0);
  ASSERT_GE(run.trace.size(), 3u);
  EXPECT_EQ(run.trace[0].dump(),
            R"({"control":"frmTDWK","op":"Set","property":"Width","value":15360})");
  EXPECT_EQ(run.trace[1].dump(),
            R"({"control":"frmTDWK","op":"Set","property":"Height","value":11520})");
  const auto loads = run.Ops("LoadMovie", "swfMain");
  ASSERT_EQ(loads.size(), 1u);
  EXPECT_EQ(loads[0]["url"], app.Path() + "/Menus/Intro.swf");
  EXPECT_EQ(loads[0]["layer"], 0);
  EXPECT_EQ(run.trace.back().dump(), R"({"op":"Unload"})");
  EXPECT_THAT(app.Folder().ReadFile("Logs/Log.dat"),
              HasSubstr("The users folder '" + app.Path() + "Users/' does not exist."));
}

TEST(ConsoleHostTest, TheScreenSizeComesFromTheEnvironment) {
  ConsoleApp app;
  const ConsoleRun run = app.Run({}, {}, {{"TDWK_SCREEN", "1920x1080"}});
  EXPECT_EQ(run.trace[0]["value"], 28800);
  EXPECT_EQ(run.trace[1]["value"], 16200);
  const ConsoleRun bad = app.Run({}, {}, {{"TDWK_SCREEN", "wide"}});
  EXPECT_EQ(bad.trace[0]["value"], 15360);
  EXPECT_THAT(bad.errors, HasSubstr("TDWK_SCREEN"));
}

TEST(ConsoleHostTest, UnreadableLinesAreReportedWithTheirNumberAndSkipped) {
  ConsoleApp app;
  const ConsoleRun run =
      app.Run({"# comment", "{broken", "", "swfMain vbNothing x y", R"({"event":"teleport"})"});
  EXPECT_EQ(run.exitStatus, 0);
  EXPECT_THAT(run.errors, HasSubstr("line 2:"));
  EXPECT_THAT(run.errors, HasSubstr("line 5:"));
  EXPECT_THAT(run.errors, ::testing::Not(HasSubstr("line 4:")));
  const auto commands = run.Ops("FSCommand");
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(commands[0]["command"], "vbNothing");
  EXPECT_EQ(commands[0]["args"], "x y");
}

TEST(ConsoleHostTest, TheCloseEventUnloadsAndLaterInputIsNotRead) {
  ConsoleApp app;
  const ConsoleRun run = app.Run({R"({"event":"close"})", "swfMain vbIntroFinished"});
  EXPECT_EQ(run.exitStatus, 0);
  EXPECT_EQ(run.trace.back().dump(), R"({"op":"Unload"})");
  EXPECT_TRUE(run.Ops("FSCommand").empty());
}

TEST(ConsoleHostTest, AnUnreadableOnlyProfileShowsTheStartUpMessageAndFails) {
  ConsoleApp app;
  std::string bytes(8, '\x7f');  // a date of birth far outside the calendar
  bytes += std::string(52, '\0');
  app.Folder().WriteFile("Users/USER1.DAT", bytes);
  const ConsoleRun run = app.Run({});
  EXPECT_EQ(run.exitStatus, 1);
  ASSERT_EQ(run.trace.size(), 1u);
  EXPECT_EQ(run.trace[0]["op"], "MessageBox");
  EXPECT_EQ(run.trace[0]["text"],
            "There was a problem showing the main screen.\r\n\r\n"
            "Please visit our website for information on how to fix this problem.");
}

TEST(ConsoleHostTest, ASecondCopyOverTheSameFolderEndsAtOnceAndSilently) {
  ConsoleApp app;
  FlockInstanceLock running;
  ASSERT_TRUE(running.TryAcquire(app.Path()));
  const ConsoleRun run = app.Run({"swfMain vbIntroFinished"});
  EXPECT_EQ(run.exitStatus, 0);
  EXPECT_TRUE(run.trace.empty());
  EXPECT_TRUE(run.errors.empty());
}

// A school shares one writable copy between its accounts: one copy runs over it at a time,
// whoever started it.
TEST(ConsoleHostTest, ASecondAccountCannotStartASecondCopyOnTheSameData) {
  const passwd* other = ::getpwnam("nobody");
  if (::geteuid() != 0 || other == nullptr) GTEST_SKIP() << "acting as another account needs root";
  ConsoleApp app;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(app.Path())) {
    std::filesystem::permissions(entry.path(), std::filesystem::perms::all);
  }
  std::filesystem::permissions(app.Path(), std::filesystem::perms::all);
  const std::map<std::string, std::string> home{{"HOME", app.Path()}};
  {
    FlockInstanceLock running;
    ASSERT_TRUE(running.TryAcquire(app.Path()));
    const ConsoleRun second = RunProgram(app.Path() + "tdwk-console", {"swfMain vbIntroFinished"},
                                         {}, home, other->pw_uid);
    EXPECT_EQ(second.exitStatus, 0);
    EXPECT_TRUE(second.trace.empty());
  }
  const ConsoleRun alone =
      RunProgram(app.Path() + "tdwk-console", {"swfMain vbIntroFinished"}, {}, home, other->pw_uid);
  EXPECT_EQ(alone.exitStatus, 0);
  EXPECT_FALSE(alone.trace.empty());
}

TEST(ConsoleHostTest, RightButtonMessagesAreDispatchedToEachPlayerWindow) {
  ConsoleApp app;
  const ConsoleRun run =
      app.Run({R"({"event":"message","control":"swfBackgroundCorner","message":513})"});
  const auto messages = run.Ops("Message", "swfBackgroundCorner");
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0]["message"], 513);
  EXPECT_EQ(messages[0]["delivered"], true);
}

TEST(ConsoleHostTest, TimeStopsAtItsEndInsteadOfWrappingAround) {
  std::istringstream input;
  std::ostringstream errors, traced;
  Trace trace(traced);
  ConsoleHost host(input, errors, trace, 15360, 11520);
  int ticks = 0;
  Timer& timer = host.CreateTimer("tmrUnload", 100, [&] { ++ticks; });
  const InputEvent longWait{.kind = InputEvent::Kind::Wait, .ms = INT64_MAX};
  host.Dispatch(longWait);
  host.Dispatch(longWait);
  EXPECT_EQ(host.NowMs(), INT64_MAX);
  timer.SetEnabled(true);  // due after the end of time: never
  host.Dispatch(longWait);
  EXPECT_EQ(ticks, 0);
  EXPECT_FALSE(host.WindowGone());
}

}  // namespace
}  // namespace tdwk::test
