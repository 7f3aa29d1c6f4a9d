#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "base/vb_error.h"
#include "support/faulty_file_system.h"
#include "support/score_table_bytes.h"
#include "support/shell_fixture.h"

namespace tdwk::test {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

class HighScoresTest : public ShellTest {
 protected:
  void SetUp() override {
    Shell& s = StartedShell();
    s.state.currentChild = child_details{};
    s.state.currentChild->firstName = "Tom";
  }

  void WriteTable(const std::string& identifier, const std::vector<std::string>& scores) {
    folder.WriteFile("High Scores/" + identifier + ".dat", TableBytes(Ranked(scores)));
  }
  std::string Table(const std::string& identifier) const {
    return folder.ReadFile("High Scores/" + identifier + ".dat");
  }
  void Check(const std::string& relativeMovie, const std::string& score) {
    shell->highScores.CheckHighScore(folder.Path() + relativeMovie, score);
  }
  std::string TopScore() {
    const auto& variables = host.Control("swfMain").Variables();
    const auto found = variables.find("TOP_SCORE");
    return found == variables.end() ? "<unset>" : found->second;
  }

  const std::vector<std::string> kDescending{"900", "800", "700", "600", "500",
                                             "400", "300", "200", "150", "100"};
};

TEST_F(HighScoresTest, AScoreEqualToTheTenthIsNotRecordedOneAboveItIsTenth) {
  WriteTable("PEGS", kDescending);
  const std::string before = Table("PEGS");
  Check("/Games/Pegs.swf", "100");
  EXPECT_EQ(Table("PEGS"), before);
  EXPECT_EQ(TopScore(), "900");

  Check("/Games/Pegs.swf", "101");
  auto expected = Ranked(kDescending);
  expected[9] = {"Tom", "101"};
  EXPECT_EQ(Table("PEGS"), TableBytes(expected));
}

TEST_F(HighScoresTest, OfEqualScoresTheOlderStaysAbove) {
  WriteTable("PAIRS", {"900", "800", "500", "500", "500", "400", "300", "200", "100", "50"});
  Check("/Games/Pairs.swf", "500");
  EXPECT_EQ(Table("PAIRS"), TableBytes({{"A", "900"},
                                        {"B", "800"},
                                        {"C", "500"},
                                        {"D", "500"},
                                        {"E", "500"},
                                        {"Tom", "500"},
                                        {"F", "400"},
                                        {"G", "300"},
                                        {"H", "200"},
                                        {"I", "100"}}));

  WriteTable("PAIRS", {"900", "800", "500", "500", "500", "500", "500", "500", "500", "500"});
  const std::string full = Table("PAIRS");
  Check("/Games/Pairs.swf", "500");
  EXPECT_EQ(Table("PAIRS"), full);
}

TEST_F(HighScoresTest, ANewBestGoesFirstAndIsTheTopScoreAtOnce) {
  WriteTable("HUNGRY_FROGS", kDescending);
  Check("/Games/Snake.swf", "1000");
  auto expected = Ranked(kDescending);
  expected.insert(expected.begin(), {"Tom", "1000"});
  expected.pop_back();
  EXPECT_EQ(Table("HUNGRY_FROGS"), TableBytes(expected));
  EXPECT_EQ(TopScore(), "1000");
  EXPECT_THAT(calls.back().ToString(), "swfMain SetVariable TOP_SCORE=1000");
}

TEST_F(HighScoresTest, ScoreTextsAreReadAsTheirLeadingNumberRoundedHalfToEven) {
  const std::vector<std::string> low{"90", "80", "70", "60", "50", "40", "30", "20", "5", "-1"};
  for (const auto& [text, stored] : std::vector<std::pair<std::string, std::string>>{
           {"12.5", "12"}, {"13.5", "14"}, {"abc", "0"}, {"", "0"}, {"  7 points", "7"}}) {
    WriteTable("MEMORY", low);
    Check("/Games/Memory.swf", text);
    auto expected = Ranked(low);
    expected[9] = {"Tom", stored};
    if (stored != "0") std::swap(expected[9], expected[8]);  // above the 5, below the 20
    EXPECT_EQ(Table("MEMORY"), TableBytes(expected)) << text;
  }
}

TEST_F(HighScoresTest, AScoreBeyondSixteenBitsIsAnOverflowAndChangesNothing) {
  WriteTable("JIGSAW", kDescending);
  const std::string before = Table("JIGSAW");
  Check("/Games/Jigsaw.swf", "40000");
  EXPECT_EQ(Table("JIGSAW"), before);
  EXPECT_EQ(TopScore(), "<unset>");
  EXPECT_THAT(Log(), HasSubstr("*** Error: 6 - Overflow\r\n"
                               "    Module: frmTDWK, Procedure: CheckHighScore\r\n"));
}

TEST_F(HighScoresTest, ARewrittenTableHoldsExactlyTwentyStrings) {
  WriteTable("DEDUCTION", kDescending);
  Check("/Games/Deduction.swf", "150");
  const std::string bytes = Table("DEDUCTION");
  // Nine entries of eight bytes, then Tom below the older 150, and nothing after him.
  ASSERT_EQ(bytes.size(), 82u);
  EXPECT_EQ(bytes.substr(0, 8), std::string("\x01\x00"
                                            "A\x03\x00"
                                            "900",
                                            8));
  EXPECT_EQ(bytes.substr(64, 8), std::string("\x01\x00"
                                             "I\x03\x00"
                                             "150",
                                             8));
  EXPECT_EQ(bytes.substr(72), std::string("\x03\x00Tom\x03\x00"
                                          "150",
                                          10));
}

TEST_F(HighScoresTest, AShortTableReadsAsFullAndIsWrittenBackWhole) {
  folder.WriteFile("High Scores/PEGS.dat", TableBytes({{"Ann", "40"}}) + StoredText("Bob"));
  const auto table = shell->highScores.GetHighScores("PEGS");
  ASSERT_TRUE(table.has_value());
  EXPECT_EQ((*table)[1].Name, "Bob");
  EXPECT_EQ((*table)[1].Score, "");
  EXPECT_EQ((*table)[9].Name, "");

  Check("/Games/Pegs.swf", "5");
  EXPECT_EQ(Table("PEGS"), TableBytes({{"Ann", "40"},
                                       {"Tom", "5"},
                                       {"Bob", ""},
                                       {"", ""},
                                       {"", ""},
                                       {"", ""},
                                       {"", ""},
                                       {"", ""},
                                       {"", ""},
                                       {"", ""}}));
}

TEST_F(HighScoresTest, AReadOnlyTableIsReplacedByANormalFile) {
  WriteTable("TIC_TAC_TOE", kDescending);
  const std::string path = folder.Path() + "High Scores/TIC_TAC_TOE.dat";
  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
  Check("/Games/TicTacToe.swf", "950");
  EXPECT_THAT(Table("TIC_TAC_TOE"), ::testing::StartsWith(TableBytes({{"Tom", "950"}})));
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_TRUE(info.st_mode & S_IWUSR);
}

TEST_F(HighScoresTest, ATableThatCannotBeWrittenWholeLeavesTheOldFileAndSaysSo) {
  WriteTable("PEGS", kDescending);
  const std::string before = Table("PEGS");
  shell->state.currentChild->firstName = std::string(32768, 'x');
  Check("/Games/Pegs.swf", "999");
  EXPECT_EQ(Table("PEGS"), before);
  EXPECT_THAT(Log(), HasSubstr("*** Error: 6 - Overflow\r\n"
                               "    Module: basTDWK, Procedure: WriteStringToBinaryFile\r\n"));
  EXPECT_THAT(Log(), HasSubstr(" There were problems writing the high scores to PEGS.dat\r\n"));
  // Nothing half-written is left beside the table.
  EXPECT_EQ(folder.Entries("High Scores").size(), 1u);
  EXPECT_EQ(TopScore(), "900");
}

TEST_F(HighScoresTest, WithoutAChildNothingIsRecordedAndTheTopScoreIsStillAnswered) {
  WriteTable("PEGS", kDescending);
  const std::string before = Table("PEGS");
  shell->state.currentChild.reset();
  Check("/Games/Pegs.swf", "999");
  EXPECT_EQ(Table("PEGS"), before);
  EXPECT_THAT(Log(), HasSubstr("*** Error: 91 - Object variable or With block variable not set"
                               "\r\n    Module: frmTDWK, Procedure: ShowHighScore\r\n"));
  EXPECT_EQ(TopScore(), "900");
}

TEST_F(HighScoresTest, AMissingTableIsLoggedNeverCreatedAndAnswersZero) {
  Check("/Games/Pegs.swf", "50");
  EXPECT_FALSE(folder.Exists("High Scores/PEGS.dat"));
  EXPECT_EQ(TopScore(), "0");
  EXPECT_THAT(Log(), HasSubstr("*** Error: 53 - File not found\r\n"
                               "    Module: frmTDWK, Procedure: GetHighScores\r\n"));
  EXPECT_EQ(shell->highScores.GetTopScore("/Games/Pegs.swf", false), "");
}

TEST_F(HighScoresTest, MoviePathsMatchTheGameTableExactly) {
  WriteTable("PADDLE_BALL", kDescending);
  Check("/Games/Breakout.swf", "950");
  EXPECT_EQ(TopScore(), "0");
  EXPECT_EQ(Table("PADDLE_BALL"), TableBytes(Ranked(kDescending)));
  // The unknown movie still tried the table named ".dat", and nothing was created.
  EXPECT_THAT(Log(), HasSubstr("Procedure: GetHighScores"));
  EXPECT_FALSE(folder.Exists("High Scores/.dat"));

  Check("/Games/breakout.swf", "950");
  EXPECT_EQ(TopScore(), "950");
}

TEST_F(HighScoresTest, TheTopScoreIsTheFirstEntryAsStored) {
  WriteTable("FROGGY_UPPY", {"0120", "90"});
  const std::string movie = folder.Path() + "/Games/FroggyUppy.swf";
  EXPECT_EQ(shell->highScores.GetTopScore(movie, true), "0120");
  EXPECT_EQ(shell->highScores.GetTopScore("/Games/FroggyUppy.swf", false), "0120");
  EXPECT_EQ(shell->highScores.GetTopScore(movie, false), "");
  // A score check answers the value of that text.
  Check("/Games/FroggyUppy.swf", "1");
  EXPECT_EQ(TopScore(), "120");
}

TEST_F(HighScoresTest, SetHighScorePublishesEveryEntryWithThePrefix) {
  WriteTable("HANG_SCAB", kDescending);
  calls.clear();
  shell->highScores.SetHighScore("HANG_SCAB", "SCAB", host.Control("swfBackgroundLeft"));
  ASSERT_EQ(calls.size(), 20u);
  EXPECT_EQ(calls[0].ToString(), "swfBackgroundLeft SetVariable SCAB_NAME_1=A");
  EXPECT_EQ(calls[1].ToString(), "swfBackgroundLeft SetVariable SCAB_SCORE_1=900");
  EXPECT_EQ(calls[19].ToString(), "swfBackgroundLeft SetVariable SCAB_SCORE_10=100");

  calls.clear();
  shell->highScores.SetHighScore("MEMORY", "MEMORY", Main());
  EXPECT_TRUE(calls.empty());
  EXPECT_THAT(Log(), Not(HasSubstr("Procedure: SetHighScore")));
}

TEST_F(HighScoresTest, AFailureAtAnyFileOperationLeavesTheOldTableOrTheNewOne) {
  WriteTable("PEGS", kDescending);
  const std::string before = Table("PEGS");
  auto after = Ranked(kDescending);
  after.insert(after.begin(), {"Tom", "999"});
  after.pop_back();

  FaultyFileSystem faulty(files);
  Platform ports{host, host.playerWindows(), faulty, clock, locale, codePage,
                 lock, folder.Path(),        ""};
  Shell s(ports);
  s.state.appPath = folder.Path();
  s.state.currentChild = shell->state.currentChild;
  s.frmTDWK.Create();
  s.highScores.CheckHighScore(folder.Path() + "/Games/Pegs.swf", "999");
  const int operations = faulty.Operations();
  ASSERT_EQ(Table("PEGS"), TableBytes(after));
  // The old table is replaced in one step, never deleted first.
  EXPECT_THAT(faulty.Journal(), ::testing::Contains("ReplaceFile"));
  EXPECT_THAT(faulty.Journal(), Not(::testing::Contains("DeleteFile")));

  for (int k = 1; k <= operations; ++k) {
    WriteTable("PEGS", kDescending);
    faulty.FailAt(faulty.Operations() + k, vb::kDiskFull);
    s.highScores.CheckHighScore(folder.Path() + "/Games/Pegs.swf", "999");
    const std::string table = Table("PEGS");
    EXPECT_TRUE(table == before || table == TableBytes(after)) << "failing operation " << k;
    faulty.Heal();
  }
}

}  // namespace
}  // namespace tdwk::test
