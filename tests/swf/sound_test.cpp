#include "swf/sound.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>

#include "swf/sound_synthesis.h"

namespace tdwk::swf {
namespace {

// Reads the 4-bit ADPCM a movie stores, as a player does: per packet a 16-bit first sample
// and a 6-bit step index, then 4095 codes, each adding or taking a share of the step.
Samples DecodeAdpcm(const std::string& bytes, std::size_t count) {
  constexpr std::array<int, 89> kSteps = {
      7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,   21,    23,
      25,    28,    31,    34,    37,    41,    45,    50,    55,    60,    66,   73,    80,
      88,    97,    107,   118,   130,   143,   157,   173,   190,   209,   230,  253,   279,
      307,   337,   371,   408,   449,   494,   544,   598,   658,   724,   796,  876,   963,
      1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,  2272,  2499,  2749, 3024,  3327,
      3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,  9493, 10442, 11487,
      12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};
  constexpr std::array<int, 8> kIndexMoves = {-1, -1, -1, -1, 2, 4, 6, 8};
  std::size_t bit = 0;
  const auto read = [&](int bits) {
    int value = 0;
    for (int i = 0; i < bits; ++i, ++bit) {
      value = value << 1 | ((static_cast<unsigned char>(bytes.at(bit / 8)) >> (7 - bit % 8)) & 1);
    }
    return value;
  };
  EXPECT_EQ(read(2), 2);  // 4-bit codes
  Samples out;
  int sample = 0, index = 0;
  for (std::size_t i = 0; i < count; ++i) {
    if (i % 4096 == 0) {
      sample = static_cast<std::int16_t>(read(16));
      index = read(6);
      out.push_back(static_cast<std::int16_t>(sample));
      continue;
    }
    const int code = read(4);
    const int step = kSteps.at(static_cast<std::size_t>(index));
    int change = step >> 3;
    if (code & 1) change += step >> 2;
    if (code & 2) change += step >> 1;
    if (code & 4) change += step;
    sample = std::clamp(sample + ((code & 8) ? -change : change), -32768, 32767);
    index = std::clamp(index + kIndexMoves.at(static_cast<std::size_t>(code & 7)), 0, 88);
    out.push_back(static_cast<std::int16_t>(sample));
  }
  return out;
}

// A tune stored as ADPCM plays back as the tune, not as noise: every sample within a few
// percent of full scale, over more than one packet.
TEST(SoundTest, AdpcmPlaysBackTheTune) {
  const Samples tune = Tune({{Pitch(0), 0.3}, {0, 0.05}, {Pitch(12), 0.3}}, 22050, 0.8);
  ASSERT_GT(tune.size(), 3 * 4096U);
  const Samples decoded =
      DecodeAdpcm(EncodeSamples({SoundCoding::Adpcm, SoundRate::k22050}, tune), tune.size());
  int worst = 0;
  for (std::size_t i = 0; i < tune.size(); ++i)
    worst = std::max(worst, std::abs(decoded[i] - tune[i]));
  EXPECT_LT(worst, 32768 / 20);
}

// A stream sound hands each frame its share: every sample once, in order, none left over.
TEST(SoundTest, AStreamSoundSpreadsItsSamplesOverTheFrames) {
  Samples ramp(11025 + 7);
  for (std::size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<std::int16_t>(i);
  const StreamSound stream({SoundCoding::Uncompressed, SoundRate::k11025}, 12, ramp);
  EXPECT_EQ(stream.FrameCount(), 13);
  std::string all;
  for (int frame = 0; frame < stream.FrameCount(); ++frame) {
    const std::string block = stream.BlockTag(frame);
    ASSERT_FALSE(block.empty()) << frame;
    all += block.substr(6);  // after the long tag header
    if (frame + 1 < stream.FrameCount()) {
      EXPECT_NEAR(static_cast<double>(block.size() - 6) / 2, 11025 / 12.0, 1) << frame;
    }
  }
  EXPECT_TRUE(stream.BlockTag(stream.FrameCount()).empty());
  EXPECT_EQ(all, EncodeSamples({SoundCoding::Uncompressed, SoundRate::k11025}, ramp));
}

}  // namespace
}  // namespace tdwk::swf
