// Streams a million generated events into tdwk-console: every command of the command table on
// every control, with valid, invalid, long and hostile arguments. The program must end
// normally with its memory where it was after the first ten thousand commands.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <nlohmann/json.hpp>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "hosts/console/console_run.h"
#include "support/command_names.h"

namespace tdwk::test {
namespace {

#ifdef TDWK_SANITIZED
constexpr long kDefaultCommands = 50000;  // about ten times slower under the sanitizers
#else
constexpr long kDefaultCommands = 1000000;
#endif
constexpr long kFirstSample = 10000;

long CommandsFromEnvironment() {
  const char* text = std::getenv("TDWK_SOAK_COMMANDS");
  return text != nullptr ? std::strtol(text, nullptr, 10) : kDefaultCommands;
}

// Generates the events, one line each, from a fixed seed.
class CommandGenerator {
 public:
  CommandGenerator() {
    hostile_ = {"USER1/../../x",
                "../USER1",
                std::string("USER1\0", 6),
                "USER1\r",
                "\x01\x02\x1b[2J\x7f",
                "USER\xff\xfe",
                "\xc3\x28\xa0\xa1\xe2\x28\xa1",
                "\xed\xa0\x80",
                "-32769",
                "1e309",
                "NaN"};
    std::string mixed;
    for (int i = 0; mixed.size() < 100000; ++i) mixed += static_cast<char>(1 + i % 255);
    long_ = {std::string(100000, 'A'), std::string(100000, '9'), mixed};
  }

  // The next event; commands counts the FSCommand events among them.
  std::string Next(long& commands) {
    const int roll = Pick(1000);
    if (roll < 20) return VariablesLine();
    if (roll < 30) {
      static constexpr std::array<int, 4> kMessages{516, 517, 513, 0x0204};
      return nlohmann::json{{"event", "message"},
                            {"control", Control()},
                            {"message", kMessages[static_cast<std::size_t>(Pick(4))]}}
          .dump();
    }
    ++commands;
    const std::string control = roll < 900 ? "swfMain" : Control();
    std::string command;
    std::string args;
    if (roll >= 999) {
      // The few commands that write files: saves, deletes and new best scores.
      // Deletes outnumber additions, so that the profiles stay few.
      switch (Pick(5)) {
        case 0:
          return FullFormLine() + "\n" + Plain("swfMain", "vbSaveUser", "ADD");
        case 1:
        case 2:
          return Plain("swfMain", "vbDeleteUser", "USER" + std::to_string(1 + Pick(2)));
        default:
          ++commands;
          return Plain("swfMain", "vbLoadMovie", "SNAKE") + "\n" +
                 Plain("swfMain", "vbCheckScores",
                       std::to_string(score_ < 32767 ? ++score_ : score_));
      }
    }
    // The shell's commands, and a few it must ignore.
    static const std::vector<std::string> kCommands = [] {
      std::vector<std::string> all(kCommandNames.begin(), kCommandNames.end());
      all.insert(all.end(), {"vbloadmovie", "quit", "vbNothing", ""});
      return all;
    }();
    command = kCommands[static_cast<std::size_t>(Pick(static_cast<int>(kCommands.size())))];
    args = Argument(command);
    // Writing commands stay rare: an edit save and a delete only with arguments they refuse.
    if (command == "vbSaveUser" && args == "ADD") args = "add";
    if (command == "vbDeleteUser") args = "USER0";
    if (command == "vbCheckScores") args = "-" + args;
    if (Pick(50) == 0)
      args = hostile_[static_cast<std::size_t>(Pick(static_cast<int>(hostile_.size())))];
    if (Pick(2000) == 0)
      args = long_[static_cast<std::size_t>(Pick(static_cast<int>(long_.size())))];
    return Line(control, command, args);
  }

 private:
  int Pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(random_); }

  std::string Control() {
    static constexpr std::array<const char*, 4> kControls{
        "swfMain", "swfBackgroundTop", "swfBackgroundLeft", "swfBackgroundCorner"};
    return kControls[static_cast<std::size_t>(Pick(4))];
  }

