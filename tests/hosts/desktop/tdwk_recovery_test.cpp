// tdwk recovers from its player: a player that panics and a web process that dies are
// replaced, with every layer's movie, and a movie that panics in a loop is given up.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <string>
#include <thread>

#include "tdwk_process.h"

namespace tdwk::test {
namespace {

using namespace std::chrono_literals;
using ::testing::HasSubstr;
using Json = nlohmann::json;

// How often a layer's movie has started (reported its first frame) so far.
std::size_t Starts(const std::vector<Json>& trace, const std::string& control) {
  std::size_t count = 0;
  for (const Json& line : trace) {
    if (Matches(line, {{"control", control}, {"command", kFrameReport}, {"args", "0"}})) ++count;
  }
  return count;
}

bool WaitForStarts(TdwkApp& app, const std::string& control, std::size_t count) {
  return app.WaitForCount({{"control", control}, {"command", kFrameReport}, {"args", "0"}}, count,
                          kMovieTime);
}

TEST(TdwkRecovery, AKilledWebProcessIsReplacedWithEveryLayersMovieAndItsVariables) {
  TdwkApp app;
  app.WriteStartMovies({{"vbIntroFinished", ""}});
  TestMovie startup;
  startup.watch = {"NUM_USERS"};
  app.WriteMovie("Menus/Startup.swf", startup);
  app.Start();
  ASSERT_TRUE(app.WaitForCommand("swfMain", kVariableReport, "NUM_USERS=0", kMovieTime))
      << app.Errors();
  const std::size_t before = Starts(app.Trace(), "swfBackgroundTop");
  std::size_t killed = 0;
  for (const auto& [pid, name] : app.Descendants()) {
    if (name.starts_with("WebKitWebProces") && ::kill(pid, SIGKILL) == 0) ++killed;
  }
  ASSERT_GT(killed, 0u);
  // The start-up screen plays again, given its variables again; so do the backgrounds.
  EXPECT_TRUE(WaitForStarts(app, "swfBackgroundTop", before + 1)) << app.Errors();
  EXPECT_TRUE(app.WaitForCount({{"control", "swfMain"}, {"args", "NUM_USERS=0"}}, 2, kMovieTime))
      << app.Errors();
  EXPECT_THAT(app.Folder().ReadFile("Logs/Log.dat"), HasSubstr("restarted with every layer"))
      << app.Errors();
}

// Arrays nested a hundred thousand deep, passed to the page, overflow the player's stack as it
// goes over them: its code traps, and the page's players with it, with no panic screen shown.
// Restarted, the movie does the same again.
TEST(TdwkRecovery, APanickingPlayerIsReplacedOnceAndThenItsLayerLeftEmptyWhileTheOthersPlay) {
  TdwkApp app;
  app.WriteStartMovies({{"vbIntroFinished", ""}});
  TestMovie panicking;
  panicking.nestedArrays = 100000;
  app.WriteMovie("Menus/Startup.swf", panicking);
  app.Start();
  ASSERT_TRUE(app.WaitForError("panicked again", kMovieTime)) << app.Errors();
  const std::size_t before = Starts(app.Trace(), "swfBackgroundTop");
  const std::string log = app.Folder().ReadFile("Logs/Log.dat");
  EXPECT_THAT(log, HasSubstr("panicked playing"));
  EXPECT_THAT(log, HasSubstr("the layer stays empty"));
  // The page restarted once more without the movie, and the backgrounds play.
  EXPECT_TRUE(WaitForStarts(app, "swfBackgroundTop", before + 1)) << app.Errors();
}

}  // namespace
}  // namespace tdwk::test
