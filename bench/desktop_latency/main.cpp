// How fast the desktop host changes screens and starts, measured in its page under a virtual
// X server with the product's own renderer choice:
//   - screen change: from a movie's vbLoadMovie reaching the page until the first frame of the
//     next movie, in which the child's first name is already set, is on screen; home menu and
//     game alternate, a second on each, at 12 and at 24 frames a second; with the started
//     players the layers keep ready, and with a new player for every movie (TDWK_SPARES=0);
//   - start-up: from exec until the introduction's first frame is on screen.
// Usage: desktop_latency [ROUNDS]   (screen changes per rate with ready players; 200 default)
//        desktop_latency startup [COUNT]   (start-ups only, with their stages; 8 default)
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>

#include "support/profile_bytes.h"
#include "tdwk_process.h"

namespace {

using namespace std::chrono_literals;
using tdwk::test::TestMovie;
using Json = nlohmann::json;

double Percentile(std::vector<double> samples, double fraction) {
  if (samples.empty()) return 0;
  std::sort(samples.begin(), samples.end());
  const auto index = static_cast<std::size_t>(fraction * static_cast<double>(samples.size() - 1));
  return samples[index];
}

void Report(const std::string& what, const std::vector<double>& samples, double floor) {
  std::printf("%-46s n=%4zu  p50 %7.1f ms  p99 %7.1f ms  max %7.1f ms  (floor %5.1f ms)\n",
              what.c_str(), samples.size(), Percentile(samples, 0.5), Percentile(samples, 0.99),
              samples.empty() ? 0.0 : *std::max_element(samples.begin(), samples.end()), floor);
}

struct Run {
  std::vector<double> changes;   // ms, command to the next movie's first frame on screen
  std::size_t readyPlayers = 0;  // changes that found a started player
  std::size_t personalised = 0;  // game first frames that had the child's first name
  std::size_t games = 0;
  std::vector<double> startups;  // ms, exec to the introduction's first frame on screen
};

std::int64_t MonotonicMicroseconds() {
  return std::chrono::duration_cast<std::chrono::microseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// A text field of a sample; "" when it is missing or not text (a load no command caused has
// no command).
std::string Text(const Json& sample, const char* key) {
  const auto field = sample.find(key);
  return field != sample.end() && field->is_string() ? field->get<std::string>() : "";
}

// Whatever the run logged: a recovered player or page shows here.
void ReportLog(const std::string& folder) {
  std::ifstream log(folder + "Logs/Log.dat");
  for (std::string line; std::getline(log, line);) std::printf("  logged: %s\n", line.c_str());
}

Run Measure(int frameRate, bool spares, std::size_t changes) {
  tdwk::test::TdwkApp app;
  app.WriteStartMovies({{"vbIntroFinished", ""}});
  app.Folder().WriteFile("Users/USER1.DAT", tdwk::test::ProfileBytes("Sam", "Smith"));
  app.Folder().WriteFile("High Scores/HUNGRY_FROGS.dat", std::string(40, '\0'));
  TestMovie home;
  home.frameRate = frameRate;
  home.later = {{"vbLoadMovie", "SNAKE"}};
  home.laterTicks = frameRate;
  app.WriteMovie("Menus/Home.swf", home);
  TestMovie game = home;
  game.firstFrameReports = {"FIRST_NAME"};
  game.later = {{"vbLoadMovie", "HOME"}};
  app.WriteMovie("Games/Snake.swf", game);

  const std::string latency =
      app.Path() + "../tdwk-latency-" + std::to_string(::getpid()) + ".jsonl";
  const std::int64_t exec = MonotonicMicroseconds();
  app.Start({},
            {{"TDWK_LATENCY", latency}, {"TDWK_RENDERER", ""}, {"TDWK_SPARES", spares ? "" : "0"}});

  Run run;
  auto lastProgress = std::chrono::steady_clock::now();
  std::size_t lastCount = 0;
  while (run.changes.size() < changes && app.Running() &&
         std::chrono::steady_clock::now() - lastProgress < 60s) {
    std::this_thread::sleep_for(1s);
    run = {};
    std::ifstream in(latency);
    for (std::string line; std::getline(in, line);) {
      const Json sample = Json::parse(line, nullptr, false);
      if (sample.is_discarded() || Text(sample, "kind") != "shown") continue;
      if (Text(sample, "control") != "swfMain") continue;
      if (Text(sample, "url").starts_with("tdwk://app/Menus/Intro.swf")) {
        run.startups.push_back(
            static_cast<double>(sample.value("monotonicUs", std::int64_t{0}) - exec) / 1000);
      } else if (Text(sample, "command") == "vbLoadMovie" && sample["ms"].is_number()) {
        run.changes.push_back(sample["ms"].get<double>());
        if (Text(sample, "path") == "spare") ++run.readyPlayers;
      }
    }
    if (run.changes.size() != lastCount) {
      lastCount = run.changes.size();
      lastProgress = std::chrono::steady_clock::now();
    }
  }
  for (const Json& line : app.Trace()) {
    if (Text(line, "command") != tdwk::test::kFirstFrameReport) continue;
    ++run.games;
    if (Text(line, "args") == "FIRST_NAME=Sam") ++run.personalised;
  }
  app.CloseWindow();
  app.WaitForExit(10s);
  ReportLog(app.Path());
  std::remove(latency.c_str());
  return run;
}

// Start-ups alone: the introduction plays on and nothing else happens. Besides the time to the
// introduction's first frame, when each stage of the start-up was reached.
struct Startups {
  std::vector<double> shown;                          // ms from exec
  std::map<std::string, std::vector<double>> stages;  // ms from exec, by stage
};

Startups MeasureStartups(int count) {
  Startups startups;
  for (int i = 0; i < count; ++i) {
    tdwk::test::TdwkApp app;
    app.WriteStartMovies({});
    const std::string latency =
        app.Path() + "../tdwk-startup-" + std::to_string(::getpid()) + ".jsonl";
    const std::int64_t exec = MonotonicMicroseconds();
    app.Start({}, {{"TDWK_LATENCY", latency}, {"TDWK_RENDERER", ""}});
    const auto deadline = std::chrono::steady_clock::now() + 60s;
    std::vector<Json> samples;
    const auto sinceExec = [exec](const Json& sample) {
      return static_cast<double>(sample.value("monotonicUs", std::int64_t{0}) - exec) / 1000;
    };
    bool shown = false;
    while (!shown && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(100ms);
      samples.clear();
      std::ifstream in(latency);
      for (std::string line; std::getline(in, line);) {
        const Json sample = Json::parse(line, nullptr, false);
        if (sample.is_discarded()) continue;
        samples.push_back(sample);
        if (Text(sample, "kind") == "shown" && Text(sample, "control") == "swfMain") {
          startups.shown.push_back(sinceExec(sample));
          shown = true;
        }
      }
    }
    for (const Json& sample : samples) {
      if (Text(sample, "kind") == "mark") {
        startups.stages[Text(sample, "name")].push_back(sinceExec(sample));
      }
    }
    app.Kill();
    std::remove(latency.c_str());
  }
  return startups;
}

void ReportStages(const Startups& startups) {
  std::vector<std::pair<double, std::string>> stages;
  for (const auto& [name, times] : startups.stages)
    stages.emplace_back(Percentile(times, 0.5), name);
  std::sort(stages.begin(), stages.end());
  std::printf("start-up stages, p50 ms from exec:\n");
  for (const auto& [time, name] : stages) std::printf("  %7.1f  %s\n", time, name.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  if (argc > 1 && std::string(argv[1]) == "startup") {
    const Startups startups = MeasureStartups(argc > 2 ? std::atoi(argv[2]) : 8);
    ReportStages(startups);
    Report("exec to the introduction's first frame", startups.shown, 1500);
    return 0;
  }
  const std::size_t rounds = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 200;
  const std::size_t newPlayerRounds = std::max<std::size_t>(rounds / 4, 20);
  const Startups measured = MeasureStartups(8);
  ReportStages(measured);
  std::vector<double> startups = measured.shown;
  bool complete = true;
  for (const int rate : {12, 24}) {
    const double period = 1000.0 / rate;
    const Run ready = Measure(rate, true, rounds);
    const Run fresh = Measure(rate, false, newPlayerRounds);
    const std::string label = std::to_string(rate) + " fps: ";
    Report(label + "command to personalised frame, ready player", ready.changes, period);
    Report(label + "the same, a new player for every movie", fresh.changes, period);
    std::printf(
        "%s%zu of %zu changes found a ready player; %zu of %zu games had the name in "
        "their first frame\n",
        label.c_str(), ready.readyPlayers, ready.changes.size(),
        ready.personalised + fresh.personalised, ready.games + fresh.games);
    for (const Run* run : {&ready, &fresh}) {
      startups.insert(startups.end(), run->startups.begin(), run->startups.end());
    }
    complete =
        complete && ready.changes.size() >= rounds && fresh.changes.size() >= newPlayerRounds;
  }
  Report("exec to the introduction's first frame", startups, 1500);
  if (!complete) {
    std::cerr << "fewer screen changes were measured than asked for\n";
    return 1;
  }
  return 0;
}
