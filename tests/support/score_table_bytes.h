#pragma once

#include <string>
#include <utility>
#include <vector>

namespace tdwk::test {

// One binary string of a score file: a 16-bit little-endian length, then the bytes.
inline std::string StoredText(const std::string& text) {
  std::string bytes;
  bytes += static_cast<char>(text.size() & 0xFF);
  bytes += static_cast<char>((text.size() >> 8) & 0xFF);
  return bytes + text;
}

// The bytes of a score file holding these name and score pairs, in order.
inline std::string TableBytes(const std::vector<std::pair<std::string, std::string>>& entries) {
  std::string bytes;
  for (const auto& [name, score] : entries) bytes += StoredText(name) + StoredText(score);
  return bytes;
}

// Ten entries named A to J with these scores, best first.
inline std::vector<std::pair<std::string, std::string>> Ranked(
    const std::vector<std::string>& scores) {
  std::vector<std::pair<std::string, std::string>> entries;
  for (std::size_t i = 0; i < scores.size(); ++i) {
    entries.emplace_back(std::string(1, static_cast<char>('A' + i)), scores[i]);
  }
  return entries;
}

}  // namespace tdwk::test
