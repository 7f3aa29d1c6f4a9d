#pragma once

#include <vector>

#include "swf/sound.h"

namespace tdwk::swf {

// Sounds made from numbers, for movies that carry no recorded sound.
struct Note {
  double frequency = 0;  // hertz; 0 for a rest
  double seconds = 0;
};

// The frequency of the note this many semitones above (or below) the A at 440 Hz.
double Pitch(int semitonesFromA);

// Notes one after another, each a soft bell-like tone that fades, never louder than the
// volume (0 to 1 of full scale).
Samples Tune(const std::vector<Note>& notes, int sampleRate, double volume = 0.5);
// A short tick, as a button makes when pressed.
Samples Click(int sampleRate, double volume = 0.5);

}  // namespace tdwk::swf
