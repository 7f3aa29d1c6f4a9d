#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "hosts/console/console_run.h"
#include "support/profile_bytes.h"
#include "support/score_table_bytes.h"

namespace tdwk::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

// One child, Sam, born on 4 May 1997, and a full score table for the snake game.
class ConsoleGameTest : public ::testing::Test {
 protected:
  ConsoleGameTest() {
    app.Folder().WriteFile("Users/USER1.DAT", ProfileBytes("Sam", "Hill", 35554.0));
    app.Folder().WriteFile(
        "High Scores/HUNGRY_FROGS.dat",
        TableBytes(Ranked({"900", "800", "700", "600", "500", "400", "300", "200", "150", "100"})));
  }

  ConsoleApp app;
};

TEST_F(ConsoleGameTest, AGameFromTheHomeMenuRecordsAScoreAndAnswersTheTopScore) {
  const ConsoleRun run = app.Run({"swfMain vbIntroFinished", "swfMain vbLoadMovie SNAKE",
                                  "swfMain vbCheckScores 950", "swfMain vbCheckScores 20"});
  EXPECT_EQ(run.exitStatus, 0);
  const auto loads = run.Ops("LoadMovie", "swfMain");
  ASSERT_EQ(loads.size(), 3u);  // introduction, home menu, game
  EXPECT_EQ(loads[2]["url"], app.Path() + "/Games/Snake.swf");

  std::vector<std::string> topScores;
  for (const auto& line : run.Ops("SetVariable", "swfMain")) {
    if (line["name"] == "TOP_SCORE") topScores.push_back(line["value"]);
  }
  // The home menu is no game; the game's publication has the stored best; each check the
  // best after it.
  EXPECT_THAT(topScores, ElementsAre("", "900", "950", "950"));
  EXPECT_EQ(run.LastVariable("FIRST_NAME"), "Sam");
  EXPECT_EQ(run.LastVariable("SURNAME"), "Hill");
  EXPECT_EQ(run.LastVariable("VALIDATED"), "1");
  EXPECT_THAT(app.Folder().ReadFile("High Scores/HUNGRY_FROGS.dat"),
              ::testing::StartsWith(TableBytes({{"Sam", "950"}, {"A", "900"}})));
}

TEST_F(ConsoleGameTest, AScoreFromAMovieThatIsNoGameIsLoggedAndAnswersZero) {
  const ConsoleRun run = app.Run({"swfMain vbIntroFinished", "swfMain vbCheckScores 950"});
  EXPECT_EQ(run.LastVariable("TOP_SCORE"), "0");
  EXPECT_FALSE(app.Folder().Exists("High Scores/.dat"));
  EXPECT_THAT(app.Folder().ReadFile("Logs/Log.dat"),
              HasSubstr("    Module: frmTDWK, Procedure: GetHighScores\r\n"));
}

TEST_F(ConsoleGameTest, TheHighScoreScreenShowsEveryTableThatExists) {
  const ConsoleRun run =
      app.Run({"swfMain vbIntroFinished", "swfMain vbLoadMovie SNAKE", "swfMain vbCheckScores 950",
               "swfBackgroundLeft vbLoadMovie HIGH_SCORE"});
  const auto loads = run.Ops("LoadMovie", "swfMain");
  ASSERT_FALSE(loads.empty());
  EXPECT_EQ(loads.back()["url"], app.Path() + "/Menus/HighScores.swf");
  EXPECT_EQ(run.LastVariable("MOVIE"), "");
  EXPECT_EQ(run.LastVariable("SNAKE_NAME_1"), "Sam");
  EXPECT_EQ(run.LastVariable("SNAKE_SCORE_1"), "950");
  EXPECT_EQ(run.LastVariable("SNAKE_SCORE_10"), "150");
  EXPECT_FALSE(run.HasVariable("SCAB_NAME_1"));  // no table shipped for that game
  ASSERT_FALSE(run.Ops("Play", "swfMain").empty());
  EXPECT_EQ(run.trace[run.trace.size() - 2].dump(), R"({"control":"swfMain","op":"Play"})");
}

TEST_F(ConsoleGameTest, TheTimeGadgetGetsTheCountdownsForTheFixedClock) {
  const ConsoleRun run =
      app.Run({"swfMain vbIntroFinished", "swfMain vbLoadMovie TIME", "swfMain vbGetTimes"}, {},
              {{"TDWK_NOW", "2004-05-03T18:30:00"}});
  EXPECT_EQ(run.LastVariable("BDAY_DAYS"), "1");
  EXPECT_EQ(run.LastVariable("BDAY_HOURS"), "6");
  EXPECT_EQ(run.LastVariable("BDAY_SECONDS"), "19,800");
  EXPECT_EQ(run.LastVariable("BIRTHDAY"), "0");
  EXPECT_EQ(run.LastVariable("XMAS_DAYS"), "236");
  EXPECT_EQ(run.LastVariable("XMAS_SECONDS"), "20,323,800");
  EXPECT_FALSE(run.HasVariable("BIRTHDAY_MESSAGE"));

  const ConsoleRun birthday = app.Run({"swfMain vbIntroFinished", "swfMain vbGetTimes"}, {},
                                      {{"TDWK_NOW", "2005-05-04T08:00:00"}});
  EXPECT_EQ(birthday.LastVariable("BIRTHDAY"), "1");
  EXPECT_EQ(birthday.LastVariable("BIRTHDAY_MESSAGE"), "Happy\rBirthday\rSam");
}

TEST(ConsoleMessagesTest, RightButtonPressesNeverReachAPlayerEverythingElseDoes) {
  ConsoleApp app;
  std::vector<std::string> input;
  const char* layers[] = {"swfMain", "swfBackgroundTop", "swfBackgroundLeft",
                          "swfBackgroundCorner"};
  for (const char* layer : layers) {
    for (int message : {516, 517, 513}) {
      input.push_back(std::string(R"({"event":"message","control":")") + layer + R"(","message":)" +
                      std::to_string(message) + "}");
    }
  }
  const ConsoleRun run = app.Run(input);
  EXPECT_EQ(run.exitStatus, 0);
  for (const char* layer : layers) {
    const auto messages = run.Ops("Message", layer);
    ASSERT_EQ(messages.size(), 3u) << layer;
    EXPECT_EQ(messages[0]["delivered"], false);
    EXPECT_EQ(messages[0]["result"], 1);
    EXPECT_EQ(messages[1]["delivered"], true);
    EXPECT_EQ(messages[1]["message"], 517);
    EXPECT_EQ(messages[2]["delivered"], true);
    EXPECT_EQ(messages[2]["message"], 513);
  }
}

}  // namespace
}  // namespace tdwk::test
