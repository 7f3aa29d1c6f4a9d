#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/profile_bytes.h"
#include "support/shell_fixture.h"

namespace tdwk::test {
namespace {

class StartUpTest : public ShellTest {
 protected:
  void AddProfiles(int count) {
    const char* names[] = {"Anna", "Ben", "Carl"};
    for (int n = 1; n <= count; ++n) {
      folder.WriteFile("Users/USER" + std::to_string(n) + ".DAT", ProfileBytes(names[n - 1]));
    }
  }
};

TEST_F(StartUpTest, TheUserManagerArgumentWinsWithoutReadingAProfile) {
  AddProfiles(3);
  Shell& s = NewShell("USER_MANAGER");
  EXPECT_EQ(s.Main(), 0);
  EXPECT_EQ(s.state.startMode, StartMode::UserManager);
  EXPECT_EQ(s.state.userCount, 3);
  EXPECT_TRUE(host.loaded);
}

TEST_F(StartUpTest, TheArgumentIsComparedExactly) {
  AddProfiles(1);
  Shell& s = NewShell("user_manager");
  s.Main();
  EXPECT_EQ(s.state.startMode, StartMode::UserChosen);
}

TEST_F(StartUpTest, NoProfilesOpenTheUserManager) {
  Shell& s = NewShell();
  s.Main();
  EXPECT_EQ(s.state.startMode, StartMode::UserManager);
  EXPECT_EQ(s.state.userCount, 0);
  EXPECT_THAT(Log(), ::testing::HasSubstr("The users folder '" + folder.Path() +
                                          "Users/' does not exist.\r\n"));
}

TEST_F(StartUpTest, TheOnlyProfileBecomesTheCurrentChild) {
  AddProfiles(1);
  Shell& s = NewShell();
  host.script = [&] { EXPECT_EQ(s.state.currentChild->firstName, "Anna"); };
  s.Main();
  EXPECT_EQ(s.state.startMode, StartMode::UserChosen);
  EXPECT_EQ(s.state.currentUserID, "USER1.DAT");
}

TEST_F(StartUpTest, SeveralProfilesAskTheChildToChoose) {
  AddProfiles(2);
  Shell& s = NewShell();
  host.script = [&] { EXPECT_FALSE(s.state.currentChild.has_value()); };
  s.Main();
  EXPECT_EQ(s.state.startMode, StartMode::SelectUser);
  EXPECT_EQ(s.state.userCount, 2);
}

TEST_F(StartUpTest, AnUnreadableOnlyProfileEndsTheProgramWithAMessage) {
  folder.WriteFile("Users/USER1.DAT", ProfileBytes("Anna", "", 1e12));  // no valid date
  Shell& s = NewShell();
  EXPECT_EQ(s.Main(), 1);
  EXPECT_FALSE(host.loaded);
  ASSERT_EQ(host.messageBoxes.size(), 1u);
  EXPECT_EQ(host.messageBoxes[0],
            "There was a problem showing the main screen.\r\n\r\n"
            "Please visit our website for information on how to fix this problem.");
  EXPECT_THAT(Log(), ::testing::HasSubstr("Module: basTDWK, Procedure: getUserDetails"));
  EXPECT_THAT(Log(), ::testing::HasSubstr("Module: basTDWK, Procedure: Main"));
}

TEST_F(StartUpTest, ASecondCopyEndsSilently) {
  lock.held = true;
  Shell& s = NewShell();
  EXPECT_EQ(s.Main(), 0);
  EXPECT_TRUE(s.SecondCopy());
  EXPECT_FALSE(host.loaded);
  EXPECT_TRUE(calls.empty());
  EXPECT_FALSE(folder.Exists("Logs/Log.dat"));
}

TEST_F(StartUpTest, TheApplicationFolderEndsInOneSlash) {
  Shell& s = NewShell();
  s.Main();
  EXPECT_EQ(s.state.appPath, folder.Path());
  EXPECT_EQ(s.state.appPath.back(), '/');
  EXPECT_NE(s.state.appPath.substr(s.state.appPath.size() - 2), "//");
  EXPECT_TRUE(s.state.subclassedWindows.has_value());
}

}  // namespace
}  // namespace tdwk::test
