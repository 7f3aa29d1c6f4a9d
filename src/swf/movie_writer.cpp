#include "swf/movie_writer.h"

#include <cmath>
#include <stdexcept>

#include "swf/byte_writer.h"
#include "swf/compression.h"
#include "swf/tags.h"

namespace tdwk::swf {

void MovieWriter::ShowFrame() {
  tags_ += ShowFrameTag();
  ++frameCount_;
}

std::string MovieWriter::Finish(Compression compression) const {
  ByteWriter body;
  body.Rectangle(stage_);
  body.U16(static_cast<std::uint16_t>(std::lround(frameRate_ * 256.0)));  // 8.8 fixed point
  body.U16(frameCount_);
  body.Append(tags_);
  body.Append(EndTag());

  ByteWriter file;
  file.Append("FWS");
  file.U8(version_);
  file.U32(static_cast<std::uint32_t>(8 + body.Size()));
  file.Append(body.Bytes());
  return compression == Compression::None ? file.Bytes() : CompressMovie(file.Bytes(), compression);
}

std::string CompressMovie(std::string_view uncompressedFile, Compression compression) {
  if (uncompressedFile.size() < 8 || uncompressedFile.substr(0, 3) != "FWS") {
    throw std::invalid_argument("not an uncompressed movie");
  }
  std::string_view header = uncompressedFile.substr(0, 8);
  std::string_view body = uncompressedFile.substr(8);
  std::string out(header);
  switch (compression) {
    case Compression::None:
      out += body;
      break;
    case Compression::Zlib:
      out[0] = 'C';
      out += ZlibCompress(body);
      break;
    case Compression::Lzma: {
      out[0] = 'Z';
      std::string packed = LzmaCompress(body);  // properties, then data
      ByteWriter length;
      length.U32(static_cast<std::uint32_t>(packed.size() - 5));
      out += length.Bytes();
      out += packed;
      break;
    }
  }
  return out;
}

}  // namespace tdwk::swf
