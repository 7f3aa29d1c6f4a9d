#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/clock_posix.h"
#include "platform/code_page_posix.h"
#include "platform/locale_posix.h"

namespace tdwk {
namespace {

TEST(Windows1252CodePageTest, WesternCharactersTakeOneByteEach) {
  const Windows1252CodePage codePage;
  EXPECT_EQ(codePage.FromUtf8("Chlo\xC3\xA9 \xE2\x82\xAC"), "Chlo\xE9 \x80");
  EXPECT_EQ(codePage.ToUtf8("Chlo\xE9 \x80"), "Chlo\xC3\xA9 \xE2\x82\xAC");
  EXPECT_EQ(codePage.FromUtf8("\xC5\x93\xC5\xA0"), "\x9C\x8A");  // œ Š
}

TEST(Windows1252CodePageTest, WhatTheCodePageLacksBecomesAQuestionMark) {
  const Windows1252CodePage codePage;
  EXPECT_EQ(codePage.FromUtf8("\xE6\x97\xA5\xF0\x9F\x98\x80"), "??");  // 日 and an emoji
  EXPECT_EQ(codePage.FromUtf8("a\xFF"
                              "b"),
            "a?b");  // not UTF-8 at all
}

TEST(Windows1252CodePageTest, EveryByteReadsBackAsItWas) {
  const Windows1252CodePage codePage;
  std::string all;
  for (int byte = 0; byte < 256; ++byte) all += static_cast<char>(byte);
  EXPECT_EQ(codePage.FromUtf8(codePage.ToUtf8(all)), all);
}

TEST(PosixLocaleTest, DigitsAreGroupedInThreesEvenWithoutALocale) {
  ::setenv("LC_ALL", "C", 1);
  const PosixLocale locale;
  EXPECT_EQ(locale.GroupDigits(0), "0");
  EXPECT_EQ(locale.GroupDigits(365), "365");
  EXPECT_EQ(locale.GroupDigits(8760), "8,760");
  EXPECT_EQ(locale.GroupDigits(31536000), "31,536,000");
  EXPECT_EQ(locale.ShortDate(std::chrono::year{2004} / 5 / 3), "05/03/2004");
  EXPECT_EQ(locale.LongTime(std::chrono::hh_mm_ss<std::chrono::seconds>{
                std::chrono::hours{9} + std::chrono::minutes{5} + std::chrono::seconds{2}}),
            "09:05:02");
}

TEST(ParseLocalDateTimeTest, AcceptsOnlyRealDatesAndTimes) {
  using namespace std::chrono;
  EXPECT_EQ(ParseLocalDateTime("2026-12-24T18:30:05"),
            local_days{year{2026} / 12 / 24} + hours{18} + minutes{30} + seconds{5});
  for (const char* bad : {"2026-02-30T00:00:00", "2026-12-24 18:30:05", "2026-12-24T24:00:00",
                          "26-12-24T18:30:05", ""}) {
    EXPECT_FALSE(ParseLocalDateTime(bad)) << bad;
  }
}

}  // namespace
}  // namespace tdwk
