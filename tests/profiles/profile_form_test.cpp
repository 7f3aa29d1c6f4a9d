#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "profiles/profiles_fixture.h"
#include "shell/serial_date.h"
#include "support/form_fields.h"

namespace tdwk::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using namespace std::chrono;

class ProfileFormTest : public ProfilesTest {
 protected:
  void SetUp() override {
    Started();
    WriteAnnaAndBen();
    shell->state.currentUserID = "USER2.DAT";
  }

  // The user manager's form as the movie holds it: every field defined.
  void FillForm(const std::map<std::string, std::string>& values = {}) {
    for (const char* name : kFormFieldNames) Main().DefineVariable(name, std::string("v:") + name);
    Main().DefineVariable("DAY", "14");
    Main().DefineVariable("MONTH", "7");
    Main().DefineVariable("YEAR", "1998");
    Main().DefineVariable("FIRST_NAME", "Cleo");
    Main().DefineVariable("SURNAME", "smith");
    Main().DefineVariable("SEX", "F");
    for (const auto& [name, value] : values) Main().DefineVariable(name, value);
  }
  void Adults(const std::vector<std::pair<std::string, std::string>>& slots) {
    for (std::size_t i = 0; i < slots.size(); ++i) {
      const std::string n = std::to_string(i + 1);
      if (!slots[i].first.empty()) Main().DefineVariable("ADULT_TYPE" + n, slots[i].first);
      Main().DefineVariable("ADULT_NAME" + n, slots[i].second);
    }
  }
  std::optional<child_details> Stored(int number) {
    shell->state.currentUserID = "USER" + std::to_string(number) + ".DAT";
    return shell->profiles.getUserDetails();
  }
  std::vector<std::string> VariablesAsked() const {
    std::vector<std::string> names;
    for (const Call& call : calls) {
      if (call.op == "GetVariable") names.push_back(call.name);
    }
    return names;
  }
  void Save(const std::string& action) { shell->profileForm.saveUserDetails(action); }
};

TEST_F(ProfileFormTest, AnAdditionTakesTheNextNumberAndRepublishesTheList) {
  FillForm();
  Save("ADD");
  EXPECT_EQ(shell->state.userCount, 3);
  EXPECT_EQ(shell->state.currentUserID, "USER3.DAT");
  ASSERT_TRUE(shell->state.currentChild);
  EXPECT_EQ(shell->state.currentChild->firstName, "Cleo");
  EXPECT_EQ(shell->state.currentChild->userID, "USER3.DAT");
  EXPECT_EQ(shell->state.currentChild->age, "5");
  std::vector<std::string> published;
  for (const std::string& call : CallsOn("swfMain")) {
    if (call.find("SetVariable") != std::string::npos) published.push_back(call);
  }
  EXPECT_THAT(
      published,
      ElementsAre("swfMain SetVariable NUM_USERS=3", "swfMain SetVariable USER_NAME1=Anna S",
                  "swfMain SetVariable USER_SEX1=F", "swfMain SetVariable USER_NAME2=Ben J",
                  "swfMain SetVariable USER_SEX2=M", "swfMain SetVariable USER_NAME3=Cleo S",
                  "swfMain SetVariable USER_SEX3=F"));
  EXPECT_TRUE(Reports().empty());
}

