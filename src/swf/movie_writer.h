#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "swf/types.h"

namespace tdwk::swf {

enum class Compression { None, Zlib, Lzma };

// Collects a movie's root tags and writes the file: FWS, or CWS when compressed.
class MovieWriter {
 public:
  MovieWriter(std::uint8_t version, Rect stage, double frameRate)
      : version_(version), stage_(stage), frameRate_(frameRate) {}

  void Add(std::string_view tagRecord) { tags_.append(tagRecord); }
  // Ends the current frame.
  void ShowFrame();
  std::uint16_t FrameCount() const { return frameCount_; }

  // The whole file; the End tag is appended.
  std::string Finish(Compression compression = Compression::None) const;

 private:
  std::uint8_t version_;
  Rect stage_;
  double frameRate_;
  std::uint16_t frameCount_ = 0;
  std::string tags_;
};

// The same movie in another form: an uncompressed (FWS) file made CWS or ZWS.
std::string CompressMovie(std::string_view uncompressedFile, Compression compression);

}  // namespace tdwk::swf
