// The ten games share one mechanic, each with its own title and look: something pops up
// around the board, and every click on it scores a point for twenty seconds.

#include <array>

#include "demo_movies.h"
#include "movie_kit.h"
#include "swf/sound_synthesis.h"

namespace tdwk::demo {

namespace {

constexpr int kRoundMilliseconds = 20000;
constexpr std::uint16_t kPlayFrame = 1;
constexpr int kBoardTop = 90;

struct Game {
  const char* path;
  const char* title;
  const char* howTo;
  const char* target;
  Rgb background;
  Rgba targetColour;
  unsigned bannerColour;
  int targetSize;
  int moveMilliseconds;
};

const std::array<Game, 10> kGames = {{
    {"Games/Hangscab.swf",
     "Hang Scab",
     "Pick the scabs before they heal!",
     "Scab",
     {255, 230, 230},
     colour::kRed,
     0,
     110,
     1400},
    {"Games/FroggyUppy.swf",
     "Froggy Uppy",
     "Catch the frog when it jumps up!",
     "Frog",
     {220, 255, 220},
     colour::kGreen,
     2,
     110,
     1200},
    {"Games/Jigsaw.swf",
     "Jigsaw",
     "Grab the jigsaw pieces!",
     "Piece",
     {230, 240, 255},
     colour::kBlue,
     4,
     120,
     1500},
    {"Games/Pegs.swf",
     "Pegs",
     "Tap every peg that pops up!",
     "Peg",
     {255, 245, 220},
     colour::kOrange,
     1,
     100,
     1300},
    {"Games/Deduction.swf",
     "Deduction",
     "Find the hidden clue!",
     "Clue",
     {240, 230, 255},
     colour::kPurple,
     5,
     100,
     1200},
    {"Games/Pairs.swf",
     "Pairs",
     "Click the card that turns over!",
     "Card",
     {255, 235, 245},
     colour::kPink,
     6,
     120,
     1400},
    {"Games/breakout.swf",
     "Paddle Ball",
     "Hit the ball with your mouse!",
     "Ball",
     {225, 250, 250},
     colour::kTeal,
     3,
     90,
     1100},
    {"Games/Memory.swf",
     "Memory",
     "Remember where it went and click it!",
     "Here",
     {250, 250, 220},
     colour::kOrange,
     1,
     110,
     1300},
    {"Games/Snake.swf",
     "Hungry Snake",
     "Feed the snake: click the apples!",
     "Apple",
     {230, 255, 230},
     colour::kRed,
     2,
     100,
     1200},
    {"Games/TicTacToe.swf",
     "Tic Tac Toe",
     "Catch the noughts and crosses!",
     "X O",
     {235, 235, 255},
     colour::kBlue,
     4,
     110,
     1300},
}};

// Calls a function of the movie's root with no arguments and drops its result.
void CallRoot(Assembler& a, const std::string& function) {
  a.Push({0, function}).CallFunction().Pop();
}

// _root.gotoAndStop(frame + 1): works from inside functions as well as frame scripts.
void RootGotoAndStop(Assembler& a, std::int32_t zeroBasedFrame) {
  a.Push({zeroBasedFrame + 1, 1, std::string("_root")}).GetVariable();
  a.Push(std::string("gotoAndStop")).CallMethod().Pop();
}

void DefineMoveTarget(Assembler& a, const Game& game) {
  a.BeginFunction("moveTarget", {});
  int size = game.targetSize;
  a.Push(std::string("target")).GetVariable().Push(std::string("_x"));
  a.Push(kContentWidth - size - 20).RandomNumber().Push(10).Add2().SetMember();
  a.Push(std::string("target")).GetVariable().Push(std::string("_y"));
  a.Push(kContentHeight - kBoardTop - size - 20).RandomNumber().Push(kBoardTop + 10).Add2();
  a.SetMember();
  a.Push(std::string("nextMove")).GetTime().Push(game.moveMilliseconds).Add2().SetVariable();
  a.EndFunction();
}

void DefineTick(Assembler& a) {
  a.Push(std::string("onEnterFrame"));
  a.BeginFunction("", {});
  auto over = a.NewLabel();
  auto end = a.NewLabel();
  a.Push(std::string("playing")).GetVariable().Not().If(end);
  a.Push(std::string("secondsLeft"));
  a.Push(std::string("endTime")).GetVariable().GetTime().Subtract().Push(1000).Divide();
  a.ToInteger().Push(1).Add2().SetVariable();
  a.GetTime().Push(std::string("endTime")).GetVariable().Less2().Not().If(over);
  a.GetTime().Push(std::string("nextMove")).GetVariable().Less2().If(end);
  CallRoot(a, "moveTarget");
  a.Jump(end);
  a.Bind(over);
  a.Push({std::string("playing"), false}).SetVariable();
  a.Push({std::string("secondsLeft"), 0}).SetVariable();
  a.Push(std::string("score")).GetVariable().ToString();
  a.FsCommandWithStackArgument("vbCheckScores");
  RootGotoAndStop(a, 2);
  a.Bind(end);
  a.EndFunction().SetVariable();
}

void TitleFrame(MovieKit& kit, const Game& game) {
  Assembler a;
  DefineIfUndefined(a, "TOP_SCORE");
  a.Push({std::string("score"), 0}).SetVariable();
  a.Push({std::string("secondsLeft"), kRoundMilliseconds / 1000}).SetVariable();
  a.Push({std::string("playing"), false}).SetVariable();
  DefineMoveTarget(a, game);
  DefineTick(a);
  a.Stop();
  kit.Actions(a);
  kit.Text(40, 130, 720, 70, game.howTo, {40, colour::kInk, swf::Align::Center, true});
  kit.Text(40, 230, 720, 60, "You have 20 seconds.", {34, colour::kInk, swf::Align::Center});
  kit.Button(250, 330, 300, 100, "Play!", colour::kGreen, GotoCode(kPlayFrame));
  kit.EndFrame();
}

void PlayFrame(MovieKit& kit, const Game& game) {
  Assembler a;
  a.Push({std::string("score"), 0}).SetVariable();
  a.Push(std::string("endTime")).GetTime().Push(kRoundMilliseconds).Add2().SetVariable();
  a.Push({std::string("nextMove"), 0}).SetVariable();
  a.Push({std::string("playing"), true}).SetVariable();
  a.Stop();
  kit.Actions(a);
  Assembler hit;
  hit.Push(std::string("score")).Push(std::string("score")).GetVariable().Increment();
  hit.SetVariable();
  CallRoot(hit, "moveTarget");
  int size = game.targetSize;
  // A point scored rings.
  kit.NextButtonSound(kit.DefineSound(swf::Tune({{swf::Pitch(15), 0.08}, {swf::Pitch(22), 0.2}},
                                                swf::SamplesPerSecond(kDemoSound.rate), 0.5)));
  kit.Button(350, 250, size, size, game.target, game.targetColour, Code(hit), "target", false,
             size / 4);
  kit.EndFrame();
}

void OverFrame(MovieKit& kit) {
  Assembler a;
  a.Stop();
  kit.Actions(a);
  kit.Text(40, 120, 720, 70, "Time's up! Well done!", {48, colour::kPurple, swf::Align::Center});
  kit.Text(150, 210, 300, 60, "You scored", {40, colour::kInk, swf::Align::Right});
  kit.BoundText(470, 210, 200, 60, "score", {40, colour::kRed});
  kit.Button(150, 330, 240, 80, "Play again", colour::kGreen, GotoCode(kPlayFrame));
  kit.Button(410, 330, 240, 80, "More games", colour::kBlue, CommandCode("vbLoadMovie", "GAMES"));
  kit.EndFrame();
}

DemoFile GameMovie(const Game& game) {
  MovieKit kit(6, kContentWidth, kContentHeight, game.background, 24);
  Banner(kit, game.title, game.bannerColour);
  // Score, time and the best score stay in the corners of the banner on every frame.
  TextStyle small{24, colour::kWhite};
  kit.Text(10, 4, 90, 34, "Score", small, true);
  kit.BoundText(100, 4, 80, 34, "score", small, {}, true);
  kit.Text(10, 42, 90, 34, "Time", small, true);
  kit.BoundText(100, 42, 80, 34, "secondsLeft", small, {}, true);
  TextStyle best{24, colour::kWhite, swf::Align::Right};
  kit.Text(560, 4, 230, 34, "Best score", best, true);
  kit.BoundText(590, 42, 200, 34, "TOP_SCORE", best, {}, true);
  TitleFrame(kit, game);
  PlayFrame(kit, game);
  OverFrame(kit);
  return {game.path, kit.Finish()};
}

}  // namespace

std::vector<DemoFile> GameMovies() {
  std::vector<DemoFile> files;
  for (const Game& game : kGames) files.push_back(GameMovie(game));
  return files;
}

}  // namespace tdwk::demo
