#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <variant>
#include <vector>

#include "hosts/common/input_event.h"

namespace tdwk::desktop {

// A picture of the window, written as PNG.
struct ScreenshotStep {
  std::string file;
};

// One step of a scripted visit: an event in the console host's input format, or a screenshot.
using VisitStep = std::variant<InputEvent, ScreenshotStep>;

// Reads a visit, one step a line; a line that cannot be read is reported with its number on
// errors and skipped.
std::vector<VisitStep> ReadVisit(std::istream& input, std::ostream& errors);

}  // namespace tdwk::desktop
