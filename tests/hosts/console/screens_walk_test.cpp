#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "hosts/console/console_run.h"
#include "support/profile_bytes.h"

namespace tdwk::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

std::vector<std::string> MainMovies(const ConsoleRun& run, const std::string& app) {
  std::vector<std::string> movies;
  for (const auto& load : run.Ops("LoadMovie", "swfMain")) {
    movies.push_back(load["url"].get<std::string>().substr(app.size()));
  }
  return movies;
}

// The commands that follow the line naming this command, up to the next command.
std::vector<nlohmann::json> After(const ConsoleRun& run, const std::string& command,
                                  const std::string& args, int occurrence = 1) {
  std::vector<nlohmann::json> lines;
  bool inside = false;
  for (const auto& line : run.trace) {
    if (line.value("op", "") == "FSCommand") {
      if (inside) break;
      if (line["command"] == command && line["args"] == args && --occurrence == 0) inside = true;
      continue;
    }
    if (inside) lines.push_back(line);
  }
  return lines;
}

std::string Frames(const std::vector<nlohmann::json>& lines) {
  std::string frames;
  for (const auto& line : lines) {
    if (line.value("op", "") == "GotoFrame") {
      frames +=
          line["control"].get<std::string>() + ":" + std::to_string(line["frame"].get<int>()) + " ";
    }
  }
  return frames;
}

TEST(ScreensWalkTest, AGrownUpAddsEditsAndDeletesChildrenInTheUserManager) {
  ConsoleApp app;
  const ConsoleRun run =
      app.Run({"swfMain vbIntroFinished",
               Form({{"FIRST_NAME", "Anna"},
                     {"SURNAME", "smith"},
                     {"SEX", "F"},
                     {"DAY", "3"},
                     {"MONTH", "5"},
                     {"YEAR", "1998"},
                     {"ADULT_TYPE1", "Mum"},
                     {"ADULT_NAME1", "Sue"}}),
               "swfMain vbSaveUser ADD",
               Form({{"FIRST_NAME", "Ben"},
                     {"SURNAME", "Jones"},
                     {"SEX", "M"},
                     {"DAY", "29"},
                     {"MONTH", "2"},
                     {"YEAR", "2000"}}),
               "swfMain vbSaveUser ADD", "swfMain vbUpdateUser USER1",
               Form({{"FIRST_NAME", "Annie"},
                     {"SURNAME", "Smith"},
                     {"SEX", "F"},
                     {"DAY", "3"},
                     {"MONTH", "5"},
                     {"YEAR", "1998"}}),
               "swfMain vbSaveUser EDIT", "swfMain vbDeleteUser USER1", "swfMain QUIT_USER_MANAGER",
               "swfMain CLOSE", R"({"event":"wait","ms":500})"},
              {}, {{"TDWK_NOW", "2004-05-03T09:15:42"}});
  ASSERT_EQ(run.exitStatus, 0) << run.errors;
  EXPECT_EQ(run.errors, "");

  EXPECT_THAT(MainMovies(run, app.Path()),
              ElementsAre("/Menus/Intro.swf", "/Menus/Startup.swf", "/Menus/Finish.swf"));
  const auto startup = After(run, "vbIntroFinished", "");
  EXPECT_EQ(startup[1]["name"], "NUM_USERS");
  EXPECT_EQ(startup[1]["value"], "0");
  EXPECT_EQ(startup[2]["value"], "USER_MANAGER");

  const auto first = After(run, "vbSaveUser", "ADD");
  EXPECT_EQ(Frames(first), "swfMain:1 ");
  const auto second = After(run, "vbSaveUser", "ADD", 2);
  EXPECT_EQ(Frames(second), "swfMain:1 ");
  EXPECT_EQ(Frames(After(run, "vbUpdateUser", "USER1")), "swfMain:3 ");
  EXPECT_EQ(Frames(After(run, "vbDeleteUser", "USER1")), "swfMain:1 ");

  // What the list showed after each change.
  std::vector<std::string> counts;
  for (const auto& line : run.Ops("SetVariable", "swfMain")) {
    if (line["name"] == "NUM_USERS") counts.push_back(line["value"]);
  }
  EXPECT_THAT(counts, ElementsAre("0", "1", "2", "2", "1"));
  EXPECT_EQ(run.LastVariable("USER_NAME1"), "Ben J");
  EXPECT_EQ(run.LastVariable("USER_SEX1"), "M");
  EXPECT_EQ(run.LastVariable("USER_NAME2"), "Ben J");  // not cleared by the delete

  // Ben, renumbered to 1, is the only profile left.
  EXPECT_THAT(app.Folder().Entries("Users"), ElementsAre("USER1.DAT"));
  EXPECT_THAT(app.Folder().ReadFile("Users/USER1.DAT"), HasSubstr(std::string("\x03\x00"
                                                                              "Ben",
                                                                              5)));
  EXPECT_THAT(app.Folder().ReadFile("Logs/Log.dat"), Not(HasSubstr("*** Error")));
  EXPECT_EQ(run.trace.back().dump(), R"({"op":"Unload"})");
}

