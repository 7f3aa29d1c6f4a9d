#include "hosts/desktop/visit_script.h"

#include <nlohmann/json.hpp>

namespace tdwk::desktop {

namespace {

// A text field of a visit line that must be there and not be empty.
std::optional<std::string> Field(const nlohmann::json& object, const char* name) {
  const auto value = object.find(name);
  if (value == object.end() || !value->is_string() || value->get<std::string>().empty()) {
    return std::nullopt;
  }
  return value->get<std::string>();
}

// The lines a visit adds to the console host's input: {"event":"screenshot","file":F},
// {"event":"shown","control":C} and {"event":"raised","control":C,"command":S,"args":A}
// (args optional). Nothing when the line is none of them; an error text when it lacks a field.
std::variant<std::monostate, VisitStep, std::string> ParseVisitLine(const std::string& line) {
  if (line.empty() || line.front() != '{') return std::monostate{};
  const nlohmann::json object = nlohmann::json::parse(line, nullptr, false);
  if (!object.is_object()) return std::monostate{};
  const nlohmann::json event = object.value("event", nlohmann::json());
  if (event != "screenshot" && event != "shown" && event != "raised") return std::monostate{};
  std::vector<const char*> needed = {"file"};
  if (event == "shown") needed = {"control"};
  if (event == "raised") needed = {"control", "command"};
  std::vector<std::string> values;
  for (const char* name : needed) {
    auto value = Field(object, name);
    if (!value) return "missing field '" + std::string(name) + "'";
    values.push_back(std::move(*value));
  }
  if (event == "screenshot") return VisitStep{ScreenshotStep{values[0]}};
  if (event == "shown") return VisitStep{ShownStep{values[0]}};
  RaisedStep raised{values[0], values[1], std::nullopt};
  const auto args = object.find("args");
  if (args != object.end() && args->is_string()) raised.args = args->get<std::string>();
  return VisitStep{std::move(raised)};
}

}  // namespace

std::vector<VisitStep> ReadVisit(std::istream& input, std::ostream& errors) {
  std::vector<VisitStep> steps;
  std::string line;
  for (int number = 1; std::getline(input, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    auto own = ParseVisitLine(line);
    if (auto* step = std::get_if<VisitStep>(&own)) {
      steps.push_back(std::move(*step));
      continue;
    }
    std::string error;
    if (auto* why = std::get_if<std::string>(&own)) {
      error = *why;
    } else {
      ParsedLine parsed = ParseInputLine(line);
      if (parsed.event) {
        steps.emplace_back(std::move(*parsed.event));
        continue;
      }
      error = parsed.error;
    }
    if (!error.empty()) errors << "tdwk: visit line " << number << ": " << error << '\n';
  }
  return steps;
}

}  // namespace tdwk::desktop
