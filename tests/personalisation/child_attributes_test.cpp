#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "shell/serial_date.h"
#include "support/score_table_bytes.h"
#include "support/shell_fixture.h"

namespace tdwk::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using namespace std::chrono;

class ChildAttributesTest : public ShellTest {
 protected:
  void SetUp() override { StartedShell(); }

  child_details& Child() {
    if (!shell->state.currentChild) shell->state.currentChild.emplace();
    return *shell->state.currentChild;
  }
  void Publish() {
    calls.clear();
    shell->attributes.setFlashClildAttributes();
  }
  // name=value of every variable set, in order.
  std::vector<std::string> Set() const {
    std::vector<std::string> lines;
    for (const Call& call : calls) {
      if (call.op == "SetVariable") lines.push_back(call.name + "=" + call.value);
    }
    return lines;
  }
  // Only the adult slot variables and the adult count, in order.
  std::vector<std::string> Slots() const {
    std::vector<std::string> lines;
    for (const std::string& line : Set()) {
      if (line.starts_with("ADULT_") || line.starts_with("NUM_ADULTS")) lines.push_back(line);
    }
    return lines;
  }
};

TEST_F(ChildAttributesTest, EveryStepIsPublishedInItsOrder) {
  child_details& c = Child();
  c.firstName = "Sam", c.middleName = "J", c.lastName = "Hill", c.streetName = "Elm Row";
  c.cityName = "Leeds", c.countryName = "England", c.sex = "Boy", c.age = "7";
  c.dob = SerialFromDays(local_days{year{1997} / 3 / 9});
  c.friendsName1 = "Ann", c.friendsName3 = "Cy";
  c.mothersName = "Jo", c.GrandadsName = "Bert", c.responsibleAdult2 = "Vi";
  c.brothersName2 = "Al", c.sistersName1 = "Em", c.sistersName2 = "Flo", c.sistersName3 = "Gil";
  c.petName = "Rex", c.petType = "Dog", c.teachersName = "Mr Lee", c.schoolName = "Oak";
  c.userID = "USER1.DAT";
  Publish();
  EXPECT_THAT(
      Set(),
      ElementsAre(
          "FIRST_NAME=Sam", "MIDDLE_NAME=J", "SURNAME=Hill", "STREET_NAME=Elm Row",
          "TOWN_CITY_NAME=Leeds", "COUNTRY_NAME=England", "DOB=09/03/1997", "DAY=9", "MONTH=3",
          "YEAR=1997", "SEX=Boy", "FRIENDS_NAME_1=Ann", "FRIENDS_NAME_2=", "FRIENDS_NAME_3=Cy",
          "NUM_FRIENDS=2", "AGE=7", "MUMS_NAME=Jo", "ADULT_NAME1=Jo", "ADULT_TYPE1=Mum",
          "DADS_NAME=", "GRANS_NAME=", "GRANDADS_NAME=Bert", "ADULT_NAME2=Bert",
          "ADULT_TYPE2=Grandad", "RESPONSIBLE_ADULT_1=", "RESPONSIBLE_ADULT_2=Vi", "ADULT_NAME3=Vi",
          "ADULT_TYPE3=Other", "ADULT_NAME4=", "ADULT_TYPE4=", "NUM_ADULTS=3", "BROTHERS_NAME_1=",
          "BROTHERS_NAME_2=Al", "BROTHERS_NAME_3=", "NUM_BROTHERS=1", "SISTERS_NAME_1=Em",
          "SISTERS_NAME_2=Flo", "SISTERS_NAME_3=Gil", "NUM_SISTERS=3", "FAVOURITE_PET_NAME=Rex",
          "PET_TYPE=Dog", "TEACHERS_NAME=Mr Lee", "SCHOOL_NAME=Oak", "TOP_SCORE=", "VALIDATED=1"));
  EXPECT_EQ(calls.size(), Set().size());  // nothing but variables, all on swfMain
  for (const Call& call : calls) EXPECT_EQ(call.control, "swfMain");
}

TEST_F(ChildAttributesTest, AnEmptyChildCountsNothingAndClearsOnlySlotFour) {
  Child();
  Publish();
  EXPECT_THAT(Slots(), ElementsAre("ADULT_NAME4=", "ADULT_TYPE4=", "NUM_ADULTS=0"));
  EXPECT_THAT(Set(), ::testing::Contains("NUM_FRIENDS=0"));
  EXPECT_THAT(Set(), ::testing::Contains("FRIENDS_NAME_1="));
  EXPECT_THAT(Set(), ::testing::Contains("NUM_BROTHERS=0"));
  EXPECT_THAT(Set(), ::testing::Contains("NUM_SISTERS=0"));
}

TEST_F(ChildAttributesTest, AbsentAdultsTakeNoNumber) {
  Child().fatherName = "Dan";
  Child().GransName = "May";
  Publish();
  EXPECT_THAT(Slots(), ElementsAre("ADULT_NAME1=Dan", "ADULT_TYPE1=Dad", "ADULT_NAME2=May",
                                   "ADULT_TYPE2=Gran", "ADULT_NAME4=", "ADULT_TYPE4=",
                                   "ADULT_NAME3=", "ADULT_TYPE3=", "NUM_ADULTS=2"));
  EXPECT_THAT(Set(), ::testing::Contains("MUMS_NAME="));
}

