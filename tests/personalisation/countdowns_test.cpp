#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "shell/serial_date.h"
#include "support/shell_fixture.h"

namespace tdwk::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using namespace std::chrono;

class CountdownsTest : public ShellTest {
 protected:
  void SetUp() override {
    StartedShell();
    shell->state.currentChild.emplace();
    shell->state.currentChild->firstName = "Sam";
  }

  void BornOn(int y, unsigned m, unsigned d) {
    shell->state.currentChild->dob = SerialFromDays(local_days{year{y} / month{m} / day{d}}) + 0.25;
  }
  void Today(int y, unsigned m, unsigned d, int h = 0, int min = 0, int s = 0) {
    clock.Set(local_days{year{y} / month{m} / day{d}} + hours{h} + minutes{min} + seconds{s});
  }
  // The values of the variables with this prefix, in the order set.
  std::vector<std::string> Answer(const std::string& prefix) {
    calls.clear();
    shell->countdowns.setTimers();
    std::vector<std::string> values;
    for (const Call& call : calls) {
      if (call.name.starts_with(prefix)) values.push_back(call.name + "=" + call.value);
    }
    return values;
  }
};

TEST_F(CountdownsTest, AllSixteenVariablesAreSetInOrder) {
  BornOn(1997, 5, 4);
  Answer("");
  std::vector<std::string> names;
  for (const Call& call : calls) names.push_back(call.name);
  EXPECT_THAT(names,
              ElementsAre("BDAY_MONTHS", "BDAY_WEEKS", "BDAY_DAYS", "BDAY_HOURS", "BDAY_MINUTES",
                          "BDAY_SECONDS", "BIRTHDAY", "XMAS_MONTHS", "XMAS_WEEKS", "XMAS_DAYS",
                          "XMAS_HOURS", "XMAS_MINUTES", "XMAS_SECONDS", "CHRISTMAS"));
  for (const Call& call : calls) EXPECT_EQ(call.control, "swfMain");
}

TEST_F(CountdownsTest, ABirthdayTomorrowEveningCountsFromNow) {
  BornOn(1997, 5, 4);
  Today(2004, 5, 3, 18, 30, 0);
  EXPECT_THAT(Answer("B"),
              ElementsAre("BDAY_MONTHS=0", "BDAY_WEEKS=0", "BDAY_DAYS=1", "BDAY_HOURS=6",
                          "BDAY_MINUTES=330", "BDAY_SECONDS=19,800", "BIRTHDAY=0"));
}

TEST_F(CountdownsTest, OnTheBirthdayEverythingIsZeroAndTheChildIsGreeted) {
  BornOn(1997, 5, 3);
  Today(2004, 5, 3, 23, 59, 59);
  EXPECT_THAT(Answer("B"), ElementsAre("BDAY_MONTHS=0", "BDAY_WEEKS=0", "BDAY_DAYS=0",
                                       "BDAY_HOURS=0", "BDAY_MINUTES=0", "BDAY_SECONDS=0",
                                       "BIRTHDAY=1", "BIRTHDAY_MESSAGE=Happy\rBirthday\rSam"));
}

TEST_F(CountdownsTest, APassedBirthdayCountsToNextYear) {
  BornOn(1997, 5, 2);
  Today(2004, 5, 3);
  EXPECT_THAT(Answer("BDAY_DAYS"), ElementsAre("BDAY_DAYS=364"));
  EXPECT_THAT(Answer("BDAY_MONTHS"), ElementsAre("BDAY_MONTHS=12"));
  BornOn(1997, 2, 27);
  Today(2004, 2, 28);  // 29 February 2004 lies in between
  EXPECT_THAT(Answer("BDAY_DAYS"), ElementsAre("BDAY_DAYS=365"));
}

