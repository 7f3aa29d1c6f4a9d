// Kills tdwk-console at random moments while it adds, edits, deletes and records scores, and
// checks after every kill that no profile or table is torn and, after the next start, that the
// numbering has no gap and no temporary file is left over.
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <nlohmann/json.hpp>
#include <random>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "hosts/console/console_run.h"
#include "support/data_files.h"
#include "support/form_fields.h"
#include "support/profile_bytes.h"
#include "support/score_table_bytes.h"

namespace tdwk::test {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kKillPoints = 200;
constexpr int kMostProfiles = 6;

// A profile born on the zero date.
std::string ProfileBytesOf(const std::string& firstName) {
  return ProfileBytes(firstName, "", 0.0);
}

std::string SeedTableBytes() {
  std::vector<std::pair<std::string, std::string>> entries;
  for (int entry = 10; entry >= 1; --entry) entries.emplace_back("Seed", std::to_string(entry));
  return TableBytes(entries);
}

// The movie's form, filled for one save: every field derived from one generation number, so
// that a record mixing two saves would show.
std::string FormLine(int generation) {
  const std::string tag = "Kid" + std::to_string(generation);
  nlohmann::json values = {{"DAY", std::to_string(1 + generation % 28)},
                           {"MONTH", std::to_string(1 + generation % 12)},
                           {"YEAR", "2015"}};
  for (const char* name : kFormFieldNames) {
    if (!values.contains(name)) values[name] = tag;
  }
  return nlohmann::json{{"event", "variables"}, {"control", "swfMain"}, {"values", values}}.dump();
}

// A run's input: a few adds, edits, deletes and score records over `profiles` profiles.
class Script {
 public:
  explicit Script(std::mt19937& random) : random_(random) {}

  std::vector<std::string> Next(int profiles) {
    std::vector<std::string> lines{"swfMain vbPickUser USER1", "swfMain vbLoadMovie SNAKE"};
    for (int step = 0; step < 6; ++step) {
      switch (Pick(4)) {
        case 0:
          if (profiles >= kMostProfiles) break;
          lines.push_back(FormLine(++generation_));
          lines.push_back("swfMain vbSaveUser ADD");
          ++profiles;
          break;
        case 1:
          if (profiles < 1) break;
          lines.push_back("swfMain vbUpdateUser USER" + std::to_string(1 + Pick(profiles)));
          lines.push_back(FormLine(++generation_));
          lines.push_back("swfMain vbSaveUser EDIT");
          break;
        case 2:
          if (profiles < 2) break;
          // Mostly below the last, so that later profiles move down.
          lines.push_back("swfMain vbDeleteUser USER" + std::to_string(1 + Pick(profiles - 1)));
          --profiles;
          break;
        default:
          // Each score beats every earlier one, so every record rewrites the table.
          lines.push_back("swfMain vbCheckScores " + std::to_string(++score_));
      }
    }
    return lines;
  }

 private:
  int Pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(random_); }

  std::mt19937& random_;
  int generation_ = 0;
  int score_ = 100;
};

class CrashConsistencyTest : public ::testing::Test {
 protected:
  CrashConsistencyTest() {
    for (int n = 1; n <= 3; ++n) {
      app.Folder().WriteFile("Users/USER" + std::to_string(n) + ".DAT",
                             ProfileBytesOf("Kid0" + std::to_string(n)));
    }
    app.Folder().WriteFile("High Scores/HUNGRY_FROGS.dat", SeedTableBytes());
    app.Folder().WriteFile("High Scores/PEGS.dat", SeedTableBytes());
  }

