#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tdwk::test {

// What a test movie reports through its own movie commands:
//   "tdwk_test_frame" with the frame number (0-based) each time a frame's script runs;
//   "tdwk_test_var" with "NAME=value" each time a watched variable takes a new value;
//   "tdwk_test_press" when the left button goes down on its stage.
inline constexpr const char* kFrameReport = "tdwk_test_frame";
inline constexpr const char* kVariableReport = "tdwk_test_var";
inline constexpr const char* kPressReport = "tdwk_test_press";
//   "tdwk_test_key" with the key code each time a key goes down, when asked to.
inline constexpr const char* kKeyReport = "tdwk_test_key";
//   "tdwk_test_first" with "NAME=value" for each variable its first frame finds set;
//   "tdwk_test_pace" with the milliseconds its first `paceTicks` frame ticks took.
inline constexpr const char* kFirstFrameReport = "tdwk_test_first";
inline constexpr const char* kPaceReport = "tdwk_test_pace";

struct TestMovie {
  std::uint8_t version = 8;
  int width = 550, height = 400;  // pixels
  std::uint8_t red = 0x33, green = 0x66, blue = 0x99;
  // Variables of its root it defines itself when it first starts (a form's fields, say).
  std::vector<std::pair<std::string, std::string>> defines;
  // Sent in this order when the movie first starts (frame 0).
  std::vector<std::pair<std::string, std::string>> commands;
  // Sent in this order as soon as every watched variable has been reported.
  std::vector<std::pair<std::string, std::string>> afterReports;
  // Sent in this order once the movie has had this many frame ticks, reports or not.
  std::vector<std::pair<std::string, std::string>> later;
  int laterTicks = 24;
  // getURL(url, target) of each, when the movie first starts, before its commands: links,
  // and with a "_levelN" target movies loaded into that level.
  std::vector<std::pair<std::string, std::string>> getUrls;
  // Variables of its root watched on every frame tick.
  std::vector<std::string> watch;
  // Runs no more code once every watched variable has been reported and the reports' commands
  // sent: a still movie from then on.
  bool stillOnceReported = false;
  bool reportKeys = false;
  // Names it offers the page through ExternalInterface.addCallback when it first starts.
  std::vector<std::string> callbacks;
  // Asks for a file chooser (FileReference.browse) when it starts and on every press.
  bool browseFiles = false;
  // Arrays nested this deep, made and passed to the page when the movie first starts (after
  // its first-frame report): deep enough, the player's own recursion over them overflows.
  int nestedArrays = 0;
  // Sent in this order on every press (after the file chooser is asked for).
  std::vector<std::pair<std::string, std::string>> pressCommands;
  // Variables its first frame reports, as it finds them before any call could set them.
  std::vector<std::string> firstFrameReports;
  int paceTicks = 0;  // 0: no pace report
  double frameRate = 24;
  // Frames, each stopping and reporting itself; with a stream sound they play on instead,
  // the sound (a tune) lasting all of them, and the last one stops.
  int frames = 4;
  bool streamSound = false;
  // A tone that starts on the first frame and repeats for about a minute.
  bool eventSound = false;
  // The tone starts on the next frame instead (see nextFrameColour).
  bool eventSoundOnNextFrame = false;
  // After `laterTicks` frame ticks the movie goes on to its next frame, which covers the stage
  // in this colour (0xRRGGBB); negative: it stays on its first frame.
  int nextFrameColour = -1;
};

// A movie file: uncompressed before version 8, zlib-compressed from version 8 on.
std::string BuildTestMovie(const TestMovie& movie);

}  // namespace tdwk::test