TEST(ScreensWalkTest, AChildPicksTheirNameAndVisitsTheProduct) {
  ConsoleApp app;
  app.Folder().WriteFile("Users/USER1.DAT", ProfileBytes("Anna", "Smith", 36526.0, "F"));
  app.Folder().WriteFile("Users/USER2.DAT", ProfileBytes("Ben", "jones", 36526.0, "M"));
  const ConsoleRun run = app.Run(
      {"swfMain vbIntroFinished", "swfMain vbPickUser USER2",
       "swfBackgroundLeft vbLoadMovie STORIES", "swfMain vbLoadMovie GHOST",
       "swfBackgroundLeft vbLoadMovie GAMES", "swfMain vbLoadMovie SNAKE",
       "swfBackgroundLeft vbLoadMovie CRYSTAL_BALL", "swfBackgroundTop QUIT",
       "swfMain confirmExit CONTINUE", "swfMain QUIT", "swfMain confirmExit swap",
       "swfMain vbPickUser USER1", "swfMain QUIT", "swfMain confirmExit Exit", "swfMain CLOSE"},
      {}, {{"TDWK_NOW", "2004-05-03T09:15:42"}});
  ASSERT_EQ(run.exitStatus, 0) << run.errors;

  EXPECT_THAT(MainMovies(run, app.Path()),
              ElementsAre("/Menus/Intro.swf", "/Menus/Startup.swf", "/Menus/Home.swf",
                          "/Menus/Stories.swf", "/Stories/Ghost.swf", "/Menus/Games.swf",
                          "/Games/Snake.swf", "/Gadgets/CrystalBall.swf", "/Menus/confirmExit.swf",
                          "/Menus/Home.swf", "/Menus/confirmExit.swf", "/Menus/Startup.swf",
                          "/Menus/Home.swf", "/Menus/confirmExit.swf", "/Menus/Finish.swf"));

  const auto selection = After(run, "vbIntroFinished", "");
  EXPECT_EQ(selection[2]["value"], "SELECT");
  EXPECT_EQ(selection[4]["name"], "USER_NAME1");
  EXPECT_EQ(selection[4]["value"], "Anna S");
  EXPECT_EQ(selection[6]["value"], "Ben J");

  const auto home = After(run, "vbPickUser", "USER2");
  bool greeted = false;
  for (const auto& line : home) {
    if (line.value("name", "") == "welcomeMsg") {
      greeted = line["value"] == "Welcome Ben, this is a demonstration version of tindlewick";
    }
  }
  EXPECT_TRUE(greeted);
  EXPECT_EQ(home.back().dump(), R"({"control":"swfBackgroundTop","op":"Play"})");

  EXPECT_EQ(Frames(After(run, "QUIT", "")), "swfMain:1 ");
  EXPECT_EQ(Frames(After(run, "confirmExit", "swap")), "swfBackgroundTop:0 ");
  EXPECT_EQ(Frames(After(run, "confirmExit", "Exit")), "swfBackgroundTop:0 ");
  for (const auto& line : After(run, "confirmExit", "CONTINUE")) {
    EXPECT_NE(line.dump(), R"({"control":"swfBackgroundTop","op":"Play"})");
  }
  EXPECT_EQ(run.LastVariable("welcomeMsg"),
            "Welcome Anna, this is a demonstration version of tindlewick");
  EXPECT_EQ(run.trace.back().dump(), R"({"op":"Unload"})");
}

TEST(ScreensWalkTest, ASingleChildGoesStraightHomeAndRefusedKeysAreLogged) {
  ConsoleApp app;
  app.Folder().WriteFile("Users/USER1.DAT", ProfileBytes("Anna", "Smith", 36526.0, "F"));
  const ConsoleRun run = app.Run({"swfMain vbIntroFinished", "swfMain vbDeleteUser ../USER1",
                                  "swfMain vbUpdateUser USER1/../../x", "swfMain QUIT"},
                                 {}, {{"TDWK_NOW", "2004-05-03T09:15:42"}});
  ASSERT_EQ(run.exitStatus, 0) << run.errors;
  EXPECT_EQ(MainMovies(run, app.Path())[1], "/Menus/Home.swf");
  EXPECT_EQ(Frames(After(run, "QUIT", "")), "swfMain:2 ");  // the only child: frame 2
  EXPECT_THAT(app.Folder().Entries("Users"), ElementsAre("USER1.DAT"));
  const std::string log = app.Folder().ReadFile("Logs/Log.dat");
  EXPECT_THAT(log, HasSubstr("*** Error: 52 - Bad file name or number\r\n"
                             "    Module: basTDWK, Procedure: deleteUser\r\n"));
  EXPECT_THAT(log, HasSubstr("*** Error: 52 - Bad file name or number\r\n"
                             "    Module: frmTDWK, Procedure: swfMain\r\n"));
}

}  // namespace
}  // namespace tdwk::test
