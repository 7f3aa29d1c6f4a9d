#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "swf/avm1_assembler.h"
#include "swf/movie_writer.h"
#include "swf/sound.h"
#include "swf/tags.h"
#include "swf/types.h"

namespace tdwk::demo {

using swf::Assembler;
using swf::Rgb;
using swf::Rgba;

// Colours children like.
namespace colour {
constexpr Rgba kWhite{255, 255, 255, 255};
constexpr Rgba kInk{40, 30, 80, 255};
constexpr Rgba kRed{235, 64, 52, 255};
constexpr Rgba kOrange{255, 150, 30, 255};
constexpr Rgba kYellow{255, 214, 10, 255};
constexpr Rgba kGreen{60, 180, 75, 255};
constexpr Rgba kTeal{0, 170, 170, 255};
constexpr Rgba kBlue{40, 110, 230, 255};
constexpr Rgba kPurple{145, 70, 200, 255};
constexpr Rgba kPink{240, 90, 160, 255};
}  // namespace colour

struct TextStyle {
  int size = 32;  // pixels
  Rgba colour = colour::kInk;
  swf::Align align = swf::Align::Left;
  bool multiline = false;
  bool input = false;  // typed into, with a border and a white background
  std::uint16_t maxLength = 0;
};

// Builds one movie in stage pixels: defines characters, places them frame by frame and adds
// frame scripts. What a frame places goes away at the next frame unless it is kept.
class MovieKit {
 public:
  MovieKit(std::uint8_t version, int width, int height, Rgb background, double frameRate = 12);

  int Width() const { return width_; }
  int Height() const { return height_; }

  std::uint16_t DefineRect(int x, int y, int w, int h, Rgba fill, std::optional<Rgba> line = {},
                           int radius = 0, int lineWidth = 3);
  std::uint16_t DefineText(int x, int y, int w, int h, std::string_view variable,
                           std::optional<std::string> text, const TextStyle& style);
  // A button drawn as a rounded block with a static label; a lighter face when pointed at and
  // a darker one when pressed. The code runs on release, on the button's timeline.
  std::uint16_t DefineButton(int w, int h, std::string_view label, Rgba face, std::string code,
                             int labelSize = 0);

  // Placing in the current frame. A name makes the instance scriptable.
  std::uint16_t Place(std::uint16_t id, int x = 0, int y = 0, std::string_view name = {},
                      bool keep = false);
  void Move(std::uint16_t depth, int x, int y);
  void Remove(std::uint16_t depth);

  // Conveniences: define and place at once.
  std::uint16_t Rect(int x, int y, int w, int h, Rgba fill, std::optional<Rgba> line = {},
                     int radius = 0, bool keep = false);
  std::uint16_t Text(int x, int y, int w, int h, std::string_view text, const TextStyle& style,
                     bool keep = false);
  std::uint16_t BoundText(int x, int y, int w, int h, std::string_view variable,
                          const TextStyle& style, std::string_view name = {}, bool keep = false);
  std::uint16_t Button(int x, int y, int w, int h, std::string_view label, Rgba face,
                       std::string code, std::string_view name = {}, bool keep = false,
                       int labelSize = 0);

  // Sounds: an event sound to start or give a button; the sound the next button makes when
  // pressed (otherwise a click); a stream sound that plays along with the frames from the
  // next one on, one frame's share at a time.
  std::uint16_t DefineSound(const swf::Samples& samples);
  void StartSound(std::uint16_t soundId);
  void NextButtonSound(std::uint16_t soundId) { nextButtonSound_ = soundId; }
  void StreamSound(swf::Samples samples);

  void Actions(const Assembler& code);
  void FrameLabel(std::string_view label);
  void EndFrame();
  std::uint16_t FrameCount() const { return writer_.FrameCount(); }

  std::string Finish();

 private:
  void AddTag(const std::string& tag);
  std::uint16_t NextId() { return nextId_++; }

  int width_;
  int height_;
  swf::MovieWriter writer_;
  std::uint16_t fontId_ = 0;
  std::uint16_t nextId_ = 1;
  std::uint16_t nextDepth_ = 1;
  std::vector<std::uint16_t> transient_;
  std::vector<std::uint16_t> pendingRemovals_;
  double frameRate_;
  std::uint16_t clickSound_ = 0;
  std::uint16_t nextButtonSound_ = 0;
  std::optional<swf::StreamSound> stream_;
  int streamFrame_ = 0;
};

// How every demo movie stores its sound.
inline constexpr swf::SoundFormat kDemoSound{swf::SoundCoding::Adpcm, swf::SoundRate::k22050};

// Small code builders used throughout the demo movies.
std::string Code(const Assembler& a);
void SetVar(Assembler& a, std::string_view name, std::string_view value);
// Gives a variable the empty text when the movie has not got it yet, so a host reading it
// always gets an answer.
void DefineIfUndefined(Assembler& a, std::string_view name, std::string_view value = "");
// Sets a member of a named instance: name.member = value.
void SetInstanceProperty(Assembler& a, std::string_view instance, std::string_view member,
                         const swf::PushValue& value);
// A movie command whose argument is a prefix followed by a variable's value.
void FsCommandPrefixVariable(Assembler& a, std::string_view command, std::string_view prefix,
                             std::string_view variable);
// The code of a button that sends one movie command.
std::string CommandCode(std::string_view command, std::string_view argument);
// The code of a button that goes to a frame (zero-based) of its timeline and stops there.
std::string GotoCode(std::uint16_t frame);

}  // namespace tdwk::demo
