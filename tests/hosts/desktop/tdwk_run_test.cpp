// Whole runs of tdwk under a virtual X server: the start, the movies' commands in the trace,
// the end, and the things only a real window and real players do.
#include <arpa/inet.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "tdwk_process.h"

namespace tdwk::test {
namespace {

using namespace std::chrono_literals;
using ::testing::Contains;
using ::testing::HasSubstr;
using Json = nlohmann::json;

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

// A program file copied without its page would otherwise show a black window for ever.
TEST(TdwkRun, AProgramWithoutItsPlayerSaysSoAndEnds) {
  TdwkApp app;
  app.WriteStartMovies({});
  std::filesystem::remove_all(app.Path() + "desktop/ruffle");
  app.Start();
  const auto box = app.WaitForLine(
      [](const Json& line) { return line.value("op", "") == "MessageBox"; }, kMovieTime);
  ASSERT_TRUE(box) << app.Errors();
  EXPECT_THAT(app.Trace()[*box]["text"].get<std::string>(),
              HasSubstr(app.Path() + "desktop/ruffle/ruffle.js is missing"));
  std::optional<int> status;
  for (int attempt = 0; attempt < 30 && !status; ++attempt) {
    app.CloseWindow();  // the box may not be mapped yet
    status = app.WaitForExit(1s);
  }
  EXPECT_EQ(status, 1);
  for (const Json& line : app.Trace()) EXPECT_NE(line.value("op", ""), "LoadMovie");
}

// Installed: the page's scheme serves the movie the user put in their own folder (in their own
// letter case) under the program's path, and the data goes to that folder.
TEST(TdwkRun, AnInstalledCopyPlaysTheUsersOwnMovie) {
  TdwkApp app;
  app.WriteStartMovies({{"vbDemoIntro", ""}});
  app.Folder().WriteFile("per-user-data", "");
  // The web engine's caches stay where the other runs keep them warm.
  TempFolder data;
  TestMovie theirs;
  theirs.commands = {{"vbTheirIntro", ""}};
  data.WriteFile("tindlewick/MENUS/intro.SWF", BuildTestMovie(theirs));
  app.Start({}, {{"XDG_DATA_HOME", data.Path()}});
  ASSERT_TRUE(app.WaitForCommand("swfMain", "vbTheirIntro", "", kMovieTime)) << app.Errors();
  EXPECT_TRUE(std::filesystem::is_directory(data.Path() + "tindlewick/Users"));
  ASSERT_TRUE(app.CloseWindow());
  EXPECT_EQ(app.WaitForExit(10s), 0);
  for (const Json& line : app.Trace()) EXPECT_NE(line.value("command", ""), "vbDemoIntro");
}

TEST(TdwkRun, MoviesPlayUnderALocaleWhoseNameIsNoLanguageTag) {
  TdwkApp app;
  app.WriteStartMovies({{"vbIntroReady", ""}});
  app.Start({}, {{"LC_ALL", ""}, {"LANG", "C.UTF-8"}});
  EXPECT_TRUE(app.WaitForCommand("swfMain", "vbIntroReady", "", kMovieTime)) << app.Errors();
}

// A listening socket on the loopback interface: whether anyone connected to it.
class Listener {
 public:
  Listener() {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(fd_, 8);
    socklen_t size = sizeof address;
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size);
    port_ = ntohs(address.sin_port);
  }
  ~Listener() { ::close(fd_); }
  std::string Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }
  bool Connected() const {
    const int client = ::accept(fd_, nullptr, nullptr);
    if (client >= 0) ::close(client);
    return client >= 0;
  }

 private:
  int fd_ = -1;
  int port_ = 0;
};

TEST(TdwkRun, MoviesNeitherLeaveThePageNorReachTheNetwork) {
  Listener listener;
  TdwkApp app;
  app.WriteStartMovies({});
  TestMovie intro;
  intro.getUrls = {{listener.Url("/page.html"), "_self"},
                   {listener.Url("/window.html"), "_blank"},
                   {listener.Url("/movie.swf"), "_level5"},
                   {"tdwk://app/Menus/BackgroundTop.swf", "_self"},
                   {"javascript:window.open('" + listener.Url("/script.html") + "')", ""}};
  intro.afterReports = {{"vbStillHere", ""}};
  // Still the same page three seconds on: its players play on.
  intro.later = {{"vbStillPlaying", ""}};
  intro.laterTicks = 72;
  app.WriteMovie("Menus/Intro.swf", intro);
  app.Start();
  ASSERT_TRUE(app.WaitForCommand("swfMain", "vbStillHere", "", kMovieTime)) << app.Errors();
  ASSERT_TRUE(app.WaitForCommand("swfMain", "vbStillPlaying", "", kMovieTime)) << app.Errors();
  EXPECT_FALSE(listener.Connected());
  ASSERT_TRUE(app.CloseWindow());
  EXPECT_EQ(app.WaitForExit(10s), 0);
}

}  // namespace
}  // namespace tdwk::test
