#pragma once

#include <string>
#include <string_view>

#include "platform/code_page.h"

namespace tdwk {

class Windows1252CodePage : public CodePage {
 public:
  Windows1252CodePage();
  std::string FromUtf8(std::string_view utf8) const override;
  std::string ToUtf8(std::string_view bytes) const override;

 private:
  char32_t toUnicode_[256];
};

}  // namespace tdwk