TEST_F(ProfileFormTest, EveryFormVariableFillsItsFieldInTableOrder) {
  FillForm();
  Adults({{"Mum", "Sue"}});
  Save("ADD");
  EXPECT_THAT(
      VariablesAsked(),
      ElementsAre("DAY", "MONTH", "YEAR", "BROTHERS_NAME_1", "BROTHERS_NAME_2", "BROTHERS_NAME_3",
                  "TOWN_CITY_NAME", "COUNTRY_NAME", "FIRST_NAME", "FRIENDS_NAME_1",
                  "FRIENDS_NAME_2", "FRIENDS_NAME_3", "SURNAME", "MIDDLE_NAME",
                  "FAVOURITE_PET_NAME", "PET_TYPE", "SCHOOL_NAME", "SEX", "SISTERS_NAME_1",
                  "SISTERS_NAME_2", "SISTERS_NAME_3", "STREET_NAME", "TEACHERS_NAME", "ADULT_TYPE1",
                  "ADULT_TYPE1", "ADULT_NAME1", "ADULT_TYPE2"));
  const auto stored = Stored(3);
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->dob, Serial(1998, 7, 14));
  EXPECT_EQ(stored->brothersName3, "v:BROTHERS_NAME_3");
  EXPECT_EQ(stored->cityName, "v:TOWN_CITY_NAME");
  EXPECT_EQ(stored->countryName, "v:COUNTRY_NAME");
  EXPECT_EQ(stored->friendsName2, "v:FRIENDS_NAME_2");
  EXPECT_EQ(stored->lastName, "smith");
  EXPECT_EQ(stored->middleName, "v:MIDDLE_NAME");
  EXPECT_EQ(stored->petName, "v:FAVOURITE_PET_NAME");
  EXPECT_EQ(stored->petType, "v:PET_TYPE");
  EXPECT_EQ(stored->schoolName, "v:SCHOOL_NAME");
  EXPECT_EQ(stored->sistersName1, "v:SISTERS_NAME_1");
  EXPECT_EQ(stored->streetName, "v:STREET_NAME");
  EXPECT_EQ(stored->teachersName, "v:TEACHERS_NAME");
  EXPECT_EQ(stored->mothersName, "Sue");
  EXPECT_EQ(stored->fatherName, "");
}

TEST_F(ProfileFormTest, AnyActionButAddSavesOverTheCurrentProfile) {
  FillForm();
  Save("add");
  EXPECT_EQ(shell->state.userCount, 2);
  EXPECT_FALSE(folder.Exists("Users/USER3.DAT"));
  EXPECT_EQ(Stored(2)->firstName, "Cleo");
  EXPECT_EQ(Stored(1)->firstName, "Anna");
}

TEST_F(ProfileFormTest, AdultSlotsFillTheFieldsOfTheirType) {
  FillForm();
  Adults({{"dad", "Tom"}, {"OTHER", "Ann"}, {"Gran", "May"}, {"grandad", "Joe"}});
  Save("EDIT");
  auto child = *shell->state.currentChild;
  EXPECT_EQ(child.fatherName, "Tom");
  EXPECT_EQ(child.responsibleAdult1, "Ann");
  EXPECT_EQ(child.responsibleAdult2, "");
  EXPECT_EQ(child.GransName, "May");
  EXPECT_EQ(child.GrandadsName, "Joe");

  FillForm();
  Adults({{"Other", "Ann"}, {"Other", "Bob"}, {"Other", "Cy"}, {"Dad", "Sam"}});
  Save("EDIT");
  child = *shell->state.currentChild;
  EXPECT_EQ(child.responsibleAdult1, "Ann");
  EXPECT_EQ(child.responsibleAdult2, "Cy");  // a third Other overwrites the second
  EXPECT_EQ(child.fatherName, "Sam");
  EXPECT_EQ(child.GransName, "");  // nothing carried over from the stored profile
  EXPECT_EQ(Stored(2)->GransName, "");
}

TEST_F(ProfileFormTest, AnUndefinedTypeEndsTheSlotsAndAnUnknownOneIsSkipped) {
  FillForm();
  Adults({{"Dad", "Tom"}, {"", "ignored"}, {"Mum", "Sue"}, {"Dad", "Sam"}});
  Save("EDIT");
  EXPECT_EQ(shell->state.currentChild->fatherName, "Tom");
  EXPECT_EQ(shell->state.currentChild->mothersName, "");

  FillForm();
  Main().ForgetVariable("ADULT_TYPE2");
  Adults({{"Dad", "Tom"}, {"Uncle", "Al"}, {"Mum", "Sue"}, {"Dad", "Sam"}});
  calls.clear();
  Save("EDIT");
  EXPECT_EQ(shell->state.currentChild->mothersName, "Sue");
  EXPECT_EQ(shell->state.currentChild->fatherName, "Sam");
  const auto asked = VariablesAsked();
  EXPECT_EQ(std::count(asked.begin(), asked.end(), "ADULT_NAME2"), 0);
  EXPECT_TRUE(Reports().empty());
}