TEST_F(ChildAttributesTest, OneAdultClearsSlotFourButNotThree) {
  Child().GrandadsName = "Bert";
  Publish();
  EXPECT_THAT(Slots(), ElementsAre("ADULT_NAME1=Bert", "ADULT_TYPE1=Grandad",
                                   "ADULT_NAME4=", "ADULT_TYPE4=", "NUM_ADULTS=1"));
}

TEST_F(ChildAttributesTest, BlanksArePresent) {
  Child().mothersName = " ";
  Child().friendsName2 = "  ";
  Child().sistersName3 = "Gil";
  Publish();
  EXPECT_THAT(Slots(), ElementsAre("ADULT_NAME1= ", "ADULT_TYPE1=Mum",
                                   "ADULT_NAME4=", "ADULT_TYPE4=", "NUM_ADULTS=1"));
  EXPECT_THAT(Set(), ::testing::Contains("NUM_FRIENDS=1"));
  EXPECT_THAT(Set(), ::testing::Contains("NUM_SISTERS=1"));
}

TEST_F(ChildAttributesTest, FiveOrSixAdultsFillTheirSlotsAndClearNothing) {
  child_details& c = Child();
  c.mothersName = "Jo", c.fatherName = "Dan", c.GransName = "May", c.GrandadsName = "Bert";
  c.responsibleAdult1 = "Vi";
  Publish();
  EXPECT_THAT(Slots(), ElementsAre("ADULT_NAME1=Jo", "ADULT_TYPE1=Mum", "ADULT_NAME2=Dan",
                                   "ADULT_TYPE2=Dad", "ADULT_NAME3=May", "ADULT_TYPE3=Gran",
                                   "ADULT_NAME4=Bert", "ADULT_TYPE4=Grandad", "ADULT_NAME5=Vi",
                                   "ADULT_TYPE5=Other", "NUM_ADULTS=5"));
  c.responsibleAdult2 = "Ned";
  Publish();
  EXPECT_THAT(Slots(), ::testing::Contains("ADULT_NAME6=Ned"));
  EXPECT_THAT(Slots().back(), "NUM_ADULTS=6");
  EXPECT_EQ(Slots().size(), 13u);
}

TEST_F(ChildAttributesTest, ResponsibleAdultsAreBothNamedBeforeTheirSlots) {
  Child().responsibleAdult1 = "Vi";
  Child().responsibleAdult2 = "Ned";
  Publish();
  const std::vector<std::string> set = Set();
  const auto at = [&](const std::string& line) {
    return std::find(set.begin(), set.end(), line) - set.begin();
  };
  EXPECT_LT(at("RESPONSIBLE_ADULT_2=Ned"), at("ADULT_NAME1=Vi"));
  EXPECT_THAT(Slots(), ElementsAre("ADULT_NAME1=Vi", "ADULT_TYPE1=Other", "ADULT_NAME2=Ned",
                                   "ADULT_TYPE2=Other", "ADULT_NAME4=", "ADULT_TYPE4=",
                                   "ADULT_NAME3=", "ADULT_TYPE3=", "NUM_ADULTS=2"));
}

TEST_F(ChildAttributesTest, AGameGetsItsTopScoreAsStoredAndAnythingElseNothing) {
  Child();
  folder.WriteFile("High Scores/HUNGRY_FROGS.dat", TableBytes({{"Ann", "0150"}}));
  Main().LoadMovie(0, folder.Path() + "/Games/Snake.swf");
  Publish();
  ASSERT_EQ(Set().size(), 39u);
  EXPECT_EQ(Set()[37], "TOP_SCORE=0150");
  // A game without its table: empty too, and the failure is logged.
  Main().LoadMovie(0, folder.Path() + "/Games/Pegs.swf");
  Publish();
  ASSERT_EQ(Set().size(), 39u);
  EXPECT_EQ(Set()[37], "TOP_SCORE=");
  EXPECT_THAT(Log(), HasSubstr("Procedure: GetHighScores"));
}

TEST_F(ChildAttributesTest, LoadMoviePublishesBeforeItPlays) {
  Child().firstName = "Sam";
  folder.WriteFile("High Scores/PEGS.dat", TableBytes({{"Ann", "40"}}));
  calls.clear();
  shell->frmTDWK.LoadMovie(folder.Path() + "/Games/Pegs.swf", true);
  ASSERT_EQ(calls.size(), 41u);  // the load, 39 variables, the play
  EXPECT_EQ(calls[1].ToString(), "swfMain SetVariable FIRST_NAME=Sam");
  EXPECT_EQ(calls[38].ToString(), "swfMain SetVariable TOP_SCORE=40");
  EXPECT_EQ(calls.back().ToString(), "swfMain Play");
}

TEST_F(ChildAttributesTest, AFailureEndsThePublicationAtItsStep) {
  Publish();
  EXPECT_TRUE(calls.empty());
  EXPECT_THAT(Log(), HasSubstr("*** Error: 91 - Object variable or With block variable not set"
                               "\r\n    Module: frmTDWK, Procedure: setFlashClildAttributes\r\n"));

  Child().firstName = "Sam";
  Child().dob = 1e9;  // no date
  Publish();
  EXPECT_EQ(Set().size(), 6u);
  EXPECT_EQ(Set().back(), "COUNTRY_NAME=");
}

}  // namespace
}  // namespace tdwk::test
