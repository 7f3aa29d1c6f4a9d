#include "highscores/high_score_screen.h"

#include "highscores/game_table.h"
#include "shell/shell.h"
#include "shell/trap.h"

namespace tdwk {

void HighScoreScreen::ShowHighScores(std::string basePath, std::string movieValue) {
  RunTrapped(shell_.errors, kFormModule, "ShowHighScores", [&] {
    FlashControl& main = shell_.frmTDWK.swfMain();
    // The instructions movie keeps the screen while it shows.
    if (main.Movie() == basePath + "/Menus/Instructions.swf") return;
    shell_.frmTDWK.LoadMovie(basePath + "/Menus/HighScores.swf", false);
    main.SetVariable("MOVIE", movieValue);
    // The screen takes the games in the order of the game table.
    for (const GameRow& game : kGameTable) {
      shell_.highScores.SetHighScore(std::string(game.identifier), std::string(game.variablePrefix),
                                     main);
    }
    main.Play();
  });
}

}  // namespace tdwk
