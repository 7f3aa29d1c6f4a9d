#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "base/vb_error.h"
#include "support/shell_fixture.h"

namespace tdwk::test {
namespace {

using ::testing::ElementsAre;

std::vector<std::string> Strings(const CallLog& calls) {
  std::vector<std::string> lines;
  for (const Call& call : calls) lines.push_back(call.ToString());
  return lines;
}

class MainWindowTest : public ShellTest {};

TEST_F(MainWindowTest, LoadingLaysOutTheFrameAndStartsTheIntroduction) {
  Shell& s = NewShell();
  s.state.appPath = folder.Path();
  s.state.subclassedWindows.emplace();
  s.frmTDWK.Create();
  host.ShowModal(s.frmTDWK);
  const std::string app = folder.Path();
  EXPECT_THAT(Strings(calls),
              ElementsAre("frmTDWK Set Width=15360", "frmTDWK Set Height=11520",
                          "swfBackgroundTop Set Width=15160", "swfBackgroundTop Set Height=1250",
                          "swfBackgroundTop Set Left=0", "swfBackgroundTop Set Top=0",
                          "swfBackgroundTop LoadMovie " + app + "/Menus/BackgroundTop.swf",
                          "swfBackgroundTop BringToFront", "swfBackgroundLeft Set Width=1250",
                          "swfBackgroundLeft Set Height=10070", "swfBackgroundLeft Set Left=0",
                          "swfBackgroundLeft Set Top=1220",
                          "swfBackgroundLeft LoadMovie " + app + "/Menus/BackgroundLeft.swf",
                          "swfBackgroundCorner Set Width=500", "swfBackgroundCorner Set Height=500",
                          "swfBackgroundCorner Set Left=1250", "swfBackgroundCorner Set Top=1250",
                          "swfBackgroundCorner LoadMovie " + app + "/Menus/BackgroundCorner.swf",
                          "swfMain Set Left=0", "swfMain Set Top=0", "swfMain Set Width=15360",
                          "swfMain Set Height=11520",
                          "swfMain LoadMovie " + app + "/Menus/Intro.swf", "swfMain BringToFront"));
}

TEST_F(MainWindowTest, ControlsAreCreatedWithTheirSettings) {
  StartedShell();
  EXPECT_EQ(host.Control("swfMain").Settings().scale, "ExactFit");
  EXPECT_EQ(host.Control("swfMain").Settings().salign, "");
  EXPECT_EQ(host.Control("swfBackgroundTop").Settings().scale, "NoScale");
  EXPECT_EQ(host.Control("swfBackgroundTop").Settings().salign, "LT");
  EXPECT_EQ(host.Control("swfBackgroundLeft").Settings().salign, "LT");
  EXPECT_EQ(host.Control("swfBackgroundCorner").Settings().scale, "ExactFit");
  for (const char* name :
       {"swfMain", "swfBackgroundTop", "swfBackgroundLeft", "swfBackgroundCorner"}) {
    const FlashSettings& settings = host.Control(name).Settings();
    EXPECT_EQ(settings.wmode, "Window");
    EXPECT_EQ(settings.quality, "High");
    EXPECT_EQ(settings.allowScriptAccess, "always");
    EXPECT_FALSE(settings.play || settings.loop || settings.menu || settings.deviceFont ||
                 settings.embedMovie);
  }
  EXPECT_FALSE(host.Control("swfBackgroundCorner").HasFSCommandHandler());
}

TEST_F(MainWindowTest, TheHomeMenuTakesTheContentAreaAndGreetsTheChild) {
  Shell& s = StartedShell();
  s.state.currentChild = child_details{};
  s.state.currentChild->firstName = "Sam";
  s.frmTDWK.showHomeMenu(false);
  // The child's publication after the load is tested with the child attributes.
  std::erase_if(calls,
                [](const Call& c) { return c.op == "SetVariable" && c.name != "welcomeMsg"; });
  const std::string app = folder.Path();
  EXPECT_THAT(
      Strings(calls),
      ElementsAre("swfMain Set Width=13710", "swfMain Set Height=9870", "swfMain Set Left=1450",
                  "swfMain Set Top=1450", "swfMain LoadMovie " + app + "/Menus/Home.swf",
                  "swfMain SetVariable welcomeMsg=Welcome Sam, this is a demonstration "
                  "version of tindlewick",
                  "swfBackgroundTop Play"));
}

TEST_F(MainWindowTest, WithoutAChildTheHomeMenuStopsAtTheGreeting) {
  Shell& s = StartedShell();
  EXPECT_THROW(s.frmTDWK.showHomeMenu(false), VbError);
  ASSERT_EQ(calls.size(), 5u);
  EXPECT_EQ(calls.back().op, "LoadMovie");
  EXPECT_EQ(Main().Variables().count("welcomeMsg"), 0u);
}

TEST_F(MainWindowTest, LoadingTheCurrentMovieAgainDoesNothing) {
  Shell& s = StartedShell();
  const std::string stories = folder.Path() + "/Menus/Stories.swf";
  s.frmTDWK.LoadMovie(stories, true);
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls.back().ToString(), "swfMain Play");
  calls.clear();
  s.frmTDWK.LoadMovie(stories, true);
  EXPECT_TRUE(calls.empty());
  // The comparison is exact: another letter case is another movie.
  s.frmTDWK.LoadMovie(folder.Path() + "/Menus/stories.swf", false);
  EXPECT_EQ(calls.front().op, "LoadMovie");
}

TEST_F(MainWindowTest, AFailingLoadIsLoggedUnderLoadMovie) {
  Shell& s = StartedShell();
  Main().FailOn("LoadMovie");
  s.frmTDWK.LoadMovie(folder.Path() + "/Menus/Games.swf", true);
  EXPECT_THAT(Log(), ::testing::HasSubstr("Module: frmTDWK, Procedure: LoadMovie\r\n"));
  EXPECT_TRUE(host.messageBoxes.empty());
}

TEST_F(MainWindowTest, TheExitConfirmationFrameDependsOnTheProfileCount) {
  Shell& s = StartedShell();
  for (const auto& [count, frame] : std::vector<std::pair<int, int>>{{1, 2}, {0, 1}, {2, 1}}) {
    s.state.userCount = static_cast<std::int16_t>(count);
    calls.clear();
    s.frmTDWK.showExitConfirmation();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back().ToString(), "swfMain GotoFrame " + std::to_string(frame));
  }
}

