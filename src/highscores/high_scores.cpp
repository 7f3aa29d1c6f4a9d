#include "highscores/high_scores.h"

#include "shell/shell.h"

namespace tdwk {

void HighScores::CheckHighScore(std::string, std::string) {}
std::optional<HighScoreTable> HighScores::GetHighScores(std::string) { return std::nullopt; }
std::string HighScores::GetTopScore(std::string, bool) { return {}; }
void HighScores::ShowHighScore(std::string, HighScoreTable&, std::int16_t) {}
void HighScores::SetHighScore(std::string, std::string, FlashControl&) {}

}  // namespace tdwk
