#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "profiles/profiles_fixture.h"
#include "shell/serial_date.h"

namespace tdwk::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using namespace std::chrono;

std::string Text(const std::string& bytes) {
  return std::string(1, static_cast<char>(bytes.size() & 0xFF)) +
         static_cast<char>(bytes.size() >> 8) + bytes;
}

std::string Empty(int count) {
  return std::string(2 * static_cast<std::size_t>(count), '\0');
}

class ProfileFilesTest : public ProfilesTest {
 protected:
  void SetUp() override { Started(); }

  bool Write(const child_details& child, const std::string& userID = "USER1.DAT") {
    shell->state.currentUserID = userID;
    shell->state.currentChild = child;
    return shell->profiles.WriteDataFile();
  }
  std::optional<child_details> Read(const std::string& userID = "USER1.DAT") {
    shell->state.currentUserID = userID;
    return shell->profiles.getUserDetails();
  }
};

TEST_F(ProfileFilesTest, AnEmptyRecordIsSixtyBytesAndReadsBackWithAgeAndUserID) {
  ASSERT_TRUE(Write(child_details{}));
  const std::string bytes = folder.ReadFile("Users/USER1.DAT");
  EXPECT_EQ(bytes, std::string(8, '\0') + Empty(26));
  child_details expected;
  expected.age = "104";  // born 30 December 1899, today 3 May 2004
  expected.userID = "USER1.DAT";
  EXPECT_EQ(Read(), expected);
  EXPECT_TRUE(Reports().empty());
}

TEST_F(ProfileFilesTest, TomBornOnNewYearsDay2000IsSixtyThreeBytesInFieldOrder) {
  child_details tom;
  tom.firstName = "Tom";
  tom.dob = Serial(2000, 1, 1);
  ASSERT_TRUE(Write(tom));
  EXPECT_EQ(folder.ReadFile("Users/USER1.DAT"), std::string("\x00\x00\x00\x00\xC0\xD5\xE1\x40", 8) +
                                                    Empty(6) + Text("Tom") + Empty(19));

  // Every stored field lands in its own slot, sorted by name with case ignored.
  child_details all;
  std::string* fields[] = {
      &all.brothersName1, &all.brothersName2,     &all.brothersName3,     &all.cityName,
      &all.countryName,   &all.fatherName,        &all.firstName,         &all.friendsName1,
      &all.friendsName2,  &all.friendsName3,      &all.GrandadsName,      &all.GransName,
      &all.lastName,      &all.middleName,        &all.mothersName,       &all.petName,
      &all.petType,       &all.responsibleAdult1, &all.responsibleAdult2, &all.schoolName,
      &all.sex,           &all.sistersName1,      &all.sistersName2,      &all.sistersName3,
      &all.streetName,    &all.teachersName};
  std::string expected(8, '\0');
  for (int i = 0; i < 26; ++i) {
    *fields[i] = std::string(static_cast<std::size_t>(i + 1), static_cast<char>('a' + i));
    expected += Text(*fields[i]);
  }
  all.age = "only in memory";
  all.userID = "not stored";
  ASSERT_TRUE(Write(all));
  EXPECT_EQ(folder.ReadFile("Users/USER1.DAT"), expected);
}

TEST_F(ProfileFilesTest, TextsAreStoredInWindows1252) {
  child_details child;
  child.firstName = "Ren\xC3\xA9";  // é
  child.lastName =
      "\xE2\x82\xAC"
      "uro";                   // €
  child.petName = "\xCE\xA9";  // Ω has no byte of its own
  ASSERT_TRUE(Write(child));
  const std::string bytes = folder.ReadFile("Users/USER1.DAT");
  EXPECT_THAT(bytes, HasSubstr(Text("Ren\xE9")));
  EXPECT_THAT(bytes, HasSubstr(Text("\x80uro")));
  EXPECT_THAT(bytes, HasSubstr(Text("?")));
  const auto read = Read();
  ASSERT_TRUE(read);
  EXPECT_EQ(read->firstName, "Ren\xC3\xA9");
  EXPECT_EQ(read->lastName,
            "\xE2\x82\xAC"
            "uro");
  EXPECT_EQ(read->petName, "?");
}

