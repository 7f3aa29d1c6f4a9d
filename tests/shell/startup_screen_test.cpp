#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "profiles/profiles_fixture.h"

namespace tdwk::test {
namespace {

using ::testing::ElementsAre;

const std::string kSelectMessage =
    "swfMain SetVariable SELECT_MESSAGE=Please select your name from the right hand side of the "
    "screen.";

class StartupScreenTest : public ProfilesTest {
 protected:
  void SetUp() override {
    Started();
    WriteProfile(1, "Anna", "Smith", "F");
    WriteProfile(2, "ben", "jones", "M");
    WriteProfile(3, "Carl", "o'Neil", "M");
    shell->state.userCount = 3;
    shell->state.currentUserID = "kept";
  }
  std::string Startup() const {
    return "swfMain LoadMovie " + folder.Path() + "/Menus/Startup.swf";
  }
};

TEST_F(StartupScreenTest, SelectionListsEveryChildWithTheMessage) {
  shell->state.startMode = StartMode::SelectUser;
  shell->startup.loadStartupMenu();
  EXPECT_THAT(
      CallsOn("swfMain"),
      ElementsAre(Startup(), "swfMain SetVariable NUM_USERS=3",
                  "swfMain SetVariable ACTION_TYPE=SELECT", kSelectMessage,
                  "swfMain SetVariable USER_NAME1=Anna S", "swfMain SetVariable USER_SEX1=F",
                  "swfMain SetVariable USER_NAME2=ben J", "swfMain SetVariable USER_SEX2=M",
                  "swfMain SetVariable USER_NAME3=Carl O", "swfMain SetVariable USER_SEX3=M",
                  "swfMain Play"));
  EXPECT_EQ(shell->state.currentUserID, "USER3.DAT");
  EXPECT_FALSE(shell->state.currentChild);
  EXPECT_TRUE(Reports().empty());
}

TEST_F(StartupScreenTest, TheUserManagerHasNoMessageAndAnEmptySurnameLeavesABlank) {
  WriteProfile(3, "Tom");
  for (StartMode mode : {StartMode::UserManager, StartMode::UserChosen}) {
    shell->state.startMode = mode;
    calls.clear();
    shell->startup.loadStartupMenu();
    const auto lines = CallsOn("swfMain");
    EXPECT_EQ(lines[2], "swfMain SetVariable ACTION_TYPE=USER_MANAGER");
    EXPECT_EQ(std::count(lines.begin(), lines.end(), kSelectMessage), 0);
    EXPECT_EQ(lines[7], "swfMain SetVariable USER_NAME3=Tom ");
  }
}

TEST_F(StartupScreenTest, WithNoProfilesOnlyTheCountAndActionAreTold) {
  shell->state.userCount = 0;
  shell->state.startMode = StartMode::SelectUser;
  shell->startup.loadStartupMenu();
  shell->startup.loadStartupMenu();  // reloaded even though it is playing
  const std::vector<std::string> once = {Startup(), "swfMain SetVariable NUM_USERS=0",
                                         "swfMain SetVariable ACTION_TYPE=SELECT", kSelectMessage,
                                         "swfMain Play"};
  std::vector<std::string> twice = once;
  twice.insert(twice.end(), once.begin(), once.end());
  EXPECT_EQ(CallsOn("swfMain"), twice);
  EXPECT_EQ(shell->state.currentUserID, "kept");
}

TEST_F(StartupScreenTest, AnUnreadableProfileStopsThePublicationBeforePlay) {
  std::filesystem::remove(folder.Path() + ProfilePath(2));
  shell->startup.loadStartupMenu();
  EXPECT_THAT(CallsOn("swfMain"), ElementsAre(Startup(), "swfMain SetVariable NUM_USERS=3",
                                              "swfMain SetVariable ACTION_TYPE=USER_MANAGER",
                                              "swfMain SetVariable USER_NAME1=Anna S",
                                              "swfMain SetVariable USER_SEX1=F"));
  EXPECT_THAT(Reports(), ElementsAre("53 basTDWK getUserDetails", "91 basTDWK loadStartupMenu"));
}

TEST_F(StartupScreenTest, APlayerThatRejectsTheMovieIsReported) {
  Main().FailOn("LoadMovie");
  shell->startup.loadStartupMenu();
  EXPECT_TRUE(CallsOn("swfMain").empty());
  EXPECT_THAT(Reports(), ElementsAre("5 basTDWK loadStartupMenu"));
}

}  // namespace
}  // namespace tdwk::test
