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

// Decompress at most `limit` bytes from what there is of the data (the first bytes of a file,
// say): fewer when the data ends first. FormatError only when the data is corrupt. The output
// grows as it is produced; nothing of `limit` is allocated up front.
std::string ZlibDecompressPrefix(std::string_view data, std::size_t limit);
std::string LzmaDecompressPrefix(std::string_view properties, std::string_view data,
                                 std::size_t limit);

}  // namespace tdwk::swf
