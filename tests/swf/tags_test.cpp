#include "swf/tags.h"

#include <gtest/gtest.h>

#include "bytes.h"

namespace tdwk::swf {
namespace {

using test::Bits;
using test::Hex;
using test::ToHex;

TEST(TagRecordTest, ShortAndLongHeaders) {
  // code 9 << 6 | length 3 = 0x0243
  EXPECT_EQ(ToHex(SetBackgroundColorTag({255, 0, 0})), "43 02 FF 00 00");
  EXPECT_EQ(ToHex(ShowFrameTag()), "40 00");
  EXPECT_EQ(ToHex(EndTag()), "00 00");
  // 62 bytes still fit the short form; 63 takes the long one: 0x3F then a 32-bit length.
  EXPECT_EQ(ToHex(TagRecord(12, std::string(62, 'x')).substr(0, 2)), "3E 03");
  std::string longTag = TagRecord(12, std::string(63, 'x'));
  EXPECT_EQ(ToHex(longTag.substr(0, 6)), "3F 03 3F 00 00 00");
  EXPECT_EQ(longTag.size(), 6U + 63U);
  EXPECT_EQ(ToHex(TagRecord(1, "", true)), "7F 00 00 00 00 00");
}

TEST(TagsTest, DisplayListTags) {
  EXPECT_EQ(ToHex(RemoveObject2Tag(5)), "02 07 05 00");
  EXPECT_EQ(ToHex(FrameLabelTag("go")), "C3 0A 67 6F 00");
  EXPECT_EQ(ToHex(DoActionTag("\x07")), "02 03 07 00");

  Placement place;
  place.depth = 1;
  place.characterId = 2;
  place.matrix = Translate(0, 0);
  place.name = "a";
  // flags: name 0x20, matrix 0x04, character 0x02; depth, character, empty matrix, name
  EXPECT_EQ(ToHex(PlaceObject2Tag(place)), "88 06 26 01 00 02 00 00 61 00");

  Placement move;
  move.depth = 3;
  move.move = true;
  move.matrix = Translate(20, 40);
  EXPECT_EQ(ToHex(PlaceObject2Tag(move)), "86 06 05 03 00 0E 51 40");
}

TEST(TagsTest, FilledSquare) {
  RectangleShape shape;
  shape.id = 1;
  shape.rect = {0, 20, 0, 20};
  shape.fill = Rgba{255, 0, 0, 255};
  std::string expected = Hex("01 00") + Bits("00110 000000 010100 000000 010100") +
                         Hex("01 00 FF 00 00") +  // one solid fill, RGB
                         Hex("00") +              // no line styles
                         Hex("10") +              // 1 fill bit, 0 line bits
                         Bits(
                             "0 0 0 1 0 1 00000 1"  // move to 0,0, fill style 1
                             " 11 0100 0 0 010100"  // right 20
                             " 11 0100 0 1 010100"  // down 20
                             " 11 0100 0 0 101100"  // left 20
                             " 11 0100 0 1 101100"  // up 20
                             " 000000");
  EXPECT_EQ(ToHex(DefineShapeTag(shape)), ToHex(TagRecord(tag::kDefineShape, expected)));
}

TEST(TagsTest, OutlinedRoundedSquare) {
  RectangleShape shape;
  shape.id = 2;
  shape.rect = {0, 40, 0, 40};
  shape.line = Rgba{0, 0, 0, 255};
  shape.lineWidth = 20;
  shape.cornerRadius = 10;
  std::string expected =
      Hex("02 00") +
      Bits("00111 1110110 0110010 1110110 0110010") +  // bounds grow by half the line
      Hex("00") +                                      // no fills
      Hex("01 14 00 00 00 00") +                       // one line: width 20, black
      Hex("01") +                                      // 0 fill bits, 1 line bit
      Bits(
          "0 0 1 0 0 1 00101 01010 00000 1"   // move to 10,0, line style 1
          " 11 0100 0 0 010100"               // right 20
          " 10 0011 01010 00000 00000 01010"  // corner: control +10,0 anchor 0,+10
          " 11 0100 0 1 010100"               // down 20
          " 10 0011 00000 01010 10110 00000"
          " 11 0100 0 0 101100"  // left 20
          " 10 0011 10110 00000 00000 10110"
          " 11 0100 0 1 101100"  // up 20
          " 10 0011 00000 10110 01010 00000"
          " 000000");
  EXPECT_EQ(ToHex(DefineShapeTag(shape)), ToHex(TagRecord(tag::kDefineShape, expected)));
}

TEST(TagsTest, TranslucentShapeUsesShape3WithAlpha) {
  RectangleShape shape;
  shape.id = 1;
  shape.rect = {0, 20, 0, 20};
  shape.fill = Rgba{255, 0, 0, 128};
  std::string tag = DefineShapeTag(shape);
  unsigned header = static_cast<unsigned char>(tag[0]) | static_cast<unsigned char>(tag[1]) << 8;
  EXPECT_EQ(header >> 6, tag::kDefineShape3);
  EXPECT_EQ(ToHex(tag.substr(8, 6)), "01 00 FF 00 00 80");
}

TEST(TagsTest, DeviceFont) {
  // id, flags (wide codes), language, name length, name, no glyphs, code table offset
  EXPECT_EQ(
      ToHex(DefineDeviceFontTag(1)),
      ToHex(TagRecord(tag::kDefineFont2, Hex("01 00 04 01 05") + "_sans" + Hex("00 00 00 00"))));
}

TEST(TagsTest, ReadOnlyBoundText) {
  EditText text;
  text.id = 2;
  text.fontId = 1;
  text.colour = {0x11, 0x22, 0x33, 0xFF};
  text.align = Align::Center;
  text.variable = "v";
  text.border = true;
  // flags: read-only 0x08, colour 0x04, font 0x01 | layout 0x20, border 0x08
  std::string body =
      Hex("02 00 00 0D 28 01 00 F0 00 11 22 33 FF 02 00 00 00 00 00 00 00 00") + "v" + Hex("00");
  EXPECT_EQ(ToHex(DefineEditTextTag(text)), ToHex(TagRecord(tag::kDefineEditText, body)));
}

TEST(TagsTest, InputTextWithLimitAndInitialText) {
  EditText text;
  text.id = 3;
  text.bounds = {0, 20, 0, 20};
  text.fontId = 1;
  text.fontHeight = 400;
  text.readOnly = false;
  text.multiline = true;
  text.wordWrap = true;
  text.noSelect = false;
  text.maxLength = 10;
  text.leftMargin = 80;
  text.initialText = "hi";
  // flags: text 0x80, word wrap 0x40, multiline 0x20, colour, max length 0x02, font | layout
  std::string body = Hex("03 00") + Bits("00110 000000 010100 000000 010100") +
                     Hex("E7 20 01 00 90 01 00 00 00 FF 0A 00 00 50 00 00 00 00 00 00 00") +
                     Hex("00") + "hi" + Hex("00");
  EXPECT_EQ(ToHex(DefineEditTextTag(text)), ToHex(TagRecord(tag::kDefineEditText, body)));
}

TEST(TagsTest, ButtonWithStatesAndActions) {
  Button button;
  button.id = 3;
  button.records = {{button_state::kUp | button_state::kHitTest, 1, 1, {}},
                    {button_state::kOver, 2, 1, Translate(20, 40)}};
  button.actions = {{button_condition::kRelease, "\x06"}, {button_condition::kPress, "\x07"}};
  std::string body = Hex("03 00 00") + Hex("13 00") +     // 2 + 7 + 9 + 1 bytes to the first action
                     Hex("09 01 00 01 00 00 00") +        // up and hit: character 1, depth 1
                     Hex("02 02 00 01 00 0E 51 40 00") +  // over: character 2, moved
                     Hex("00") +                          // end of records
                     Hex("06 00 08 00 06 00") +           // next in 6 bytes; on release: Play
                     Hex("00 00 04 00 07 00");            // last; on press: Stop
  EXPECT_EQ(ToHex(DefineButton2Tag(button)), ToHex(TagRecord(tag::kDefineButton2, body)));

  Button plain;
  plain.id = 4;
  plain.records = {{button_state::kUp, 1, 1, {}}};
  EXPECT_EQ(ToHex(DefineButton2Tag(plain)),
            ToHex(TagRecord(tag::kDefineButton2, Hex("04 00 00 00 00 01 01 00 01 00 00 00 00"))));
}

TEST(TagsTest, SpriteEndsWithEnd) {
  EXPECT_EQ(ToHex(DefineSpriteTag(4, 1, ShowFrameTag())), "C8 09 04 00 01 00 40 00 00 00");
}

}  // namespace
}  // namespace tdwk::swf
