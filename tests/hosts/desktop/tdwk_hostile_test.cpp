// Movies and files that try to break tdwk: a movie shadowing the page's methods with its own
// callbacks, a flood of requests, a file chooser, FIFOs named like data files. Each time the
// program goes on to the next screen.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <random>
#include <string>

#include "tdwk_process.h"
#include "xvfb_display.h"

namespace tdwk::test {
namespace {

using namespace std::chrono_literals;
using ::testing::HasSubstr;

// No profile: the intro leads to the start-up screen, the movie under test, which later asks
// for the game; the game reporting its first frame shows the program went on.
class TdwkHostile : public ::testing::Test {
 protected:
  TdwkHostile() {
    app_.WriteStartMovies({{"vbIntroFinished", ""}});
    app_.WriteMovie("Games/Snake.swf", TestMovie{});
  }

  void WriteStartupScreen(TestMovie movie) {
    movie.later.emplace_back("vbLoadMovie", "SNAKE");
    app_.WriteMovie("Menus/Startup.swf", movie);
  }
  // The game's own first frame, after its load.
  bool ReportsFrameAfterGameLoad() { return ReportsFrameAfterLoadOf("Games/Snake.swf"); }
  // A movie's own first frame in swfMain, after its load.
  bool ReportsFrameAfterLoadOf(const std::string& movie) {
    const auto load = app_.WaitForLine(
        [&movie](const nlohmann::json& line) {
          return Matches(line, {{"op", "LoadMovie"}}) && line.value("url", "").ends_with(movie);
        },
        kMovieTime);
    if (!load) return false;
    return app_
        .WaitForLineAfter(
            *load,
            [](const nlohmann::json& line) {
              return Matches(line, {{"control", "swfMain"}, {"command", kFrameReport}});
            },
            kMovieTime)
        .has_value();
  }

  TdwkApp app_;
};

TEST_F(TdwkHostile, CallbacksNamedLikeThePagesOwnMethodsCannotPinTheLayer) {
  TestMovie movie;
  movie.callbacks = {"onFSCommand", "remove", "style", "ruffle"};
  WriteStartupScreen(movie);
  app_.Start();
  EXPECT_TRUE(ReportsFrameAfterGameLoad()) << app_.Errors();
}

TEST_F(TdwkHostile, AFloodOfRequestsForALargeFileLeavesTdwkSmallAndTheNextScreenLoads) {
  std::string large(2U << 20, '\0');
  std::mt19937 random(7);
  for (char& c : large) c = static_cast<char>(random());
  app_.Folder().WriteFile("Menus/Large.dat", large);
  TestMovie movie;
  for (int level = 10; level < 160; ++level) {
    movie.getUrls.emplace_back("Large.dat", "_level" + std::to_string(level));
  }
  WriteStartupScreen(movie);
  app_.Start();
  EXPECT_TRUE(ReportsFrameAfterGameLoad()) << app_.Errors();
  const std::optional<long> peak = app_.PeakMemoryKib();
  ASSERT_TRUE(peak);
  std::printf("tdwk's peak memory over a flood of 150 requests of 2 MiB: %ld MiB\n", *peak / 1024);
  // Held whole, the requests alone would take 300 MiB or more.
  EXPECT_LT(*peak, 250L * 1024);
}

TEST_F(TdwkHostile, AMoviesFileChooserIsRefusedAndNeverOpens) {
  TestMovie movie;
  movie.browseFiles = true;
  // The press that asks for the chooser also asks for the game: the program goes on after it.
  movie.pressCommands = {{"vbLoadMovie", "SNAKE"}};
  app_.WriteMovie("Menus/Startup.swf", movie);
  app_.Start();
  // The startup screen is on screen, not only the introduction before it.
  ASSERT_TRUE(ReportsFrameAfterLoadOf("Menus/Startup.swf")) << app_.Errors();
  // Browsing may need a press of the user's, on the startup screen's player, which takes the
  // pointer once it has replaced the introduction's: pressed until the page has refused one.
  bool refused = false;
  for (int press = 0; press < 30 && !refused; ++press) {
    TestDisplay().Click(500, 400, 1);
    refused = app_.WaitForError("refused: a file chooser", 1s);
  }
  EXPECT_TRUE(refused) << app_.Errors();
  EXPECT_TRUE(ReportsFrameAfterGameLoad()) << app_.Errors();
}

TEST_F(TdwkHostile, FifosNamedLikeAProfileAndTheLogFailAtOnce) {
  ASSERT_EQ(::mkfifo((app_.Path() + "Users/USER1.DAT").c_str(), 0600), 0);
  ASSERT_EQ(::mkfifo((app_.Path() + "Logs/Log.dat").c_str(), 0600), 0);
  // Picking the FIFO's profile reads it, and its failure is logged into the other FIFO; the
  // home menu then asks for the game.
  TestMovie startup;
  startup.commands = {{"vbPickUser", "USER1"}};
  app_.WriteMovie("Menus/Startup.swf", startup);
  TestMovie home;
  home.later = {{"vbLoadMovie", "SNAKE"}};
  app_.WriteMovie("Menus/Home.swf", home);
  app_.Start();
  EXPECT_TRUE(ReportsFrameAfterGameLoad()) << app_.Errors();
}

}  // namespace
}  // namespace tdwk::test