TEST_F(ProfileFormTest, TheDateOfBirthCarriesAndRoundsHalfToEven) {
  struct Case {
    std::string day, month, year;
    double expected;
  };
  const Case cases[] = {
      {"31", "2", "2000", Serial(2000, 3, 2)},    {"1", "13", "2003", Serial(2004, 1, 1)},
      {"0", "3", "2004", Serial(2004, 2, 29)},    {"5", "0", "2004", Serial(2003, 12, 5)},
      {"2.5", "3.5", "2000", Serial(2000, 4, 2)}, {" 7 ", "1", "04", Serial(2004, 1, 7)},
      {"7", "1", "75", Serial(1975, 1, 7)},
  };
  for (const Case& c : cases) {
    FillForm({{"DAY", c.day}, {"MONTH", c.month}, {"YEAR", c.year}});
    Save("EDIT");
    EXPECT_EQ(Stored(2)->dob, c.expected) << c.day << "/" << c.month << "/" << c.year;
  }
  EXPECT_TRUE(Reports().empty());
}

TEST_F(ProfileFormTest, ABadDatePartEndsTheSaveBeforeAnythingIsWritten) {
  const std::string before = folder.ReadFile("Users/USER2.DAT");
  const std::pair<std::string, std::string> bad[] = {
      {"DAY", ""}, {"DAY", "x"}, {"MONTH", "40000"}, {"YEAR", "12345"}};
  for (const auto& [name, value] : bad) {
    FillForm({{name, value}});
    Save("EDIT");
  }
  EXPECT_THAT(Reports(), ElementsAre("13 basTDWK saveUserDetails", "13 basTDWK saveUserDetails",
                                     "6 basTDWK saveUserDetails", "5 basTDWK saveUserDetails"));
  EXPECT_EQ(folder.ReadFile("Users/USER2.DAT"), before);
  EXPECT_THAT(CallsOn("swfMain"), ::testing::Each(HasSubstr("GetVariable")));
}

TEST_F(ProfileFormTest, AnAdditionThatFailsBeforeItsWriteGivesItsNumberBack) {
  FillForm({{"DAY", ""}});
  Save("ADD");
  EXPECT_EQ(shell->state.userCount, 2);
  EXPECT_EQ(shell->state.currentUserID, "USER2.DAT");
  ASSERT_TRUE(shell->state.currentChild);  // the new record, as far as it was filled
  EXPECT_EQ(shell->state.currentChild->firstName, "");

  FillForm();
  Main().ForgetVariable("SEX");
  Save("ADD");
  EXPECT_EQ(shell->state.userCount, 2);
  EXPECT_EQ(shell->state.currentChild->firstName, "Cleo");
  EXPECT_THAT(Reports(),
              ElementsAre("13 basTDWK saveUserDetails", "-2147467259 basTDWK saveUserDetails"));

  // The next addition takes number 3: no gap.
  FillForm();
  Save("ADD");
  EXPECT_EQ(shell->state.userCount, 3);
  EXPECT_TRUE(folder.Exists("Users/USER3.DAT"));
  EXPECT_FALSE(folder.Exists("Users/USER4.DAT"));
}

TEST_F(ProfileFormTest, AFullCountCannotBeRaised) {
  shell->state.userCount = 32767;
  FillForm();
  Save("ADD");
  EXPECT_EQ(shell->state.userCount, 32767);
  EXPECT_THAT(Reports(), ElementsAre("6 basTDWK saveUserDetails"));
  EXPECT_THAT(VariablesAsked(), IsEmpty());
}

