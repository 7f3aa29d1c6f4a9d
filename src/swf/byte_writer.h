#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "swf/types.h"

namespace tdwk::swf {

// Bit-packed fields, most significant bit first, as RECT, MATRIX and shape records use them.
class BitWriter {
 public:
  void WriteUnsigned(std::uint32_t value, int bits);
  void WriteSigned(std::int32_t value, int bits);
  void WriteFlag(bool flag) { WriteUnsigned(flag ? 1 : 0, 1); }
  // Pads the last byte with zero bits.
  std::string Finish();

 private:
  std::string bytes_;
  std::uint8_t current_ = 0;
  int used_ = 0;
};

// Bits a signed field needs to hold every value given (0 for all zeros).
int SignedBits(std::int32_t a, std::int32_t b = 0, std::int32_t c = 0, std::int32_t d = 0);
int UnsignedBits(std::uint32_t value);

// Byte-aligned little-endian fields.
class ByteWriter {
 public:
  void U8(std::uint8_t value) { bytes_.push_back(static_cast<char>(value)); }
  void U16(std::uint16_t value);
  void S16(std::int16_t value) { U16(static_cast<std::uint16_t>(value)); }
  void U32(std::uint32_t value);
  // A double as AVM1 stores it: the high 32-bit word first, each word little-endian.
  void DoubleSwapped(double value);
  // A zero-terminated string; a NUL inside the text would end it early and is left out.
  void String(std::string_view text);
  void Append(std::string_view bytes) { bytes_.append(bytes); }
  void Colour(const Rgb& colour);
  void Colour(const Rgba& colour);
  void Rectangle(const Rect& rect);
  void Transform(const Matrix& matrix);
  // The colour transform that changes nothing (no add or multiply terms).
  void IdentityColourTransform() { U8(0); }

  std::size_t Size() const { return bytes_.size(); }
  const std::string& Bytes() const { return bytes_; }
  std::string& Mutable() { return bytes_; }

 private:
  std::string bytes_;
};

}  // namespace tdwk::swf
