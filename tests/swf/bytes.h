#pragma once

#include <string>
#include <string_view>

namespace tdwk::swf::test {

// Bytes from hex pairs, blanks ignored: "43 02 FF".
inline std::string Hex(std::string_view hex) {
  std::string out;
  int high = -1;
  for (char c : hex) {
    int value = c >= '0' && c <= '9'   ? c - '0'
                : c >= 'A' && c <= 'F' ? c - 'A' + 10
                : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                       : -1;
    if (value < 0) continue;
    if (high < 0) {
      high = value;
    } else {
      out.push_back(static_cast<char>(high << 4 | value));
      high = -1;
    }
  }
  return out;
}

// Bytes from a bit string, most significant bit first, padded with zeros; blanks ignored.
inline std::string Bits(std::string_view bits) {
  std::string out;
  int count = 0;
  unsigned current = 0;
  for (char c : bits) {
    if (c != '0' && c != '1') continue;
    current = current << 1 | static_cast<unsigned>(c - '0');
    if (++count == 8) {
      out.push_back(static_cast<char>(current));
      current = 0;
      count = 0;
    }
  }
  if (count > 0) out.push_back(static_cast<char>(current << (8 - count)));
  return out;
}

inline std::string ToHex(std::string_view bytes) {
  static const char* digits = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : bytes) {
    if (!out.empty()) out += ' ';
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

}  // namespace tdwk::swf::test
