#include "swf/sound.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <stdexcept>

#include "swf/byte_writer.h"
#include "swf/tags.h"

namespace tdwk::swf {

namespace {

// The ADPCM step sizes and, for 4-bit codes, how each magnitude moves the step index.
constexpr std::array<int, 89> kSteps = {
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,   21,    23,
    25,    28,    31,    34,    37,    41,    45,    50,    55,    60,    66,   73,    80,
    88,    97,    107,   118,   130,   143,   157,   173,   190,   209,   230,  253,   279,
    307,   337,   371,   408,   449,   494,   544,   598,   658,   724,   796,  876,   963,
    1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,  2272,  2499,  2749, 3024,  3327,
    3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,  9493, 10442, 11487,
    12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};
constexpr int kCodeBits = 4;
constexpr int kPacketSamples = 4096;

int IndexMove(int magnitude) {
  // 4-bit codes: magnitudes 0-3 lower the index by one, 4-7 raise it by 2, 4, 6 and 8.
  return magnitude < 4 ? -1 : 2 * (magnitude - 3);
}

std::uint8_t FormatBits(SoundFormat format) {
  // Coding (4 bits), rate (2), 16-bit samples (1), mono (0).
  return static_cast<std::uint8_t>(static_cast<int>(format.coding) << 4 |
                                   static_cast<int>(format.rate) << 2 | 1 << 1);
}

std::string EncodeAdpcm(std::span<const std::int16_t> samples) {
  BitWriter bits;
  bits.WriteUnsigned(kCodeBits - 2, 2);
  int predicted = 0;
  int index = 0;
  for (std::size_t i = 0; i < samples.size(); ++i) {
    if (i % kPacketSamples == 0) {
      // Each packet opens with its first sample as it is and the step index so far, which
      // has only six bits there.
      predicted = samples[i];
      index = std::min(index, 63);
      bits.WriteSigned(predicted, 16);
      bits.WriteUnsigned(static_cast<std::uint32_t>(index), 6);
      continue;
    }
    // The code whose decoding comes nearest the sample, worked out as the decoder adds up.
    int difference = samples[i] - predicted;
    int code = 0;
    if (difference < 0) {
      code = 1 << (kCodeBits - 1);
      difference = -difference;
    }
    int step = kSteps[static_cast<std::size_t>(index)];
    int change = 0;
    for (int bit = 1 << (kCodeBits - 2); bit != 0; bit >>= 1) {
      if (difference >= step) {
        code |= bit;
        difference -= step;
        change += step;
      }
      step >>= 1;
    }
    change += step;
    predicted =
        std::clamp(predicted + ((code >> (kCodeBits - 1)) != 0 ? -change : change), -32768, 32767);
    const int magnitude = code & ((1 << (kCodeBits - 1)) - 1);
    index = std::clamp(index + IndexMove(magnitude), 0, static_cast<int>(kSteps.size()) - 1);
    bits.WriteUnsigned(static_cast<std::uint32_t>(code), kCodeBits);
  }
  return bits.Finish();
}

}  // namespace

int SamplesPerSecond(SoundRate rate) {
  switch (rate) {
    case SoundRate::k5512:
      return 5512;
    case SoundRate::k11025:
      return 11025;
    case SoundRate::k22050:
      return 22050;
    case SoundRate::k44100:
      return 44100;
  }
  return 44100;
}

std::string EncodeSamples(SoundFormat format, std::span<const std::int16_t> samples) {
  if (format.coding == SoundCoding::Adpcm) return EncodeAdpcm(samples);
  ByteWriter out;
  for (std::int16_t sample : samples) out.S16(sample);
  return out.Bytes();
}

std::string DefineSoundTag(std::uint16_t id, SoundFormat format,
                           std::span<const std::int16_t> samples) {
  ByteWriter body;
  body.U16(id);
  body.U8(FormatBits(format));
  body.U32(static_cast<std::uint32_t>(samples.size()));
  body.Append(EncodeSamples(format, samples));
  return TagRecord(tag::kDefineSound, body.Bytes(), true);
}

std::string StartSoundTag(std::uint16_t id, std::uint16_t loops) {
  ByteWriter body;
  body.U16(id);
  if (loops > 1) {
    body.U8(1 << 2);  // has a loop count
    body.U16(loops);
  } else {
    body.U8(0);
  }
  return TagRecord(tag::kStartSound, body.Bytes());
}

std::string DefineButtonSoundTag(std::uint16_t buttonId, std::uint16_t pressSoundId) {
  ByteWriter body;
  body.U16(buttonId);
  // Pointer leaving, pointer arriving, press (each with how to play it), release.
  body.U16(0);
  body.U16(0);
  body.U16(pressSoundId);
  if (pressSoundId != 0) body.U8(0);
  body.U16(0);
  return TagRecord(tag::kDefineButtonSound, body.Bytes());
}

std::string SoundStreamHeadTag(SoundFormat format, std::uint16_t samplesPerFrame) {
  ByteWriter body;
  // How to play it (the rate, 16-bit, mono), then how it is stored.
  body.U8(static_cast<std::uint8_t>(FormatBits(format) & 0x0F));
  body.U8(FormatBits(format));
  body.U16(samplesPerFrame);
  return TagRecord(tag::kSoundStreamHead2, body.Bytes());
}

std::string SoundStreamBlockTag(SoundFormat format, std::span<const std::int16_t> samples) {
  return TagRecord(tag::kSoundStreamBlock, EncodeSamples(format, samples), true);
}

StreamSound::StreamSound(SoundFormat format, double frameRate, Samples samples)
    : format_(format),
      samplesPerFrame_(SamplesPerSecond(format.rate) / frameRate),
      samples_(std::move(samples)) {
  if (!(frameRate > 0)) throw std::invalid_argument("a stream sound needs a frame rate");
}

std::string StreamSound::HeadTag() const {
  return SoundStreamHeadTag(format_, static_cast<std::uint16_t>(samplesPerFrame_));
}

std::size_t StreamSound::FrameStart(int frame) const {
  return std::min(samples_.size(), static_cast<std::size_t>(std::floor(frame * samplesPerFrame_)));
}

std::string StreamSound::BlockTag(int frame) const {
  const std::size_t start = FrameStart(frame);
  const std::size_t end = FrameStart(frame + 1);
  if (frame < 0 || start >= end) return {};
  return SoundStreamBlockTag(format_, std::span(samples_).subspan(start, end - start));
}

int StreamSound::FrameCount() const {
  return static_cast<int>(std::ceil(static_cast<double>(samples_.size()) / samplesPerFrame_));
}

}  // namespace tdwk::swf
