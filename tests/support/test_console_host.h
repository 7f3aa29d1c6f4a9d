#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "hosts/common/trace.h"
#include "hosts/console/console_host.h"
#include "hosts/console/stand_in_player.h"

namespace tdwk::test {

// One call the shell made on a control, the window or a timer, in the order made, as the
// host's trace shows it.
struct Call {
  std::string control;
  std::string op;     // LoadMovie, SetVariable, GetVariable, Play, GotoFrame, Set, BringToFront
  std::string name;   // variable or property name
  std::string value;  // variable value, URL, or property value as text
  int frame = 0;

  std::string ToString() const;
};

using CallLog = std::vector<Call>;

// The stand-in player, with what tests add: a look at its variables and a way to fail.
class TestPlayer : public StandInPlayer {
 public:
  using StandInPlayer::StandInPlayer;

  void LoadMovie(int layer, const std::string& url) override;
  void SetVariable(const std::string& name, const std::string& value) override;
  void Play() override;
  void GotoFrame(int frame) override;

  // Makes every later call of the named operation (LoadMovie, SetVariable, Play, GotoFrame)
  // fail, as a player that rejects it would; "" fails none.
  void FailOn(std::string op) { failingOp_ = std::move(op); }
  using StandInPlayer::ForgetVariable;
  using StandInPlayer::HasFSCommandHandler;
  using StandInPlayer::Variables;

 private:
  void Refuse(const char* op) const;

  std::string failingOp_;
};

namespace detail {
// Turns each line of the trace into a call of the log as it is written.
class TraceToCalls : public std::streambuf {
 public:
  TraceToCalls(CallLog& log, std::vector<std::string>& messageBoxes)
      : log_(log), messageBoxes_(messageBoxes) {}

 protected:
  int overflow(int c) override;

 private:
  void Take(const std::string& line);

  CallLog& log_;
  std::vector<std::string>& messageBoxes_;
  std::string line_;
};

// What the console host reads and writes, made before the host.
struct HostStreams {
  explicit HostStreams(CallLog& log) : toCalls(log, messageBoxes) {}

  std::vector<std::string> messageBoxes;
  TraceToCalls toCalls;
  std::ostream traceStream{&toCalls};
  Trace trace{traceStream};
  std::istringstream noInput;
  std::ostringstream errors;
};
}  // namespace detail

// The console host, driven by the test instead of by input lines: ShowModal loads the window
// and returns (after running script, which stands for the event loop); the test then sends
// commands and messages and lets time pass. What the shell does is logged as calls.
class TestConsoleHost : private detail::HostStreams, public ConsoleHost {
 public:
  explicit TestConsoleHost(CallLog& log, float screenWidth = 15360, float screenHeight = 11520)
      : HostStreams(log), ConsoleHost(noInput, errors, trace, screenWidth, screenHeight) {}

  void ShowModal(WindowEvents& events) override;

  TestPlayer& Control(const std::string& name);
  // Lets milliseconds pass; due timers tick.
  void Advance(int ms);
  // Sends a message to the player window of a control, as the window system would; returns
  // the result and whether the player's own procedure received it.
  std::pair<std::int32_t, bool> SendMessage(const std::string& control, std::uint32_t message,
                                            std::int32_t wParam = 0, std::int32_t lParam = 0);
  std::int32_t WindowProcedureOf(const std::string& control);

  using HostStreams::messageBoxes;
  std::function<void()> script;  // what the event loop does while the window is shown
  bool loaded = false;

 protected:
  std::unique_ptr<StandInPlayer> NewPlayer(const std::string& name,
                                           const FlashSettings& settings) override;

 private:
  std::vector<TestPlayer*> players_;
};

}  // namespace tdwk::test
