#pragma once

#include <chrono>
#include <cstddef>
#include <string>

#include "support/temp_folder.h"

namespace tdwk::test {

// A sound server of the test process's own: PulseAudio with one null sink, in a private
// runtime folder, its output recorded from the start at 8000 mono 16-bit samples a second.
// Programs the test starts afterwards play into it (PULSE_SERVER is set).
class PulseSink {
 public:
  static constexpr int kRate = 8000;

  PulseSink();
  ~PulseSink();
  PulseSink(const PulseSink&) = delete;
  PulseSink& operator=(const PulseSink&) = delete;

  // Samples recorded so far.
  std::size_t Recorded() const;
  // Waits until this many samples have been recorded; false when they were not in time.
  bool WaitUntilRecorded(std::size_t samples, std::chrono::milliseconds timeout) const;
  // The loudest sample recorded between two positions (0 to 32768).
  int Peak(std::size_t from, std::size_t to) const;

 private:
  TempFolder runtime_;
  std::string recording_;
  int server_ = -1;
  int recorder_ = -1;
};

// Whether the sound server and its recorder are installed.
bool PulseInstalled();
// The one sink of the test process, started on first use.
PulseSink& TestSink();

}  // namespace tdwk::test
