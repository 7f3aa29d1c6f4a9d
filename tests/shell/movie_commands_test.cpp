#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "highscores/game_table.h"
#include "profiles/profiles_fixture.h"
#include "support/form_fields.h"

namespace tdwk::test {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Not;

const std::string kWelcomeAnna = "Welcome Anna, this is a demonstration version of tindlewick";

class MovieCommandsTest : public ProfilesTest {
 protected:
  void SetUp() override {
    Started();
    WriteAnnaAndBen();
    shell->state.startMode = StartMode::UserChosen;
    shell->state.currentUserID = "USER1.DAT";
    shell->profiles.ReadDataFile();
    watched.calls.clear();
  }

  void ToMain(const std::string& command, const std::string& args = "") {
    Main().RaiseFSCommand(command, args);
  }
  void ToLeft(const std::string& command, const std::string& args = "") {
    host.Control("swfBackgroundLeft").RaiseFSCommand(command, args);
  }
  void ToTop(const std::string& command, const std::string& args = "") {
    host.Control("swfBackgroundTop").RaiseFSCommand(command, args);
  }
  std::string App(const std::string& relative) const { return folder.Path() + relative; }

  // Every call but the child's details, which the loaded movies receive as well.
  std::vector<std::string> Screen() const {
    std::vector<std::string> lines;
    for (const Call& call : calls) {
      if (call.op == "SetVariable" && call.name != "welcomeMsg" && call.name != "ACTION_TYPE" &&
          call.name != "NUM_USERS") {
        continue;
      }
      lines.push_back(call.ToString());
    }
    return lines;
  }
  // The failures logged, without those of publishing the child's details (a game's top score
  // is read from a table that these tests do not ship).
  std::vector<std::string> Failures() const {
    std::vector<std::string> reports;
    for (const std::string& report : Reports()) {
      if (!report.ends_with("setFlashClildAttributes") && !report.ends_with("GetHighScores")) {
        reports.push_back(report);
      }
    }
    return reports;
  }
  bool UsersFolderTouched() const {
    for (const std::string& call : watched.calls) {
      if (call.find("/Users") != std::string::npos) return true;
    }
    return false;
  }
};

TEST_F(MovieCommandsTest, CommandsAndArgumentsMatchOnlyExactly) {
  ToMain("vbloadmovie", "HOME");
  ToMain("vbLoadMovie", "home");
  ToMain("vbLoadMovie", "HOME ");
  ToMain("vbLoadMovie", "HUNGRY_FROGS");  // a score table, not a launch key
  ToMain(" QUIT");
  ToMain("confirmExit", "Swap ");
  ToMain("quit");
  ToLeft("QUIT");
  ToTop("vbLoadMovie", "HOME");
  host.Control("swfBackgroundCorner").RaiseFSCommand("QUIT");
  EXPECT_THAT(calls, IsEmpty());
  EXPECT_FALSE(folder.Exists("Logs/Log.dat"));
}

TEST_F(MovieCommandsTest, StoriesAndGamesLoadFromTheContentLayerAndPlay) {
  std::vector<std::pair<std::string, std::string>> keys = {
      {"DRAGONSLAYER", "/Stories/Dragon.swf"},
      {"YOHOHO", "/Stories/YoHoHo.swf"},
      {"MONSTER", "/Stories/Monster.swf"},
      {"GHOST", "/Stories/Ghost.swf"},
      {"LOCHNESS", "/Stories/LochNess.swf"},
      {"FIREBREATHINGDRAGON", "/Stories/FireBreathingDragon.swf"},
      {"PADDLE", "/Games/breakout.swf"},
      {"SNAKE", "/Games/Snake.swf"}};
  for (const GameRow& game : kGameTable) {
    keys.emplace_back(std::string(game.launchKey), std::string(game.movie));
  }
  for (const auto& [key, movie] : keys) {
    ToMain("vbLoadMovie", key);
    ToMain("vbLoadMovie", "STORIES");  // something else in between
    calls.clear();
    ToMain("vbLoadMovie", key);
    EXPECT_THAT(Screen(), ElementsAre("swfMain LoadMovie " + App(movie), "swfMain Play")) << key;
  }
  // The left bar knows only the menus.
  calls.clear();
  ToLeft("vbLoadMovie", "PADDLE");
  ToLeft("vbLoadMovie", "DRAGONSLAYER");
  EXPECT_THAT(calls, IsEmpty());
  EXPECT_THAT(Failures(), IsEmpty());
}

TEST_F(MovieCommandsTest, MenuKeysOpenTheirMovieOnceFromEitherLayer) {
  const std::pair<std::string, std::string> menus[] = {
      {"STORIES", "/Menus/Stories.swf"},
      {"GAMES", "/Menus/Games.swf"},
      {"FUNNIES", "/Menus/Funnies.swf"},
      {"TIME", "/Gadgets/Time.swf"},
      {"CRYSTAL_BALL", "/Gadgets/CrystalBall.swf"}};
  for (const auto& [key, movie] : menus) {
    calls.clear();
    ToMain("vbLoadMovie", key);
    ToLeft("vbLoadMovie", key);  // the same movie: nothing happens
    EXPECT_THAT(Screen(), ElementsAre("swfMain LoadMovie " + App(movie), "swfMain Play")) << key;
  }
  calls.clear();
  ToLeft("vbLoadMovie", "STORIES");
  EXPECT_THAT(Screen(),
              ElementsAre("swfMain LoadMovie " + App("/Menus/Stories.swf"), "swfMain Play"));
}

TEST_F(MovieCommandsTest, HomeOverTheHomeMenuOnlyGreetsAgain) {
  ToMain("vbStartApplication");
  calls.clear();
  ToMain("vbLoadMovie", "HOME");
  ToLeft("vbLoadMovie", "HOME");
  EXPECT_THAT(Screen(), ElementsAre("swfMain SetVariable welcomeMsg=" + kWelcomeAnna,
                                    "swfMain SetVariable welcomeMsg=" + kWelcomeAnna));

  ToMain("vbLoadMovie", "GAMES");
  calls.clear();
  ToLeft("vbLoadMovie", "HOME");
  EXPECT_THAT(Screen(), ElementsAre("swfMain LoadMovie " + App("/Menus/Home.swf"),
                                    "swfMain SetVariable welcomeMsg=" + kWelcomeAnna));
}

TEST_F(MovieCommandsTest, TheIntroductionHandsOverByStartMode) {
  ToMain("vbIntroFinished");
  EXPECT_THAT(
      Screen(),
      ElementsAre("swfMain Set Width=13710", "swfMain Set Height=9870", "swfMain Set Left=1450",
                  "swfMain Set Top=1450", "swfMain LoadMovie " + App("/Menus/Home.swf"),
                  "swfMain SetVariable welcomeMsg=" + kWelcomeAnna, "swfBackgroundTop Play"));
  for (StartMode mode : {StartMode::UserManager, StartMode::SelectUser}) {
    shell->state.startMode = mode;
    calls.clear();
    ToMain("vbIntroFinished");
    EXPECT_EQ(Screen().front(), "swfMain LoadMovie " + App("/Menus/Startup.swf"));
  }
}

TEST_F(MovieCommandsTest, AFailureWithoutATrapOfItsOwnSkipsTheRestUnderTheHandlersName) {
  shell->state.currentChild.reset();
  ToMain("vbStartApplication");
  EXPECT_THAT(Screen(), ElementsAre("swfMain Set Width=13710", "swfMain Set Height=9870",
                                    "swfMain Set Left=1450", "swfMain Set Top=1450",
                                    "swfMain LoadMovie " + App("/Menus/Home.swf")));
  ToMain("vbLoadMovie", "GAMES");
  ToLeft("vbLoadMovie", "HOME");
  Main().FailOn("GotoFrame");
  ToTop("QUIT");
  EXPECT_THAT(Failures(), ElementsAre("91 frmTDWK swfMain", "91 frmTDWK swfBackgroundLeft",
                                      "5 frmTDWK swfbackgroundTop"));
}

TEST_F(MovieCommandsTest, AFailureInsideATrappedProcedureLetsTheCommandGoOn) {
  Main().FailOn("LoadMovie");
  ToMain("vbLoadMovie", "HOME");
  EXPECT_THAT(Screen(), ElementsAre("swfMain SetVariable welcomeMsg=" + kWelcomeAnna));
  Main().FailOn("");
  calls.clear();
  ToMain("vbSaveUser", "ADD");  // the form is empty: the save fails and reports itself
  EXPECT_EQ(Screen().back(), "swfMain GotoFrame 1");
  EXPECT_THAT(Failures(),
              ElementsAre("5 frmTDWK LoadMovie", "-2147467259 basTDWK saveUserDetails"));
  EXPECT_EQ(shell->state.userCount, 2);
}

TEST_F(MovieCommandsTest, PickingAChildGoesHome) {
  shell->state.currentChild.reset();
  shell->state.startMode = StartMode::SelectUser;
  ToMain("vbPickUser", "USER2");
  EXPECT_EQ(shell->state.currentChild->firstName, "Ben");
  EXPECT_EQ(shell->state.startMode, StartMode::UserChosen);
  EXPECT_THAT(Screen(), Contains("swfMain SetVariable welcomeMsg=Welcome Ben, this is a "
                                 "demonstration version of tindlewick"));
  EXPECT_EQ(Screen().back(), "swfBackgroundTop Play");
}

TEST_F(MovieCommandsTest, PickingAProfileThatCannotBeReadStopsAtTheGreeting) {
  for (const std::string key : {"USER7", "USER7.DAT", "USER01"}) {
    ToMain("vbLoadMovie", "GAMES");
    calls.clear();
    watched.calls.clear();
    ToMain("vbPickUser", key);
    EXPECT_FALSE(shell->state.currentChild) << key;
    EXPECT_EQ(shell->state.startMode, StartMode::UserChosen) << key;
    EXPECT_EQ(Screen().back(), "swfMain LoadMovie " + App("/Menus/Home.swf")) << key;
    EXPECT_EQ(UsersFolderTouched(), key == "USER7") << key;
  }
  EXPECT_THAT(Failures(), ElementsAre("53 basTDWK getUserDetails", "91 frmTDWK swfMain",
                                      "52 basTDWK setCurrentUser", "91 frmTDWK swfMain",
                                      "52 basTDWK setCurrentUser", "91 frmTDWK swfMain"));
}

TEST_F(MovieCommandsTest, UpdatingLoadsTheProfileForEditing) {
  ToMain("vbUpdateUser", "USER2");
  EXPECT_EQ(shell->state.currentUserID, "USER2.DAT");
  EXPECT_EQ(shell->state.currentChild->firstName, "Ben");
  EXPECT_EQ(Screen().back(), "swfMain GotoFrame 3");

  // A save without ADD now goes to the profile being edited.
  for (const auto& [name, value] :
       FormFields({{"DAY", "1"}, {"MONTH", "1"}, {"YEAR", "2000"}, {"FIRST_NAME", "Benjamin"}})) {
    Main().DefineVariable(name, value);
  }
  ToMain("vbSaveUser", "EDIT");
  shell->state.currentUserID = "USER2.DAT";
  EXPECT_EQ(shell->profiles.getUserDetails()->firstName, "Benjamin");
  EXPECT_THAT(Failures(), IsEmpty());
}

TEST_F(MovieCommandsTest, UpdatingWithARefusedKeyTouchesNoFileAndGoesOn) {
  ToMain("vbUpdateUser", "USER2.DAT");
  EXPECT_FALSE(shell->state.currentChild);
  EXPECT_EQ(shell->state.currentUserID, "");
  EXPECT_EQ(Screen().back(), "swfMain GotoFrame 3");
  EXPECT_FALSE(UsersFolderTouched());
  ToMain("vbUpdateUser", "USER9");  // a key, but no such profile
  EXPECT_EQ(shell->state.currentUserID, "USER9.DAT");
  EXPECT_EQ(Screen().back(), "swfMain GotoFrame 3");
  EXPECT_THAT(Failures(), ElementsAre("52 frmTDWK swfMain", "53 basTDWK getUserDetails"));
}

TEST_F(MovieCommandsTest, DeletingAndSavingReturnTheManagerToFrameOne) {
  ToMain("vbDeleteUser", "USER1");
  EXPECT_EQ(shell->state.userCount, 1);
  EXPECT_THAT(Screen(), ElementsAre("swfMain SetVariable NUM_USERS=1", "swfMain GotoFrame 1"));
  EXPECT_FALSE(folder.Exists(ProfilePath(2)));
}

TEST_F(MovieCommandsTest, RestartingWithOneProfileGoesHomeWithIt) {
  std::filesystem::remove(folder.Path() + ProfilePath(2));
  shell->state.currentChild.reset();
  shell->state.startMode = StartMode::SelectUser;
  ToMain("vbRestartApp");
  EXPECT_EQ(shell->state.userCount, 1);
  EXPECT_EQ(shell->state.startMode, StartMode::UserChosen);
  EXPECT_EQ(shell->state.currentUserID, "USER1.DAT");
  EXPECT_THAT(Screen(), Contains("swfMain SetVariable welcomeMsg=" + kWelcomeAnna));
}

TEST_F(MovieCommandsTest, RestartingWithNoneOrSeveralAsksTheChildToChoose) {
  ToMain("vbRestartApp");
  EXPECT_EQ(shell->state.userCount, 2);
  EXPECT_EQ(shell->state.startMode, StartMode::SelectUser);
  std::filesystem::remove(folder.Path() + ProfilePath(1));
  std::filesystem::remove(folder.Path() + ProfilePath(2));
  calls.clear();
  ToMain("vbRestartApp");
  EXPECT_EQ(shell->state.userCount, 0);
  EXPECT_THAT(Screen(), ElementsAre("swfMain LoadMovie " + App("/Menus/Startup.swf"),
                                    "swfMain SetVariable NUM_USERS=0",
                                    "swfMain SetVariable ACTION_TYPE=SELECT", "swfMain Play"));
}

TEST_F(MovieCommandsTest, RestartingWithAnUnreadableOnlyProfileShowsNothing) {
  std::filesystem::remove(folder.Path() + ProfilePath(2));
  folder.WriteFile(ProfilePath(1), ProfileBytes("Anna", "", 1e12));
  ToMain("vbRestartApp");
  EXPECT_EQ(shell->state.userCount, 1);
  EXPECT_EQ(shell->state.startMode, StartMode::UserChosen);  // unchanged
  EXPECT_THAT(Screen(), IsEmpty());
  EXPECT_THAT(Failures(), ElementsAre("6 basTDWK getUserDetails", "91 frmTDWK swfMain"));
}

TEST_F(MovieCommandsTest, QuitFromTheTopBarOrTheContentLayerAsksToConfirm) {
  for (int count : {0, 1, 2}) {
    shell->state.userCount = static_cast<std::int16_t>(count);
    ToMain("vbLoadMovie", "GAMES");
    calls.clear();
    ToTop("QUIT");
    ToMain("QUIT");
    const int frame = count == 1 ? 2 : 1;
    EXPECT_THAT(Screen(), ElementsAre("swfMain LoadMovie " + App("/Menus/confirmExit.swf"),
                                      "swfMain GotoFrame " + std::to_string(frame),
                                      "swfMain GotoFrame " + std::to_string(frame)));
  }
}

TEST_F(MovieCommandsTest, ConfirmExitSwapsContinuesOrExitsInAnyCase) {
  ToMain("vbStartApplication");
  calls.clear();
  ToMain("confirmExit", "swap");
  EXPECT_EQ(shell->state.startMode, StartMode::SelectUser);
  EXPECT_THAT(Screen(),
              ElementsAre("swfBackgroundTop GotoFrame 0", "swfMain Set Left=0", "swfMain Set Top=0",
                          "swfMain Set Width=15360", "swfMain Set Height=11520",
                          "swfMain LoadMovie " + App("/Menus/Startup.swf"),
                          "swfMain SetVariable NUM_USERS=2",
                          "swfMain SetVariable ACTION_TYPE=SELECT", "swfMain Play"));
  calls.clear();
  ToMain("confirmExit", "Continue");
  EXPECT_THAT(Screen(), ElementsAre("swfMain Set Width=13710", "swfMain Set Height=9870",
                                    "swfMain Set Left=1450", "swfMain Set Top=1450",
                                    "swfMain LoadMovie " + App("/Menus/Home.swf"),
                                    "swfMain SetVariable welcomeMsg=" + kWelcomeAnna));
  calls.clear();
  ToMain("confirmExit", "EXIT");
  const std::vector<std::string> finish = {
      "swfMain Set Left=0",           "swfMain Set Top=0",
      "swfMain Set Width=15360",      "swfMain Set Height=11520",
      "swfBackgroundTop GotoFrame 0", "swfMain LoadMovie " + App("/Menus/Finish.swf")};
  EXPECT_EQ(Screen(), finish);
  calls.clear();
  ToMain("QUIT_USER_MANAGER");
  EXPECT_EQ(Screen(), finish);  // reloaded: the finish movie is not compared
}

TEST_F(MovieCommandsTest, CloseUnloadsHalfASecondLaterAndOnlyOnce) {
  ToMain("CLOSE");
  ToMain("CLOSE");
  host.Advance(499);
  EXPECT_FALSE(host.WindowGone());
  host.Advance(1);
  EXPECT_TRUE(host.WindowGone());
  EXPECT_FALSE(shell->state.currentChild);
  host.Advance(2000);
  EXPECT_THAT(Failures(), IsEmpty());
}

}  // namespace
}  // namespace tdwk::test
