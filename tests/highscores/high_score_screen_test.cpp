#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "highscores/game_table.h"
#include "support/score_table_bytes.h"
#include "support/shell_fixture.h"

namespace tdwk::test {
namespace {

class HighScoreScreenTest : public ShellTest {
 protected:
  void SetUp() override {
    StartedShell();
    for (const GameRow& game : kGameTable) {
      folder.WriteFile("High Scores/" + std::string(game.identifier) + ".dat",
                       TableBytes(Ranked({"10", "9", "8", "7", "6", "5", "4", "3", "2", "1"})));
    }
  }
  void Show() { shell->highScoreScreen.ShowHighScores(folder.Path(), ""); }

  // The calls after the one that set "MOVIE".
  std::vector<std::string> AfterMovie() const {
    std::vector<std::string> lines;
    bool seen = false;
    for (const Call& call : calls) {
      if (call.op == "SetVariable" && call.name == "MOVIE") seen = true;
      if (seen) lines.push_back(call.ToString());
    }
    return lines;
  }
};

TEST_F(HighScoreScreenTest, EveryGamesTableIsPublishedInOrderThenTheScreenPlays) {
  Show();
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls.front().ToString(),
            "swfMain LoadMovie " + folder.Path() + "/Menus/HighScores.swf");
  const std::vector<std::string> lines = AfterMovie();
  ASSERT_EQ(lines.size(), 202u);  // 201 variables and the Play
  EXPECT_EQ(lines[0], "swfMain SetVariable MOVIE=");
  const char* prefixes[] = {"SCAB",  "FROGGY", "JIGSAW", "PEGS",  "DEDUCTION",
                            "PAIRS", "PADDLE", "MEMORY", "SNAKE", "TIC"};
  for (std::size_t game = 0; game < 10; ++game) {
    EXPECT_EQ(lines[1 + game * 20],
              std::string("swfMain SetVariable ") + prefixes[game] + "_NAME_1=A");
    EXPECT_EQ(lines[20 + game * 20],
              std::string("swfMain SetVariable ") + prefixes[game] + "_SCORE_10=1");
  }
  EXPECT_EQ(lines.back(), "swfMain Play");
}

TEST_F(HighScoreScreenTest, AskingAgainPublishesAgainWithoutReloading) {
  Show();
  calls.clear();
  Show();
  EXPECT_EQ(calls.front().ToString(), "swfMain SetVariable MOVIE=");
  EXPECT_EQ(calls.size(), 202u);
  EXPECT_EQ(calls.back().ToString(), "swfMain Play");
}

TEST_F(HighScoreScreenTest, WhileTheInstructionsShowNothingHappens) {
  Main().LoadMovie(0, folder.Path() + "/Menus/Instructions.swf");
  calls.clear();
  Show();
  EXPECT_TRUE(calls.empty());
  // Another base path is another movie.
  shell->highScoreScreen.ShowHighScores(folder.Path() + "x", "");
  EXPECT_FALSE(calls.empty());
}

TEST_F(HighScoreScreenTest, AMissingTableLeavesOnlyThatGameOut) {
  std::filesystem::remove(folder.Path() + "High Scores/JIGSAW.dat");
  Show();
  const std::vector<std::string> lines = AfterMovie();
  EXPECT_EQ(lines.size(), 182u);
  for (const std::string& line : lines)
    EXPECT_THAT(line, ::testing::Not(::testing::HasSubstr("JIGSAW")));
  EXPECT_EQ(lines.back(), "swfMain Play");
  EXPECT_THAT(Log(), ::testing::HasSubstr("Procedure: GetHighScores"));
}

TEST_F(HighScoreScreenTest, AFailingControlIsReportedUnderShowHighScores) {
  Main().FailOn("Play");
  Show();
  EXPECT_THAT(Log(), ::testing::HasSubstr("    Module: frmTDWK, Procedure: ShowHighScores\r\n"));
}

}  // namespace
}  // namespace tdwk::test
