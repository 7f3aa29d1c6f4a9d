// Movies that send what no movie should: huge arguments, control characters, invalid UTF-8,
// keys that climb out of the users folder, and data folders holding links to elsewhere. Each
// gets a logged failure and nothing outside the application folder changes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "profiles/profiles_fixture.h"
#include "support/command_names.h"
#include "support/data_files.h"
#include "support/form_fields.h"
#include "support/score_table_bytes.h"

namespace tdwk::test {
namespace {

using ::testing::Contains;
using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace fs = std::filesystem;

class HostileInputTest : public ProfilesTest {
 protected:
  void SetUp() override {
    Started();
    WriteAnnaAndBen();
    folder.WriteFile("High Scores/HUNGRY_FROGS.dat", Table());
    outside.WriteFile("victim.dat", "precious");
    outside.WriteFile("High Scores/HUNGRY_FROGS.dat", Table());
    outside.WriteFile("Users/USER1.DAT", ProfileBytes("Mallory"));
    outsideBefore = Snapshot(outside.Path());
    usersBefore = Snapshot(folder.Path() + "Users");
    watched.calls.clear();
  }

  static std::string Table() {
    std::vector<std::pair<std::string, std::string>> entries;
    for (int entry = 10; entry >= 1; --entry) entries.emplace_back("Eve", std::to_string(entry));
    return TableBytes(entries);
  }

  void FillForm(const std::string& firstName = "Cleo") {
    for (const auto& [name, value] : FormFields(
             {{"DAY", "9"}, {"MONTH", "12"}, {"YEAR", "2016"}, {"FIRST_NAME", firstName}}, "x")) {
      Main().DefineVariable(name, value);
    }
  }

  // No file call named a path outside the application folder or with a step up in it.
  void ExpectOnlyPathsInside() const {
    for (const std::string& call : watched.calls) {
      const std::string path = call.substr(call.find(' ') + 1);
      EXPECT_EQ(path.rfind(folder.Path(), 0), 0u) << call;
      EXPECT_EQ(path.find("/../"), std::string::npos) << call;
      EXPECT_EQ(path.find('\0'), std::string::npos) << call;
    }
  }
  void ExpectOutsideUntouched() const { EXPECT_EQ(Snapshot(outside.Path()), outsideBefore); }
  void ExpectUsersUntouched() const { EXPECT_EQ(Snapshot(folder.Path() + "Users"), usersBefore); }