TEST_F(CountdownsTest, ChristmasCountsByCalendarMonthsAndWholeWeeks) {
  BornOn(1997, 5, 4);
  Today(2004, 11, 30, 9, 15, 42);
  EXPECT_THAT(Answer("X"),
              ElementsAre("XMAS_MONTHS=1", "XMAS_WEEKS=3", "XMAS_DAYS=25", "XMAS_HOURS=591",
                          "XMAS_MINUTES=35,445", "XMAS_SECONDS=2,126,658"));
  Today(2004, 12, 24);
  EXPECT_THAT(Answer("XMAS_MONTHS"), ElementsAre("XMAS_MONTHS=0"));
  EXPECT_THAT(Answer("XMAS_DAYS"), ElementsAre("XMAS_DAYS=1"));
  Today(2004, 12, 26);
  EXPECT_THAT(Answer("XMAS_DAYS"), ElementsAre("XMAS_DAYS=364"));
  EXPECT_THAT(Answer("XMAS_MONTHS"), ElementsAre("XMAS_MONTHS=12"));
}

TEST_F(CountdownsTest, OnChristmasDayTheChildIsGreeted) {
  BornOn(1997, 5, 4);
  Today(2004, 12, 25, 7);
  EXPECT_THAT(Answer("X"), ElementsAre("XMAS_MONTHS=0", "XMAS_WEEKS=0", "XMAS_DAYS=0",
                                       "XMAS_HOURS=0", "XMAS_MINUTES=0", "XMAS_SECONDS=0"));
  EXPECT_THAT(Answer("C"), ElementsAre("CHRISTMAS=1", "CHRISTMAS_MESSAGE=Merry\rChristmas\rSam"));
  EXPECT_THAT(Answer("BIRTHDAY"), ElementsAre("BIRTHDAY=0"));
}

TEST_F(CountdownsTest, AChildBornOnChristmasDayGetsBothGreetingsOnIt) {
  BornOn(1998, 12, 25);
  Today(2004, 12, 25, 12);
  const std::vector<std::string> flags = Answer("");
  EXPECT_THAT(flags, ::testing::Contains("BIRTHDAY_MESSAGE=Happy\rBirthday\rSam"));
  EXPECT_THAT(flags, ::testing::Contains("CHRISTMAS_MESSAGE=Merry\rChristmas\rSam"));
  EXPECT_EQ(flags.size(), 16u);
}

TEST_F(CountdownsTest, ALeapDayBirthdayIsFirstMarchInACommonYear) {
  BornOn(2000, 2, 29);
  Today(2005, 2, 28, 12);
  EXPECT_THAT(Answer("BDAY_DAYS"), ElementsAre("BDAY_DAYS=1"));
  Today(2005, 3, 1, 8);
  EXPECT_THAT(Answer("BIRTH"), ElementsAre("BIRTHDAY=1", "BIRTHDAY_MESSAGE=Happy\rBirthday\rSam"));
  Today(2005, 3, 2);
  EXPECT_THAT(Answer("BDAY_DAYS"), ElementsAre("BDAY_DAYS=364"));  // 1 March 2006
  // In a leap year the day itself.
  Today(2004, 2, 28);
  EXPECT_THAT(Answer("BDAY_DAYS"), ElementsAre("BDAY_DAYS=1"));
  Today(2004, 2, 29);
  EXPECT_THAT(Answer("BIRTHDAY"),
              ElementsAre("BIRTHDAY=1", "BIRTHDAY_MESSAGE=Happy\rBirthday\rSam"));
  Today(2004, 3, 1);
  EXPECT_THAT(Answer("BDAY_DAYS"), ElementsAre("BDAY_DAYS=365"));  // 1 March 2005
  EXPECT_THAT(Log(), ::testing::Not(HasSubstr("setTimers")));
}

TEST_F(CountdownsTest, WithoutAChildNothingIsPublished) {
  shell->state.currentChild.reset();
  EXPECT_TRUE(Answer("").empty());
  EXPECT_THAT(Log(), HasSubstr("*** Error: 91 - Object variable or With block variable not set"
                               "\r\n    Module: frmTDWK, Procedure: setTimers\r\n"));
}

}  // namespace
}  // namespace tdwk::test
