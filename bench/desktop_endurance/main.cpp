// How the desktop host holds up over time, on a virtual X server (not CI: it takes minutes).
//   desktop_endurance launches [N]   launches tdwk N times (100) and counts those that reached
//                                     the home menu, and those of them that recovered a panic
//   desktop_endurance session [N [R]] N screen changes (200) between the home menu and a game:
//                                     the web process's memory along the way; R runs (1), the
//                                     growth varying much from one run to the next
//   desktop_endurance idle [S [R]]   a static home menu for S seconds (600), with the product's
//                                     renderer or R: the memory of the web process, and the
//                                     processor time of tdwk and WebKit
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <fmt/format.h>
#include <fmt/ranges.h>

#include "tdwk_process.h"

namespace {

using namespace std::chrono_literals;
using tdwk::test::kFrameReport;
using tdwk::test::kMovieTime;
using tdwk::test::Matches;
using tdwk::test::TdwkApp;
using tdwk::test::TestMovie;
using Json = nlohmann::json;

bool WaitForHome(TdwkApp& app) {
  return app
      .WaitForLine(
          [](const Json& line) {
            return Matches(line, {{"control", "swfMain"},
                                  {"op", "FSCommand"},
                                  {"command", tdwk::test::kVariableReport}}) &&
                   line.value("args", "").starts_with("welcomeMsg=");
          },
          kMovieTime)
      .has_value();
}

int Launches(int count) {
  int reached = 0, recovered = 0;
  for (int i = 1; i <= count; ++i) {
    TdwkApp app;
    app.WriteStartMovies({{"vbIntroFinished", ""}});
    app.Folder().WriteFile("Users/USER1.DAT", std::string(60, '\0'));
    TestMovie home;
    home.watch = {"welcomeMsg"};
    home.stillOnceReported = true;
    app.WriteMovie("Menus/Home.swf", home);
    app.Start();
    const bool home_reached = WaitForHome(app);
    const bool panicked = app.WaitForError("panicked", 0ms);
    reached += home_reached ? 1 : 0;
    recovered += home_reached && panicked ? 1 : 0;
    std::printf("launch %3d: %s%s\n", i, home_reached ? "home menu" : "did NOT reach the home menu",
                panicked ? " (a panic, recovered)" : "");
    if (!home_reached) std::printf("%s\n", app.Errors().c_str());
    std::fflush(stdout);
    app.CloseWindow();
    if (!app.WaitForExit(10s)) app.Kill();
  }
  std::printf("%d of %d launches reached the home menu; %d of them after recovering a panic\n",
              reached, count, recovered);
  return reached == count ? 0 : 1;
}

// The lowest and highest readings of a stretch: of the whole web process, and of the players'
// own memory within it (the rest is the page's script heap and WebKit's).
class Readings {
 public:
  void Take(const TdwkApp& app) {
    const long process = app.WebProcessMemoryKib();
    const long players = app.PlayersMemoryKib();
    process_ = {std::min(process_.first, process), std::max(process_.second, process)};
    players_ = {std::min(players_.first, players), std::max(players_.second, players)};
  }
  long LowestKib() const { return process_.first; }
  std::string Describe() const {
    return fmt::format("web process {:6} - {:6} MiB (players {:4} - {:4} MiB)",
                       process_.first / 1024, process_.second / 1024, players_.first / 1024,
                       players_.second / 1024);
  }

