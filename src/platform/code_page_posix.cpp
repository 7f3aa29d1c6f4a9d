#include <iconv.h>

#include "base/text.h"
#include "platform/code_page_posix.h"

namespace tdwk {

namespace {

// What iconv makes of one Windows-1252 byte; the five bytes the code page leaves undefined
// keep their own value so that every byte reads back as it was.
char32_t DecodeByte(iconv_t converter, unsigned char byte) {
  char in[1] = {static_cast<char>(byte)};
  char32_t out[1] = {byte};
  char* inPointer = in;
  char* outPointer = reinterpret_cast<char*>(out);
  std::size_t inLeft = 1, outLeft = sizeof out;
  if (converter == reinterpret_cast<iconv_t>(-1) ||
      ::iconv(converter, &inPointer, &inLeft, &outPointer, &outLeft) == static_cast<size_t>(-1)) {
    return byte;
  }
  return out[0];
}

}  // namespace

Windows1252CodePage::Windows1252CodePage() {
  iconv_t converter = ::iconv_open("UTF-32LE", "WINDOWS-1252");
  for (int byte = 0; byte < 256; ++byte) {
    toUnicode_[byte] = DecodeByte(converter, static_cast<unsigned char>(byte));
  }
  if (converter != reinterpret_cast<iconv_t>(-1)) ::iconv_close(converter);
}

std::string Windows1252CodePage::FromUtf8(std::string_view utf8) const {
  std::string bytes;
  bytes.reserve(utf8.size());
  for (const char32_t c : DecodeUtf8(utf8)) {
    if (c < 0x80) {
      bytes += static_cast<char>(c);
      continue;
    }
    if (c >= 0xA0 && c <= 0xFF) {  // the Latin-1 half holds its own code points
      bytes += static_cast<char>(c);
      continue;
    }
    char byte = '?';
    for (int candidate = 0x80; candidate < 0xA0; ++candidate) {
      if (toUnicode_[candidate] == c) {
        byte = static_cast<char>(candidate);
        break;
      }
    }
    bytes += byte;
  }
  return bytes;
}

std::string Windows1252CodePage::ToUtf8(std::string_view bytes) const {
  std::string utf8;
  utf8.reserve(bytes.size());
  for (const char byte : bytes) {
    const auto value = static_cast<unsigned char>(byte);
    if (value < 0x80) {
      utf8 += byte;
    } else {
      utf8 += EncodeUtf8(toUnicode_[value]);
    }
  }
  return utf8;
}

}  // namespace tdwk