  // Runs the program over the input; kills it after delay unless it ends first. True when
  // it was killed.
  bool RunAndKill(const std::vector<std::string>& input, std::chrono::microseconds delay,
                  Clock::duration* took = nullptr) {
    const std::string inputPath = io.Path() + "input";
    {
      std::ofstream out(inputPath, std::ios::binary | std::ios::trunc);
      for (const std::string& line : input) out << line << '\n';
    }
    const int in = ::open(inputPath.c_str(), O_RDONLY);
    const int null = ::open("/dev/null", O_WRONLY);
    const Clock::time_point start = Clock::now();
    const pid_t child = app.Spawn(in, null, null);
    ::close(in);
    ::close(null);
    if (delay.count() >= 0) {
      std::this_thread::sleep_for(delay);
      ::kill(child, SIGKILL);
    }
    const int status = WaitForExit(child);
    if (took != nullptr) *took = Clock::now() - start;
    if (status != 128 + SIGKILL) {
      EXPECT_EQ(status, 0);
    }
    return status == 128 + SIGKILL;
  }

  int ProfilesNow() {
    int count = 0;
    DataFolderProblems(app.Path(), true, 1, &count);
    return count;
  }

  ConsoleApp app;
  TempFolder io;
};

std::uint32_t SeedFromEnvironment() {
  const char* text = std::getenv("TDWK_CRASH_SEED");
  return text != nullptr ? static_cast<std::uint32_t>(std::strtoul(text, nullptr, 10)) : 20040503u;
}

TEST_F(CrashConsistencyTest, EveryKillLeavesWholeFilesAndTheNextStartAGaplessNumbering) {
  const std::uint32_t seed = SeedFromEnvironment();
  std::mt19937 random(seed);
  Script script(random);

  // How long an undisturbed run takes sets the range of the kill moments.
  Clock::duration took{};
  ASSERT_FALSE(RunAndKill(script.Next(ProfilesNow()), std::chrono::microseconds(-1), &took));
  ASSERT_THAT(DataFolderProblems(app.Path(), false, 0, nullptr), ::testing::IsEmpty());
  const auto longest = std::chrono::duration_cast<std::chrono::microseconds>(took);

  int killed = 0;
  int leftTemporary = 0;  // kills between creating a temporary file and renaming it
  int leftGap = 0;        // kills between two moves of a deletion
  for (int attempt = 0; killed < kKillPoints && attempt < 4 * kKillPoints; ++attempt) {
    const std::chrono::microseconds delay(
        std::uniform_int_distribution<long long>(0, longest.count())(random));
    const bool wasKilled = RunAndKill(script.Next(ProfilesNow()), delay);
    // A killed run may leave its one temporary file and a deletion cut short between moves.
    const auto afterKill = DataFolderProblems(app.Path(), true, 1, nullptr);
    ASSERT_THAT(afterKill, ::testing::IsEmpty()) << "seed " << seed << ", attempt " << attempt
                                                 << ", killed after " << delay.count() << " us";
    bool temporary = false, gap = false;
    for (const std::string& problem : DataFolderProblems(app.Path(), false, 0, nullptr)) {
      temporary = temporary || problem.find("temporary") != std::string::npos;
      gap = gap || problem.find("gap") != std::string::npos;
    }
    leftTemporary += temporary ? 1 : 0;
    leftGap += gap ? 1 : 0;
    // The next start closes the gap; its first save into a folder clears what was left there.
    RunAndKill({"swfMain vbPickUser USER1"}, std::chrono::microseconds(-1));
    const auto afterStart = DataFolderProblems(app.Path(), false, 1, nullptr);
    ASSERT_THAT(afterStart, ::testing::IsEmpty()) << "seed " << seed << ", attempt " << attempt
                                                  << ", killed after " << delay.count() << " us";
    if (wasKilled) ++killed;
  }
  // A last undisturbed run that saves a profile and records a score leaves no temporary.
  RunAndKill({"swfMain vbPickUser USER1", "swfMain vbLoadMovie SNAKE", FormLine(100000),
              "swfMain vbSaveUser ADD", "swfMain vbCheckScores 32767"},
             std::chrono::microseconds(-1));
  EXPECT_THAT(DataFolderProblems(app.Path(), false, 0, nullptr), ::testing::IsEmpty());
  EXPECT_GE(killed, kKillPoints) << "the program ended before most kill moments";
  std::cout << "crash consistency: " << killed << " kill points survived (seed " << seed << "; "
            << leftTemporary << " left a temporary file, " << leftGap << " a numbering gap)"
            << std::endl;
}

}  // namespace
}  // namespace tdwk::test
