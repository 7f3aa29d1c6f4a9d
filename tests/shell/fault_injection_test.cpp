// Fails the k-th file operation, for every k in turn, while the shell saves a new profile,
// saves an edited one, deletes one with renumbering, records a score and writes its log, with
// each of disk full, permission denied and any other access error (read-only file systems map
// to permission denied, input/output errors to the access error). The shell must go on, log
// the failure under the procedure that met it, and leave every file untouched or completely
// new.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "base/vb_error.h"
#include "platform/code_page_posix.h"
#include "platform/fixed_clock.h"
#include "shell/shell.h"
#include "support/fakes.h"
#include "support/faulty_file_system.h"
#include "support/form_fields.h"
#include "support/memory_file_system.h"
#include "support/profile_bytes.h"
#include "support/score_table_bytes.h"
#include "support/test_console_host.h"

namespace tdwk::test {
namespace {

// One application folder with four profiles, the score tables and a log, and a started shell
// over a fault-injecting file system.
struct World {
  World()
      : faulty(files),
        clock(std::chrono::local_days{std::chrono::year{2004} / 5 / 3} + std::chrono::hours{9}),
        platform{host, host.playerWindows(), faulty, clock, locale, codePage,
                 lock, files.Path(),         ""} {
    const char* names[] = {"Anna", "Ben", "Carl", "Dora"};
    for (int n = 1; n <= 4; ++n) {
      files.WriteFile("Users/USER" + std::to_string(n) + ".DAT", ProfileBytes(names[n - 1]));
    }
    std::vector<std::pair<std::string, std::string>> table;
    for (int entry = 10; entry >= 1; --entry) {
      table.emplace_back("Eve", std::to_string(entry * 100));
    }
    files.WriteFile("High Scores/HUNGRY_FROGS.dat", TableBytes(table));
    files.WriteFile("Logs/Log.dat", "03/05/2004 09:00:00 an earlier entry\r\n");
    shell = std::make_unique<Shell>(platform);
    shell->state.appPath = files.Path();
    shell->state.subclassedWindows.emplace();
    shell->state.userCount = 4;
    shell->frmTDWK.Create();
    host.ShowModal(shell->frmTDWK);
  }

  TestPlayer& Main() { return host.Control("swfMain"); }
  void Send(const std::string& command, const std::string& args) {
    Main().RaiseFSCommand(command, args);
  }
  void FillForm(const std::string& firstName) {
    for (const auto& [name, value] : FormFields(
             {{"DAY", "9"}, {"MONTH", "12"}, {"YEAR", "2016"}, {"FIRST_NAME", firstName}}, "x")) {
      Main().DefineVariable(name, value);
    }
  }
  std::string Log() const { return files.Contents("Logs/Log.dat"); }
  // Everything but the log.
  std::map<std::string, std::string> Data() const {
    auto entries = files.Snapshot();
    entries.erase("Logs/Log.dat");
    return entries;
  }

