#pragma once

#include <string>
#include <string_view>

namespace tdwk {

// The single-byte code page of the files (Windows-1252).
class CodePage {
 public:
  virtual ~CodePage() = default;
  // One byte per character of the UTF-8 text; a character the code page lacks becomes '?'.
  virtual std::string FromUtf8(std::string_view utf8) const = 0;
  virtual std::string ToUtf8(std::string_view bytes) const = 0;
};

}  // namespace tdwk
