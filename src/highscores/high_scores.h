#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "highscores/cls_high_score.h"
#include "platform/flash_control.h"
#include "profiles/binary_string.h"

namespace tdwk {

class Shell;

// Ten names and ten scores of the longest length: no table file is any larger.
inline constexpr std::size_t kLargestScoreFile = LargestStoredStrings(20);

// The score tables of the games and their files (frmTDWK).
class HighScores {
 public:
  explicit HighScores(Shell& shell) : shell_(shell) {}

  void CheckHighScore(std::string moviePath, std::string scoreText);
  std::optional<HighScoreTable> GetHighScores(std::string gameIdentifier);
  std::string GetTopScore(std::string moviePath, bool stripAppPath);
  void ShowHighScore(std::string gameIdentifier, HighScoreTable& table, std::int16_t score);
  void SetHighScore(std::string gameIdentifier, std::string variablePrefix,
                    FlashControl& flashControl);

  // appPath + "High Scores/" + identifier + ".dat"
  std::string TablePath(const std::string& gameIdentifier) const;

 private:
  // The movie path without as many leading characters as appPath has.
  std::string WithoutAppPath(const std::string& moviePath) const;

  Shell& shell_;
};

}  // namespace tdwk
