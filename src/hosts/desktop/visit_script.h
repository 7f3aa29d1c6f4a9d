#pragma once

#include <istream>
#include <optional>
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

// Waits until the movie loaded last into a control has drawn its first frame on screen.
struct ShownStep {
  std::string control;
};

// Waits until the movie in a control has raised a command (with this argument, when given)
// since the visit began.
struct RaisedStep {
  std::string control;
  std::string command;
  std::optional<std::string> args;
};

// One step of a scripted visit: an event in the console host's input format, a screenshot,
// or a wait for a movie to show or to raise a command.
using VisitStep = std::variant<InputEvent, ScreenshotStep, ShownStep, RaisedStep>;

// Reads a visit, one step a line; a line that cannot be read is reported with its number on
// errors and skipped.
std::vector<VisitStep> ReadVisit(std::istream& input, std::ostream& errors);

}  // namespace tdwk::desktop
