#include "swf/sound_synthesis.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tdwk::swf {

namespace {

std::int16_t ToSample(double value, double volume) {
  return static_cast<std::int16_t>(std::lround(std::clamp(value * volume, -1.0, 1.0) * 32767));
}

// A tone with its octave above, rising in a few milliseconds (so it does not crack) and fading.
void AddBell(Samples& out, double frequency, double seconds, int sampleRate, double volume) {
  const auto count = static_cast<std::size_t>(seconds * sampleRate);
  const double attack = 0.005 * sampleRate;
  for (std::size_t i = 0; i < count; ++i) {
    const double t = static_cast<double>(i) / sampleRate;
    double envelope = std::exp(-3.0 * t / std::max(seconds, 0.05));
    envelope *= std::min(1.0, static_cast<double>(i) / attack);
    envelope *= std::min(1.0, static_cast<double>(count - i) / attack);
    const double phase = 2 * std::numbers::pi * frequency * t;
    out.push_back(ToSample(envelope * (0.8 * std::sin(phase) + 0.2 * std::sin(2 * phase)), volume));
  }
}

}  // namespace

double Pitch(int semitonesFromA) {
  return 440.0 * std::pow(2.0, semitonesFromA / 12.0);
}

Samples Tune(const std::vector<Note>& notes, int sampleRate, double volume) {
  Samples out;
  for (const Note& note : notes) {
    if (note.frequency > 0) {
      AddBell(out, note.frequency, note.seconds, sampleRate, volume);
    } else {
      out.insert(out.end(), static_cast<std::size_t>(note.seconds * sampleRate), 0);
    }
  }
  return out;
}

Samples Click(int sampleRate, double volume) {
  Samples out;
  AddBell(out, 1800, 0.03, sampleRate, volume);
  return out;
}

}  // namespace tdwk::swf
