#pragma once

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace tdwk::swf::test {

struct Action {
  std::size_t at = 0;
  std::uint8_t code = 0;
  std::string_view payload;
};

// Walks an action block up to its end flag. Returns an empty string when it is well formed:
// every record inside the block, an end flag, function bodies inside the block and every
// jump landing on the start of a record; otherwise what is wrong.
inline std::string CheckActions(std::string_view block, std::vector<Action>* actions = nullptr) {
  std::set<std::size_t> starts;
  std::vector<std::size_t> targets;
  std::size_t at = 0;
  bool ended = false;
  while (at < block.size()) {
    std::size_t start = at;
    starts.insert(start);
    auto code = static_cast<std::uint8_t>(block[at++]);
    if (code == 0) {
      ended = true;
      break;
    }
    std::string_view payload;
    if (code >= 0x80) {
      if (block.size() - at < 2) return "record header cut short at " + std::to_string(start);
      std::size_t length = static_cast<std::uint8_t>(block[at]) |
                           static_cast<std::size_t>(static_cast<std::uint8_t>(block[at + 1])) << 8;
      at += 2;
      if (block.size() - at < length)
        return "record runs past the block at " + std::to_string(start);
      payload = block.substr(at, length);
      at += length;
      auto u16 = [&](std::size_t i) {
        return static_cast<std::uint8_t>(payload[i]) |
               static_cast<std::size_t>(static_cast<std::uint8_t>(payload[i + 1])) << 8;
      };
      if (code == 0x99 || code == 0x9D) {
        if (length != 2) return "jump with a bad length";
        auto offset = static_cast<std::int16_t>(u16(0));
        targets.push_back(static_cast<std::size_t>(static_cast<std::ptrdiff_t>(at) + offset));
      }
      if (code == 0x9B || code == 0x8E) {
        if (length < 2) return "function with a bad length";
        std::size_t body = u16(length - 2);
        if (block.size() - at < body) return "function body runs past the block";
      }
    }
    if (actions != nullptr) actions->push_back({start, code, payload});
  }
  if (!ended) return "no end flag";
  for (std::size_t target : targets) {
    if (starts.count(target) == 0) return "jump to " + std::to_string(target) + " is mid-record";
  }
  return "";
}

}  // namespace tdwk::swf::test
