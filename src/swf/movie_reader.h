#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "swf/movie_writer.h"
#include "swf/types.h"

namespace tdwk::swf {

struct MovieHeader {
  Compression compression = Compression::None;
  std::uint8_t version = 0;
  std::uint32_t fileLength = 0;  // uncompressed, header included
  Rect stage;
  double frameRate = 0;
  std::uint16_t frameCount = 0;
  std::optional<Rgb> background;  // the first SetBackgroundColor, if any
};

struct TagView {
  std::uint16_t code = 0;
  std::string_view body;
};

struct Movie {
  MovieHeader header;
  std::string body;            // everything after the first eight bytes, decompressed
  std::size_t tagsOffset = 0;  // where the first tag begins in body
  std::string_view Tags() const { return std::string_view(body).substr(tagsOffset); }
};

// Largest uncompressed movie accepted, so a forged length cannot exhaust memory.
constexpr std::uint32_t kMaxMovieLength = 256U << 20;

// How many of a file's first bytes ReadMovieHeader looks at, and how much of the body it
// decompresses at most: the stage, the frame rate and the first tags lie well within them.
constexpr std::size_t kMovieHeaderBytes = 64U << 10;

// Reads a whole movie file. FormatError for a bad signature, a length that does not fit the
// data, corrupt compressed data or a tag running past the end.
Movie ReadMovie(std::string_view file);
// Reads the header from the file's first bytes (the whole file or only its first
// kMovieHeaderBytes), decompressing no more of the body than that. The background is found
// among the tags that lie whole within what was read. FormatError for a bad signature or
// declared length, corrupt compressed data, or too few bytes for the stage and frame rate.
MovieHeader ReadMovieHeader(std::string_view fileStart);

// The tag records of a tag stream up to and including End (or the end of the data).
// FormatError when a record runs past the end.
std::vector<TagView> ReadTags(std::string_view tags);

}  // namespace tdwk::swf
