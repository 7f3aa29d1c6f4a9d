#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "profiles/profile_key.h"
#include "profiles/profiles_fixture.h"

namespace tdwk::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

// Texts that are not profile keys; none of them may reach the file system.
const std::vector<std::string> kRefusedKeys = {
    "",         "USER",     "USER0",   "USER01",          "USER+1",    "USER-1",
    "USER 1",   "USER1 ",   "user1",   "USER32768",       "USER99999", "USER1.DAT",
    "USER1/..", "../USER1", "USER1\n", "USER\xEF\xBC\x91"};  // a full-width digit

TEST(ProfileKeyTest, OnlyUserAndAPlainNumberFromOneTo32767IsAKey) {
  EXPECT_EQ(ProfileKeyNumber("USER1"), 1);
  EXPECT_EQ(ProfileKeyNumber("USER10"), 10);
  EXPECT_EQ(ProfileKeyNumber("USER32767"), 32767);
  for (const std::string& key : kRefusedKeys) {
    EXPECT_FALSE(ProfileKeyNumber(key)) << key;
  }
}

class UserDirectoryTest : public ProfilesTest {
 protected:
  void SetUp() override { Started(); }

  void FourProfiles() {
    WriteProfile(1, "Anna", "Smith", "F");
    WriteProfile(2, "Ben", "jones", "M");
    WriteProfile(3, "Carl", "o'Neil", "M");
    WriteProfile(4, "Dora", "", "F");
    shell->state.userCount = 4;
  }
  std::string FirstNameIn(int number) const {
    const std::string bytes = folder.ReadFile(ProfilePath(number));
    std::size_t at = 8;
    for (int field = 1; field < 7; ++field) {
      at += 2 + static_cast<unsigned char>(bytes[at]);
    }
    return bytes.substr(at + 2, static_cast<unsigned char>(bytes[at]));
  }
  bool AnyFileCallMentions(const std::string& text) const {
    for (const std::string& call : watched.calls) {
      if (call.find(text) != std::string::npos) return true;
    }
    return false;
  }
};

TEST_F(UserDirectoryTest, AMissingOrEmptyUsersFolderIsLoggedAndListsNothing) {
  const std::string line = "The users folder '" + folder.Path() + "Users/' does not exist.\r\n";
  EXPECT_THAT(shell->users.getUsers(), IsEmpty());
  EXPECT_THAT(Log(), HasSubstr(line));
  std::filesystem::remove_all(folder.Path() + "Users");
  EXPECT_THAT(shell->users.getUsers(), IsEmpty());
  EXPECT_THAT(Log(), HasSubstr(line + "03/05/2004 09:15:42 " + line));
  EXPECT_TRUE(Reports().empty());
}

TEST_F(UserDirectoryTest, OnlyOrdinaryFilesAreListedAndEachIsReadAsAProfile) {
  WriteProfile(1, "Anna");
  folder.WriteFile("Users/notes.txt", ProfileBytes("Stray"));
  folder.WriteFile("Users/broken.DAT", ProfileBytes("Broken", "", 1e12));
  folder.WriteFile("Users/.tdwk-USER1.DAT-99-1.tmp", "\x01\x02");  // left by a killed save
  folder.MakeFolder("Users/USER7.DAT");
  std::filesystem::create_symlink(folder.Path() + "Users/USER1.DAT",
                                  folder.Path() + "Users/USER8.DAT");

  const auto listed = shell->users.getUsers();
  std::vector<std::string> names;
  for (const auto& entry : listed) names.push_back(entry ? entry->firstName : "(nothing)");
  std::sort(names.begin(), names.end());
  EXPECT_THAT(names, ElementsAre("(nothing)", "Anna", "Stray"));
  EXPECT_THAT(Reports(), ElementsAre("6 basTDWK getUserDetails"));
  // The last file listed is the one the reader worked on last.
  EXPECT_EQ(shell->state.currentUserID,
            watched.calls.back().substr(watched.calls.back().rfind('/') + 1));
}

TEST_F(UserDirectoryTest, ListingClosesTheGapOfADeletionCutShort) {
  // Killed between the moves of deleting USER2 of four: 3 has become 2, 4 has not moved yet.
  WriteProfile(1, "Anna");
  WriteProfile(2, "Carl");
  WriteProfile(4, "Dora");
  folder.WriteFile("Users/notes.txt", ProfileBytes("Stray"));
  EXPECT_EQ(shell->users.getUsers().size(), 4u);
  EXPECT_EQ(FirstNameIn(1), "Anna");
  EXPECT_EQ(FirstNameIn(2), "Carl");
  EXPECT_EQ(FirstNameIn(3), "Dora");
  EXPECT_FALSE(folder.Exists(ProfilePath(4)));
  EXPECT_TRUE(folder.Exists("Users/notes.txt"));
  EXPECT_THAT(Reports(), IsEmpty());
}

