#include "swf/compression.h"

#include <lzma.h>
#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <stdexcept>

#include "swf/format_error.h"

namespace tdwk::swf {

namespace {

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

std::string ZlibDecompress(std::string_view data, std::size_t size) {
  std::string out(size, '\0');
  z_stream stream{};
  if (inflateInit(&stream) != Z_OK) throw std::runtime_error("zlib initialisation failed");
  stream.next_in = const_cast<Bytef*>(ZlibIn(data));
  stream.avail_in = static_cast<uInt>(data.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(size);
  int result = Z_OK;
  while (stream.avail_out > 0 && result == Z_OK) result = inflate(&stream, Z_NO_FLUSH);
  std::size_t produced = size - stream.avail_out;
  inflateEnd(&stream);
  if (result == Z_DATA_ERROR || result == Z_NEED_DICT || result == Z_MEM_ERROR) {
    throw FormatError("corrupt zlib data");
  }
  if (produced < size) throw FormatError("compressed data ends before the declared length");
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

std::string LzmaDecompress(std::string_view properties, std::string_view data, std::size_t size) {
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

  std::string out(size, '\0');
  stream->next_in = reinterpret_cast<const std::uint8_t*>(data.data());
  stream->avail_in = data.size();
  stream->next_out = reinterpret_cast<std::uint8_t*>(out.data());
  stream->avail_out = size;
  lzma_ret result = LZMA_OK;
  // The data may or may not end with an end marker: stop as soon as the length is reached.
  while (stream->avail_out > 0 && result == LZMA_OK) {
    std::size_t before = stream->avail_in + stream->avail_out;
    result = lzma_code(stream.get(), LZMA_RUN);
    if (result == LZMA_OK && stream->avail_in + stream->avail_out == before) break;
  }
  if (result != LZMA_OK && result != LZMA_STREAM_END && result != LZMA_BUF_ERROR) {
    throw FormatError("corrupt LZMA data");
  }
  if (stream->avail_out > 0) throw FormatError("compressed data ends before the declared length");
  return out;
}

}  // namespace tdwk::swf