TEST_F(MainWindowTest, TheFinishMovieTakesTheWholeWindowWithoutChildDetails) {
  Shell& s = StartedShell();
  s.frmTDWK.showFinishMovie();
  EXPECT_THAT(Strings(calls),
              ElementsAre("swfMain Set Left=0", "swfMain Set Top=0", "swfMain Set Width=15360",
                          "swfMain Set Height=11520", "swfBackgroundTop GotoFrame 0",
                          "swfMain LoadMovie " + folder.Path() + "/Menus/Finish.swf"));
}

TEST_F(MainWindowTest, TheTimerUnloadsTheWindowHalfASecondLater) {
  Shell& s = StartedShell();
  s.state.currentChild = child_details{};
  s.frmTDWK.tmrUnload().SetEnabled(true);
  host.Advance(499);
  EXPECT_FALSE(host.WindowGone());
  host.Advance(1);
  EXPECT_TRUE(host.WindowGone());
  EXPECT_FALSE(s.state.currentChild.has_value());
  EXPECT_FALSE(s.frmTDWK.UnloadFailed());
}

TEST_F(MainWindowTest, AScreenTooSmallForTheFrameIsALoggedFailureOfTheLoad) {
  TestConsoleHost tiny(calls, 100, 100);
  platform = std::make_unique<Platform>(Platform{tiny, tiny.playerWindows(), files, clock, locale,
                                                 codePage, lock, folder.Path(), ""});
  shell = std::make_unique<Shell>(*platform);
  shell->state.appPath = folder.Path();
  shell->frmTDWK.Create();
  tiny.ShowModal(shell->frmTDWK);
  ASSERT_EQ(tiny.messageBoxes.size(), 1u);
  EXPECT_THAT(tiny.messageBoxes[0],
              ::testing::StartsWith("There was a problem loading the main screen."));
  EXPECT_THAT(Log(), ::testing::HasSubstr("*** Error: 380 - Invalid property value\r\n"
                                          "    Module: frmTDWK, Procedure: Form_Load"));
}

}  // namespace
}  // namespace tdwk::test
