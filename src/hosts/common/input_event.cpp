#include "hosts/common/input_event.h"

#include <array>
#include <nlohmann/json.hpp>
#include <string>

namespace tdwk {

namespace {

constexpr std::array<std::string_view, 4> kControls{"swfMain", "swfBackgroundTop",
                                                    "swfBackgroundLeft", "swfBackgroundCorner"};

ParsedLine Failure(std::string why) {
  return ParsedLine{std::nullopt, std::move(why)};
}

ParsedLine Parsed(InputEvent event) {
  return ParsedLine{std::move(event), {}};
}

ParsedLine ParsePlain(std::string_view line) {
  const std::size_t firstBlank = line.find(' ');
  if (firstBlank == std::string_view::npos) return Failure("expected CONTROL COMMAND [ARGS]");
  InputEvent event;
  event.kind = InputEvent::Kind::FSCommand;
  event.control = std::string(line.substr(0, firstBlank));
  if (!IsControlName(event.control)) return Failure("unknown control '" + event.control + "'");
  const std::string_view rest = line.substr(firstBlank + 1);
  const std::size_t secondBlank = rest.find(' ');
  event.command = std::string(rest.substr(0, secondBlank));
  if (secondBlank != std::string_view::npos) event.args = std::string(rest.substr(secondBlank + 1));
  return Parsed(std::move(event));
}

const nlohmann::json* Field(const nlohmann::json& object, const char* name) {
  const auto found = object.find(name);
  return found == object.end() ? nullptr : &*found;
}

ParsedLine ParseJson(std::string_view line) {
  const nlohmann::json object = nlohmann::json::parse(line, nullptr, false);
  if (object.is_discarded()) return Failure("not valid JSON");
  if (!object.is_object()) return Failure("not a JSON object");
  const nlohmann::json* eventName = Field(object, "event");
  if (eventName == nullptr || !eventName->is_string()) return Failure("missing field 'event'");
  const std::string name = eventName->get<std::string>();

  InputEvent event;
  const auto text = [&](const char* field, std::string& into) {
    const nlohmann::json* value = Field(object, field);
    if (value == nullptr || !value->is_string()) return false;
    into = value->get<std::string>();
    return true;
  };
  const auto control = [&]() -> std::optional<std::string> {
    if (!text("control", event.control)) return std::string("missing field 'control'");
    if (!IsControlName(event.control)) return "unknown control '" + event.control + "'";
    return std::nullopt;
  };

  if (name == "fscommand") {
    event.kind = InputEvent::Kind::FSCommand;
    if (auto why = control()) return Failure(*why);
    if (!text("command", event.command)) return Failure("missing field 'command'");
    if (!text("args", event.args)) return Failure("missing field 'args'");
  } else if (name == "variables") {
    event.kind = InputEvent::Kind::Variables;
    if (auto why = control()) return Failure(*why);
    const nlohmann::json* values = Field(object, "values");
    if (values == nullptr || !values->is_object()) return Failure("missing field 'values'");
    for (const auto& [key, value] : values->items()) {
      if (!value.is_string()) return Failure("value of '" + key + "' is not a string");
      event.values.emplace_back(key, value.get<std::string>());
    }
  } else if (name == "message") {
    event.kind = InputEvent::Kind::Message;
    if (auto why = control()) return Failure(*why);
    const nlohmann::json* message = Field(object, "message");
    if (message == nullptr || !message->is_number_unsigned() ||
        message->get<std::uint64_t>() > 0xFFFFFFFFull) {
      return Failure("missing field 'message'");
    }
    event.message = static_cast<std::uint32_t>(message->get<std::uint64_t>());
  } else if (name == "wait") {
    event.kind = InputEvent::Kind::Wait;
    const nlohmann::json* ms = Field(object, "ms");
    if (ms == nullptr || !ms->is_number_integer() || ms->get<std::int64_t>() < 0) {
      return Failure("missing field 'ms'");
    }
    if (ms->get<std::int64_t>() > kLongestWaitMs) {
      return Failure("field 'ms' is longer than " + std::to_string(kLongestWaitMs));
    }
    event.ms = ms->get<std::int64_t>();
  } else if (name == "close") {
    event.kind = InputEvent::Kind::Close;
  } else {
    return Failure("unknown event '" + name + "'");
  }
  return Parsed(std::move(event));
}

}  // namespace

bool IsControlName(std::string_view name) {
  for (const std::string_view control : kControls) {
    if (control == name) return true;
  }
  return false;
}

ParsedLine ParseInputLine(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  if (line.empty() || line.front() == '#') return {};
  if (line.front() == '{') return ParseJson(line);
  return ParsePlain(line);
}

}  // namespace tdwk
