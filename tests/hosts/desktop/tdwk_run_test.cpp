// Whole runs of tdwk under a virtual X server: the start, the movies' commands in the trace,
// the end, and the things only a real window and real players do.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "tdwk_process.h"

namespace tdwk::testing {
namespace {

using namespace std::chrono_literals;
using ::testing::Contains;
using Json = nlohmann::json;

constexpr auto kMovieTime = 60s;

// The trace of tdwk-console over the same folder with no input: what the shell did at start.
std::vector<Json> ConsoleStart(const std::string& appPath) {
  const std::string console = appPath + "tdwk-console";
  std::filesystem::copy_file(TDWK_APP_DIR "/tdwk-console", console);
  const std::string command = "LC_ALL=C '" + console + "' </dev/null";
  std::unique_ptr<FILE, decltype(&pclose)> pipe(popen(command.c_str(), "r"), &pclose);
  std::vector<Json> lines;
  char buffer[4096];
  while (pipe && std::fgets(buffer, sizeof buffer, pipe.get()) != nullptr) {
    lines.push_back(Json::parse(buffer));
  }
  std::filesystem::remove(console);
  return lines;
}

std::vector<Json> Before(const std::vector<Json>& trace, const std::string& op) {
  std::vector<Json> lines;
  for (const Json& line : trace) {
    if (line.value("op", "") == op) break;
    lines.push_back(line);
  }
  return lines;
}

TEST(TdwkRun, StartsAsTheConsoleHostDoesPlaysAllFourLayersAndClosesWithTheWindow) {
  TdwkApp app;
  app.WriteStartMovies({{"vbIntroReady", "with an argument"}});
  const std::vector<Json> console = ConsoleStart(app.Path());
  app.Start();

  ASSERT_TRUE(app.WaitForCommand("swfMain", "vbIntroReady", "with an argument", kMovieTime))
      << app.Errors();
  for (const char* layer :
       {"swfMain", "swfBackgroundTop", "swfBackgroundLeft", "swfBackgroundCorner"}) {
    EXPECT_TRUE(app.WaitForCommand(layer, "tdwk_test_frame", "0", kMovieTime)) << layer;
  }
  // Everything the shell did before the first movie command is what the console host traced.
  const std::vector<Json> started = Before(app.Trace(), "FSCommand");
  EXPECT_EQ(Json(started), Json(Before(console, "Unload")));
  EXPECT_THAT(
      started,
      Contains(Json{
          {"control", "frmTDWK"}, {"op", "Set"}, {"property", "Width"}, {"value", 1024 * 15}}));

  ASSERT_TRUE(app.CloseWindow());
  EXPECT_EQ(app.WaitForExit(10s), 0);
  EXPECT_EQ(app.Trace().back(), (Json{{"op", "Unload"}}));
}

TEST(TdwkRun, ASecondCopyOverTheSameFolderEndsAtOnceWithStatusZero) {
  TdwkApp app;
  app.WriteStartMovies({});
  app.Start();
  ASSERT_TRUE(app.WaitForCommand("swfMain", "tdwk_test_frame", "0", kMovieTime));

  const TdwkApp::Run second = app.RunAnotherCopy(10s);
  EXPECT_EQ(second.status, 0);
  EXPECT_TRUE(second.trace.empty());
  EXPECT_TRUE(app.Running());
}

TEST(TdwkRun, MoviesPlayUnderALocaleWhoseNameIsNoLanguageTag) {
  TdwkApp app;
  app.WriteStartMovies({{"vbIntroReady", ""}});
  app.Start({}, {{"LC_ALL", ""}, {"LANG", "C.UTF-8"}});
  EXPECT_TRUE(app.WaitForCommand("swfMain", "vbIntroReady", "", kMovieTime)) << app.Errors();
}

}  // namespace
}  // namespace tdwk::testing
