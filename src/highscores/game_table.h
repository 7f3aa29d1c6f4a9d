#pragma once

#include <array>
#include <string_view>

namespace tdwk {

struct GameRow {
  std::string_view identifier;  // names the score file
  std::string_view movie;       // relative to appPath, beginning with '/'
  std::string_view launchKey;   // the argument of vbLoadMovie that starts it
  std::string_view variablePrefix;
};

// The ten games, in the order every lookup tests them.
inline constexpr std::array<GameRow, 10> kGameTable{{
    {"HANG_SCAB", "/Games/Hangscab.swf", "HANG_SCAB", "SCAB"},
    {"FROGGY_UPPY", "/Games/FroggyUppy.swf", "FROGGY_UPPY", "FROGGY"},
    {"JIGSAW", "/Games/Jigsaw.swf", "JIGSAW", "JIGSAW"},
    {"PEGS", "/Games/Pegs.swf", "PEGS", "PEGS"},
    {"DEDUCTION", "/Games/Deduction.swf", "DEDUCTION", "DEDUCTION"},
    {"PAIRS", "/Games/Pairs.swf", "PAIRS", "PAIRS"},
    {"PADDLE_BALL", "/Games/breakout.swf", "PADDLE", "PADDLE"},
    {"MEMORY", "/Games/Memory.swf", "MEMORY", "MEMORY"},
    {"HUNGRY_FROGS", "/Games/Snake.swf", "SNAKE", "SNAKE"},
    {"TIC_TAC_TOE", "/Games/TicTacToe.swf", "TIC_TAC_TOE", "TIC"},
}};

// The game whose movie column equals the relative path exactly; nullptr for none.
constexpr const GameRow* FindGameByMovie(std::string_view relativePath) {
  for (const GameRow& row : kGameTable) {
    if (row.movie == relativePath) return &row;
  }
  return nullptr;
}

constexpr const GameRow* FindGameByLaunchKey(std::string_view key) {
  for (const GameRow& row : kGameTable) {
    if (row.launchKey == key) return &row;
  }
  return nullptr;
}

}  // namespace tdwk
