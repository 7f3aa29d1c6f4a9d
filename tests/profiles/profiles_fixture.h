#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "base/vb_error.h"
#include "shell/serial_date.h"
#include "support/observed_file_system.h"
#include "support/profile_bytes.h"
#include "support/shell_fixture.h"

namespace tdwk::test {

// The date serial of a day of the calendar.
inline double Serial(int y, unsigned m, unsigned d) {
  using namespace std::chrono;
  return SerialFromDays(local_days{year{y} / month{m} / day{d}});
}

// Passes every call on to a real file system, records it with its paths (so a test can tell
// that no path was built from a refused key), and fails the named operations, as a full disk
// or a crash at that step would.
class WatchedFileSystem : public ObservedFileSystem {
 public:
  using ObservedFileSystem::ObservedFileSystem;

  void FailOn(const std::string& op, std::int32_t number = vb::kDiskFull) {
    failing_.insert(op);
    number_ = number;
  }

  std::vector<std::string> calls;  // "Op path", in order

 private:
  void Before(std::string_view operation, const std::string& path) override {
    if (operation == "AppendText") return;  // the log: neither recorded nor failed
    const std::string op(operation);
    calls.push_back(op + " " + path);
    if (failing_.count(op) != 0) throw VbError(number_);
  }

  std::set<std::string> failing_;
  std::int32_t number_ = vb::kDiskFull;
};

// A started shell over the fault-injecting file system.
class ProfilesTest : public ShellTest {
 protected:
  Shell& Started() {
    StartedShell(&watched);
    watched.calls.clear();
    return *shell;
  }

  void WriteProfile(int number, const std::string& first, const std::string& last = "",
                    const std::string& sex = "") {
    folder.WriteFile(ProfilePath(number), ProfileBytes(first, last, 36526.0, sex));
  }
  // Anna Smith and Ben Jones, counted.
  void WriteAnnaAndBen() {
    WriteProfile(1, "Anna", "Smith", "F");
    WriteProfile(2, "Ben", "Jones", "M");
    shell->state.userCount = 2;
  }
  static std::string ProfilePath(int number) {
    return "Users/USER" + std::to_string(number) + ".DAT";
  }

  // The failures in the log as "number module procedure", in order.
  std::vector<std::string> Reports() const {
    std::vector<std::string> reports;
    std::istringstream lines(Log());
    std::string number;
    for (std::string line; std::getline(lines, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      const auto error = line.find("*** Error: ");
      if (error != std::string::npos) {
        const std::string rest = line.substr(error + 11);
        number = rest.substr(0, rest.find(' '));
      }
      const auto module = line.find("    Module: ");
      if (module == 0) {
        const std::string rest = line.substr(12);
        const auto comma = rest.find(", Procedure: ");
        reports.push_back(number + " " + rest.substr(0, comma) + " " + rest.substr(comma + 13));
      }
    }
    return reports;
  }

  // The calls on one control as text, in order.
  std::vector<std::string> CallsOn(const std::string& control) const {
    std::vector<std::string> lines;
    for (const Call& call : calls) {
      if (call.control == control) lines.push_back(call.ToString());
    }
    return lines;
  }

  WatchedFileSystem watched{files};
};

}  // namespace tdwk::test
