#include "swf/byte_writer.h"

#include <gtest/gtest.h>

#include "bytes.h"

namespace tdwk::swf {
namespace {

using test::Bits;
using test::Hex;
using test::ToHex;

TEST(SignedBitsTest, CountsTheSignBit) {
  EXPECT_EQ(SignedBits(0), 0);
  EXPECT_EQ(SignedBits(1), 2);
  EXPECT_EQ(SignedBits(-1), 1);
  EXPECT_EQ(SignedBits(-2), 2);
  EXPECT_EQ(SignedBits(20, -20), 6);
  EXPECT_EQ(SignedBits(11000, 8000), 15);
}

TEST(ByteWriterTest, RectOfTheClassicStage) {
  // 550 by 400 pixels: 15-bit fields 0, 11000, 0, 8000.
  ByteWriter out;
  out.Rectangle({0, 11000, 0, 8000});
  EXPECT_EQ(ToHex(out.Bytes()), "78 00 05 5F 00 00 0F A0 00");
}

TEST(ByteWriterTest, RectWithNegativeAndZeroFields) {
  ByteWriter zero;
  zero.Rectangle({0, 0, 0, 0});
  EXPECT_EQ(ToHex(zero.Bytes()), "00");
  ByteWriter negative;
  negative.Rectangle({-10, 50, -10, 50});
  EXPECT_EQ(negative.Bytes(), Bits("00111 1110110 0110010 1110110 0110010"));
}

TEST(ByteWriterTest, MatrixTranslateOnly) {
  ByteWriter out;
  out.Transform(Translate(20, 40));
  // no scale, no rotate, 7 translate bits: 20, 40
  EXPECT_EQ(out.Bytes(), Bits("0 0 00111 0010100 0101000"));
  EXPECT_EQ(ToHex(out.Bytes()), "0E 51 40");
}

TEST(ByteWriterTest, MatrixWithScaleAndRotation) {
  Matrix m;
  m.hasScale = true;  // 1.0 in 16.16 needs 18 bits
  m.hasRotate = true;
  m.rotateSkew0 = -1;
  m.rotateSkew1 = 1;
  m.translateX = -1;
  ByteWriter out;
  out.Transform(m);
  EXPECT_EQ(out.Bytes(), Bits("1 10010 010000000000000000 010000000000000000"
                              " 1 00010 11 01"
                              " 00001 1 0"));
}

TEST(ByteWriterTest, ColoursStringsAndNumbers) {
  ByteWriter out;
  out.Colour(Rgb{1, 2, 3});
  out.Colour(Rgba{4, 5, 6, 7});
  out.U16(0x1234);
  out.U32(0x89ABCDEF);
  out.String("ab");
  out.String(std::string_view("c\0d", 3));  // a NUL would end the string early
  EXPECT_EQ(ToHex(out.Bytes()), "01 02 03 04 05 06 07 34 12 EF CD AB 89 61 62 00 63 00");
}

TEST(ByteWriterTest, DoubleHighWordFirst) {
  ByteWriter out;
  out.DoubleSwapped(1.5);  // 0x3FF8000000000000
  EXPECT_EQ(out.Bytes(), Hex("00 00 F8 3F 00 00 00 00"));
}

}  // namespace
}  // namespace tdwk::swf
