#include "movie_kit.h"

#include <algorithm>
#include <utility>

#include "swf/sound_synthesis.h"

namespace tdwk::demo {

namespace {

constexpr std::int32_t Twips(int pixels) {
  return pixels * swf::kStageTwipsPerPixel;
}

Rgba Shade(Rgba c, int delta) {
  auto channel = [delta](std::uint8_t v) {
    return static_cast<std::uint8_t>(std::clamp(static_cast<int>(v) + delta, 0, 255));
  };
  return {channel(c.red), channel(c.green), channel(c.blue), c.alpha};
}

}  // namespace

MovieKit::MovieKit(std::uint8_t version, int width, int height, Rgb background, double frameRate)
    : width_(width),
      height_(height),
      writer_(version, swf::Rect{0, Twips(width), 0, Twips(height)}, frameRate),
      frameRate_(frameRate) {
  writer_.Add(swf::SetBackgroundColorTag(background));
  fontId_ = NextId();
  writer_.Add(swf::DefineDeviceFontTag(fontId_));
}

void MovieKit::AddTag(const std::string& tag) {
  for (std::uint16_t depth : pendingRemovals_) writer_.Add(swf::RemoveObject2Tag(depth));
  pendingRemovals_.clear();
  writer_.Add(tag);
}

std::uint16_t MovieKit::DefineRect(int x, int y, int w, int h, Rgba fill, std::optional<Rgba> line,
                                   int radius, int lineWidth) {
  swf::RectangleShape shape;
  shape.id = NextId();
  shape.rect = {Twips(x), Twips(x + w), Twips(y), Twips(y + h)};
  shape.fill = fill;
  shape.line = line;
  shape.lineWidth = static_cast<std::uint16_t>(Twips(lineWidth));
  shape.cornerRadius = Twips(radius);
  AddTag(swf::DefineShapeTag(shape));
  return shape.id;
}

std::uint16_t MovieKit::DefineText(int x, int y, int w, int h, std::string_view variable,
                                   std::optional<std::string> text, const TextStyle& style) {
  swf::EditText edit;
  edit.id = NextId();
  edit.bounds = {Twips(x), Twips(x + w), Twips(y), Twips(y + h)};
  edit.fontId = fontId_;
  edit.fontHeight = static_cast<std::uint16_t>(Twips(style.size));
  edit.colour = style.colour;
  edit.align = style.align;
  edit.variable = std::string(variable);
  edit.initialText = std::move(text);
  edit.readOnly = !style.input;
  edit.noSelect = !style.input;
  edit.border = style.input;
  edit.multiline = style.multiline;
  edit.wordWrap = style.multiline;
  edit.maxLength = style.maxLength;
  edit.leftMargin = static_cast<std::uint16_t>(Twips(style.input ? 4 : 0));
  AddTag(swf::DefineEditTextTag(edit));
  return edit.id;
}

std::uint16_t MovieKit::DefineButton(int w, int h, std::string_view label, Rgba face,
                                     std::string code, int labelSize) {
  int radius = std::min(w, h) / 4;
  std::uint16_t up = DefineRect(0, 0, w, h, face, colour::kInk, radius);
  std::uint16_t over = DefineRect(0, 0, w, h, Shade(face, 40), colour::kInk, radius);
  std::uint16_t down = DefineRect(0, 0, w, h, Shade(face, -50), colour::kInk, radius);
  int size = labelSize > 0 ? labelSize : std::clamp(h * 5 / 10, 12, 40);
  TextStyle style{size, colour::kWhite, swf::Align::Center};
  int top = (h - size * 13 / 10) / 2;
  std::uint16_t text = DefineText(0, top, w, size * 14 / 10, "", std::string(label), style);

  swf::Button button;
  button.id = NextId();
  using namespace swf::button_state;
  button.records = {{kUp | kHitTest, up, 1, {}},
                    {kOver, over, 1, {}},
                    {kDown, down, 1, {}},
                    {kUp | kOver | kDown, text, 2, {}}};
  button.actions = {{swf::button_condition::kRelease, std::move(code)}};
  AddTag(swf::DefineButton2Tag(button));
  std::uint16_t sound = std::exchange(nextButtonSound_, 0);
  if (sound == 0) {
    if (clickSound_ == 0)
      clickSound_ = DefineSound(swf::Click(swf::SamplesPerSecond(kDemoSound.rate)));
    sound = clickSound_;
  }
  AddTag(swf::DefineButtonSoundTag(button.id, sound));
  return button.id;
}

std::uint16_t MovieKit::Place(std::uint16_t id, int x, int y, std::string_view name, bool keep) {
  swf::Placement placement;
  placement.depth = nextDepth_++;
  placement.characterId = id;
  placement.matrix = swf::Translate(Twips(x), Twips(y));
  if (!name.empty()) placement.name = std::string(name);
  AddTag(swf::PlaceObject2Tag(placement));
  if (!keep) transient_.push_back(placement.depth);
  return placement.depth;
}

void MovieKit::Move(std::uint16_t depth, int x, int y) {
  swf::Placement placement;
  placement.depth = depth;
  placement.move = true;
  placement.matrix = swf::Translate(Twips(x), Twips(y));
  AddTag(swf::PlaceObject2Tag(placement));
}

void MovieKit::Remove(std::uint16_t depth) {
  AddTag(swf::RemoveObject2Tag(depth));
  std::erase(transient_, depth);
}

std::uint16_t MovieKit::Rect(int x, int y, int w, int h, Rgba fill, std::optional<Rgba> line,
                             int radius, bool keep) {
  return Place(DefineRect(0, 0, w, h, fill, line, radius), x, y, {}, keep);
}

std::uint16_t MovieKit::Text(int x, int y, int w, int h, std::string_view text,
                             const TextStyle& style, bool keep) {
  return Place(DefineText(0, 0, w, h, "", std::string(text), style), x, y, {}, keep);
}

std::uint16_t MovieKit::BoundText(int x, int y, int w, int h, std::string_view variable,
                                  const TextStyle& style, std::string_view name, bool keep) {
  return Place(DefineText(0, 0, w, h, variable, std::nullopt, style), x, y, name, keep);
}

std::uint16_t MovieKit::Button(int x, int y, int w, int h, std::string_view label, Rgba face,
                               std::string code, std::string_view name, bool keep, int labelSize) {
  return Place(DefineButton(w, h, label, face, std::move(code), labelSize), x, y, name, keep);
}

std::uint16_t MovieKit::DefineSound(const swf::Samples& samples) {
  const std::uint16_t id = NextId();
  AddTag(swf::DefineSoundTag(id, kDemoSound, samples));
  return id;
}

void MovieKit::StartSound(std::uint16_t soundId) {
  AddTag(swf::StartSoundTag(soundId));
}

void MovieKit::StreamSound(swf::Samples samples) {
  stream_.emplace(kDemoSound, frameRate_, std::move(samples));
  streamFrame_ = 0;
  AddTag(stream_->HeadTag());
}

void MovieKit::Actions(const Assembler& code) {
  AddTag(swf::DoActionTag(code.Finish()));
}

void MovieKit::FrameLabel(std::string_view label) {
  AddTag(swf::FrameLabelTag(label));
}

void MovieKit::EndFrame() {
  if (stream_) {
    const std::string block = stream_->BlockTag(streamFrame_++);
    if (!block.empty()) writer_.Add(block);
  }
  for (std::uint16_t depth : pendingRemovals_) writer_.Add(swf::RemoveObject2Tag(depth));
  pendingRemovals_ = std::move(transient_);
  transient_.clear();
  writer_.ShowFrame();
}

std::string MovieKit::Finish() {
  return writer_.Finish();
}

std::string Code(const Assembler& a) {
  return a.Finish();
}

void SetVar(Assembler& a, std::string_view name, std::string_view value) {
  a.Push({std::string(name), std::string(value)}).SetVariable();
}

void DefineIfUndefined(Assembler& a, std::string_view name, std::string_view value) {
  auto defined = a.NewLabel();
  a.Push(std::string(name)).GetVariable().TypeOf().Push("undefined").StrictEquals().Not();
  a.If(defined);
  SetVar(a, name, value);
  a.Bind(defined);
}

void SetInstanceProperty(Assembler& a, std::string_view instance, std::string_view member,
                         const swf::PushValue& value) {
  a.Push(std::string(instance)).GetVariable().Push({std::string(member), value}).SetMember();
}

void FsCommandPrefixVariable(Assembler& a, std::string_view command, std::string_view prefix,
                             std::string_view variable) {
  a.Push({std::string(prefix), std::string(variable)}).GetVariable().StringAdd();
  a.FsCommandWithStackArgument(command);
}

std::string CommandCode(std::string_view command, std::string_view argument) {
  Assembler a;
  a.FsCommand(command, argument);
  return a.Finish();
}

std::string GotoCode(std::uint16_t frame) {
  Assembler a;
  a.GotoFrame(frame).Stop();
  return a.Finish();
}

}  // namespace tdwk::demo
