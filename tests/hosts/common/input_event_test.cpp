#include "hosts/common/input_event.h"

#include <gtest/gtest.h>

namespace tdwk {
namespace {

TEST(InputEventTest, ThePlainFormKeepsTheArgumentExactlyAsWritten) {
  const ParsedLine parsed = ParseInputLine("swfMain vbSaveUser  two  blanks ");
  ASSERT_TRUE(parsed.event);
  EXPECT_EQ(parsed.event->kind, InputEvent::Kind::FSCommand);
  EXPECT_EQ(parsed.event->control, "swfMain");
  EXPECT_EQ(parsed.event->command, "vbSaveUser");
  EXPECT_EQ(parsed.event->args, " two  blanks ");

  const ParsedLine bare = ParseInputLine("swfBackgroundTop QUIT");
  ASSERT_TRUE(bare.event);
  EXPECT_EQ(bare.event->command, "QUIT");
  EXPECT_EQ(bare.event->args, "");
}

TEST(InputEventTest, BlankLinesAndCommentsAreNoEvents) {
  for (const char* line : {"", "# a comment", "#swfMain QUIT"}) {
    const ParsedLine parsed = ParseInputLine(line);
    EXPECT_FALSE(parsed.event) << line;
    EXPECT_TRUE(parsed.error.empty()) << line;
  }
}

TEST(InputEventTest, JsonEventsCarryTheirFields) {
  const ParsedLine command = ParseInputLine(
      R"({"event":"fscommand","control":"swfBackgroundLeft","command":"vbLoadMovie","args":"A\rB"})");
  ASSERT_TRUE(command.event);
  EXPECT_EQ(command.event->args, "A\rB");

  const ParsedLine values = ParseInputLine(
      R"({"event":"variables","control":"swfMain","values":{"DAY":"1","FIRST_NAME":"Tom"}})");
  ASSERT_TRUE(values.event);
  ASSERT_EQ(values.event->values.size(), 2u);

  const ParsedLine message =
      ParseInputLine(R"({"event":"message","control":"swfMain","message":516})");
  ASSERT_TRUE(message.event);
  EXPECT_EQ(message.event->message, 516u);

  const ParsedLine wait = ParseInputLine(R"({"event":"wait","ms":500})");
  ASSERT_TRUE(wait.event);
  EXPECT_EQ(wait.event->ms, 500);
  const ParsedLine longest = ParseInputLine(R"({"event":"wait","ms":2147483647})");
  ASSERT_TRUE(longest.event);
  EXPECT_EQ(longest.event->ms, kLongestWaitMs);

  EXPECT_TRUE(ParseInputLine(R"({"event":"close"})").event);
}

TEST(InputEventTest, UnreadableLinesSayWhy) {
  for (const char* line :
       {"{not json", "[1,2]", R"({"event":"jump"})", R"({"event":"fscommand","control":"swfMain"})",
        R"({"event":"fscommand","control":"swfOther","command":"QUIT","args":""})",
        R"({"event":"wait","ms":-1})", R"({"event":"wait","ms":2147483648})",
        R"({"event":"wait","ms":9223372036854775807})",
        R"({"event":"message","control":"swfMain","message":"516"})",
        R"({"event":"variables","control":"swfMain","values":{"DAY":1}})", "swfMain",
        "swfNowhere QUIT"}) {
    const ParsedLine parsed = ParseInputLine(line);
    EXPECT_FALSE(parsed.event) << line;
    EXPECT_FALSE(parsed.error.empty()) << line;
  }
}

}  // namespace
}  // namespace tdwk
