#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tdwk::swf {

// The compressed bodies of CWS (a zlib stream) and ZWS (five LZMA properties bytes, then raw
// LZMA data) movies.
std::string ZlibCompress(std::string_view data);
std::string LzmaCompress(std::string_view data);

// Decompress exactly `size` bytes; FormatError when the data is corrupt or ends first.
std::string ZlibDecompress(std::string_view data, std::size_t size);
std::string LzmaDecompress(std::string_view properties, std::string_view data, std::size_t size);

}  // namespace tdwk::swf