 private:
  static constexpr std::pair<long, long> kNone{std::numeric_limits<long>::max(), 0};
  std::pair<long, long> process_ = kNone;
  std::pair<long, long> players_ = kNone;
};

struct SessionResult {
  bool completed = false;
  std::optional<double> growth;  // per cent, from the 50th change on
};

SessionResult SessionRun(int changes) {
  TdwkApp app;
  app.WriteHomeAndGameLoop();
  app.Start();
  // Garbage comes and goes between readings, so a single reading may catch a collection's
  // peak: each stretch of 25 changes reports its lowest and highest reading.
  constexpr int kStretch = 25;
  Readings stretch;
  long lowestAt50 = 0;
  for (int change = 1; change <= changes; ++change) {
    // The introduction's start counts too.
    if (!app.WaitForCount({{"control", "swfMain"}, {"command", kFrameReport}, {"args", "0"}},
                          static_cast<std::size_t>(change) + 1, kMovieTime)) {
      std::printf("screen change %d did not happen\n%s\n", change, app.Errors().c_str());
      return {};
    }
    if (change % kStretch == 1) stretch = {};
    stretch.Take(app);
    if (change % kStretch == 0 || change == changes) {
      if (change == 50) lowestAt50 = stretch.LowestKib();
      std::printf("screen changes %4d - %4d: %s\n", change - (change - 1) % kStretch, change,
                  stretch.Describe().c_str());
      std::fflush(stdout);
    }
  }
  SessionResult result{true, std::nullopt};
  if (lowestAt50 > 0) {
    result.growth = 100.0 * static_cast<double>(stretch.LowestKib() - lowestAt50) /
                    static_cast<double>(lowestAt50);
    std::printf("growth of the lowest reading from the 50th to the %dth screen change: %+.1f%%\n",
                changes, *result.growth);
  }
  return result;
}

// The script engine and the player collect their garbage when they choose, so the growth of
// one run says little: over runs of the same code it has ranged from 2% to 13%.
int Session(int changes, int runs) {
  std::vector<double> growths;
  for (int run = 1; run <= runs; ++run) {
    if (runs > 1) std::printf("run %d of %d\n", run, runs);
    const SessionResult result = SessionRun(changes);
    if (!result.completed) return 1;
    if (result.growth) growths.push_back(*result.growth);
  }
  if (growths.size() > 1) {
    std::ranges::sort(growths);
    const std::size_t middle = growths.size() / 2;
    const double median =
        growths.size() % 2 == 1 ? growths[middle] : (growths[middle - 1] + growths[middle]) / 2;
    fmt::print("growth over {} runs: {:+.1f}% (median); each: {:+.1f}%\n", growths.size(), median,
               fmt::join(growths, "%, "));
  }
  return 0;
}

int Idle(int seconds, const std::string& renderer) {
  TdwkApp app;
  app.WriteStartMovies({{"vbIntroFinished", ""}});
  app.Folder().WriteFile("Users/USER1.DAT", std::string(60, '\0'));
  TestMovie home;
  home.watch = {"welcomeMsg"};
  home.stillOnceReported = true;
  app.WriteMovie("Menus/Home.swf", home);
  // The product's own renderer unless one is named.
  app.Start({}, {{"TDWK_RENDERER", renderer}});
  if (!WaitForHome(app)) {
    std::printf("the home menu was not reached\n%s\n", app.Errors().c_str());
    return 1;
  }
  std::this_thread::sleep_for(10s);  // settled
  const long memoryBefore = app.WebProcessMemoryKib();
  const double cpuBefore = app.ProcessorSeconds();
  const auto start = std::chrono::steady_clock::now();
  // The web process's memory rises and falls by several MiB as garbage is made and collected,
  // so readings a minute apart may fall either side of a collection: each minute's lowest and
  // highest show the trend.
  constexpr int kReadingsAMinute = 12;
  for (int elapsed = 0; elapsed < seconds; elapsed += 60) {
    Readings readings;
    const int minute = std::min(60, seconds - elapsed);
    for (int reading = 0; reading < kReadingsAMinute; ++reading) {
      std::this_thread::sleep_for(std::chrono::seconds(minute) / kReadingsAMinute);
      readings.Take(app);
    }
    std::printf("idle %4d s: %s\n", elapsed + minute, readings.Describe().c_str());
    std::fflush(stdout);
  }
  const double wall =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const double cpu = app.ProcessorSeconds() - cpuBefore;
  std::printf(
      "static home menu: tdwk and WebKit used %.1f%% of one core; web process %ld -> %ld MiB\n",
      100.0 * cpu / wall, memoryBefore / 1024, app.WebProcessMemoryKib() / 1024);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  const int count = argc > 2 ? std::atoi(argv[2]) : 0;
  if (mode == "launches") return Launches(count > 0 ? count : 100);
  if (mode == "session") {
    return Session(count > 0 ? count : 200, std::max(1, argc > 3 ? std::atoi(argv[3]) : 1));
  }
  if (mode == "idle") return Idle(count > 0 ? count : 600, argc > 3 ? argv[3] : "");
  std::fprintf(stderr, "usage: desktop_endurance launches|session|idle [N]\n");
  return 2;
}