TEST_F(UserDirectoryTest, GapsCloseInNumberOrderUnlessANumberIsSpelledTwice) {
  folder.WriteFile("Users/user5.dat", ProfileBytes("Eve"));
  folder.WriteFile("Users/USER2.DAT", ProfileBytes("Ben"));
  folder.WriteFile("Users/USER02.DAT", ProfileBytes("Stray"));
  shell->users.getUsers();
  EXPECT_EQ(FirstNameIn(1), "Ben");
  EXPECT_EQ(FirstNameIn(2), "Eve");
  EXPECT_TRUE(folder.Exists("Users/USER02.DAT"));

  folder.WriteFile("Users/USER4.DAT", ProfileBytes("Dan"));
  folder.WriteFile("Users/user4.dat", ProfileBytes("Dan too"));
  shell->users.getUsers();
  EXPECT_TRUE(folder.Exists("Users/USER4.DAT"));
  EXPECT_TRUE(folder.Exists("Users/user4.dat"));
  EXPECT_FALSE(folder.Exists(ProfilePath(3)));
}

TEST_F(UserDirectoryTest, PickingAKeyReadsItsProfileWhateverTheExtensionCase) {
  WriteProfile(1, "Anna");
  shell->users.setCurrentUser("USER1");
  EXPECT_EQ(shell->state.currentUserID, "USER1.dat");
  ASSERT_TRUE(shell->state.currentChild);
  EXPECT_EQ(shell->state.currentChild->firstName, "Anna");
  EXPECT_EQ(shell->state.currentChild->userID, "USER1.dat");
  EXPECT_EQ(shell->state.startMode, StartMode::UserChosen);
}

TEST_F(UserDirectoryTest, PickingAnUnreadableProfileStillChoosesIt) {
  shell->state.currentChild = child_details{};
  shell->state.startMode = StartMode::SelectUser;
  shell->users.setCurrentUser("USER5");
  EXPECT_FALSE(shell->state.currentChild);
  EXPECT_EQ(shell->state.startMode, StartMode::UserChosen);
  EXPECT_THAT(Reports(), ElementsAre("53 basTDWK getUserDetails"));
}

TEST_F(UserDirectoryTest, PickingARefusedKeyTouchesNoFileAndEndsAsAnUnreadableProfile) {
  WriteProfile(1, "Anna");
  for (const std::string& key : kRefusedKeys) {
    shell->state.currentChild = child_details{};
    shell->state.currentUserID = "USER1.DAT";
    shell->state.startMode = StartMode::SelectUser;
    shell->users.setCurrentUser(key);
    EXPECT_FALSE(shell->state.currentChild) << key;
    EXPECT_EQ(shell->state.currentUserID, "") << key;
    EXPECT_EQ(shell->state.startMode, StartMode::UserChosen) << key;
  }
  EXPECT_THAT(watched.calls, IsEmpty());
  EXPECT_EQ(Reports(), std::vector<std::string>(kRefusedKeys.size(), "52 basTDWK setCurrentUser"));
}

TEST_F(UserDirectoryTest, DeletingRenumbersTheLaterProfilesAndRepublishes) {
  FourProfiles();
  Main().DefineVariable("USER_NAME4", "Dora ");
  shell->users.deleteUser("USER2");
  EXPECT_EQ(shell->state.userCount, 3);
  EXPECT_EQ(FirstNameIn(1), "Anna");
  EXPECT_EQ(FirstNameIn(2), "Carl");
  EXPECT_EQ(FirstNameIn(3), "Dora");
  EXPECT_FALSE(folder.Exists(ProfilePath(4)));
  EXPECT_THAT(
      CallsOn("swfMain"),
      ElementsAre("swfMain SetVariable NUM_USERS=3", "swfMain SetVariable USER_NAME1=Anna S",
                  "swfMain SetVariable USER_SEX1=F", "swfMain SetVariable USER_NAME2=Carl O",
                  "swfMain SetVariable USER_SEX2=M", "swfMain SetVariable USER_NAME3=Dora ",
                  "swfMain SetVariable USER_SEX3=F", "swfMain GotoFrame 1"));
  EXPECT_EQ(Main().Variables().at("USER_NAME4"), "Dora ");  // not cleared
  // Moved by renames, never by copying.
  EXPECT_FALSE(AnyFileCallMentions("ReplaceFile"));
  EXPECT_EQ(folder.Entries("Users").size(), 3u);
  EXPECT_TRUE(Reports().empty());
}

