// The product's screens played through tdwk with real players: test movies stand in for the
// product's movies, send the commands a child's visit sends and report back, through movie
// commands of their own, the variables they were given.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "support/profile_bytes.h"
#include "tdwk_process.h"
#include "xvfb_display.h"

namespace tdwk::test {
namespace {

using namespace std::chrono_literals;
using ::testing::HasSubstr;
using ::testing::Not;
using Json = nlohmann::json;
using Clock = std::chrono::steady_clock;

TestMovie Screen(std::vector<std::string> watch,
                 std::vector<std::pair<std::string, std::string>> then, std::uint8_t version = 8) {
  TestMovie movie;
  movie.version = version;
  movie.watch = std::move(watch);
  movie.afterReports = std::move(then);
  return movie;
}

// Two children; the first picks her name, plays the snake game, scores and leaves.
class TdwkScreens : public ::testing::Test {
 protected:
  TdwkScreens() {
    app_.WriteStartMovies({{"vbIntroFinished", ""}});
    app_.Folder().WriteFile("Users/USER1.DAT", ProfileBytes("Sam", "smith", 39000.0, "F"));
    app_.Folder().WriteFile("Users/USER2.DAT", ProfileBytes("Ben", "Jones", 39500.0, "M"));
    // The game's score table as the product ships it: ten empty entries.
    app_.Folder().WriteFile("High Scores/HUNGRY_FROGS.dat", std::string(40, '\0'));
    // The start-up screen is a version 6 movie, the others version 8.
    app_.WriteMovie("Menus/Startup.swf",
                    Screen({"NUM_USERS", "ACTION_TYPE", "USER_NAME1", "USER_SEX1", "USER_NAME2"},
                           {{"vbPickUser", "USER1"}}, 6));
    app_.WriteMovie("Menus/Home.swf", Screen({"welcomeMsg"}, {{"vbLoadMovie", "SNAKE"}}));
    // The game scores at once and leaves a second later, having been told who plays.
    TestMovie snake = Screen({"FIRST_NAME", "TOP_SCORE"}, {});
    snake.commands = {{"vbCheckScores", "150"}};
    snake.later = {{"QUIT", ""}};
    app_.WriteMovie("Games/Snake.swf", snake);
    app_.WriteMovie("Menus/confirmExit.swf", Screen({}, {{"confirmExit", "exit"}}));
    app_.WriteMovie("Menus/Finish.swf", Screen({}, {{"CLOSE", ""}}));
  }

  bool Reported(const std::string& control, const std::string& report) {
    return app_.WaitForCommand(control, kVariableReport, report, kMovieTime).has_value();
  }
  // Whether the content layer's movie reported a variable's value.
  static bool Reported(const std::vector<Json>& trace, const std::string& report) {
    const Json pattern = {{"control", "swfMain"},
                          {"op", "FSCommand"},
                          {"command", kVariableReport},
                          {"args", report}};
    return std::any_of(trace.begin(), trace.end(),
                       [&](const Json& line) { return Matches(line, pattern); });
  }

