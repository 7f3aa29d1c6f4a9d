#include "swf/compression.h"

#include <lzma.h>
#include <zlib.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>

#include "swf/format_error.h"

namespace tdwk::swf {

namespace {

constexpr std::size_t kChunk = 1 << 16;

const Bytef* ZlibIn(std::string_view data) {
  return reinterpret_cast<const Bytef*>(data.data());
}

class LzmaStream {
 public:
  LzmaStream() = default;
  LzmaStream(const LzmaStream&) = delete;
  LzmaStream& operator=(const LzmaStream&) = delete;
  ~LzmaStream() { lzma_end(&stream_); }
  lzma_stream* operator->() { return &stream_; }
  lzma_stream* get() { return &stream_; }

 private:
  lzma_stream stream_ = LZMA_STREAM_INIT;
};

}  // namespace

std::string ZlibCompress(std::string_view data) {
  uLongf size = compressBound(static_cast<uLong>(data.size()));
  std::string out(size, '\0');
  if (compress2(reinterpret_cast<Bytef*>(out.data()), &size, ZlibIn(data),
                static_cast<uLong>(data.size()), Z_BEST_COMPRESSION) != Z_OK) {
    throw std::runtime_error("zlib compression failed");
  }
  out.resize(size);
  return out;
}

std::string ZlibDecompressPrefix(std::string_view data, std::size_t limit) {
  z_stream stream{};
  if (inflateInit(&stream) != Z_OK) throw std::runtime_error("zlib initialisation failed");
  stream.next_in = const_cast<Bytef*>(ZlibIn(data));
  stream.avail_in = static_cast<uInt>(std::min<std::size_t>(data.size(), UINT32_MAX));
  std::string out;
  Bytef buffer[kChunk];
  int result = Z_OK;
  while (out.size() < limit && result == Z_OK) {
    const std::size_t want = std::min(limit - out.size(), sizeof buffer);
    stream.next_out = buffer;
    stream.avail_out = static_cast<uInt>(want);
    result = inflate(&stream, Z_NO_FLUSH);
    out.append(reinterpret_cast<const char*>(buffer), want - stream.avail_out);
  }
  inflateEnd(&stream);
  // Z_BUF_ERROR: the data given ends here; what came of it stands.
  if (result == Z_DATA_ERROR || result == Z_NEED_DICT || result == Z_MEM_ERROR) {
    throw FormatError("corrupt zlib data");
  }
  return out;
}

std::string ZlibDecompress(std::string_view data, std::size_t size) {
  std::string out = ZlibDecompressPrefix(data, size);
  if (out.size() < size) throw FormatError("compressed data ends before the declared length");
  return out;
}

std::string LzmaCompress(std::string_view data) {
  lzma_options_lzma options;
  if (lzma_lzma_preset(&options, 6) != 0) throw std::runtime_error("lzma preset failed");
  lzma_filter filters[] = {{LZMA_FILTER_LZMA1, &options}, {LZMA_VLI_UNKNOWN, nullptr}};
  std::uint32_t propertiesSize = 0;
  if (lzma_properties_size(&propertiesSize, filters) != LZMA_OK || propertiesSize != 5) {
    throw std::runtime_error("lzma properties failed");
  }
  std::string out(5, '\0');
  lzma_properties_encode(filters, reinterpret_cast<std::uint8_t*>(out.data()));

  LzmaStream stream;
  if (lzma_raw_encoder(stream.get(), filters) != LZMA_OK) {
    throw std::runtime_error("lzma initialisation failed");
  }
  stream->next_in = reinterpret_cast<const std::uint8_t*>(data.data());
  stream->avail_in = data.size();
  std::uint8_t buffer[1 << 14];
  lzma_ret result = LZMA_OK;
  while (result == LZMA_OK) {
    stream->next_out = buffer;
    stream->avail_out = sizeof buffer;
    result = lzma_code(stream.get(), LZMA_FINISH);
    out.append(reinterpret_cast<const char*>(buffer), sizeof buffer - stream->avail_out);
  }
  if (result != LZMA_STREAM_END) throw std::runtime_error("lzma compression failed");
  return out;
}

std::string LzmaDecompressPrefix(std::string_view properties, std::string_view data,
                                 std::size_t limit) {
  lzma_filter filters[] = {{LZMA_FILTER_LZMA1, nullptr}, {LZMA_VLI_UNKNOWN, nullptr}};
  if (lzma_properties_decode(&filters[0], nullptr,
                             reinterpret_cast<const std::uint8_t*>(properties.data()),
                             properties.size()) != LZMA_OK) {
    throw FormatError("bad LZMA properties");
  }
  LzmaStream stream;
  lzma_ret init = lzma_raw_decoder(stream.get(), filters);
  std::free(filters[0].options);
  if (init != LZMA_OK) throw FormatError("bad LZMA properties");

  std::string out;
  std::uint8_t buffer[kChunk];
  stream->next_in = reinterpret_cast<const std::uint8_t*>(data.data());
  stream->avail_in = data.size();
  lzma_ret result = LZMA_OK;
  // The data may or may not end with an end marker: stop as soon as the limit is reached or
  // nothing more comes of the data.
  while (out.size() < limit && result == LZMA_OK) {
    const std::size_t want = std::min(limit - out.size(), sizeof buffer);
    stream->next_out = buffer;
    stream->avail_out = want;
    const std::size_t inBefore = stream->avail_in;
    result = lzma_code(stream.get(), LZMA_RUN);
    const std::size_t produced = want - stream->avail_out;
    out.append(reinterpret_cast<const char*>(buffer), produced);
    if (result == LZMA_OK && produced == 0 && stream->avail_in == inBefore) break;
  }
  if (result != LZMA_OK && result != LZMA_STREAM_END && result != LZMA_BUF_ERROR) {
    throw FormatError("corrupt LZMA data");
  }
  return out;
}

std::string LzmaDecompress(std::string_view properties, std::string_view data, std::size_t size) {
  std::string out = LzmaDecompressPrefix(properties, data, size);
  if (out.size() < size) throw FormatError("compressed data ends before the declared length");
  return out;
}

}  // namespace tdwk::swf
