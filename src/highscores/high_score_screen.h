#pragma once

#include <string>

namespace tdwk {

class Shell;

// The screen with every game's table (frmTDWK).
class HighScoreScreen {
 public:
  explicit HighScoreScreen(Shell& shell) : shell_(shell) {}

  void ShowHighScores(std::string basePath, std::string movieValue);

 private:
  Shell& shell_;
};

}  // namespace tdwk