  TdwkApp app_;
};

TEST_F(TdwkScreens, AVisitWalksTheScreensPersonalisesTheGameRecordsItsScoreAndCloses) {
  app_.Start();
  // CLOSE, the last command of the visit.
  ASSERT_TRUE(app_.WaitForCommand("swfMain", "CLOSE", "", 2 * kMovieTime)) << app_.Errors();
  const auto closed = Clock::now();
  EXPECT_EQ(app_.WaitForExit(10s), 0);
  const auto after = Clock::now() - closed;
  EXPECT_GE(after, 350ms);
  EXPECT_LT(after, 3s);
  const auto trace = app_.Trace();
  EXPECT_EQ(trace.back(), (Json{{"op", "Unload"}}));

  EXPECT_TRUE(Reported(trace, "ACTION_TYPE=SELECT"));
  EXPECT_TRUE(Reported(trace, "NUM_USERS=2"));
  EXPECT_TRUE(Reported(trace, "USER_NAME1=Sam S"));
  EXPECT_TRUE(Reported(trace, "USER_NAME2=Ben J"));
  EXPECT_TRUE(
      Reported(trace, "welcomeMsg=Welcome Sam, this is a demonstration version of tindlewick"));
  // The exit confirmation went to frame 1, as there are two profiles.
  EXPECT_TRUE(std::any_of(trace.begin(), trace.end(), [](const Json& line) {
    return Matches(line, {{"control", "swfMain"}, {"command", kFrameReport}, {"args", "1"}});
  }));
  // The game was told who plays, and the score went into its table under her first name.
  EXPECT_TRUE(Reported(trace, "FIRST_NAME=Sam"));
  EXPECT_TRUE(Reported(trace, "TOP_SCORE=150"));
  const std::string table = app_.Folder().ReadFile("High Scores/HUNGRY_FROGS.dat");
  EXPECT_EQ(table.substr(0, 10), std::string("\x03\x00Sam\x03\x00"
                                             "150",
                                             10));
  EXPECT_FALSE(app_.Folder().Exists("Logs/Log.dat")) << app_.Folder().ReadFile("Logs/Log.dat");
}

TEST_F(TdwkScreens, RightButtonPressesNeverReachThePlayersWhileOtherButtonsDo) {
  // Stays on the start-up screen: nobody picks a name.
  app_.WriteMovie("Menus/Startup.swf", Screen({"NUM_USERS"}, {}));
  app_.Start();
  ASSERT_TRUE(Reported("swfMain", "NUM_USERS=2")) << app_.Errors();
  // The start-up screen covers the whole window, over the backgrounds.
  TestDisplay().Click(500, 400, 3);
  TestDisplay().Click(500, 400, 1);
  ASSERT_TRUE(app_.WaitForCommand("swfMain", kPressReport, "", kMovieTime));
  // The release may be dispatched after the movie has reported the press: look for a while.
  const auto message = [&](int number, bool delivered, int result) {
    const Json pattern = {{"control", "swfMain"},
                          {"op", "Message"},
                          {"message", number},
                          {"delivered", delivered},
                          {"result", result}};
    return app_.WaitForLine([&](const Json& line) { return Matches(line, pattern); }, 10s)
        .has_value();
  };
  EXPECT_TRUE(message(516, false, 1));
  EXPECT_TRUE(message(517, true, 0));
  EXPECT_TRUE(message(513, true, 0));
  EXPECT_TRUE(message(514, true, 0));
}

TEST(TdwkUserManager, SavingAProfileReadsTheFormsVariablesFromTheMovie) {
  TdwkApp app;
  app.WriteStartMovies({{"vbIntroFinished", ""}});
  // No profile yet: the start-up screen is the user manager. Its form holds a new child.
  TestMovie form;
  form.version = 6;
  form.defines = {{"DAY", "9"},           {"MONTH", "12"},      {"YEAR", "2019"},
                  {"FIRST_NAME", "Zoë"},  {"SURNAME", "Quinn"}, {"SEX", "F"},
                  {"ADULT_TYPE1", "mum"}, {"ADULT_NAME1", "Jo"}};
  for (const char* empty :
       {"BROTHERS_NAME_1", "BROTHERS_NAME_2", "BROTHERS_NAME_3", "TOWN_CITY_NAME", "COUNTRY_NAME",
        "FRIENDS_NAME_1", "FRIENDS_NAME_2", "FRIENDS_NAME_3", "MIDDLE_NAME", "FAVOURITE_PET_NAME",
        "PET_TYPE", "SCHOOL_NAME", "SISTERS_NAME_1", "SISTERS_NAME_2", "SISTERS_NAME_3",
        "STREET_NAME", "TEACHERS_NAME"}) {
    form.defines.emplace_back(empty, "");
  }
  form.watch = {"ACTION_TYPE", "NUM_USERS"};
  form.afterReports = {{"vbSaveUser", "ADD"}};
  app.WriteMovie("Menus/Startup.swf", form);
  app.Start();

  // Saved, listed again and the form sent to frame 1.
  ASSERT_TRUE(app.WaitForCommand("swfMain", kVariableReport, "NUM_USERS=1", kMovieTime))
      << app.Errors();
  ASSERT_TRUE(app.WaitForLine(
      [](const Json& line) {
        return Matches(line, {{"op", "GotoFrame"}, {"frame", 1}});
      },
      kMovieTime));
  const auto trace = app.Trace();
  EXPECT_TRUE(std::any_of(trace.begin(), trace.end(), [](const Json& line) {
    return Matches(line, {{"op", "SetVariable"}, {"name", "USER_NAME1"}, {"value", "Zoë Q"}});
  }));
  EXPECT_TRUE(std::any_of(trace.begin(), trace.end(), [](const Json& line) {
    return Matches(line, {{"op", "GetVariable"}, {"name", "ADULT_NAME1"}, {"value", "Jo"}});
  }));
  const std::string profile = app.Folder().ReadFile("Users/USER1.DAT");
  EXPECT_THAT(profile, HasSubstr("Zo\xEB"));  // in the files' code page
  EXPECT_THAT(profile, HasSubstr("Quinn"));
  EXPECT_THAT(profile, HasSubstr("Jo"));
  // Only the empty users folder of the start is logged, as the shell always does; no failure.
  EXPECT_THAT(app.Folder().ReadFile("Logs/Log.dat"), Not(HasSubstr("*** Error")));
}

}  // namespace
}  // namespace tdwk::test
