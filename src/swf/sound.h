#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tdwk::swf {

// Sound in movies: mono 16-bit samples, uncompressed or ADPCM-coded.
using Samples = std::vector<std::int16_t>;

enum class SoundRate : std::uint8_t { k5512 = 0, k11025 = 1, k22050 = 2, k44100 = 3 };
int SamplesPerSecond(SoundRate rate);

enum class SoundCoding : std::uint8_t { Adpcm = 1, Uncompressed = 3 };

struct SoundFormat {
  SoundCoding coding = SoundCoding::Adpcm;
  SoundRate rate = SoundRate::k22050;
};

// The samples as a movie stores them: little-endian for uncompressed sound; 4-bit ADPCM codes
// in packets of 4096 samples, each opening with its first sample and step index, otherwise.
std::string EncodeSamples(SoundFormat format, std::span<const std::int16_t> samples);

// An event sound, played whenever StartSound names it (several at once if asked again).
std::string DefineSoundTag(std::uint16_t id, SoundFormat format,
                           std::span<const std::int16_t> samples);
// Plays an event sound; loops > 1 repeats it.
std::string StartSoundTag(std::uint16_t id, std::uint16_t loops = 1);

// Sounds a button plays when it is pressed (0 for none).
std::string DefineButtonSoundTag(std::uint16_t buttonId, std::uint16_t pressSoundId);

// A stream sound: the head before the first frame, then one block a frame with the samples
// that play during that frame. The player keeps the timeline in step with the stream.
std::string SoundStreamHeadTag(SoundFormat format, std::uint16_t samplesPerFrame);
std::string SoundStreamBlockTag(SoundFormat format, std::span<const std::int16_t> samples);

// A stream sound over a timeline: its samples spread evenly over the frames at the frame rate.
class StreamSound {
 public:
  StreamSound(SoundFormat format, double frameRate, Samples samples);
  // Goes before the first frame's block.
  std::string HeadTag() const;
  // The block of a frame (zero-based); empty once the sound has ended.
  std::string BlockTag(int frame) const;
  // How many frames the sound lasts.
  int FrameCount() const;

 private:
  std::size_t FrameStart(int frame) const;

  SoundFormat format_;
  double samplesPerFrame_;
  Samples samples_;
};

}  // namespace tdwk::swf
