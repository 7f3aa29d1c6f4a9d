#include <algorithm>
#include <array>
#include <cstring>

#include "demo_movies.h"
#include "movie_kit.h"
#include "swf/sound_synthesis.h"

namespace tdwk::demo {

namespace {

constexpr std::array kBright = {colour::kRed,  colour::kOrange, colour::kGreen, colour::kTeal,
                                colour::kBlue, colour::kPurple, colour::kPink};

Rgba BrightColour(unsigned index) {
  return kBright[index % kBright.size()];
}

struct MenuEntry {
  const char* label;
  const char* key;
};

// A grid of big buttons, each sending vbLoadMovie with its key.
void MenuGrid(MovieKit& kit, const std::vector<MenuEntry>& entries, int top, int columns) {
  int gap = 20;
  int w = (kit.Width() - gap * (columns + 1)) / columns;
  int rows = static_cast<int>((entries.size() + columns - 1) / columns);
  int h = std::min(90, (kit.Height() - top - 30 - gap * rows) / rows);
  // One label size for the grid, small enough for the longest label: the device font's
  // letters are at most about 0.6 of its size wide.
  std::size_t longest = 1;
  for (const MenuEntry& entry : entries) longest = std::max(longest, std::strlen(entry.label));
  const int labelSize =
      std::min({34, h / 2, static_cast<int>((w - 24) / (0.6 * static_cast<double>(longest)))});
  for (std::size_t i = 0; i < entries.size(); ++i) {
    int column = static_cast<int>(i) % columns;
    int row = static_cast<int>(i) / columns;
    kit.Button(gap + column * (w + gap), top + row * (h + gap), w, h, entries[i].label,
               BrightColour(static_cast<unsigned>(i)), CommandCode("vbLoadMovie", entries[i].key),
               {}, true, labelSize);
  }
}

DemoFile Intro() {
  MovieKit kit(6, kContentWidth, kContentHeight, {255, 230, 120}, 12);
  kit.Rect(0, 0, kContentWidth, kContentHeight, {255, 230, 120, 255}, {}, 0, true);
  std::uint16_t sun = kit.Rect(330, -200, 140, 140, colour::kOrange, colour::kInk, 70, true);
  TextStyle title{84, colour::kPurple, swf::Align::Center};
  std::uint16_t name = kit.Text(0, 640, kContentWidth, 110, "tindlewick", title, true);
  kit.Button(640, 530, 140, 50, "Skip", colour::kBlue, CommandCode("vbIntroFinished", ""), {},
             true);
  // The sun drops in and the title rises to a little tune, then the shell is told the
  // introduction is over. The tune keeps the frames in step with it.
  constexpr int kFrames = 30;
  constexpr double kBeat = 2.5 / 10;
  std::vector<swf::Note> tune;
  for (int note : {-9, -5, -2, 3, -2, 3, 7, 10, 3, 15}) tune.push_back({swf::Pitch(note), kBeat});
  kit.StreamSound(swf::Tune(tune, swf::SamplesPerSecond(kDemoSound.rate), 0.6));
  for (int frame = 0; frame < kFrames; ++frame) {
    int step = std::min(frame, 20);
    kit.Move(sun, 330, -200 + step * 14);
    kit.Move(name, 0, 640 - step * 22);
    if (frame == 22) {
      kit.Text(0, 360, kContentWidth, 60, "Stories, games and fun, just for you!",
               {36, colour::kInk, swf::Align::Center}, true);
    }
    if (frame == kFrames - 1) {
      Assembler a;
      a.Stop().FsCommand("vbIntroFinished", "");
      kit.Actions(a);
    }
    kit.EndFrame();
  }
  return {"Menus/Intro.swf", kit.Finish()};
}

DemoFile Home() {
  MovieKit kit(6, kContentWidth, kContentHeight, {230, 245, 255});
  Banner(kit, "Home", 4);
  Assembler init;
  DefineIfUndefined(init, "welcomeMsg", "Welcome!");
  init.Stop();
  kit.Actions(init);
  // A chime of welcome.
  const int rate = swf::SamplesPerSecond(kDemoSound.rate);
  kit.StartSound(kit.DefineSound(
      swf::Tune({{swf::Pitch(3), 0.15}, {swf::Pitch(7), 0.15}, {swf::Pitch(10), 0.5}}, rate, 0.5)));
  kit.BoundText(20, 95, kContentWidth - 40, 110, "welcomeMsg",
                {34, colour::kInk, swf::Align::Center, true}, {}, true);
  MenuGrid(kit,
           {{"Stories", "STORIES"},
            {"Games", "GAMES"},
            {"Funnies", "FUNNIES"},
            {"Time", "TIME"},
            {"Crystal Ball", "CRYSTAL_BALL"},
            {"High Scores", "HIGH_SCORE"}},
           230, 2);
  kit.EndFrame();
  return {"Menus/Home.swf", kit.Finish()};
}

DemoFile Stories() {
  MovieKit kit(6, kContentWidth, kContentHeight, {255, 240, 225});
  Banner(kit, "Stories", 0);
  Assembler stop;
  stop.Stop();
  kit.Actions(stop);
  MenuGrid(kit,
           {{"The Dragon Slayer", "DRAGONSLAYER"},
            {"Yo Ho Ho, Pirates!", "YOHOHO"},
            {"The Friendly Monster", "MONSTER"},
            {"The Giggly Ghost", "GHOST"},
            {"The Loch Ness Picnic", "LOCHNESS"},
            {"The Fire Breathing Dragon", "FIREBREATHINGDRAGON"}},
           100, 2);
  BackButton(kit, "Home", "HOME", 20, 530);
  kit.EndFrame();
  return {"Menus/Stories.swf", kit.Finish()};
}

DemoFile Games() {
  MovieKit kit(6, kContentWidth, kContentHeight, {225, 255, 230});
  Banner(kit, "Games", 2);
  Assembler stop;
  stop.Stop();
  kit.Actions(stop);
  MenuGrid(kit,
           {{"Hang Scab", "HANG_SCAB"},
            {"Froggy Uppy", "FROGGY_UPPY"},
            {"Jigsaw", "JIGSAW"},
            {"Pegs", "PEGS"},
            {"Deduction", "DEDUCTION"},
            {"Pairs", "PAIRS"},
            {"Paddle Ball", "PADDLE"},
            {"Memory", "MEMORY"},
            {"Hungry Snake", "SNAKE"},
            {"Tic Tac Toe", "TIC_TAC_TOE"}},
           95, 2);
  kit.EndFrame();
  return {"Menus/Games.swf", kit.Finish()};
}

DemoFile Funnies() {
  static const std::array<const char*, 5> kJokes = {
      "What do you call a dinosaur that is asleep?\rA dino-snore!",
      "Why did the cow cross the road?\rTo get to the udder side!",
      "What do you call a fish with no eyes?\rA fsh!",
      "Why are teddy bears never hungry?\rThey are always stuffed!",
      "What is orange and sounds like a parrot?\rA carrot!"};
  MovieKit kit(6, kContentWidth, kContentHeight, {255, 250, 205});
  Banner(kit, "Funnies", 5);
  Assembler init;
  init.Push({std::string("jokeNumber"), 0}).SetVariable();
  // jokes = [ ... ]: InitArray takes the count on top and the first element below it.
  init.Push(std::string("jokes"));
  for (auto it = kJokes.rbegin(); it != kJokes.rend(); ++it) init.Push(std::string(*it));
  init.Push(static_cast<std::int32_t>(kJokes.size())).InitArray().SetVariable();
  init.Push({std::string("joke"), std::string(kJokes[0])}).SetVariable();
  init.Stop();
  kit.Actions(init);
  kit.Rect(60, 120, 680, 300, colour::kWhite, colour::kPurple, 30, true);
  kit.BoundText(90, 150, 620, 250, "joke", {38, colour::kPurple, swf::Align::Center, true}, {},
                true);
  Assembler next;
  // jokeNumber = (jokeNumber + 1) % jokes.length; joke = jokes[jokeNumber]
  next.Push(std::string("jokeNumber")).Push(std::string("jokeNumber")).GetVariable();
  next.Push(1).Add2().Push(std::string("jokes")).GetVariable().Push(std::string("length"));
  next.GetMember().Modulo().SetVariable();
  next.Push(std::string("joke")).Push(std::string("jokes")).GetVariable();
  next.Push(std::string("jokeNumber")).GetVariable().GetMember().SetVariable();
  kit.Button(260, 450, 280, 70, "Another one!", colour::kGreen, Code(next), {}, true);
  BackButton(kit, "Home", "HOME", 20, 530);
  kit.EndFrame();
  return {"Menus/Funnies.swf", kit.Finish()};
}

// The high-score screen: one button per game; the table shown follows the chosen prefix and
// is refreshed every frame, so values set after the movie loaded appear at once.
DemoFile HighScores() {
  struct ScoredGame {
    const char* label;
    const char* prefix;
  };
  static const std::array<ScoredGame, 10> kScoredGames = {{{"Hang Scab", "SCAB"},
                                                           {"Froggy Uppy", "FROGGY"},
                                                           {"Jigsaw", "JIGSAW"},
                                                           {"Pegs", "PEGS"},
                                                           {"Deduction", "DEDUCTION"},
                                                           {"Pairs", "PAIRS"},
                                                           {"Paddle Ball", "PADDLE"},
                                                           {"Memory", "MEMORY"},
                                                           {"Snake", "SNAKE"},
                                                           {"Tic Tac Toe", "TIC"}}};
  MovieKit kit(6, kContentWidth, kContentHeight, {240, 230, 255});
  Banner(kit, "High Scores", 5);
  Assembler init;
  SetVar(init, "gamePrefix", "SCAB");
  SetVar(init, "gameTitle", "Hang Scab");
  init.Push(std::string("onEnterFrame"));
  init.BeginFunction("", {});
  for (int n = 1; n <= 10; ++n) {
    for (const char* field : {"_NAME_", "_SCORE_"}) {
      std::string row =
          std::string(field == std::string("_NAME_") ? "rowName" : "rowScore") + std::to_string(n);
      init.Push(row).Push(std::string("gamePrefix")).GetVariable();
      init.Push(std::string(field) + std::to_string(n)).StringAdd().GetVariable();
      init.PushDuplicate().TypeOf().Push(std::string("undefined")).StrictEquals();
      auto keep = init.NewLabel();
      init.Not().If(keep).Pop().Push(std::string(""));
      init.Bind(keep);
      init.SetVariable();
    }
  }
  init.EndFunction().SetVariable();
  init.Stop();
  kit.Actions(init);
  for (std::size_t i = 0; i < kScoredGames.size(); ++i) {
    Assembler choose;
    SetVar(choose, "gamePrefix", kScoredGames[i].prefix);
    SetVar(choose, "gameTitle", kScoredGames[i].label);
    int column = static_cast<int>(i) % 2;
    int row = static_cast<int>(i) / 2;
    kit.Button(15 + column * 150, 95 + row * 82, 140, 70, kScoredGames[i].label,
               BrightColour(static_cast<unsigned>(i)), Code(choose), {}, true, 20);
  }
  kit.Rect(325, 92, 460, 490, colour::kWhite, colour::kPurple, 20, true);
  kit.BoundText(335, 98, 440, 44, "gameTitle", {32, colour::kPurple, swf::Align::Center}, {}, true);
  for (int n = 1; n <= 10; ++n) {
    int y = 140 + (n - 1) * 43;
    kit.Text(340, y, 50, 40, std::to_string(n) + ".", {28, colour::kInk, swf::Align::Right}, true);
    kit.BoundText(400, y, 250, 40, "rowName" + std::to_string(n), {28, colour::kInk}, {}, true);
    kit.BoundText(650, y, 120, 40, "rowScore" + std::to_string(n),
                  {28, colour::kBlue, swf::Align::Right}, {}, true);
  }
  kit.EndFrame();
  return {"Menus/HighScores.swf", kit.Finish()};
}

DemoFile Instructions() {
  MovieKit kit(6, kContentWidth, kContentHeight, {230, 255, 250});
  Banner(kit, "How to play", 3);
  Assembler stop;
  stop.Stop();
  kit.Actions(stop);
  kit.Text(40, 110, 720, 400,
           "Use the buttons on the left to find stories, games and funnies.\r\r"
           "Click the big coloured buttons to choose.\r\r"
           "Press Quit at the top when you want to stop.",
           {32, colour::kInk, swf::Align::Left, true}, true);
  BackButton(kit, "Home", "HOME", 20, 530);
  kit.EndFrame();
  return {"Menus/Instructions.swf", kit.Finish()};
}

// Frame 1 offers continue, swap child and exit; frame 2 (one child only) continue and exit.
DemoFile ConfirmExit() {
  MovieKit kit(6, kContentWidth, kContentHeight, {255, 235, 235});
  Banner(kit, "Time to go?", 0);
  TextStyle question{40, colour::kInk, swf::Align::Center};
  auto frame = [&](bool withSwap) {
    Assembler stop;
    stop.Stop();
    kit.Actions(stop);
    kit.Text(0, 130, kContentWidth, 60, "Do you want to stop playing?", question);
    int y = 230;
    kit.Button(200, y, 400, 80, "Keep playing", colour::kGreen,
               CommandCode("confirmExit", "CONTINUE"));
    if (withSwap) {
      y += 100;
      kit.Button(200, y, 400, 80, "Change child", colour::kBlue,
                 CommandCode("confirmExit", "SWAP"));
    }
    kit.Button(200, y + 100, 400, 80, "Stop playing", colour::kRed,
               CommandCode("confirmExit", "EXIT"));
    kit.EndFrame();
  };
  frame(false);  // before the shell picks a frame
  frame(true);
  frame(false);
  return {"Menus/confirmExit.swf", kit.Finish()};
}

DemoFile Finish() {
  MovieKit kit(6, kContentWidth, kContentHeight, {200, 230, 255}, 12);
  kit.Rect(0, 0, kContentWidth, kContentHeight, {200, 230, 255, 255}, {}, 0, true);
  std::uint16_t text = kit.Text(0, 200, kContentWidth, 110, "Goodbye!",
                                {90, colour::kPurple, swf::Align::Center}, true);
  kit.Text(0, 330, kContentWidth, 60, "See you again soon!", {44, colour::kInk, swf::Align::Center},
           true);
  constexpr int kFrames = 30;
  for (int frame = 0; frame < kFrames; ++frame) {
    kit.Move(text, 0, 200 + (frame % 10 < 5 ? -(frame % 5) * 3 : -(5 - frame % 5) * 3));
    if (frame == kFrames - 1) {
      Assembler a;
      a.Stop().FsCommand("CLOSE", "");
      kit.Actions(a);
    }
    kit.EndFrame();
  }
  return {"Menus/Finish.swf", kit.Finish()};
}

// The top bar: frame 1 is the bare bar; the shell plays it on to frame 2, which offers QUIT.
DemoFile BackgroundTop() {
  constexpr int kWidth = 1920;
  constexpr int kHeight = 84;
  MovieKit kit(6, kWidth, kHeight, {40, 110, 230});
  kit.Rect(0, 0, kWidth, kHeight, colour::kBlue, {}, 0, true);
  kit.Rect(0, kHeight - 8, kWidth, 8, colour::kYellow, {}, 0, true);
  kit.Text(100, 12, 500, 60, "tindlewick", {44, colour::kWhite}, true);
  Assembler stop;
  stop.Stop();
  kit.Actions(stop);
  kit.EndFrame();
  kit.Actions(stop);
  kit.Button(820, 12, 170, 58, "Quit", colour::kRed, CommandCode("QUIT", ""));
  kit.EndFrame();
  return {"Menus/BackgroundTop.swf", kit.Finish()};
}

// The left bar: menu keys only, since only the content layer knows stories and games.
DemoFile BackgroundLeft() {
  constexpr int kWidth = 83;
  constexpr int kHeight = 1000;
  MovieKit kit(6, kWidth, kHeight, {255, 214, 10});
  kit.Rect(0, 0, kWidth, kHeight, colour::kYellow, {}, 0, true);
  Assembler stop;
  stop.Stop();
  kit.Actions(stop);
  const std::array<MenuEntry, 7> entries = {{{"Home", "HOME"},
                                             {"Stories", "STORIES"},
                                             {"Games", "GAMES"},
                                             {"Funnies", "FUNNIES"},
                                             {"Time", "TIME"},
                                             {"Crystal", "CRYSTAL_BALL"},
                                             {"Scores", "HIGH_SCORE"}}};
  for (std::size_t i = 0; i < entries.size(); ++i) {
    kit.Button(4, 40 + static_cast<int>(i) * 82, 75, 72, entries[i].label,
               BrightColour(static_cast<unsigned>(i)), CommandCode("vbLoadMovie", entries[i].key),
               {}, true, 15);
  }
  kit.EndFrame();
  return {"Menus/BackgroundLeft.swf", kit.Finish()};
}

DemoFile BackgroundCorner() {
  MovieKit kit(6, 33, 33, {255, 150, 30});
  kit.Rect(0, 0, 33, 33, colour::kOrange, {}, 0, true);
  kit.Rect(8, 8, 17, 17, colour::kPink, {}, 8, true);
  Assembler stop;
  stop.Stop();
  kit.Actions(stop);
  kit.EndFrame();
  return {"Menus/BackgroundCorner.swf", kit.Finish()};
}

}  // namespace

void Banner(MovieKit& kit, const std::string& title, unsigned colourIndex, bool keep) {
  kit.Rect(0, 0, kit.Width(), 80, BrightColour(colourIndex), {}, 0, keep);
  kit.Text(0, 10, kit.Width(), 64, title, {48, colour::kWhite, swf::Align::Center}, keep);
}

void BackButton(MovieKit& kit, const std::string& label, const std::string& key, int x, int y,
                bool keep) {
  kit.Button(x, y, 180, 55, label, colour::kBlue, CommandCode("vbLoadMovie", key), {}, keep);
}

std::vector<DemoFile> MenuMovies() {
  return {Intro(),   Home(),          Stories(),        Games(),
          Funnies(), HighScores(),    Instructions(),   ConfirmExit(),
          Finish(),  BackgroundTop(), BackgroundLeft(), BackgroundCorner()};
}

}  // namespace tdwk::demo