TEST_F(ProfileFormTest, ATextTooLongIsNeverHalfWritten) {
  const std::string before = folder.ReadFile("Users/USER2.DAT");
  FillForm({{"TEACHERS_NAME", std::string(40000, 'x')}});
  Save("EDIT");
  EXPECT_EQ(folder.ReadFile("Users/USER2.DAT"), before);

  FillForm({{"TEACHERS_NAME", std::string(40000, 'x')}});
  calls.clear();
  Save("ADD");
  EXPECT_FALSE(folder.Exists("Users/USER3.DAT"));
  EXPECT_EQ(shell->state.userCount, 2);
  EXPECT_EQ(CallsOn("swfMain").back(), "swfMain SetVariable USER_SEX2=M");
  EXPECT_THAT(Reports(), ElementsAre("6 basTDWK WriteStringToBinaryFile",
                                     "6 basTDWK WriteStringToBinaryFile"));
  EXPECT_THAT(Log(), HasSubstr("WriteStringToBinaryFile\r\n03/05/2004 09:15:42 There was an "
                               "error writing the file\r\n"));
}

TEST_F(ProfileFormTest, ASaveKilledAtTheReplaceLeavesTheOldProfileWhole) {
  const std::string before = folder.ReadFile("Users/USER2.DAT");
  watched.FailOn("ReplaceFile");
  FillForm();
  Save("EDIT");
  EXPECT_EQ(folder.ReadFile("Users/USER2.DAT"), before);
  FillForm();
  Save("ADD");
  EXPECT_EQ(shell->state.userCount, 2);
  EXPECT_EQ(shell->state.currentUserID, "USER2.DAT");
  EXPECT_THAT(Reports(), ElementsAre("61 basTDWK saveUserDetails", "61 basTDWK saveUserDetails"));
  EXPECT_EQ(folder.Entries("Users").size(), 2u);
  EXPECT_THAT(CallsOn("swfMain"), ::testing::Each(HasSubstr("GetVariable")));
}

TEST_F(ProfileFormTest, AnEditAfterARefusedKeyWritesNoFile) {
  FillForm();
  shell->state.currentUserID = "";  // what a refused key leaves
  Save("EDIT");
  EXPECT_THAT(Reports(), ElementsAre("52 basTDWK saveUserDetails"));
  EXPECT_EQ(folder.Entries("Users").size(), 2u);
}

TEST_F(ProfileFormTest, AnEditOfNoCountedProfileWritesNothing) {
  // A key past the last profile would leave a gap; a stray file listed last would be
  // overwritten with a profile.
  for (const std::string id : {"USER3.DAT", "USER7.DAT", "notes.txt", "USER0.DAT", "USER1"}) {
    shell->state.currentUserID = id;
    FillForm();
    Save("EDIT");
  }
  EXPECT_EQ(Reports(), std::vector<std::string>(5, "52 basTDWK saveUserDetails"));
  EXPECT_EQ(folder.Entries("Users").size(), 2u);
  // The lower-case extension a pick leaves still names the profile.
  shell->state.currentUserID = "USER1.dat";
  FillForm();
  Save("EDIT");
  EXPECT_EQ(Stored(1)->firstName, "Cleo");
}

TEST_F(ProfileFormTest, AVariableExistsWhenTheMovieAnswersIt) {
  Main().DefineVariable("ADULT_TYPE1", "");
  EXPECT_TRUE(shell->profileForm.flashVariableExists("ADULT_TYPE1"));
  EXPECT_FALSE(shell->profileForm.flashVariableExists("ADULT_TYPE2"));
  EXPECT_FALSE(folder.Exists("Logs/Log.dat"));
}

}  // namespace
}  // namespace tdwk::test
