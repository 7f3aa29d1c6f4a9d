#include "highscores/high_scores.h"

#include <fmt/format.h>

#include <cmath>

#include "base/text.h"
#include "highscores/game_table.h"
#include "shell/shell.h"
#include "shell/trap.h"

namespace tdwk {

namespace {

// A number as the movies read it back: whole numbers without a fraction, "0" for zero.
std::string NumberText(double value) {
  if (value == 0.0) return "0";  // also for -0
  if (std::nearbyint(value) == value && std::fabs(value) < 1e15) {
    return DecimalText(static_cast<long long>(value));
  }
  return fmt::format("{}", value);
}

}  // namespace

std::string HighScores::TablePath(const std::string& gameIdentifier) const {
  return shell_.state.appPath + "High Scores/" + gameIdentifier + ".dat";
}

std::string HighScores::WithoutAppPath(const std::string& moviePath) const {
  // Whether the path really begins with appPath is not tested: if it does not, what is left
  // names no game.
  const std::size_t cut = shell_.state.appPath.size();
  return moviePath.size() > cut ? moviePath.substr(cut) : std::string();
}

void HighScores::CheckHighScore(std::string moviePath, std::string scoreText) {
  RunTrapped(shell_.errors, kFormModule, "CheckHighScore", [&] {
    const std::string relativePath = WithoutAppPath(moviePath);
    const GameRow* game = FindGameByMovie(relativePath);
    // An unknown movie still reads "<High Scores>/.dat", which fails and is logged.
    const std::string identifier = game != nullptr ? std::string(game->identifier) : "";
    std::optional<HighScoreTable> table = GetHighScores(identifier);
    if (table) {
      const std::int16_t score = ToInteger16(LeadingNumber(scoreText));
      if (LeadingNumber((*table)[9].Score) < score) ShowHighScore(identifier, *table, score);
    }
    const std::string topScore = GetTopScore(relativePath, false);
    shell_.frmTDWK.swfMain().SetVariable("TOP_SCORE", NumberText(LeadingNumber(topScore)));
  });
}

std::optional<HighScoreTable> HighScores::GetHighScores(std::string gameIdentifier) {
  return Trapped(shell_.errors, kFormModule, "GetHighScores", [&] {
    BinaryReader file(shell_.platform.files.ReadFile(TablePath(gameIdentifier)));
    // A file that ends early gives empty strings for the rest; bytes after the twentieth
    // string are ignored.
    std::optional<HighScoreTable> table(std::in_place);
    for (clsHighScore& entry : *table) {
      entry.Name = shell_.profiles.ReadStringFromBinaryFile(file);
      entry.Score = shell_.profiles.ReadStringFromBinaryFile(file);
    }
    return table;
  });
}

std::string HighScores::GetTopScore(std::string moviePath, bool stripAppPath) {
  return Trapped(shell_.errors, kFormModule, "GetTopScore", [&] {
    const std::string path = stripAppPath ? WithoutAppPath(moviePath) : moviePath;
    const GameRow* game = FindGameByMovie(path);
    if (game == nullptr) return std::string();
    const std::optional<HighScoreTable> table = GetHighScores(std::string(game->identifier));
    return table ? (*table)[0].Score : std::string();
  });
}

void HighScores::ShowHighScore(std::string gameIdentifier, HighScoreTable& table,
                               std::int16_t score) {
  RunTrapped(shell_.errors, kFormModule, "ShowHighScore", [&] {
    // The new entry goes directly below the last one that is at least as good: of equal
    // scores the older stays above.
    for (std::size_t i = table.size(); i >= 1; --i) {
      clsHighScore& entry = table[i - 1];
      if (LeadingNumber(entry.Score) >= score) break;
      if (i < table.size()) {
        table[i].Score = entry.Score;
        table[i].Name = entry.Name;
      }
      entry.Score = DecimalText(score);
      const auto& child = shell_.state.currentChild;
      if (!child) Raise(vb::kObjectNotSet);
      entry.Name = child->firstName;
    }

    BinaryWriter file;
    bool problems = false;
    for (const clsHighScore& entry : table) {
      if (!shell_.profiles.WriteStringToBinaryFile(file, entry.Name)) problems = true;
      if (!shell_.profiles.WriteStringToBinaryFile(file, entry.Score)) problems = true;
    }
    if (problems) {
      // A table that cannot be stored whole is not written at all: the old file stays.
      shell_.errors.WriteLog("There were problems writing the high scores to " + gameIdentifier +
                             ".dat");
      return;
    }
    FileSystem& files = shell_.platform.files;
    const std::string path = TablePath(gameIdentifier);
    if (files.Exists(path)) files.ResetAttributes(path);
    files.ReplaceFile(path, file.Bytes());
  });
}

void HighScores::SetHighScore(std::string gameIdentifier, std::string variablePrefix,
                              FlashControl& flashControl) {
  RunTrapped(shell_.errors, kFormModule, "SetHighScore", [&] {
    const std::optional<HighScoreTable> table = GetHighScores(gameIdentifier);
    if (!table) return;
    for (std::size_t n = 1; n <= table->size(); ++n) {
      const clsHighScore& entry = (*table)[n - 1];
      const std::string number = DecimalText(static_cast<long long>(n));
      flashControl.SetVariable(variablePrefix + "_NAME_" + number, entry.Name);
      flashControl.SetVariable(variablePrefix + "_SCORE_" + number, entry.Score);
    }
  });
}

}  // namespace tdwk
