#include <gtest/gtest.h>

#include <cmath>

#include "base/text.h"
#include "base/vb_error.h"
#include "shell/serial_date.h"

namespace tdwk {
namespace {

using namespace std::chrono;

TEST(TextTest, ScoreTextsAreReadUpToTheFirstCharacterThatDoesNotFit) {
  EXPECT_EQ(LeadingNumber("150"), 150);
  EXPECT_EQ(LeadingNumber("  -12.5e1xyz"), -125);
  EXPECT_EQ(LeadingNumber("12.5"), 12.5);
  EXPECT_EQ(LeadingNumber("7e"), 7);
  EXPECT_EQ(LeadingNumber(".5"), 0.5);
  EXPECT_EQ(LeadingNumber("abc"), 0);
  EXPECT_EQ(LeadingNumber(""), 0);
  EXPECT_EQ(LeadingNumber("-"), 0);
  EXPECT_EQ(LeadingNumber("1 2"), 1);
  // Too small for a double is zero, however it is written; too large stays infinite.
  for (const char* tiny : {"1e-400", "-1e-400", "0.0001e-320", "123456e-330"}) {
    EXPECT_EQ(LeadingNumber(tiny), 0) << tiny;
  }
  EXPECT_EQ(ToInteger16(LeadingNumber("1e-400")), 0);
  EXPECT_EQ(LeadingNumber("1e400"), HUGE_VAL);
  EXPECT_EQ(LeadingNumber("0.1e310"), HUGE_VAL);
  EXPECT_EQ(LeadingNumber("-1e99999999999999999999"), -HUGE_VAL);
}

TEST(TextTest, WholeNumbersRoundAHalfToEvenAndMustFitSixteenBits) {
  EXPECT_EQ(ToInteger16(12.5), 12);
  EXPECT_EQ(ToInteger16(13.5), 14);
  EXPECT_EQ(ToInteger16(-2.5), -2);
  EXPECT_EQ(ToInteger16(32767.4), 32767);
  EXPECT_EQ(ToInteger16(-32768), -32768);
  for (double outside : {32767.5, 40000.0, -32769.0, 1e300}) {
    try {
      ToInteger16(outside);
      ADD_FAILURE() << outside;
    } catch (const VbError& e) {
      EXPECT_EQ(e.Number(), vb::kOverflow);
    }
  }
}

TEST(TextTest, AWholeTextMustBeANumber) {
  EXPECT_EQ(TextToNumber(" 31 "), 31);
  EXPECT_EQ(TextToNumber("2.5"), 2.5);
  for (const char* bad : {"", "  ", "12a", "abc", "1 2"}) {
    try {
      TextToNumber(bad);
      ADD_FAILURE() << bad;
    } catch (const VbError& e) {
      EXPECT_EQ(e.Number(), vb::kTypeMismatch) << bad;
    }
  }
}

TEST(TextTest, CharactersAreCountedAndUpperCasedNotBytes) {
  EXPECT_EQ(CharacterCount("\xC3\xA9t\xC3\xA9"), 3u);
  EXPECT_EQ(CharacterCount("a\xFF"
                           "b"),
            3u);
  EXPECT_EQ(UpperCase("swap \xC3\xA9l\xC3\xA8ve \xC3\xBF"), "SWAP \xC3\x89L\xC3\x88VE \xC5\xB8");
  EXPECT_EQ(FirstCharacter("\xC3\xA9mile"), "\xC3\xA9");
  EXPECT_EQ(FirstCharacter(""), "");
}

TEST(SerialDateTest, DaysCountFromTheEndOf1899) {
  EXPECT_EQ(SerialFromDays(local_days{year{2000} / 1 / 1}), 36526);
  EXPECT_EQ(SerialFromDays(kSerialEpoch), 0);
  EXPECT_EQ(DateFromSerial(36526.0), year{2000} / 1 / 1);
  EXPECT_TRUE(IsValidSerial(SerialFromDays(local_days{year{100} / 1 / 1})));
  EXPECT_FALSE(IsValidSerial(SerialFromDays(local_days{year{100} / 1 / 1}) - 1));
  EXPECT_FALSE(IsValidSerial(SerialFromDays(local_days{year{10000} / 1 / 1})));
}

TEST(SerialDateTest, OutOfRangeDatePartsCarryIntoTheirNeighbours) {
  EXPECT_EQ(CarriedDate(2000, 2, 31), local_days{year{2000} / 3 / 2});
  EXPECT_EQ(CarriedDate(2003, 13, 1), local_days{year{2004} / 1 / 1});
  EXPECT_EQ(CarriedDate(2004, 3, 0), local_days{year{2004} / 2 / 29});
  EXPECT_EQ(CarriedDate(2004, 0, 15), local_days{year{2003} / 12 / 15});
  EXPECT_EQ(CarriedDate(2004, -11, 1), local_days{year{2003} / 1 / 1});
  EXPECT_EQ(CarriedDate(2005, 2, 29), local_days{year{2005} / 3 / 1});
}

}  // namespace
}  // namespace tdwk