  TempFolder outside;
  std::map<std::string, std::string> outsideBefore;
  std::map<std::string, std::string> usersBefore;
};

TEST_F(HostileInputTest, HundredThousandCharacterArgumentsFailClearlyAndWriteNothing) {
  const std::string letters(100000, 'A');
  const std::string digits(100000, '9');
  for (const std::string* args : {&letters, &digits}) {
    for (const char* command : kCommandNames) {
      Main().RaiseFSCommand(command, *args);
      host.Control("swfBackgroundLeft").RaiseFSCommand(command, *args);
      host.Control("swfBackgroundTop").RaiseFSCommand(command, *args);
    }
  }
  ExpectOnlyPathsInside();
  ExpectOutsideUntouched();
  ExpectUsersUntouched();
  const auto reports = Reports();
  EXPECT_THAT(reports, Contains("52 basTDWK setCurrentUser"));
  EXPECT_THAT(reports, Contains("52 basTDWK deleteUser"));
  EXPECT_THAT(reports, Contains("52 frmTDWK swfMain"));  // vbUpdateUser
}

TEST_F(HostileInputTest, AFormFieldTooLongToStoreLeavesTheProfileAsItWas) {
  FillForm(std::string(100000, 'Z'));
  Main().RaiseFSCommand("vbSaveUser", "ADD");
  Main().RaiseFSCommand("vbUpdateUser", "USER2");
  FillForm(std::string(40000, 'Z'));
  Main().RaiseFSCommand("vbSaveUser", "EDIT");
  ExpectUsersUntouched();
  EXPECT_EQ(shell->state.userCount, 2);
  EXPECT_THAT(Reports(), ElementsAre("6 basTDWK WriteStringToBinaryFile",
                                     "6 basTDWK WriteStringToBinaryFile"));
  EXPECT_THAT(Log(), HasSubstr("There was an error writing the file"));
}

TEST_F(HostileInputTest, KeysThatLeaveTheUsersFolderAreRefusedBeforeAnyPathIsBuilt) {
  const std::vector<std::string> keys = {"USER1/../../x",
                                         "../USER1",
                                         std::string("USER1\0", 6),
                                         std::string("USER1\0/../x", 11),
                                         "USER1/",
                                         "/etc/passwd",
                                         "..",
                                         "USER1/..",
                                         "USER1\\..\\x",
                                         "USER1\r\n",
                                         "USER\x01",
                                         "USER\xff\xfe",
                                         "USER1\xc3",
                                         "USER%2e%2e",
                                         std::string(100000, '1')};
  for (const std::string& key : keys) {
    Main().RaiseFSCommand("vbPickUser", key);
    Main().RaiseFSCommand("vbDeleteUser", key);
    Main().RaiseFSCommand("vbUpdateUser", key);
    FillForm();
    Main().RaiseFSCommand("vbSaveUser", "EDIT");  // what the edit would save: nothing
  }
  ExpectOnlyPathsInside();
  for (const std::string& call : watched.calls) {
    EXPECT_THAT(call, ::testing::Not(HasSubstr("USER1/"))) << call;
    EXPECT_THAT(call, ::testing::Not(HasSubstr("ReplaceFile"))) << call;
    EXPECT_THAT(call, ::testing::Not(HasSubstr("Rename"))) << call;
    EXPECT_THAT(call, ::testing::Not(HasSubstr("Delete"))) << call;
  }
  ExpectOutsideUntouched();
  ExpectUsersUntouched();
  EXPECT_EQ(shell->state.userCount, 2);
  std::map<std::string, int> counts;
  for (const std::string& report : Reports()) ++counts[report];
  EXPECT_EQ(counts["52 basTDWK setCurrentUser"], static_cast<int>(keys.size()));
  EXPECT_EQ(counts["52 basTDWK deleteUser"], static_cast<int>(keys.size()));
  EXPECT_EQ(counts["52 frmTDWK swfMain"], static_cast<int>(keys.size()));
  EXPECT_EQ(counts["52 basTDWK saveUserDetails"], static_cast<int>(keys.size()));
}

TEST_F(HostileInputTest, ControlCharactersAndInvalidUtf8InTheFormAreStoredAsTheCodePageCan) {
  FillForm(std::string("A\x01\r\n\x1b[2J\xff\xfe\xc3(\0Z", 14));
  Main().DefineVariable("SURNAME", "\xed\xa0\x80\xf4\x90\x80\x80");  // a surrogate, beyond U+10FFFF
  Main().RaiseFSCommand("vbSaveUser", "ADD");
  EXPECT_EQ(shell->state.userCount, 3);
  const auto stored = DecodeProfile(folder.ReadFile("Users/USER3.DAT"));
  ASSERT_TRUE(stored);
  // Control characters are kept; bytes that are no character become '?', one per byte.
  EXPECT_EQ((*stored)[6], std::string("A\x01\r\n\x1b[2J??"
                                      "?(\0Z",
                                      14));
  EXPECT_EQ((*stored)[12], "???????");
  EXPECT_THAT(Reports(), IsEmpty());
  ExpectOnlyPathsInside();
  ExpectOutsideUntouched();
}

TEST_F(HostileInputTest, ControlCharactersAndInvalidUtf8InArgumentsMatchNoKey) {
  for (const std::string& args :
       {std::string("HOME\r"), std::string("\x01HOME"), std::string("HO\0ME", 5),
        std::string("SNAKE\xff"), std::string("\xc3\x28"), std::string("EXIT\n")}) {
    for (const char* command : {"vbLoadMovie", "confirmExit"}) Main().RaiseFSCommand(command, args);
    host.Control("swfBackgroundLeft").RaiseFSCommand("vbLoadMovie", args);
  }
  for (const Call& call : calls) EXPECT_NE(call.op, "LoadMovie") << call.ToString();
  EXPECT_THAT(watched.calls, IsEmpty());
  EXPECT_THAT(Reports(), IsEmpty());
}

// A link in a data folder is never followed: not to list it, not to read it, not to write
// through it. A data folder that is itself a link is read but never written into.
TEST_F(HostileInputTest, ALinkedProfileIsNeitherListedReadNorWrittenThrough) {
  fs::create_symlink(outside.Path() + "victim.dat", folder.Path() + "Users/USER3.DAT");
  const auto listed = shell->users.getUsers();
  EXPECT_EQ(listed.size(), 2u);
  Main().RaiseFSCommand("vbPickUser", "USER3");
  EXPECT_FALSE(shell->state.currentChild);
  shell->state.userCount = 3;  // as if counted
  Main().RaiseFSCommand("vbUpdateUser", "USER3");
  FillForm("Cleo");
  Main().RaiseFSCommand("vbSaveUser", "EDIT");
  ExpectOutsideUntouched();
  // The save replaced the link by a profile of its own.
  EXPECT_FALSE(fs::is_symlink(fs::symlink_status(folder.Path() + "Users/USER3.DAT")));
  EXPECT_TRUE(DecodeProfile(folder.ReadFile("Users/USER3.DAT")));
  EXPECT_THAT(Reports(), Contains("75 basTDWK getUserDetails"));
}

TEST_F(HostileInputTest, ADeletionRemovesALinkedProfileButNotWhatItPointsAt) {
  fs::remove(folder.Path() + "Users/USER2.DAT");
  fs::create_symlink(outside.Path() + "victim.dat", folder.Path() + "Users/USER2.DAT");
  Main().RaiseFSCommand("vbDeleteUser", "USER2");
  EXPECT_FALSE(folder.Exists("Users/USER2.DAT"));
  ExpectOutsideUntouched();
}

TEST_F(HostileInputTest, ALinkedUsersFolderIsReadButNeverWrittenInto) {
  fs::remove_all(folder.Path() + "Users");
  fs::create_directory_symlink(outside.Path() + "Users", folder.Path() + "Users");
  const auto listed = shell->users.getUsers();
  ASSERT_EQ(listed.size(), 1u);
  shell->state.userCount = 1;
  FillForm();
  Main().RaiseFSCommand("vbSaveUser", "ADD");
  shell->state.currentUserID = "USER1.DAT";
  Main().RaiseFSCommand("vbSaveUser", "EDIT");
  Main().RaiseFSCommand("vbDeleteUser", "USER1");
  ExpectOutsideUntouched();
  EXPECT_THAT(Reports(), ElementsAre("70 basTDWK saveUserDetails", "70 basTDWK saveUserDetails",
                                     "70 basTDWK deleteUser"));
}

TEST_F(HostileInputTest, ALinkedLogIsNeverAppendedTo) {
  fs::remove(folder.Path() + "Logs/Log.dat");
  fs::create_symlink(outside.Path() + "victim.dat", folder.Path() + "Logs/Log.dat");
  Main().RaiseFSCommand("vbPickUser", "USER9");
  fs::remove(folder.Path() + "Logs/Log.dat");
  fs::remove(folder.Path() + "Logs");
  fs::create_directory_symlink(outside.Path(), folder.Path() + "Logs");
  Main().RaiseFSCommand("vbPickUser", "USER9");
  ExpectOutsideUntouched();
  EXPECT_FALSE(outside.Exists("Log.dat"));
}

TEST_F(HostileInputTest, AHundredThousandDigitScoreOverflowsAndRecordsNothing) {
  Main().RaiseFSCommand("vbPickUser", "USER1");
  Main().RaiseFSCommand("vbLoadMovie", "SNAKE");
  Main().RaiseFSCommand("vbCheckScores", std::string(100000, '9'));
  Main().RaiseFSCommand("vbCheckScores", "-" + std::string(100000, '9'));
  Main().RaiseFSCommand("vbCheckScores", "1" + std::string(100000, '0') + "e-99990");
  EXPECT_EQ(folder.ReadFile("High Scores/HUNGRY_FROGS.dat"), Table());
  EXPECT_THAT(Reports(), ElementsAre("6 frmTDWK CheckHighScore", "6 frmTDWK CheckHighScore",
                                     "6 frmTDWK CheckHighScore"));
}

TEST_F(HostileInputTest, ALinkedScoreTableIsNeitherReadNorWrittenThrough) {
  fs::remove(folder.Path() + "High Scores/HUNGRY_FROGS.dat");
  fs::create_symlink(outside.Path() + "High Scores/HUNGRY_FROGS.dat",
                     folder.Path() + "High Scores/HUNGRY_FROGS.dat");
  Main().RaiseFSCommand("vbPickUser", "USER1");
  Main().RaiseFSCommand("vbLoadMovie", "SNAKE");
  Main().RaiseFSCommand("vbCheckScores", "500");
  ExpectOutsideUntouched();
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status(folder.Path() + "High Scores/HUNGRY_FROGS.dat")));
  EXPECT_THAT(Reports(), Contains("75 frmTDWK GetHighScores"));
  EXPECT_EQ(Main().Variables().at("TOP_SCORE"), "0");
}

