#include "swf/byte_writer.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace tdwk::swf {

void BitWriter::WriteUnsigned(std::uint32_t value, int bits) {
  for (int bit = bits - 1; bit >= 0; --bit) {
    current_ = static_cast<std::uint8_t>(current_ << 1 | ((value >> bit) & 1U));
    if (++used_ == 8) {
      bytes_.push_back(static_cast<char>(current_));
      current_ = 0;
      used_ = 0;
    }
  }
}

void BitWriter::WriteSigned(std::int32_t value, int bits) {
  WriteUnsigned(static_cast<std::uint32_t>(value), bits);
}

std::string BitWriter::Finish() {
  if (used_ > 0) {
    bytes_.push_back(static_cast<char>(current_ << (8 - used_)));
    current_ = 0;
    used_ = 0;
  }
  return std::move(bytes_);
}

int UnsignedBits(std::uint32_t value) {
  return static_cast<int>(std::bit_width(value));
}

int SignedBits(std::int32_t a, std::int32_t b, std::int32_t c, std::int32_t d) {
  int bits = 0;
  for (std::int32_t v : {a, b, c, d}) {
    if (v == 0) continue;
    // A negative value needs as many bits as its complement, plus the sign.
    std::uint32_t magnitude =
        v < 0 ? ~static_cast<std::uint32_t>(v) : static_cast<std::uint32_t>(v);
    bits = std::max(bits, UnsignedBits(magnitude) + 1);
  }
  return bits;
}

void ByteWriter::U16(std::uint16_t value) {
  U8(static_cast<std::uint8_t>(value & 0xFF));
  U8(static_cast<std::uint8_t>(value >> 8));
}

void ByteWriter::U32(std::uint32_t value) {
  U16(static_cast<std::uint16_t>(value & 0xFFFF));
  U16(static_cast<std::uint16_t>(value >> 16));
}

void ByteWriter::DoubleSwapped(double value) {
  std::uint64_t bits = std::bit_cast<std::uint64_t>(value);
  U32(static_cast<std::uint32_t>(bits >> 32));
  U32(static_cast<std::uint32_t>(bits & 0xFFFFFFFFU));
}

void ByteWriter::String(std::string_view text) {
  std::size_t nul = text.find('\0');
  bytes_.append(text.substr(0, nul));
  U8(0);
}

void ByteWriter::Colour(const Rgb& colour) {
  U8(colour.red);
  U8(colour.green);
  U8(colour.blue);
}

void ByteWriter::Colour(const Rgba& colour) {
  U8(colour.red);
  U8(colour.green);
  U8(colour.blue);
  U8(colour.alpha);
}

void ByteWriter::Rectangle(const Rect& rect) {
  BitWriter bits;
  int n = SignedBits(rect.xMin, rect.xMax, rect.yMin, rect.yMax);
  bits.WriteUnsigned(static_cast<std::uint32_t>(n), 5);
  bits.WriteSigned(rect.xMin, n);
  bits.WriteSigned(rect.xMax, n);
  bits.WriteSigned(rect.yMin, n);
  bits.WriteSigned(rect.yMax, n);
  Append(bits.Finish());
}

void ByteWriter::Transform(const Matrix& matrix) {
  BitWriter bits;
  bits.WriteFlag(matrix.hasScale);
  if (matrix.hasScale) {
    int n = SignedBits(matrix.scaleX, matrix.scaleY);
    bits.WriteUnsigned(static_cast<std::uint32_t>(n), 5);
    bits.WriteSigned(matrix.scaleX, n);
    bits.WriteSigned(matrix.scaleY, n);
  }
  bits.WriteFlag(matrix.hasRotate);
  if (matrix.hasRotate) {
    int n = SignedBits(matrix.rotateSkew0, matrix.rotateSkew1);
    bits.WriteUnsigned(static_cast<std::uint32_t>(n), 5);
    bits.WriteSigned(matrix.rotateSkew0, n);
    bits.WriteSigned(matrix.rotateSkew1, n);
  }
  int n = SignedBits(matrix.translateX, matrix.translateY);
  bits.WriteUnsigned(static_cast<std::uint32_t>(n), 5);
  bits.WriteSigned(matrix.translateX, n);
  bits.WriteSigned(matrix.translateY, n);
  Append(bits.Finish());
}

}  // namespace tdwk::swf