TEST_F(ProfileFilesTest, TheLongestTextIsStoredWithLengthFF7F) {
  child_details child;
  child.firstName = std::string(32767, 'a');
  child.lastName.reserve(2 * 32767);
  for (int i = 0; i < 32767; ++i) child.lastName += "\xC3\xA9";  // characters, not bytes
  ASSERT_TRUE(Write(child));
  const std::string bytes = folder.ReadFile("Users/USER1.DAT");
  EXPECT_EQ(bytes.substr(20, 2), "\xFF\x7F");
  const auto read = Read();
  ASSERT_TRUE(read);
  EXPECT_EQ(read->firstName, child.firstName);
  EXPECT_EQ(read->lastName, child.lastName);
}

TEST_F(ProfileFilesTest, ATextTooLongRefusesTheWholeWriteAndKeepsTheOldFile) {
  WriteProfile(1, "Anna", "Smith");
  const std::string before = folder.ReadFile("Users/USER1.DAT");
  child_details child;
  child.firstName = "Tom";
  child.teachersName = std::string(32768, 'x');
  EXPECT_FALSE(Write(child));
  EXPECT_EQ(folder.ReadFile("Users/USER1.DAT"), before);
  EXPECT_THAT(Reports(), ElementsAre("6 basTDWK WriteStringToBinaryFile"));
  EXPECT_THAT(Log(), HasSubstr("Procedure: WriteStringToBinaryFile\r\n03/05/2004 09:15:42 "
                               "There was an error writing the file\r\n"));
  EXPECT_THAT(folder.Entries("Users"), ElementsAre("USER1.DAT"));
}

TEST_F(ProfileFilesTest, WritingReplacesALongerProfileAndLeavesNoTemporaryFile) {
  WriteProfile(1, std::string(500, 'A'), "Smith");
  child_details child;
  child.firstName = "Tom";
  child.dob = Serial(2000, 1, 1);
  ASSERT_TRUE(Write(child, "user1.dat"));  // the stored name is kept
  EXPECT_EQ(folder.ReadFile("Users/USER1.DAT").size(), 63u);
  EXPECT_THAT(folder.Entries("Users"), ElementsAre("USER1.DAT"));
}

TEST_F(ProfileFilesTest, WritingCreatesAMissingUsersFolder) {
  std::filesystem::remove_all(folder.Path() + "Users");
  ASSERT_TRUE(Write(child_details{}));
  EXPECT_EQ(folder.ReadFile("Users/USER1.DAT").size(), 60u);
}

TEST_F(ProfileFilesTest, AUsersFolderThatCannotBeCreatedIsReportedAndNothingIsWritten) {
  std::filesystem::remove_all(folder.Path() + "Users");
  watched.FailOn("CreateFolder", vb::kPermissionDenied);
  EXPECT_FALSE(Write(child_details{}));
  EXPECT_THAT(Reports(), ElementsAre("70 basTDWK WriteDataFile"));
  EXPECT_FALSE(folder.Exists("Users"));
}

TEST_F(ProfileFilesTest, AReplaceThatFailsPassesToTheCallerAndKeepsTheOldProfile) {
  WriteProfile(1, "Anna", "Smith");
  const std::string before = folder.ReadFile("Users/USER1.DAT");
  watched.FailOn("ReplaceFile");
  EXPECT_THROW(Write(child_details{}), VbError);
  EXPECT_EQ(folder.ReadFile("Users/USER1.DAT"), before);
  EXPECT_TRUE(Reports().empty());  // the caller reports it under its own name
}

TEST_F(ProfileFilesTest, AnEmptyUserIDNamesNoFileToWrite) {
  EXPECT_THROW(Write(child_details{}, ""), VbError);
  EXPECT_THAT(folder.Entries("Users"), ::testing::IsEmpty());
}

TEST_F(ProfileFilesTest, NamesMatchWithoutRegardToCase) {
  WriteProfile(2, "Ben");
  const auto read = Read("USER2.dat");
  ASSERT_TRUE(read);
  EXPECT_EQ(read->firstName, "Ben");
  EXPECT_EQ(read->userID, "USER2.dat");
}