TEST_F(HostileInputTest, ALinkedHighScoresFolderIsReadButNeverWrittenInto) {
  fs::remove_all(folder.Path() + "High Scores");
  fs::create_directory_symlink(outside.Path() + "High Scores", folder.Path() + "High Scores");
  Main().RaiseFSCommand("vbPickUser", "USER1");
  Main().RaiseFSCommand("vbLoadMovie", "SNAKE");
  Main().RaiseFSCommand("vbCheckScores", "500");
  ExpectOutsideUntouched();
  EXPECT_THAT(Reports(), ElementsAre("70 frmTDWK ShowHighScore"));
  EXPECT_EQ(Main().Variables().at("TOP_SCORE"), "10");
}

// A FIFO would hang the program until someone wrote to it; a sparse file claiming gigabytes
// would be read whole. Both fail at once, logged, and the program goes on.
TEST_F(HostileInputTest, AFifoOrAnOversizedProfileOrTableFailsAtOnceWithALoggedFailure) {
  fs::remove(folder.Path() + "Users/USER1.DAT");
  ASSERT_EQ(::mkfifo((folder.Path() + "Users/USER1.DAT").c_str(), 0600), 0);
  fs::resize_file(folder.Path() + "Users/USER2.DAT", 3ULL << 30);
  Main().RaiseFSCommand("vbPickUser", "USER1");
  Main().RaiseFSCommand("vbPickUser", "USER2");
  EXPECT_THAT(Reports(), Contains("75 basTDWK getUserDetails"));
  EXPECT_THAT(Reports(), Contains("6 basTDWK getUserDetails"));

  fs::resize_file(folder.Path() + "High Scores/HUNGRY_FROGS.dat", 3ULL << 30);
  Main().RaiseFSCommand("vbLoadMovie", "SNAKE");
  Main().RaiseFSCommand("vbCheckScores", "500");
  EXPECT_THAT(Reports(), Contains("6 frmTDWK GetHighScores"));
  EXPECT_EQ(Main().Variables().at("TOP_SCORE"), "0");
}

}  // namespace
}  // namespace tdwk::test