  std::string Argument(const std::string& command) {
    static constexpr std::array<const char*, 27> kKeys{
        "HOME",  "STORIES",  "GAMES", "FUNNIES",     "TIME",         "CRYSTAL_BALL",
        "SNAKE", "PADDLE",   "PEGS",  "TIC_TAC_TOE", "DRAGONSLAYER", "GHOST",
        "USER1", "USER2",    "USER3", "USER9",       "USER0",        "USER01",
        "SWAP",  "continue", "Exit",  "swap ",       "ADD",          "150",
        "12.5",  "abc",      ""};
    if (command == "vbCheckScores") return std::to_string(Pick(40000));
    if (command == "HIGH_SCORE" || Pick(200) == 0) return "HIGH_SCORE";
    return kKeys[static_cast<std::size_t>(Pick(static_cast<int>(kKeys.size())))];
  }

  std::string VariablesLine() {
    nlohmann::json values = nlohmann::json::object();
    static constexpr std::array<const char*, 12> kNames{
        "DAY",         "MONTH",       "YEAR",        "FIRST_NAME",  "SURNAME",     "SEX",
        "ADULT_TYPE1", "ADULT_NAME1", "ADULT_TYPE2", "SCHOOL_NAME", "STREET_NAME", "PET_TYPE"};
    static constexpr std::array<const char*, 8> kValues{"1",   "13", "2004", "Tom",
                                                        "Mum", "",   "x\ty", "99999"};
    for (int i = 0; i < 4; ++i) {
      const char* name = kNames[static_cast<std::size_t>(Pick(static_cast<int>(kNames.size())))];
      values[name] = kValues[static_cast<std::size_t>(Pick(static_cast<int>(kValues.size())))];
    }
    // The JSON form carries control characters and NULs the plain form cannot.
    if (Pick(20) == 0) values["FIRST_NAME"] = std::string("A\0B\nC\r\x01", 7);
    return nlohmann::json{{"event", "variables"}, {"control", "swfMain"}, {"values", values}}
        .dump();
  }

  static std::string FullFormLine() {
    return Form({{"DAY", "9"}, {"MONTH", "12"}, {"YEAR", "2016"}}, "Soak");
  }

  // The plain form where the argument allows it, otherwise JSON (which replaces invalid
  // UTF-8 on the way in: such bytes only reach the program through the plain form).
  std::string Line(const std::string& control, const std::string& command,
                   const std::string& args) {
    if (args.find('\n') == std::string::npos && args.find('\0') == std::string::npos &&
        !command.empty()) {
      return Plain(control, command, args);
    }
    return nlohmann::json{
        {"event", "fscommand"}, {"control", control}, {"command", command}, {"args", args}}
        .dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
  }
  static std::string Plain(const std::string& control, const std::string& command,
                           const std::string& args) {
    return control + " " + command + (args.empty() ? "" : " " + args);
  }

