// Hostile input lines through the whole program: the trace stays valid JSON, the program
// ends normally, and nothing beside its folder changes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "hosts/console/console_run.h"
#include "support/data_files.h"

namespace tdwk::test {
namespace {

TEST(HostileConsoleInputTest, HugeControlAndInvalidTextsEndNormallyAndStayInside) {
  ConsoleApp app;
  TempFolder beside;
  beside.WriteFile("USER1.DAT", "not ours");
  const auto besideBefore = Snapshot(beside.Path());
  const std::string form =
      Form({{"DAY", "1"}, {"MONTH", "2"}, {"YEAR", "2015"}, {"FIRST_NAME", "Zo\u00eb"}},
           std::string("\x01\r\n\t\0", 5));
  // The sibling folder as seen from the users folder's parent.
  const std::string name =
      beside.Path().substr(beside.Path().rfind('/', beside.Path().size() - 2) + 1);
  const std::string relative = "../" + name;
  const ConsoleRun run = app.Run({
      "swfMain vbPickUser " + std::string(100000, 'A'),
      "swfMain vbSaveUser \x01\x02\xff\xfe",
      "swfMain vb\xffLoadMovie HOME",
      "swfMain vbDeleteUser ../USER1",
      "swfMain vbUpdateUser " + relative + "USER1",
      "swfMain vbPickUser USER1/../../" + relative + "USER1",
      form,
      "swfMain vbSaveUser ADD",
      "swfBackgroundLeft vbLoadMovie \xc3\x28",
  });
  EXPECT_EQ(run.exitStatus, 0) << run.errors;
  EXPECT_EQ(Snapshot(beside.Path()), besideBefore);
  const auto commands = run.Ops("FSCommand");
  ASSERT_EQ(commands.size(), 8u);
  EXPECT_EQ(commands[0]["args"].get<std::string>().size(), 100000u);
  // Bytes that are no UTF-8 are traced as U+FFFD.
  EXPECT_THAT(commands[1]["args"].get<std::string>(),
              ::testing::StartsWith("\x01\x02\xEF\xBF\xBD"));
  // The only file written is the new profile, its control characters kept.
  const auto profile = DecodeProfile(app.Folder().ReadFile("Users/USER1.DAT"));
  ASSERT_TRUE(profile);
  EXPECT_EQ((*profile)[6], "Zo\xEB");
  EXPECT_EQ((*profile)[0], std::string("\x01\r\n\t\0", 5));
  const std::string log = app.Folder().ReadFile("Logs/Log.dat");
  EXPECT_THAT(log, ::testing::HasSubstr("Procedure: setCurrentUser"));
  EXPECT_THAT(log, ::testing::HasSubstr("Procedure: deleteUser"));
}

}  // namespace
}  // namespace tdwk::test
