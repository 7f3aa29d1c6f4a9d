#pragma once

#include <stdexcept>
#include <string>

namespace tdwk::swf {

// A movie's bytes that do not follow the SWF layout (bad signature, truncated, corrupt data).
class FormatError : public std::runtime_error {
 public:
  explicit FormatError(const std::string& what) : std::runtime_error(what) {}
};

}  // namespace tdwk::swf
