#include "support/test_console_host.h"

#include <fmt/format.h>

#include <nlohmann/json.hpp>
#include <stdexcept>

#include "base/vb_error.h"

namespace tdwk::test {

std::string Call::ToString() const {
  if (op == "SetVariable") return control + " SetVariable " + name + "=" + value;
  if (op == "GotoFrame") return control + " GotoFrame " + std::to_string(frame);
  if (op == "Set") return control + " Set " + name + "=" + value;
  if (op == "LoadMovie") return control + " LoadMovie " + value;
  if (op == "GetVariable") return control + " GetVariable " + name;
  return control + " " + op;
}

void TestPlayer::Refuse(const char* op) const {
  if (failingOp_ == op) throw VbError(vb::kInvalidProcedureCall);
}

void TestPlayer::LoadMovie(int layer, const std::string& url) {
  Refuse("LoadMovie");
  StandInPlayer::LoadMovie(layer, url);
}

void TestPlayer::SetVariable(const std::string& name, const std::string& value) {
  Refuse("SetVariable");
  StandInPlayer::SetVariable(name, value);
}

void TestPlayer::Play() {
  Refuse("Play");
  StandInPlayer::Play();
}

void TestPlayer::GotoFrame(int frame) {
  Refuse("GotoFrame");
  StandInPlayer::GotoFrame(frame);
}

namespace detail {

int TraceToCalls::overflow(int c) {
  if (c == traits_type::eof()) return traits_type::not_eof(c);
  if (c == '\n') {
    Take(line_);
    line_.clear();
  } else {
    line_ += static_cast<char>(c);
  }
  return c;
}

void TraceToCalls::Take(const std::string& text) {
  const nlohmann::json line = nlohmann::json::parse(text);
  const std::string op = line.at("op");
  if (op == "MessageBox") {
    messageBoxes_.push_back(line.at("text"));
    return;
  }
  // What the movies and the window system send is the test's own doing.
  if (op == "FSCommand" || op == "Message" || op == "Unload") return;
  Call call{line.at("control"), op};
  call.name = line.value("property", line.value("name", ""));
  if (op == "LoadMovie") call.value = line.at("url");
  if (op == "GotoFrame") call.frame = line.at("frame");
  if (op == "SetVariable") call.value = line.at("value");
  if (op == "Set") {
    const nlohmann::json& value = line.at("value");
    if (value.is_boolean()) {
      call.value = value.get<bool>() ? "true" : "false";
    } else if (value.is_number_integer()) {
      call.value = std::to_string(value.get<long long>());
    } else {
      call.value = fmt::format("{}", value.get<float>());  // the shell sets twips as floats
    }
  }
  log_.push_back(std::move(call));
}

}  // namespace detail

void TestConsoleHost::ShowModal(WindowEvents& events) {
  loaded = true;
  Load(events);
  if (script) script();
}

TestPlayer& TestConsoleHost::Control(const std::string& name) {
  for (TestPlayer* player : players_) {
    if (player->Name() == name) return *player;
  }
  throw std::out_of_range("no control " + name);
}

void TestConsoleHost::Advance(int ms) {
  InputEvent wait;
  wait.kind = InputEvent::Kind::Wait;
  wait.ms = ms;
  Dispatch(wait);
}

std::pair<std::int32_t, bool> TestConsoleHost::SendMessage(const std::string& control,
                                                           std::uint32_t message,
                                                           std::int32_t wParam,
                                                           std::int32_t lParam) {
  const WindowHandle window = playerWindows().PlayerWindowOf(control);
  if (window == 0) throw std::out_of_range("no player window for " + control);
  const PlayerWindowTable::Outcome outcome =
      playerWindows().Dispatch(window, message, wParam, lParam);
  return {outcome.result, outcome.delivered};
}

std::int32_t TestConsoleHost::WindowProcedureOf(const std::string& control) {
  const WindowHandle window = playerWindows().PlayerWindowOf(control);
  if (window == 0) throw std::out_of_range("no player window for " + control);
  return playerWindows().GetWindowLong(window, GWL_WNDPROC);
}

std::unique_ptr<StandInPlayer> TestConsoleHost::NewPlayer(const std::string& name,
                                                          const FlashSettings& settings) {
  auto player = std::make_unique<TestPlayer>(name, settings, trace);
  players_.push_back(player.get());
  return player;
}

}  // namespace tdwk::test