  MemoryFileSystem files;
  CallLog calls;
  TestConsoleHost host{calls};
  FaultyFileSystem faulty;
  FixedClock clock;
  BritishLocale locale;
  Windows1252CodePage codePage;
  FakeInstanceLock lock;
  Platform platform;
  std::unique_ptr<Shell> shell;
};

struct Scenario {
  std::string name;
  std::function<void(World&)> before;  // not faulted
  std::function<void(World&)> act;     // the k-th file operation in here fails
  std::set<std::string> procedures;    // "module procedure" that may report
};

std::vector<Scenario> Scenarios() {
  return {
      {"saving a new profile",
       [](World& w) { w.FillForm("Eli"); },
       [](World& w) { w.Send("vbSaveUser", "ADD"); },
       {"basTDWK WriteDataFile", "basTDWK saveUserDetails", "basTDWK getUserDetails"}},
      {"saving an edited profile",
       [](World&) {},
       [](World& w) {
         w.Send("vbUpdateUser", "USER2");
         w.FillForm("Bea");
         w.Send("vbSaveUser", "EDIT");
       },
       {"basTDWK getUserDetails", "basTDWK ReadDataFile", "frmTDWK setFlashClildAttributes",
        "frmTDWK GetTopScore", "frmTDWK GetHighScores", "basTDWK WriteDataFile",
        "basTDWK saveUserDetails"}},
      {"deleting with renumbering",
       [](World&) {},
       [](World& w) { w.Send("vbDeleteUser", "USER2"); },
       {"basTDWK deleteUser", "basTDWK getUserDetails"}},
      {"recording a score",
       [](World& w) {
         w.Send("vbPickUser", "USER1");
         w.Send("vbLoadMovie", "SNAKE");
       },
       [](World& w) { w.Send("vbCheckScores", "950"); },
       {"frmTDWK CheckHighScore", "frmTDWK GetHighScores", "frmTDWK GetTopScore",
        "frmTDWK ShowHighScore"}},
      {"writing the log",
       [](World&) {},
       [](World& w) {
         w.Send("vbPickUser", "USER9");       // a missing profile
         w.Send("vbDeleteUser", "../USER1");  // a refused key
       },
       {"basTDWK getUserDetails", "basTDWK deleteUser"}},
  };
}

// The failures logged after `before` as "number module procedure".
std::vector<std::string> ReportsIn(const std::string& log) {
  std::vector<std::string> reports;
  std::istringstream lines(log);
  std::string number;
  for (std::string line; std::getline(lines, line);) {
    const auto error = line.find("*** Error: ");
    if (error != std::string::npos)
      number = line.substr(error + 11, line.find(' ', error + 11) - error - 11);
    if (line.rfind("    Module: ", 0) == 0) {
      const std::string rest = line.substr(12, line.size() - 13);  // without the CR
      const auto comma = rest.find(", Procedure: ");
      reports.push_back(number + " " + rest.substr(0, comma) + " " + rest.substr(comma + 13));
    }
  }
  return reports;
}

// Whole entries only: each line ends in CR LF and begins with a date or the module line.
bool LogIsWhole(const std::string& log) {
  std::size_t at = 0;
  while (at < log.size()) {
    const std::size_t end = log.find("\r\n", at);
    if (end == std::string::npos) return false;
    const std::string line = log.substr(at, end - at);
    if (line.rfind("    Module: ", 0) != 0 && !(line.size() > 20 && line[2] == '/')) return false;
    at = end + 2;
  }
  return true;
}

struct Outcome {
  std::map<std::string, std::string> data;       // right after the act
  std::map<std::string, std::string> recovered;  // after the next listing
  std::string log;
  std::string faultedOperation;
  bool faultHit = false;
};

Outcome RunScenario(const Scenario& scenario, int k, std::int32_t error, bool persistent) {
  World world;
  scenario.before(world);
  const int base = world.faulty.Operations();
  if (k > 0) world.faulty.FailAt(base + k, error, persistent);
  scenario.act(world);
  Outcome outcome;
  outcome.faultHit = world.faulty.Failed();
  if (outcome.faultHit) outcome.faultedOperation = world.faulty.Journal()[base + k - 1];
  outcome.data = world.Data();
  outcome.log = world.Log();
  // The program goes on: with the disk healed, the next listing sees every profile whole.
  world.faulty.Heal();
  world.Send("vbRestartApp", "");
  outcome.recovered = world.Data();
  const auto listed = world.shell->users.getUsers();
  for (const auto& profile : listed) EXPECT_TRUE(profile) << scenario.name << ", k " << k;
  EXPECT_EQ(static_cast<int>(listed.size()), world.shell->state.userCount) << scenario.name;
  return outcome;
}

TEST(FaultInjectionTest, EveryFailingFileOperationIsLoggedAndTearsNothing) {
  const std::string earlierLog = "03/05/2004 09:00:00 an earlier entry\r\n";
  int covered = 0;
  for (const Scenario& scenario : Scenarios()) {
    const Outcome clean = RunScenario(scenario, 0, 0, false);
    const auto before = World().Data();
    std::set<std::string> contents;  // every profile content there was
    for (const auto& [path, bytes] : before) contents.insert(bytes);

    for (const std::int32_t error :
         {vb::kDiskFull, vb::kPermissionDenied, vb::kPathFileAccessError}) {
      for (const bool persistent : {false, true}) {
        if (persistent && error != vb::kDiskFull) continue;  // a full disk stays full
        for (int k = 1;; ++k) {
          const Outcome faulted = RunScenario(scenario, k, error, persistent);
          if (!faulted.faultHit) break;
          ++covered;
          const std::string where = scenario.name + ", operation " + std::to_string(k) + " (" +
                                    faulted.faultedOperation + ") failing with " +
                                    std::to_string(error) + (persistent ? " from then on" : "");

          // Each file is as it was or as the undisturbed run left it; a deletion cut short
          // may have moved whole profiles already. Nothing is torn, no temporary is left.
          for (const auto& [path, bytes] : faulted.data) {
            const auto old = before.find(path);
            const auto renewed = clean.data.find(path);
            const bool whole = (old != before.end() && old->second == bytes) ||
                               (renewed != clean.data.end() && renewed->second == bytes) ||
                               (path.rfind("Users/", 0) == 0 && contents.count(bytes) != 0);
            EXPECT_TRUE(whole) << where << ": " << path << " is neither old nor new";
            EXPECT_EQ(path.find(".tdwk-"), std::string::npos) << where << ": " << path;
          }
          // Once listed again, the data is entirely the old or entirely the new.
          EXPECT_TRUE(faulted.recovered == before || faulted.recovered == clean.recovered) << where;

          // The log only grows, by whole entries; the failure is in it under a procedure
          // that met it, unless what failed was the log's own append.
          ASSERT_EQ(faulted.log.rfind(earlierLog, 0), 0u) << where;
          EXPECT_TRUE(LogIsWhole(faulted.log)) << where << "\n" << faulted.log;
          // Reports the undisturbed run makes too are not the fault's.
          std::multiset<std::string> expected;
          for (const std::string& report : ReportsIn(clean.log)) expected.insert(report);
          bool logged = false;
          for (const std::string& report : ReportsIn(faulted.log)) {
            if (const auto same = expected.find(report); same != expected.end()) {
              expected.erase(same);
              continue;
            }
            if (report.rfind(std::to_string(error) + " ", 0) == 0) logged = true;
            const std::string procedure = report.substr(report.find(' ') + 1);
            EXPECT_TRUE(scenario.procedures.count(procedure) != 0) << where << ": " << report;
          }
          if (faulted.faultedOperation != "AppendText" && !persistent) {
            EXPECT_TRUE(logged) << where << "\n" << faulted.log;
          }
        }
      }
    }
  }
  EXPECT_GT(covered, 100);
  std::cout << "fault injection: " << covered << " fault points covered" << std::endl;
}

}  // namespace
}  // namespace tdwk::test
