#pragma once

#include <memory>
#include <ostream>
#include <string>

#include "platform/clock.h"

namespace tdwk {

struct ScreenSize {
  float widthTwips;
  float heightTwips;
};

// The window's twips: 15 to a pixel (a movie's stage has 20).
inline constexpr float kTwipsPerPixel = 15;

// TDWK_SCREEN (WIDTHxHEIGHT in pixels), by default 1024 by 768. A bad value is reported.
ScreenSize ScreenFromEnvironment(std::ostream& errors);
// A clock fixed at TDWK_NOW (YYYY-MM-DDTHH:MM:SS), or the real one.
std::unique_ptr<Clock> ClockFromEnvironment(std::ostream& errors);
// The folder of the running executable, with a trailing '/'.
std::string ProgramFolder();
// The arguments without the program's own path, joined by single blanks.
std::string CommandLineText(int argc, char** argv);

}  // namespace tdwk
