// The movie header reader: any bytes give a header or a FormatError, never a crash or an
// over-read; the bridge built in front of any file is itself a readable movie.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "swf/bridge.h"
#include "swf/format_error.h"
#include "swf/movie_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view file(reinterpret_cast<const char*>(data), size);
  try {
    const tdwk::swf::Movie movie = tdwk::swf::ReadMovie(file);
    tdwk::swf::ReadTags(movie.Tags());
  } catch (const tdwk::swf::FormatError&) {
  }
  const std::string bridge = tdwk::swf::BuildBridgeMovie(file);
  tdwk::swf::ReadMovie(bridge);  // must not throw
  return 0;
}
