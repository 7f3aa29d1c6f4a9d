#include "swf/movie_reader.h"

#include <algorithm>

#include "swf/compression.h"
#include "swf/format_error.h"

namespace tdwk::swf {

namespace {

std::uint32_t U16At(std::string_view data, std::size_t at) {
  return static_cast<std::uint8_t>(data[at]) |
         static_cast<std::uint32_t>(static_cast<std::uint8_t>(data[at + 1])) << 8;
}

std::uint32_t U32At(std::string_view data, std::size_t at) {
  return U16At(data, at) | U16At(data, at + 2) << 16;
}

// Reads the bit-packed RECT that opens a movie's body; returns its size in bytes.
std::size_t ReadRect(std::string_view data, Rect& rect) {
  if (data.empty()) throw FormatError("truncated movie: no stage rectangle");
  int bits = static_cast<std::uint8_t>(data[0]) >> 3;
  std::size_t size = (5 + 4 * static_cast<std::size_t>(bits) + 7) / 8;
  if (data.size() < size) throw FormatError("truncated movie: stage rectangle cut short");
  std::size_t position = 5;
  auto field = [&]() {
    std::uint32_t value = 0;
    for (int i = 0; i < bits; ++i, ++position) {
      int bit = (static_cast<std::uint8_t>(data[position / 8]) >> (7 - position % 8)) & 1;
      value = value << 1 | static_cast<std::uint32_t>(bit);
    }
    // Sign-extend from the field's width.
    if (bits > 0 && (value >> (bits - 1)) & 1U) value |= ~0U << (bits - 1);
    return static_cast<std::int32_t>(value);
  };
  rect.xMin = field();
  rect.xMax = field();
  rect.yMin = field();
  rect.yMax = field();
  return size;
}

}  // namespace

std::vector<TagView> ReadTags(std::string_view tags) {
  std::vector<TagView> out;
  std::size_t at = 0;
  while (at < tags.size()) {
    if (tags.size() - at < 2) throw FormatError("truncated tag header at " + std::to_string(at));
    std::uint32_t codeAndLength = U16At(tags, at);
    std::uint16_t code = static_cast<std::uint16_t>(codeAndLength >> 6);
    std::size_t length = codeAndLength & 0x3F;
    at += 2;
    if (length == 0x3F) {
      if (tags.size() - at < 4) throw FormatError("truncated tag length at " + std::to_string(at));
      length = U32At(tags, at);
      at += 4;
    }
    if (tags.size() - at < length) {
      throw FormatError("tag " + std::to_string(code) + " at " + std::to_string(at) +
                        " runs past the end of the data");
    }
    out.push_back({code, tags.substr(at, length)});
    at += length;
    if (code == 0) break;
  }
  return out;
}

namespace {

// The eight bytes before the body: signature, version, declared length.
MovieHeader ReadFileHeader(std::string_view file) {
  if (file.size() < 8) throw FormatError("truncated movie: shorter than its header");
  MovieHeader header;
  if (file.substr(1, 2) != "WS") throw FormatError("not a movie: bad signature");
  switch (file[0]) {
    case 'F':
      header.compression = Compression::None;
      break;
    case 'C':
      header.compression = Compression::Zlib;
      break;
    case 'Z':
      header.compression = Compression::Lzma;
      break;
    default:
      throw FormatError("not a movie: bad signature");
  }
  header.version = static_cast<std::uint8_t>(file[3]);
  header.fileLength = U32At(file, 4);
  if (header.fileLength < 8 + 1 + 4) throw FormatError("declared length too small for a movie");
  if (header.fileLength > kMaxMovieLength) throw FormatError("declared length too large");
  return header;
}

// The body up to `limit` bytes, from as much of the file as is given.
std::string BodyPrefix(const MovieHeader& header, std::string_view file, std::size_t limit) {
  switch (header.compression) {
    case Compression::None:
      return std::string(file.substr(8, limit));
    case Compression::Zlib:
      return ZlibDecompressPrefix(file.substr(8), limit);
    case Compression::Lzma:
      if (file.size() < 12 + 5) throw FormatError("truncated movie: no LZMA properties");
      return LzmaDecompressPrefix(file.substr(12, 5), file.substr(17), limit);
  }
  return {};
}

// Stage, frame rate and frame count; returns where the tags begin.
std::size_t ReadStage(std::string_view body, MovieHeader& header) {
  const std::size_t rectSize = ReadRect(body, header.stage);
  if (body.size() < rectSize + 4) throw FormatError("truncated movie: no frame rate and count");
  header.frameRate = U16At(body, rectSize) / 256.0;
  header.frameCount = static_cast<std::uint16_t>(U16At(body, rectSize + 2));
  return rectSize + 4;
}

// The first SetBackgroundColor among the tags that lie whole in the data.
std::optional<Rgb> FindBackground(std::string_view tags) {
  std::size_t at = 0;
  while (tags.size() - at >= 2) {
    const std::uint32_t codeAndLength = U16At(tags, at);
    const std::uint16_t code = static_cast<std::uint16_t>(codeAndLength >> 6);
    std::size_t length = codeAndLength & 0x3F;
    at += 2;
    if (length == 0x3F) {
      if (tags.size() - at < 4) break;
      length = U32At(tags, at);
      at += 4;
    }
    if (code == 0 || tags.size() - at < length) break;
    if (code == 9 && length >= 3) {
      return Rgb{static_cast<std::uint8_t>(tags[at]), static_cast<std::uint8_t>(tags[at + 1]),
                 static_cast<std::uint8_t>(tags[at + 2])};
    }
    at += length;
  }
  return std::nullopt;
}

}  // namespace

Movie ReadMovie(std::string_view file) {
  Movie movie;
  MovieHeader& header = movie.header;
  header = ReadFileHeader(file);
  const std::size_t bodyLength = header.fileLength - 8;
  switch (header.compression) {
    case Compression::None:
      if (file.size() < header.fileLength) {
        throw FormatError("truncated movie: shorter than its declared length");
      }
      movie.body = file.substr(8, bodyLength);
      break;
    case Compression::Zlib:
      movie.body = ZlibDecompress(file.substr(8), bodyLength);
      break;
    case Compression::Lzma:
      if (file.size() < 12 + 5) throw FormatError("truncated movie: no LZMA properties");
      movie.body = LzmaDecompress(file.substr(12, 5), file.substr(17), bodyLength);
      break;
  }
  movie.tagsOffset = ReadStage(movie.body, header);
  // Every tag must lie within the body; the background is the first SetBackgroundColor.
  ReadTags(movie.Tags());
  header.background = FindBackground(movie.Tags());
  return movie;
}

MovieHeader ReadMovieHeader(std::string_view fileStart) {
  fileStart = fileStart.substr(0, kMovieHeaderBytes);
  MovieHeader header = ReadFileHeader(fileStart);
  const std::string body = BodyPrefix(
      header, fileStart, std::min<std::size_t>(header.fileLength - 8, kMovieHeaderBytes));
  const std::size_t tagsOffset = ReadStage(body, header);
  header.background = FindBackground(std::string_view(body).substr(tagsOffset));
  return header;
}

}  // namespace tdwk::swf