TEST_F(ProfileFilesTest, AnEmptyOrShortFileIsNoFailure) {
  folder.WriteFile("Users/USER1.DAT", "");
  auto read = Read();
  ASSERT_TRUE(read);
  EXPECT_EQ(read->dob, 0.0);
  EXPECT_EQ(read->firstName, "");

  // Cut inside the first name: the characters that are there stay.
  folder.WriteFile("Users/USER1.DAT", std::string("\x00\x00\x00\x00\xC0\xD5\xE1\x40", 8) +
                                          Empty(6) + std::string("\x05\x00To", 4));
  read = Read();
  ASSERT_TRUE(read);
  EXPECT_EQ(read->firstName, "To");
  EXPECT_EQ(read->lastName, "");
  EXPECT_EQ(read->age, "4");

  folder.WriteFile("Users/USER1.DAT", "\xC0\xD5\xE1");  // not even a whole date
  read = Read();
  ASSERT_TRUE(read);
  EXPECT_EQ(read->dob, 0.0);
  EXPECT_TRUE(Reports().empty());
}

TEST_F(ProfileFilesTest, ANegativeLengthReadsAsEmptyAndTheReadingGoesOn) {
  folder.WriteFile("Users/USER1.DAT",
                   std::string(8, '\0') + Empty(6) + "\xFF\xFF" + Text("Tom") + Empty(18));
  const auto read = Read();
  ASSERT_TRUE(read);
  EXPECT_EQ(read->firstName, "");
  EXPECT_EQ(read->friendsName1, "Tom");  // read from just past the two length bytes
  EXPECT_THAT(Reports(), ElementsAre("5 basTDWK ReadStringFromBinaryFile"));
}

TEST_F(ProfileFilesTest, AMissingFileOrABadDateReadsAsNothing) {
  EXPECT_FALSE(Read("USER9.DAT"));
  folder.WriteFile("Users/USER1.DAT", ProfileBytes("Anna", "", 1e12));
  EXPECT_FALSE(Read());
  EXPECT_THAT(Reports(), ElementsAre("53 basTDWK getUserDetails", "6 basTDWK getUserDetails"));

  shell->state.currentChild = child_details{};
  shell->state.currentUserID = "USER9.DAT";
  shell->profiles.ReadDataFile();
  EXPECT_FALSE(shell->state.currentChild);
}

TEST_F(ProfileFilesTest, TheSecondOtherAdultFillsAnEmptyFirst) {
  child_details child;
  child.responsibleAdult2 = "Ann";
  ASSERT_TRUE(Write(child));
  auto read = Read();
  EXPECT_EQ(read->responsibleAdult1, "Ann");
  EXPECT_EQ(read->responsibleAdult2, "Ann");

  child.responsibleAdult1 = "Bob";
  ASSERT_TRUE(Write(child));
  read = Read();
  EXPECT_EQ(read->responsibleAdult1, "Bob");
  EXPECT_EQ(read->responsibleAdult2, "Ann");
}

TEST_F(ProfileFilesTest, AgeCountsTheBirthdayItself) {
  EXPECT_EQ(shell->profiles.Age(Serial(2000, 5, 3)), 4);
  EXPECT_EQ(shell->profiles.Age(Serial(2000, 5, 4)), 3);
  EXPECT_EQ(shell->profiles.Age(Serial(2004, 12, 1)), -1);  // later this year
  EXPECT_EQ(shell->profiles.Age(Serial(2004, 5, 3)), 0);
}

TEST_F(ProfileFilesTest, AgeOfALeapDayChildGoesUpOnTheFirstOfMarchInACommonYear) {
  const double leapDay = Serial(2000, 2, 29);
  clock.Set(local_days{year{2005} / 2 / 28});
  EXPECT_EQ(shell->profiles.Age(leapDay), 4);
  clock.Set(local_days{year{2005} / 3 / 1});
  EXPECT_EQ(shell->profiles.Age(leapDay), 5);
  clock.Set(local_days{year{2004} / 2 / 29});
  EXPECT_EQ(shell->profiles.Age(leapDay), 4);
}

TEST_F(ProfileFilesTest, AgeOfAnImpossibleDateIsReportedAsZero) {
  EXPECT_EQ(shell->profiles.Age(1e12), 0);
  EXPECT_THAT(Reports(), ElementsAre("6 basTDWK Age"));
}

}  // namespace
}  // namespace tdwk::test
