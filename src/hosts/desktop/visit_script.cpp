#include "hosts/desktop/visit_script.h"

#include <nlohmann/json.hpp>

namespace tdwk::desktop {

namespace {

// The one line a visit adds to the console host's input: {"event":"screenshot","file":F}.
// Nothing when the line is not a screenshot; an error text when it is one without a file.
std::variant<std::monostate, ScreenshotStep, std::string> ParseScreenshot(const std::string& line) {
  if (line.empty() || line.front() != '{') return std::monostate{};
  const nlohmann::json object = nlohmann::json::parse(line, nullptr, false);
  if (!object.is_object() || object.value("event", nlohmann::json()) != "screenshot") {
    return std::monostate{};
  }
  const auto file = object.find("file");
  if (file == object.end() || !file->is_string() || file->get<std::string>().empty()) {
    return std::string("missing field 'file'");
  }
  return ScreenshotStep{file->get<std::string>()};
}

}  // namespace

std::vector<VisitStep> ReadVisit(std::istream& input, std::ostream& errors) {
  std::vector<VisitStep> steps;
  std::string line;
  for (int number = 1; std::getline(input, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    auto screenshot = ParseScreenshot(line);
    if (auto* step = std::get_if<ScreenshotStep>(&screenshot)) {
      steps.emplace_back(std::move(*step));
      continue;
    }
    std::string error;
    if (auto* why = std::get_if<std::string>(&screenshot)) {
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
