// The starting tables: ten made-up players per game, best first.

#include <array>

#include "demo_movies.h"

namespace tdwk::demo {

namespace {

// A stored string: signed 16-bit little-endian length, then one byte a character.
void AppendString(std::string& out, const std::string& text) {
  auto length = static_cast<std::uint16_t>(text.size());
  out.push_back(static_cast<char>(length & 0xFF));
  out.push_back(static_cast<char>(length >> 8));
  out += text;
}

constexpr std::array<const char*, 10> kNames = {"Poppy",  "Alfie", "Isla", "Oscar", "Ruby",
                                                "Archie", "Freya", "Leo",  "Daisy", "Finn"};

}  // namespace

std::vector<DemoFile> HighScoreFiles() {
  static const std::array<const char*, 10> kGames = {
      "HANG_SCAB", "FROGGY_UPPY", "JIGSAW", "PEGS",         "DEDUCTION",
      "PAIRS",     "PADDLE_BALL", "MEMORY", "HUNGRY_FROGS", "TIC_TAC_TOE"};
  std::vector<DemoFile> files;
  for (std::size_t game = 0; game < kGames.size(); ++game) {
    std::string bytes;
    for (std::size_t entry = 0; entry < 10; ++entry) {
      AppendString(bytes, kNames[(entry + game * 3) % kNames.size()]);
      AppendString(bytes, std::to_string(20 - 2 * static_cast<int>(entry)));
    }
    files.push_back({std::string("High Scores/") + kGames[game] + ".dat", bytes});
  }
  return files;
}

}  // namespace tdwk::demo
