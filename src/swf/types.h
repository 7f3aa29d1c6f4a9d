#pragma once

#include <cstdint>

namespace tdwk::swf {

// Every length on a movie's stage is in twips, 20 to a pixel (the window's twips are 15 to a
// pixel: kTwipsPerPixel of the hosts).
constexpr std::int32_t kStageTwipsPerPixel = 20;

struct Rect {
  std::int32_t xMin = 0;
  std::int32_t xMax = 0;
  std::int32_t yMin = 0;
  std::int32_t yMax = 0;
  bool operator==(const Rect&) const = default;
};

struct Rgb {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  bool operator==(const Rgb&) const = default;
};

struct Rgba {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  std::uint8_t alpha = 255;
  bool operator==(const Rgba&) const = default;
};

constexpr Rgba Opaque(Rgb colour) {
  return {colour.red, colour.green, colour.blue, 255};
}

// A placement transform; scale and rotation in 16.16 fixed point, translation in twips.
struct Matrix {
  bool hasScale = false;
  std::int32_t scaleX = 1 << 16;
  std::int32_t scaleY = 1 << 16;
  bool hasRotate = false;
  std::int32_t rotateSkew0 = 0;
  std::int32_t rotateSkew1 = 0;
  std::int32_t translateX = 0;
  std::int32_t translateY = 0;
};

constexpr Matrix Translate(std::int32_t x, std::int32_t y) {
  Matrix m;
  m.translateX = x;
  m.translateY = y;
  return m;
}

}  // namespace tdwk::swf
