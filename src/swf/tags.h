#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "swf/types.h"

namespace tdwk::swf {

namespace tag {
constexpr std::uint16_t kEnd = 0;
constexpr std::uint16_t kShowFrame = 1;
constexpr std::uint16_t kDefineShape = 2;
constexpr std::uint16_t kSetBackgroundColor = 9;
constexpr std::uint16_t kDoAction = 12;
constexpr std::uint16_t kDefineSound = 14;
constexpr std::uint16_t kStartSound = 15;
constexpr std::uint16_t kDefineButtonSound = 17;
constexpr std::uint16_t kSoundStreamBlock = 19;
constexpr std::uint16_t kPlaceObject2 = 26;
constexpr std::uint16_t kRemoveObject2 = 28;
constexpr std::uint16_t kDefineShape3 = 32;
constexpr std::uint16_t kDefineButton2 = 34;
constexpr std::uint16_t kDefineEditText = 37;
constexpr std::uint16_t kDefineSprite = 39;
constexpr std::uint16_t kFrameLabel = 43;
constexpr std::uint16_t kSoundStreamHead2 = 45;
constexpr std::uint16_t kDefineFont2 = 48;
}  // namespace tag

// A tag record: the short header for bodies under 63 bytes, the long one otherwise or when asked.
std::string TagRecord(std::uint16_t code, std::string_view body, bool forceLong = false);

std::string SetBackgroundColorTag(Rgb colour);
std::string ShowFrameTag();
std::string EndTag();

// A rectangle, filled and/or outlined, with optionally rounded corners. Drawn as DefineShape
// when every colour is opaque, as DefineShape3 (with alpha) otherwise.
struct RectangleShape {
  std::uint16_t id = 0;
  Rect rect;
  std::optional<Rgba> fill;
  std::optional<Rgba> line;
  std::uint16_t lineWidth = 20;
  std::int32_t cornerRadius = 0;
};
std::string DefineShapeTag(const RectangleShape& shape);

// The device font `_sans`, drawn by the player: no glyphs.
std::string DefineDeviceFontTag(std::uint16_t id, std::string_view name = "_sans");

enum class Align : std::uint8_t { Left = 0, Right = 1, Center = 2, Justify = 3 };

struct EditText {
  std::uint16_t id = 0;
  Rect bounds;
  std::uint16_t fontId = 0;
  std::uint16_t fontHeight = 240;  // twips
  Rgba colour;
  Align align = Align::Left;
  std::string variable;  // bound variable, relative to the field's timeline; empty for none
  std::optional<std::string> initialText;
  bool readOnly = true;
  bool noSelect = false;
  bool border = false;
  bool multiline = false;
  bool wordWrap = false;
  std::uint16_t maxLength = 0;  // 0 for no limit
  std::uint16_t leftMargin = 0;
  std::uint16_t rightMargin = 0;
};
std::string DefineEditTextTag(const EditText& text);

namespace button_state {
constexpr std::uint8_t kUp = 1;
constexpr std::uint8_t kOver = 2;
constexpr std::uint8_t kDown = 4;
constexpr std::uint8_t kHitTest = 8;
}  // namespace button_state

// Conditions of a button action, as the 16-bit field holds them.
namespace button_condition {
constexpr std::uint16_t kRollOver = 0x0001;        // idle to over-up
constexpr std::uint16_t kRollOut = 0x0002;         // over-up to idle
constexpr std::uint16_t kPress = 0x0004;           // over-up to over-down
constexpr std::uint16_t kRelease = 0x0008;         // over-down to over-up
constexpr std::uint16_t kDragOut = 0x0010;         // over-down to out-down
constexpr std::uint16_t kReleaseOutside = 0x0040;  // out-down to idle
}  // namespace button_condition

struct ButtonRecord {
  std::uint8_t states = 0;
  std::uint16_t characterId = 0;
  std::uint16_t depth = 1;
  Matrix matrix;
};

struct ButtonAction {
  std::uint16_t conditions = 0;
  std::string actions;  // assembled AVM1 code, without the end flag
};

struct Button {
  std::uint16_t id = 0;
  bool trackAsMenu = false;
  std::vector<ButtonRecord> records;
  std::vector<ButtonAction> actions;
};
std::string DefineButton2Tag(const Button& button);

// A sprite from its control tag records; the End tag is appended.
std::string DefineSpriteTag(std::uint16_t id, std::uint16_t frameCount, std::string_view tags);

struct Placement {
  std::uint16_t depth = 1;
  std::optional<std::uint16_t> characterId;
  std::optional<Matrix> matrix;
  std::optional<std::string> name;
  bool move = false;  // modify (or replace) what is at the depth
};
std::string PlaceObject2Tag(const Placement& placement);
std::string RemoveObject2Tag(std::uint16_t depth);
std::string FrameLabelTag(std::string_view label);
// Assembled AVM1 code, without the end flag; the end flag is appended.
std::string DoActionTag(std::string_view actions);

}  // namespace tdwk::swf
