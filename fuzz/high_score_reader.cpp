// The score-table reader: any file content reads as a table or as nothing; a table that was
// read takes a new score and is written back whole, reading again exactly as it was left;
// checking a score over any file never leaves a torn table.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "support/data_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static tdwk::fuzzing::FuzzShell fuzz;
  tdwk::Shell& shell = fuzz.shell();
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  fuzz.WriteFile("High Scores/PEGS.dat", bytes);
  fuzz.WriteFile("High Scores/HUNGRY_FROGS.dat", bytes);

  auto table = shell.highScores.GetHighScores("PEGS");
  if (table) {
    shell.state.currentChild.emplace();
    shell.state.currentChild->firstName = "Fuzz";
    // A score taken from the input, so that it lands anywhere in the table.
    const auto score = static_cast<std::int16_t>(size > 0 ? data[0] * 131 - 16000 : 0);
    shell.highScores.ShowHighScore("PEGS", *table, score);
    const auto again = shell.highScores.GetHighScores("PEGS");
    if (!again) __builtin_trap();
    for (std::size_t i = 0; i < table->size(); ++i) {
      if ((*again)[i].Name != (*table)[i].Name || (*again)[i].Score != (*table)[i].Score) {
        __builtin_trap();
      }
    }
    shell.highScores.SetHighScore("PEGS", "PEGS", shell.frmTDWK.swfMain());
  }

  // The whole path a game's score takes, with the score text from the input as well.
  shell.state.currentChild.reset();
  if (size % 2 == 0) {
    shell.state.currentChild.emplace();
    shell.state.currentChild->firstName = bytes.substr(0, 8);
  }
  shell.highScores.CheckHighScore(fuzz.AppPath() + "/Games/Snake.swf", bytes.substr(0, 24));
  const std::string after = fuzz.ReadFile("High Scores/HUNGRY_FROGS.dat");
  if (after != bytes && !tdwk::test::DecodeTable(after)) __builtin_trap();
  return 0;
}
