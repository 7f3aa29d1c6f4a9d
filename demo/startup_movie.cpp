// The start-up screen: user selection and the user manager in one movie.
//
// Frames (zero-based, as the shell counts them): 0 waits for the shell's variables and its
// Play; 1 is the user manager's list of children (or passes on to 4 in user selection);
// 2 is the form for a new child; 3 the form showing the child being edited; 4 the children's
// names to pick from.

#include <array>

#include "demo_movies.h"
#include "movie_kit.h"

namespace tdwk::demo {

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
constexpr int kMaxUsers = 8;

constexpr std::uint16_t kListFrame = 1;
constexpr std::uint16_t kNewChildFrame = 2;
constexpr std::uint16_t kSelectFrame = 4;

struct Field {
  const char* variable;
  const char* label;
};

const std::array<std::array<Field, 11>, 3> kFormColumns = {{
    {{{"FIRST_NAME", "First name"},
      {"MIDDLE_NAME", "Middle name"},
      {"SURNAME", "Surname"},
      {"DAY", "Birth day"},
      {"MONTH", "Birth month"},
      {"YEAR", "Birth year"},
      {"SEX", "Boy or girl"},
      {"STREET_NAME", "Street"},
      {"TOWN_CITY_NAME", "Town or city"},
      {"COUNTRY_NAME", "Country"},
      {nullptr, nullptr}}},
    {{{"ADULT_TYPE1", "Grown-up 1 is"},
      {"ADULT_NAME1", "called"},
      {"ADULT_TYPE2", "Grown-up 2 is"},
      {"ADULT_NAME2", "called"},
      {"ADULT_TYPE3", "Grown-up 3 is"},
      {"ADULT_NAME3", "called"},
      {"ADULT_TYPE4", "Grown-up 4 is"},
      {"ADULT_NAME4", "called"},
      {"FAVOURITE_PET_NAME", "Pet's name"},
      {"PET_TYPE", "Pet is a"},
      {nullptr, nullptr}}},
    {{{"BROTHERS_NAME_1", "Brother 1"},
      {"BROTHERS_NAME_2", "Brother 2"},
      {"BROTHERS_NAME_3", "Brother 3"},
      {"SISTERS_NAME_1", "Sister 1"},
      {"SISTERS_NAME_2", "Sister 2"},
      {"SISTERS_NAME_3", "Sister 3"},
      {"FRIENDS_NAME_1", "Friend 1"},
      {"FRIENDS_NAME_2", "Friend 2"},
      {"FRIENDS_NAME_3", "Friend 3"},
      {"SCHOOL_NAME", "School"},
      {"TEACHERS_NAME", "Teacher"}}},
}};

template <class F>
void ForEachField(F&& f) {
  for (const auto& column : kFormColumns) {
    for (const Field& field : column) {
      if (field.variable != nullptr) f(field);
    }
  }
}

std::string Numbered(const char* prefix, int n) {
  return prefix + std::to_string(n);
}

// Rows beyond NUM_USERS are hidden, every frame, so a list published later shows at once.
void DefineRowVisibility(Assembler& a) {
  a.Push(std::string("onEnterFrame"));
  a.BeginFunction("", {});
  for (int n = 1; n <= kMaxUsers; ++n) {
    for (const char* prefix : {"listName", "edit", "del", "pick", "pickName"}) {
      a.Push(Numbered(prefix, n)).GetVariable().Push(std::string("_visible"));
      a.Push(std::string("NUM_USERS")).GetVariable().ToNumber().Push(n).Less2().Not();
      a.SetMember();
    }
  }
  a.EndFunction().SetVariable();
}

void InitFrame(MovieKit& kit) {
  Assembler a;
  DefineIfUndefined(a, "NUM_USERS", "0");
  DefineIfUndefined(a, "ACTION_TYPE");
  DefineIfUndefined(a, "SELECT_MESSAGE");
  for (int n = 1; n <= kMaxUsers; ++n) DefineIfUndefined(a, Numbered("USER_NAME", n));
  // The shell reads every form variable when it saves: all must exist.
  ForEachField([&](const Field& field) { DefineIfUndefined(a, field.variable); });
  SetVar(a, "formMessage", "");
  DefineRowVisibility(a);
  a.Stop();
  kit.Actions(a);
  kit.Text(0, 340, kWidth, 80, "Getting ready...", {48, colour::kPurple, swf::Align::Center});
  kit.EndFrame();
}

void ListFrame(MovieKit& kit) {
  Assembler a;
  auto manager = a.NewLabel();
  a.Push(std::string("ACTION_TYPE")).GetVariable().Push(std::string("SELECT")).Equals2().Not();
  a.If(manager);
  a.GotoFrame(kSelectFrame);
  a.Bind(manager);
  a.Stop();
  kit.Actions(a);
  kit.Rect(0, 0, kWidth, 90, colour::kTeal);
  kit.Text(0, 15, kWidth, 64, "Grown-ups: the children", {48, colour::kWhite, swf::Align::Center});
  for (int n = 1; n <= kMaxUsers; ++n) {
    int y = 110 + (n - 1) * 62;
    kit.BoundText(60, y + 6, 420, 46, Numbered("USER_NAME", n), {34, colour::kInk},
                  Numbered("listName", n));
    std::string key = Numbered("USER", n);
    kit.Button(500, y, 160, 52, "Change", colour::kBlue, CommandCode("vbUpdateUser", key),
               Numbered("edit", n));
    kit.Button(680, y, 160, 52, "Delete", colour::kRed, CommandCode("vbDeleteUser", key),
               Numbered("del", n));
  }
  kit.Button(40, 620, 220, 64, "Add a child", colour::kGreen, GotoCode(kNewChildFrame));
  kit.Button(280, 620, 220, 64, "Start", colour::kOrange, CommandCode("vbStartApplication", ""));
  kit.Button(520, 620, 220, 64, "Pick a child", colour::kPurple, CommandCode("vbRestartApp", ""));
  kit.Button(760, 620, 220, 64, "Finish", colour::kRed, CommandCode("QUIT_USER_MANAGER", ""));
  kit.EndFrame();
}

// Saving needs a first name and a date of birth in numbers; otherwise the form says so.
std::string SaveCode(std::string_view action) {
  Assembler a;
  auto bad = a.NewLabel();
  auto done = a.NewLabel();
  a.Push(std::string("FIRST_NAME")).GetVariable().Push(std::string("")).Equals2().If(bad);
  for (const char* part : {"DAY", "MONTH", "YEAR"}) {
    a.Push(std::string(part)).GetVariable().Push(std::string("")).Equals2().If(bad);
    a.Push(std::string(part)).GetVariable().ToNumber().PushDuplicate().Equals2().Not().If(bad);
  }
  SetVar(a, "formMessage", "");
  a.FsCommand("vbSaveUser", action);
  a.Jump(done);
  a.Bind(bad);
  SetVar(a, "formMessage", "Please type a first name, and the birthday as numbers.");
  a.Bind(done);
  return a.Finish();
}

void FormFrame(MovieKit& kit, bool newChild) {
  Assembler a;
  if (newChild) {
    ForEachField([&](const Field& field) { SetVar(a, field.variable, ""); });
  }
  SetVar(a, "formMessage", "");
  a.Stop();
  kit.Actions(a);
  kit.Rect(0, 0, kWidth, 90, newChild ? colour::kGreen : colour::kBlue);
  if (newChild) {
    kit.Text(0, 15, kWidth, 64, "A new child", {48, colour::kWhite, swf::Align::Center});
  } else {
    kit.Text(0, 15, 420, 64, "Changing", {48, colour::kWhite, swf::Align::Right});
    kit.BoundText(440, 15, 560, 64, "FIRST_NAME", {48, colour::kYellow});
  }
  TextStyle label{18, colour::kInk, swf::Align::Right};
  TextStyle input{20, colour::kInk};
  input.input = true;
  input.maxLength = 40;
  for (std::size_t column = 0; column < kFormColumns.size(); ++column) {
    int x = 10 + static_cast<int>(column) * 338;
    for (std::size_t row = 0; row < kFormColumns[column].size(); ++row) {
      const Field& field = kFormColumns[column][row];
      if (field.variable == nullptr) continue;
      int y = 110 + static_cast<int>(row) * 38;
      kit.Text(x, y + 4, 130, 28, field.label, label);
      kit.BoundText(x + 138, y, 190, 32, field.variable, input);
    }
  }
  kit.Text(20, 540, 984, 30, "Grown-ups are Mum, Dad, Gran, Grandad or Other. Boy or girl: M or F.",
           {20, colour::kInk, swf::Align::Center});
  kit.BoundText(20, 580, 984, 34, "formMessage", {24, colour::kRed, swf::Align::Center});
  kit.Button(280, 640, 220, 70, "Save", colour::kGreen, SaveCode(newChild ? "ADD" : "EDIT"));
  kit.Button(524, 640, 220, 70, "Back", colour::kPurple, GotoCode(kListFrame));
  kit.EndFrame();
}

void SelectFrame(MovieKit& kit) {
  Assembler a;
  a.Stop();
  kit.Actions(a);
  kit.Rect(0, 0, kWidth, kHeight, {255, 240, 200, 255});
  kit.Text(0, 20, kWidth, 80, "Hello! Who is playing?", {56, colour::kPurple, swf::Align::Center});
  kit.BoundText(40, 105, kWidth - 80, 90, "SELECT_MESSAGE",
                {30, colour::kInk, swf::Align::Center, true});
  for (int n = 1; n <= kMaxUsers; ++n) {
    int column = (n - 1) % 2;
    int row = (n - 1) / 2;
    int x = 60 + column * 470;
    int y = 220 + row * 130;
    static const std::array kFaces = {colour::kRed, colour::kBlue, colour::kGreen, colour::kOrange};
    kit.Button(x, y, 434, 110, "", kFaces[static_cast<std::size_t>(n - 1) % kFaces.size()],
               CommandCode("vbPickUser", Numbered("USER", n)), Numbered("pick", n));
    kit.BoundText(x, y + 28, 434, 60, Numbered("USER_NAME", n),
                  {44, colour::kWhite, swf::Align::Center}, Numbered("pickName", n));
  }
  kit.EndFrame();
}

}  // namespace

DemoFile StartupMovie() {
  MovieKit kit(6, kWidth, kHeight, {255, 250, 235});
  InitFrame(kit);
  ListFrame(kit);
  FormFrame(kit, true);
  FormFrame(kit, false);
  SelectFrame(kit);
  return {"Menus/Startup.swf", kit.Finish()};
}

}  // namespace tdwk::demo