  std::mt19937 random_{20040503u};
  std::vector<std::string> hostile_;
  std::vector<std::string> long_;
  int score_ = 100;
};

long ResidentKilobytes(pid_t child) {
  std::ifstream status("/proc/" + std::to_string(child) + "/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  }
  return -1;
}

// Feeds the events through a pipe, counting the commands the program has taken up from its
// trace, so that memory is read when exactly so many have been handled.
class PacedRun {
 public:
  PacedRun(const ConsoleApp& app, std::string errorsPath) : errorsPath_(std::move(errorsPath)) {
    int in[2], out[2];
    if (::pipe(in) != 0 || ::pipe(out) != 0) throw std::runtime_error("pipe failed");
    const int errors = ::open(errorsPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    child_ = app.Spawn(in[0], out[1], errors);
    ::close(in[0]);
    ::close(out[1]);
    ::close(errors);
    input_ = in[1];
    output_ = out[0];
    ::fcntl(input_, F_SETFL, O_NONBLOCK);
  }
  ~PacedRun() {
    if (input_ >= 0) ::close(input_);
    if (output_ >= 0) ::close(output_);
  }

  pid_t Child() const { return child_; }
  long Seen() const { return seen_; }

  void Send(std::string line) {
    pending_ += line;
    pending_ += '\n';
    if (pending_.size() > (1 << 16)) Pump(false);
    while (pending_.size() > (1 << 20) && Pump(true)) {
    }
  }
  // Sends everything queued and waits until the program has taken up `commands` commands.
  void WaitFor(long commands) {
    while (!pending_.empty() || seen_ < commands) {
      if (!Pump(true)) break;
    }
  }
  // Ends the input and returns the exit status.
  int Finish() {
    WaitFor(0);
    ::close(input_);
    input_ = -1;
    while (Pump(true)) {
    }
    return WaitForExit(child_);
  }
  std::string Errors() const {
    std::ifstream in(errorsPath_);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

 private:
  // Writes what the pipe takes and reads what the program wrote; false at the end of output.
  bool Pump(bool block) {
    pollfd fds[2] = {{output_, POLLIN, 0}, {input_, POLLOUT, 0}};
    const nfds_t count = input_ >= 0 && !pending_.empty() ? 2 : 1;
    const int ready = ::poll(fds, count, block ? 30000 : 0);
    if (ready < 0) return errno == EINTR;
    if (ready == 0) return !block;  // a program that neither reads nor writes for so long hangs
    if (count == 2 && (fds[1].revents & (POLLOUT | POLLERR)) != 0) {
      const ssize_t written = ::write(input_, pending_.data(), pending_.size());
      if (written > 0) pending_.erase(0, static_cast<std::size_t>(written));
      if (written < 0 && errno == EPIPE) return false;
    }
    if ((fds[0].revents & (POLLIN | POLLHUP)) != 0) {
      char buffer[1 << 16];
      const ssize_t read = ::read(output_, buffer, sizeof buffer);
      if (read <= 0) return false;
      Count(std::string_view(buffer, static_cast<std::size_t>(read)));
    }
    return true;
  }
  void Count(std::string_view chunk) {
    static constexpr std::string_view kMark = R"("op":"FSCommand")";
    carry_ += chunk;
    std::size_t at = 0;
    while ((at = carry_.find(kMark, at)) != std::string::npos) {
      ++seen_;
      at += kMark.size();
    }
    carry_.erase(0, carry_.size() > kMark.size() ? carry_.size() - kMark.size() + 1 : 0);
  }

  pid_t child_ = -1;
  int input_ = -1;
  int output_ = -1;
  std::string pending_;
  std::string carry_;
  std::string errorsPath_;
  long seen_ = 0;
};

TEST(SoakTest, AMillionGeneratedCommandsEndNormallyWithSteadyMemory) {
  ::signal(SIGPIPE, SIG_IGN);
  const long total = CommandsFromEnvironment();
  ConsoleApp app;
  app.Folder().WriteFile("Users/USER1.DAT", std::string(60, '\0'));
  std::string table;
  for (int i = 0; i < 20; ++i)
    table += std::string(
        "\x01\x00"
        "1",
        3);
  app.Folder().WriteFile("High Scores/HUNGRY_FROGS.dat", table);

  CommandGenerator generator;
  TempFolder io;
  PacedRun run(app, io.Path() + "errors");
  const auto start = std::chrono::steady_clock::now();
  long commands = 0;
  long firstSample = -1;
  while (commands < total) {
    run.Send(generator.Next(commands));
    if (firstSample < 0 && commands >= kFirstSample) {
      run.WaitFor(commands);
      firstSample = ResidentKilobytes(run.Child());
    }
  }
  // A command of the corner square only shows in the trace: when it does, all before it
  // have been handled.
  run.Send("swfBackgroundCorner vbSoakEnd");
  ++commands;
  run.WaitFor(commands);
  const long lastSample = ResidentKilobytes(run.Child());
  const int status = run.Finish();
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  EXPECT_EQ(status, 0) << run.Errors().substr(0, 4000);
  EXPECT_EQ(run.Seen(), commands);
  EXPECT_THAT(run.Errors(), ::testing::Not(::testing::HasSubstr("LeakSanitizer")));
  ASSERT_GT(firstSample, 0);
  const double growth =
      100.0 * static_cast<double>(lastSample - firstSample) / static_cast<double>(firstSample);
#ifndef TDWK_SANITIZED
  // The sanitizers hold freed memory back in quarantine, so only the plain build is measured.
  EXPECT_LE(growth, 10.0) << firstSample << " kB after " << kFirstSample << " commands, "
                          << lastSample << " kB at the end";
#endif
#ifdef TDWK_SANITIZED
  const char* kGrowthNote = " (not judged: the sanitizers keep freed memory in quarantine)";
#else
  const char* kGrowthNote = "";
#endif
  std::cout << "soak: " << commands << " commands, "
            << static_cast<long>(static_cast<double>(commands) / seconds)
            << " commands/s, memory growth " << std::fixed << std::setprecision(1) << growth
            << "% (" << firstSample << " kB to " << lastSample << " kB)" << kGrowthNote
            << std::endl;
}

}  // namespace
}  // namespace tdwk::test
