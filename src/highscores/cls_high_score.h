#pragma once

#include <array>
#include <string>

namespace tdwk {

// One entry of a score table.
class clsHighScore {
 public:
  std::string Name;
  std::string Score;  // decimal text, exactly as stored
};

// Ten entries, the best first (entry 1 of the table is index 0).
using HighScoreTable = std::array<clsHighScore, 10>;

}  // namespace tdwk
