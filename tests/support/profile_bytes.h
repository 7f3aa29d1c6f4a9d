#pragma once

#include <cstring>
#include <string>

namespace tdwk::test {

// The bytes of a profile file: the serial date of birth, then 26 strings in file order with
// every text empty except the first name and the last name (already in the file code page).
inline std::string ProfileBytes(const std::string& firstName, const std::string& lastName = "",
                                double dob = 36526.0, const std::string& sex = "") {
  std::string bytes(8, '\0');
  std::memcpy(bytes.data(), &dob, 8);
  const auto text = [&](const std::string& value) {
    bytes += static_cast<char>(value.size() & 0xFF);
    bytes += static_cast<char>((value.size() >> 8) & 0xFF);
    bytes += value;
  };
  for (int field = 1; field <= 26; ++field) {
    if (field == 7) {
      text(firstName);
    } else if (field == 13) {
      text(lastName);
    } else if (field == 21) {
      text(sex);
    } else {
      text("");
    }
  }
  return bytes;
}

}  // namespace tdwk::test
