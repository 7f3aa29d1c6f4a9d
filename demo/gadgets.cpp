// The countdown clock and the crystal ball.

#include <array>

#include "demo_movies.h"
#include "movie_kit.h"

namespace tdwk::demo {

namespace {

constexpr std::array<const char*, 6> kUnits = {"MONTHS", "WEEKS",   "DAYS",
                                               "HOURS",  "MINUTES", "SECONDS"};
constexpr std::array<const char*, 6> kUnitLabels = {"Months", "Weeks",   "Days",
                                                    "Hours",  "Minutes", "Seconds"};

// greeting = flag == "1" ? message : ""
void Greeting(Assembler& a, const char* greeting, const char* flag, const char* message) {
  auto off = a.NewLabel();
  auto done = a.NewLabel();
  a.Push(std::string(greeting));
  a.Push(std::string(flag)).GetVariable().Push(std::string("1")).Equals2().Not().If(off);
  a.Push(std::string(message)).GetVariable().Jump(done);
  a.Bind(off);
  a.Push(std::string(""));
  a.Bind(done);
  a.SetVariable();
}

void CountdownPanel(MovieKit& kit, int x, const char* title, const char* prefix,
                    const char* greeting, Rgba colour) {
  kit.Rect(x, 95, 370, 490, colour::kWhite, colour, 24);
  kit.Text(x, 105, 370, 50, title, {36, colour, swf::Align::Center});
  for (std::size_t i = 0; i < kUnits.size(); ++i) {
    int y = 160 + static_cast<int>(i) * 46;
    kit.Text(x + 20, y, 150, 40, kUnitLabels[i], {28, colour::kInk});
    kit.BoundText(x + 170, y, 180, 40, std::string(prefix) + kUnits[i],
                  {28, colour, swf::Align::Right});
  }
  kit.BoundText(x + 10, 445, 350, 135, greeting, {36, colour::kRed, swf::Align::Center, true});
}

DemoFile TimeGadget() {
  MovieKit kit(6, kContentWidth, kContentHeight, {230, 245, 255}, 12);
  Banner(kit, "How long until...", 3);
  Assembler a;
  for (const char* prefix : {"BDAY_", "XMAS_"}) {
    for (const char* unit : kUnits) DefineIfUndefined(a, std::string(prefix) + unit);
  }
  DefineIfUndefined(a, "BIRTHDAY", "0");
  DefineIfUndefined(a, "CHRISTMAS", "0");
  DefineIfUndefined(a, "BIRTHDAY_MESSAGE");
  DefineIfUndefined(a, "CHRISTMAS_MESSAGE");
  a.Push({std::string("lastAsked"), -1000}).SetVariable();
  // About once a second the shell is asked for fresh countdowns.
  a.Push(std::string("onEnterFrame"));
  a.BeginFunction("", {});
  auto notYet = a.NewLabel();
  a.GetTime().Push(std::string("lastAsked")).GetVariable().Subtract().Push(1000).Less2();
  a.If(notYet);
  a.Push(std::string("lastAsked")).GetTime().SetVariable();
  a.FsCommand("vbGetTimes", "");
  a.Bind(notYet);
  Greeting(a, "birthdayGreeting", "BIRTHDAY", "BIRTHDAY_MESSAGE");
  Greeting(a, "christmasGreeting", "CHRISTMAS", "CHRISTMAS_MESSAGE");
  a.EndFunction().SetVariable();
  a.Stop();
  kit.Actions(a);
  CountdownPanel(kit, 20, "Your birthday", "BDAY_", "birthdayGreeting", colour::kPink);
  CountdownPanel(kit, 410, "Christmas", "XMAS_", "christmasGreeting", colour::kGreen);
  kit.EndFrame();
  return {"Gadgets/Time.swf", kit.Finish()};
}

DemoFile CrystalBall() {
  static const std::array<const char*, 8> kAnswers = {
      "Yes, definitely!", "No way!",           "Maybe, maybe not...", "Ask again later.",
      "It is certain!",   "I don't think so.", "The stars say yes!",  "Only on Tuesdays!"};
  MovieKit kit(6, kContentWidth, kContentHeight, {40, 20, 80}, 12);
  Banner(kit, "The Crystal Ball", 5);
  Assembler a;
  SetVar(a, "question", "");
  SetVar(a, "answer", "Ask me a question!");
  a.Push(std::string("answers"));
  for (auto it = kAnswers.rbegin(); it != kAnswers.rend(); ++it) a.Push(std::string(*it));
  a.Push(static_cast<std::int32_t>(kAnswers.size())).InitArray().SetVariable();
  a.Stop();
  kit.Actions(a);
  kit.Rect(250, 100, 300, 300, {120, 200, 255, 255}, colour::kWhite, 150);
  kit.Rect(300, 130, 80, 80, {220, 240, 255, 255}, {}, 40);
  kit.BoundText(270, 210, 260, 130, "answer", {32, colour::kInk, swf::Align::Center, true});
  kit.Text(40, 420, 720, 40, "Type your question:", {28, colour::kWhite, swf::Align::Center});
  TextStyle input{28, colour::kInk};
  input.input = true;
  input.maxLength = 80;
  kit.BoundText(100, 465, 600, 44, "question", input);
  Assembler ask;
  auto empty = ask.NewLabel();
  auto done = ask.NewLabel();
  ask.Push(std::string("question")).GetVariable().Push(std::string("")).Equals2().If(empty);
  ask.Push(std::string("answer")).Push(std::string("answers")).GetVariable();
  ask.Push(static_cast<std::int32_t>(kAnswers.size())).RandomNumber().GetMember().SetVariable();
  ask.Jump(done);
  ask.Bind(empty);
  SetVar(ask, "answer", "Type a question first!");
  ask.Bind(done);
  kit.Button(300, 525, 200, 60, "Ask", colour::kPink, Code(ask));
  kit.EndFrame();
  return {"Gadgets/CrystalBall.swf", kit.Finish()};
}

}  // namespace

std::vector<DemoFile> GadgetMovies() {
  return {TimeGadget(), CrystalBall()};
}

}  // namespace tdwk::demo