TEST_F(UserDirectoryTest, DeletingTheLastOrTheOnlyProfileMovesNothing) {
  FourProfiles();
  shell->users.deleteUser("USER4");
  EXPECT_FALSE(AnyFileCallMentions("RenameFile"));
  EXPECT_FALSE(folder.Exists(ProfilePath(4)));
  EXPECT_EQ(FirstNameIn(3), "Carl");
  EXPECT_EQ(shell->state.userCount, 3);

  for (int n = 3; n >= 2; --n) std::filesystem::remove(folder.Path() + ProfilePath(n));
  shell->state.userCount = 1;
  calls.clear();
  shell->users.deleteUser("USER1");
  EXPECT_EQ(shell->state.userCount, 0);
  EXPECT_THAT(CallsOn("swfMain"),
              ElementsAre("swfMain SetVariable NUM_USERS=0", "swfMain GotoFrame 1"));
}

TEST_F(UserDirectoryTest, ADeleteOfNoProfileChangesNothingButShowsTheListAgain) {
  FourProfiles();
  std::vector<std::string> before;
  for (int n = 1; n <= 4; ++n) before.push_back(folder.ReadFile(ProfilePath(n)));
  for (const std::string key : {"USER0", "USER5", "USER32767", "USER02", "USERS", "../USER2"}) {
    calls.clear();
    watched.calls.clear();
    shell->users.deleteUser(key);
    EXPECT_EQ(shell->state.userCount, 4) << key;
    EXPECT_FALSE(AnyFileCallMentions("Delete")) << key;
    EXPECT_FALSE(AnyFileCallMentions("Rename")) << key;
    EXPECT_EQ(CallsOn("swfMain").front(), "swfMain SetVariable NUM_USERS=4") << key;
    EXPECT_EQ(CallsOn("swfMain").back(), "swfMain GotoFrame 1") << key;
  }
  for (int n = 1; n <= 4; ++n) EXPECT_EQ(folder.ReadFile(ProfilePath(n)), before[n - 1]);
  EXPECT_EQ(Reports(), std::vector<std::string>(6, "52 basTDWK deleteUser"));
}

TEST_F(UserDirectoryTest, ADeleteWhoseMoveFailsLosesNoProfileAndKeepsTheCount) {
  FourProfiles();
  std::vector<std::string> before;
  for (int n = 1; n <= 4; ++n) before.push_back(folder.ReadFile(ProfilePath(n)));
  watched.FailOn("RenameFile");
  shell->users.deleteUser("USER2");
  EXPECT_EQ(shell->state.userCount, 4);
  for (int n = 1; n <= 4; ++n) EXPECT_EQ(folder.ReadFile(ProfilePath(n)), before[n - 1]);
  EXPECT_THAT(CallsOn("swfMain"), IsEmpty());  // neither published nor moved
  EXPECT_THAT(Reports(), ElementsAre("61 basTDWK deleteUser"));
}

TEST_F(UserDirectoryTest, ADeleteThatFindsANumberedFileMissingStopsThere) {
  FourProfiles();
  std::filesystem::remove(folder.Path() + ProfilePath(3));
  shell->users.deleteUser("USER2");
  EXPECT_EQ(shell->state.userCount, 4);
  EXPECT_THAT(CallsOn("swfMain"), IsEmpty());
  EXPECT_THAT(Reports(), ElementsAre("53 basTDWK deleteUser"));
}

TEST_F(UserDirectoryTest, PublishingStopsAtTheFirstProfileThatCannotBeRead) {
  FourProfiles();
  std::filesystem::remove(folder.Path() + ProfilePath(3));
  EXPECT_THROW(shell->users.publishUserList(), VbError);
  EXPECT_THAT(
      CallsOn("swfMain"),
      ElementsAre("swfMain SetVariable NUM_USERS=4", "swfMain SetVariable USER_NAME1=Anna S",
                  "swfMain SetVariable USER_SEX1=F", "swfMain SetVariable USER_NAME2=Ben J",
                  "swfMain SetVariable USER_SEX2=M"));
  EXPECT_EQ(shell->state.currentUserID, "USER3.DAT");
  EXPECT_THAT(Reports(), ElementsAre("53 basTDWK getUserDetails"));
}

TEST(UserListNameTest, FirstNameBlankAndTheRaisedInitial) {
  child_details child;
  child.firstName = "Tom";
  child.lastName = "smith";
  EXPECT_EQ(UserListName(child), "Tom S");
  child.lastName = "";
  EXPECT_EQ(UserListName(child), "Tom ");
  child.lastName = "\xC3\xA9lan";  // é, two bytes in memory
  EXPECT_EQ(UserListName(child), "Tom \xC3\x89");
}

}  // namespace
}  // namespace tdwk::test
