// The desktop host's parts that need no display: URLs of the scheme, what it serves, the
// language tag, button messages, the player windows and the event gate.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "hosts/common/player_window_table.h"
#include "hosts/common/user_data_file_system.h"
#include "hosts/desktop/app_scheme.h"
#include "hosts/desktop/app_urls.h"
#include "hosts/desktop/button_messages.h"
#include "hosts/desktop/event_gate.h"
#include "hosts/desktop/language_tag.h"
#include "hosts/desktop/recovery_policy.h"
#include "hosts/desktop/ruffle_control.h"
#include "hosts/desktop/visit_script.h"
#include "platform/file_system_posix.h"
#include "platform/flash_errors.h"
#include "support/temp_folder.h"
#include "swallow_right_press.h"

namespace tdwk::desktop {
namespace {

using ::testing::ElementsAre;
using namespace std::chrono_literals;
using ::testing::Optional;

TEST(AppUrls, MoviePathsBelowTheApplicationFolderBecomeEncodedUrls) {
  const auto components = MovieComponents("/opt/app/", "/opt/app//High Scores/Score #1.swf");
  ASSERT_TRUE(components);
  EXPECT_THAT(*components, ElementsAre("High Scores", "Score #1.swf"));
  EXPECT_EQ(AppUrl(*components), "tdwk://app/High%20Scores/Score%20%231.swf");

  EXPECT_FALSE(MovieComponents("/opt/app/", "/opt/other/Menus/Home.swf"));
  EXPECT_FALSE(MovieComponents("/opt/app/", "/opt/app//Menus/../../etc/passwd"));
  EXPECT_FALSE(MovieComponents("/opt/app/", "/opt/app//Users/.USER1.DAT.tmp"));
  EXPECT_FALSE(MovieComponents("/opt/app/", "/opt/app/"));
  EXPECT_FALSE(MovieComponents("/opt/app/", ""));
}

TEST(AppUrls, RequestsNameOnlyFilesOfTheApplicationOrigin) {
  const auto movie = ParseAppRequest("tdwk://app/Menus/Home%20Page.swf?tdwk-bridge");
  ASSERT_TRUE(movie);
  EXPECT_THAT(movie->components, ElementsAre("Menus", "Home Page.swf"));
  EXPECT_TRUE(movie->bridge);
  const auto plain = ParseAppRequest("tdwk://app/Menus/Home.swf?x=1");
  ASSERT_TRUE(plain);
  EXPECT_FALSE(plain->bridge);

  // Dot segments are resolved as in any URL, never above the folder.
  EXPECT_THAT(ParseAppRequest("tdwk://app/Menus/%2E%2E/../../x")->components, ElementsAre("x"));
  EXPECT_THAT(ParseAppRequest("tdwk://app/a/../../b/c")->components, ElementsAre("b", "c"));

  for (const char* refused :
       {"tdwk://app/", "tdwk://app/..", "tdwk://app/.hidden", "tdwk://app/Users/%2Eprofile",
        "tdwk://app/a%2Fb", "tdwk://app/a%00b", "tdwk://other/Menus/Home.swf",
        "http://app/Menus/Home.swf", "tdwk://user@app/x", "tdwk://app:80/x", "not a url"}) {
    EXPECT_FALSE(ParseAppRequest(refused)) << refused;
  }
}

TEST(AppUrls, MediaTypesFollowTheExtension) {
  EXPECT_EQ(MediaType("core.WASM"), "application/wasm");
  EXPECT_EQ(MediaType("Intro.swf"), "application/x-shockwave-flash");
  EXPECT_EQ(MediaType("index.html"), "text/html; charset=utf-8");
  EXPECT_EQ(MediaType("ruffle.js"), "text/javascript; charset=utf-8");
  EXPECT_EQ(MediaType("USER1.DAT"), "application/octet-stream");
}

// The bytes served: a file is streamed from disk with its size known before it is read.
std::optional<std::string> Served(AppScheme& scheme, const std::string& url,
                                  std::string* type = nullptr) {
  const auto request = ParseAppRequest(url);
  if (!request) return std::nullopt;
  std::optional<SchemeContent> content = scheme.Content(*request);
  if (!content) return std::nullopt;
  if (type) *type = content->mediaType;
  if (!content->file) return content->bytes;
  std::string bytes(content->file->size(), '\0');
  EXPECT_EQ(::read(content->file->fd(), bytes.data(), bytes.size()),
            static_cast<ssize_t>(bytes.size()));
  return bytes;
}

class AppSchemeTest : public ::testing::Test {
 protected:
  AppSchemeTest() : files_(app_.Path()), scheme_(app_.Path(), files_) {
    app_.WriteFile("Menus/Home.swf", "home");
    app_.WriteFile("Users/.USER1.DAT.tmp", "hidden");
    outside_.WriteFile("secret.swf", "secret");
    std::filesystem::create_symlink(outside_.Path() + "secret.swf", app_.Path() + "Menus/Link.swf");
  }

  std::optional<std::string> Serve(const std::string& url, std::string* type = nullptr) {
    return Served(scheme_, url, type);
  }

  test::TempFolder app_, outside_;
  PosixFileSystem files_;
  AppScheme scheme_;
};

TEST_F(AppSchemeTest, ServesFilesOfTheFolderWhateverTheLetterCase) {
  std::string type;
  EXPECT_THAT(Serve("tdwk://app/menus/HOME.SWF", &type), Optional(std::string("home")));
  EXPECT_EQ(type, "application/x-shockwave-flash");
}

TEST_F(AppSchemeTest, RefusesWhatLiesOutsideOrIsNoRegularFile) {
  EXPECT_FALSE(Serve("tdwk://app/Menus/Link.swf"));  // a link leading out of the folder
  EXPECT_FALSE(Serve("tdwk://app/Menus"));
  EXPECT_FALSE(Serve("tdwk://app/Menus/Missing.swf"));
  EXPECT_FALSE(Serve("tdwk://app/Users/.USER1.DAT.tmp"));
  // A FIFO would block the window's thread in open(): refused at once, wrapped or not.
  ASSERT_EQ(::mkfifo((app_.Path() + "Menus/Fifo.swf").c_str(), 0600), 0);
  EXPECT_FALSE(Serve("tdwk://app/Menus/Fifo.swf"));
  EXPECT_TRUE(Serve("tdwk://app/Menus/Fifo.swf?tdwk-bridge"));
}

TEST_F(AppSchemeTest, AMissingMovieIsStillWrappedSoThatItPlaysAsAnEmptyMovie) {
  std::string type;
  const auto bridge = Serve("tdwk://app/Menus/Missing.swf?tdwk-bridge", &type);
  ASSERT_TRUE(bridge);
  EXPECT_EQ(type, "application/x-shockwave-flash");
  EXPECT_TRUE(bridge->starts_with("FWS") || bridge->starts_with("CWS"));
  // The link's target is never read, not even to wrap it.
  const auto linked = Serve("tdwk://app/Menus/Link.swf?tdwk-bridge");
  ASSERT_TRUE(linked);
  EXPECT_EQ(linked->find("secret"), std::string::npos);
}

TEST(AppSchemeOverUserData, ServesTheUsersOwnMovieFromTheirFolderInAnyLetterCase) {
  test::TempFolder app, user;
  app.WriteFile("Games/Snake.swf", "demo");
  user.WriteFile("games/SNAKE.swf", "theirs");
  PosixFileSystem installed(app.Path()), own(user.Path());
  UserDataFileSystem files(app.Path(), installed, user.Path(), own);
  AppScheme scheme(app.Path(), files);
  scheme.AllowFolder(user.Path());
  EXPECT_THAT(Served(scheme, "tdwk://app/Games/Snake.swf"), Optional(std::string("theirs")));
}

TEST(LanguageTag, LocaleNamesBecomeTagsAndInvalidOnesEnglish) {
  EXPECT_EQ(LanguageTag("en_GB.UTF-8"), "en-GB");
  EXPECT_EQ(LanguageTag("de_DE@euro"), "de-DE");
  EXPECT_EQ(LanguageTag("fr"), "fr");
  EXPECT_EQ(LanguageTag("es_419.UTF-8"), "es-419");
  EXPECT_EQ(LanguageTag("sr_RS.UTF-8@latin"), "sr-RS");
  EXPECT_EQ(LanguageTag("ast_ES"), "ast-ES");
  for (const char* invalid : {"C", "C.UTF-8", "POSIX", "", "e", "english_X", "12_GB"}) {
    EXPECT_EQ(LanguageTag(invalid).substr(0, 2), "en") << invalid;
  }
  EXPECT_EQ(LanguageTag("C.UTF-8"), "en");
  EXPECT_EQ(LanguageTag("nl_Netherlands"), "nl");
}

TEST(LanguageTag, TheUsersFirstLanguageComesFromLanguageBeforeTheLocale) {
  std::map<std::string, std::optional<std::string>> saved;
  for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(name);
    saved[name] = value ? std::optional<std::string>(value) : std::nullopt;
  }
  setenv("LC_ALL", "en_GB.UTF-8", 1);
  setenv("LANGUAGE", "de_AT:fr", 1);
  EXPECT_EQ(LanguageTag(MessagesLocaleName()), "de-AT");
  unsetenv("LANGUAGE");
  EXPECT_EQ(LanguageTag(MessagesLocaleName()), "en-GB");
  unsetenv("LC_ALL");
  setenv("LC_MESSAGES", "fr_CA.UTF-8", 1);
  setenv("LANG", "it_IT.UTF-8", 1);
  EXPECT_EQ(LanguageTag(MessagesLocaleName()), "fr-CA");
  for (const auto& [name, value] : saved) {
    if (value) {
      setenv(name.c_str(), value->c_str(), 1);
    } else {
      unsetenv(name.c_str());
    }
  }
}

TEST(ButtonMessages, ButtonsBecomeTheirWindowMessages) {
  ButtonEvent right;
  right.button = 3;
  right.x = 10.7;
  right.y = 20;
  right.shift = true;
  const auto down = ToButtonMessage(right);
  ASSERT_TRUE(down);
  EXPECT_EQ(down->message, 0x0204u);
  EXPECT_EQ(down->wParam, 0x0002 | 0x0004);
  EXPECT_EQ(down->lParam, 10 | (20 << 16));

  right.press = false;
  right.right = true;
  const auto up = ToButtonMessage(right);
  ASSERT_TRUE(up);
  EXPECT_EQ(up->message, 0x0205u);
  EXPECT_EQ(up->wParam, 0x0004);  // the right button is no longer held

  ButtonEvent left;
  left.x = -3;
  left.y = 5;
  left.right = true;
  const auto leftDown = ToButtonMessage(left);
  ASSERT_TRUE(leftDown);
  EXPECT_EQ(leftDown->message, 0x0201u);
  EXPECT_EQ(leftDown->wParam, 0x0001 | 0x0002);
  EXPECT_EQ(leftDown->lParam, static_cast<std::int32_t>(0xFFFDu | (5u << 16)));

  ButtonEvent middle;
  middle.button = 2;
  EXPECT_EQ(ToButtonMessage(middle)->message, 0x0207u);
  ButtonEvent side;
  side.button = 9;
  EXPECT_EQ(ToButtonMessage(side)->message, 0x020Bu);
  EXPECT_EQ(ToButtonMessage(side)->wParam, 0x0040 | (2 << 16));
  ButtonEvent scroll;
  scroll.button = 4;
  EXPECT_FALSE(ToButtonMessage(scroll));
}

TEST(PlayerWindowTable, EachLayerHasOnePlayerWindowWhoseSlotDecidesWhatThePlayerSees) {
  PlayerWindowTable table;
  const WindowHandle main = table.AddPlayerWindow("swfMain");
  const WindowHandle top = table.AddPlayerWindow("swfBackgroundTop");
  EXPECT_EQ(table.PlayerWindowOf("swfBackgroundTop"), top);
  EXPECT_EQ(table.PlayerWindowOf("swfNothing"), 0u);

  std::vector<WindowHandle> found;
  table.EnumChildWindows(
      PlayerWindowTable::kMainWindow,
      [&](WindowHandle window, std::int32_t lParam) {
        EXPECT_EQ(lParam, 12);
        found.push_back(window);
        return true;
      },
      12);
  EXPECT_THAT(found, ElementsAre(main, top));
  char name[256];
  EXPECT_EQ(table.GetClassName(main, name, 256), 28);
  EXPECT_STREQ(name, "MacromediaFlashPlayerActiveX");
  EXPECT_EQ(table.GetClassName(main, name, 6), 5);
  EXPECT_STREQ(name, "Macro");
  EXPECT_EQ(table.GetClassName(999, name, 256), 0);

  // The player's own procedure delivers everything.
  EXPECT_TRUE(table.Dispatch(main, WM_RBUTTONDOWN, 0, 0).delivered);

  const std::int32_t own = table.GetWindowLong(main, GWL_WNDPROC);
  test::RightPressSwallow context{&table, own};
  const std::int32_t replacement = table.RegisterProcedure(&test::SwallowRightPress, &context);
  EXPECT_EQ(table.SetWindowLong(main, GWL_WNDPROC, replacement), own);
  const auto swallowed = table.Dispatch(main, WM_RBUTTONDOWN, 0, 0);
  EXPECT_FALSE(swallowed.delivered);
  EXPECT_EQ(swallowed.result, 1);
  EXPECT_TRUE(table.Dispatch(main, WM_RBUTTONUP, 0, 0).delivered);
  EXPECT_TRUE(table.Dispatch(main, WM_LBUTTONDOWN, 0, 0).delivered);
  // A procedure value that names nothing passes the message nowhere.
  EXPECT_FALSE(table.CallWindowProc(0x7777, main, WM_LBUTTONDOWN, 0, 0));
  // The other window kept its own procedure.
  EXPECT_TRUE(table.Dispatch(top, WM_RBUTTONDOWN, 0, 0).delivered);

  table.SetWindowLong(main, GWL_WNDPROC, own);
  EXPECT_TRUE(table.Dispatch(main, WM_RBUTTONDOWN, 0, 0).delivered);
  EXPECT_EQ(table.SetWindowLong(999, GWL_WNDPROC, own), 0);
}

TEST(EventGate, EventsArrivingDuringAnEventRunAfterItInOrder) {
  std::vector<std::string> log;
  int flushes = 0;
  EventGate gate([&] { ++flushes; });
  gate.Run([&] {
    log.push_back("begin outer");
    // As if the page delivered two commands while the handler waited.
    gate.Run([&] { log.push_back("held 1"); });
    gate.Run([&] {
      log.push_back("held 2");
      gate.Run([&] { log.push_back("held 3"); });
    });
    EXPECT_TRUE(gate.Busy());
    log.push_back("end outer");
  });
  EXPECT_THAT(log, ElementsAre("begin outer", "end outer", "held 1", "held 2", "held 3"));
  EXPECT_EQ(flushes, 4);
  EXPECT_FALSE(gate.Busy());
}

TEST(EventGate, AHoldDefersEventsToTheLoopsNextTurnAndFailuresLeaveTheGateOpen) {
  std::vector<std::string> log;
  int wakes = 0;
  EventGate gate(nullptr, [&] { ++wakes; });
  {
    EventGate::Hold hold(gate);
    gate.Run([&] { log.push_back("during the dialog"); });
    EXPECT_TRUE(log.empty());
  }
  // Not from the hold's destructor: the loop is woken and drains the gate on its next turn.
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(wakes, 1);
  gate.Drain();
  EXPECT_THAT(log, ElementsAre("during the dialog"));
  // A failing event, of any kind, stops neither the ones held behind it nor later ones.
  gate.Run([&] {
    gate.Run([&] { log.push_back("after the failure"); });
    throw std::runtime_error("escaped");
  });
  gate.Run([&] { throw 42; });
  EXPECT_FALSE(gate.Busy());
  gate.Run([&] { log.push_back("still running"); });
  EXPECT_THAT(log, ElementsAre("during the dialog", "after the failure", "still running"));
}

// The page as a list of the calls it was sent, with variables it answers.
class RecordingPage : public PageCalls {
 public:
  void Call(nlohmann::json call) override { calls.push_back(std::move(call)); }
  std::optional<std::string> GetVariable(const std::string& control,
                                         const std::string& name) override {
    calls.push_back({{"op", "get"}, {"control", control}, {"name", name}});
    const auto found = answers.find(name);
    if (found == answers.end()) return std::nullopt;
    return found->second;
  }

  std::vector<nlohmann::json> calls;
  std::map<std::string, std::string> answers;
};

TEST(RuffleControl, TheShellsCallsBecomePageCallsInOrderAndAreTraced) {
  RecordingPage page;
  std::ostringstream traced;
  Trace trace(traced);
  int front = 4;
  FlashSettings settings;
  settings.scale = "NoScale";
  settings.salign = "LT";
  RuffleControl control("swfBackgroundTop", settings, 2,
                        {page, &trace, "/opt/app/", [&] { return ++front; }});
  EXPECT_EQ(page.calls.at(0), (nlohmann::json{{"op", "create"},
                                              {"control", "swfBackgroundTop"},
                                              {"scale", "noScale"},
                                              {"salign", "LT"},
                                              {"quality", "high"},
                                              {"wmode", "window"},
                                              {"menu", false},
                                              {"stacking", 2}}));

  control.SetWidth(15160);
  control.SetLeft(150);
  EXPECT_EQ(page.calls.back(), (nlohmann::json{{"op", "place"},
                                               {"control", "swfBackgroundTop"},
                                               {"left", 10.0},
                                               {"top", 0.0},
                                               {"width", 15160.0 / 15},
                                               {"height", 0.0}}));
  control.LoadMovie(0, "/opt/app//Menus/Background Top.swf");
  EXPECT_EQ(control.Movie(), "/opt/app//Menus/Background Top.swf");
  EXPECT_EQ(page.calls.back()["url"], "tdwk://app/Menus/Background%20Top.swf");
  EXPECT_EQ(page.calls.back()["bridge"], "tdwk://app/Menus/Background%20Top.swf?tdwk-bridge");
  control.SetVariable("welcomeMsg", "Welcome Sam");
  control.GotoFrame(0);
  control.Play();
  control.BringToFront();
  EXPECT_EQ(control.Stacking(), 5);
  EXPECT_EQ(page.calls.back(),
            (nlohmann::json{{"op", "front"}, {"control", "swfBackgroundTop"}, {"stacking", 5}}));

  page.answers["FIRST_NAME"] = "Sam";
  EXPECT_EQ(control.GetVariable("FIRST_NAME"), "Sam");
  try {
    control.GetVariable("NOT_THERE");
    ADD_FAILURE() << "a variable the movie does not answer must fail";
  } catch (const VbError& e) {
    EXPECT_EQ(e.Number(), kFlashMethodFailed);
  }

  // A movie outside the application folder is never served.
  control.LoadMovie(0, "/etc/passwd");
  EXPECT_TRUE(page.calls.back()["url"].is_null());
  EXPECT_EQ(control.Movie(), "/etc/passwd");

  std::vector<std::string> ops;
  std::istringstream lines(traced.str());
  for (std::string line; std::getline(lines, line);) {
    ops.push_back(nlohmann::json::parse(line)["op"].get<std::string>());
  }
  EXPECT_THAT(ops, ElementsAre("Set", "Set", "LoadMovie", "SetVariable", "GotoFrame", "Play",
                               "BringToFront", "GetVariable", "GetVariable", "LoadMovie"));
  EXPECT_THAT(traced.str(),
              ::testing::HasSubstr(R"("op":"GetVariable","name":"NOT_THERE","value":null})"));
}

// A restarted page gets each layer back as the shell left it: the player at its place and
// stacking, the movie, and the calls since its load; never the calls to an earlier movie.
TEST(RuffleControl, AReplayRebuildsTheLayerWithItsMovieAndTheCallsSinceItsLoad) {
  RecordingPage page;
  int front = 4;
  RuffleControl control("swfMain", FlashSettings{}, 1,
                        {page, nullptr, "/app/", [&] { return ++front; }});
  control.SetWidth(150);
  control.LoadMovie(0, "/app//Menus/Home.swf");
  control.SetVariable("OLD", "x");
  control.LoadMovie(0, "/app//Games/Snake.swf");
  control.SetVariable("FIRST_NAME", "Sam");
  control.GotoFrame(2);
  control.BringToFront();
  page.calls.clear();

  const nlohmann::json replay = control.ReplayCalls();
  std::vector<std::string> ops;
  for (const auto& call : replay) ops.push_back(call["op"]);
  EXPECT_THAT(ops, ElementsAre("create", "place", "load", "set", "goto"));
  EXPECT_EQ(replay[0]["stacking"], 5);
  EXPECT_EQ(replay[1]["width"], 10.0);
  EXPECT_EQ(replay[2]["url"], "tdwk://app/Games/Snake.swf");
  EXPECT_EQ(replay[3]["name"], "FIRST_NAME");
  EXPECT_TRUE(page.calls.empty());

  // A movie left empty after panicking in a loop stays empty until the next load.
  control.LeaveEmpty();
  EXPECT_TRUE(control.ReplayCalls().back()["url"].is_null());
  control.LoadMovie(0, "/app//Menus/Home.swf");
  EXPECT_EQ(control.ReplayCalls().back()["url"], "tdwk://app/Menus/Home.swf");
}

TEST(RecoveryPolicy, AMovieThatPanicsAgainSoonIsNotReplayedAndAPageThatKeepsFailingIsGivenUp) {
  RecoveryPolicy policy;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(policy.ReplayAfterPanic("swfMain", "a.swf", start));
  EXPECT_TRUE(policy.ReplayAfterPanic("swfBackgroundTop", "a.swf", start));
  EXPECT_TRUE(policy.ReplayAfterPanic("swfMain", "b.swf", start));
  EXPECT_FALSE(policy.ReplayAfterPanic("swfMain", "a.swf", start + 5s));
  EXPECT_TRUE(policy.ReplayAfterPanic("swfMain", "a.swf", start + 5s + RecoveryPolicy::kSoon));

  for (std::size_t i = 0; i < RecoveryPolicy::kPageFailuresTolerated; ++i) {
    EXPECT_TRUE(policy.RestartAfterPageFailure(start + std::chrono::seconds(i)));
  }
  EXPECT_FALSE(policy.RestartAfterPageFailure(start + 5s));
  EXPECT_TRUE(policy.RestartAfterPageFailure(start + 5s + RecoveryPolicy::kSoon));
}

TEST(RuffleControl, TheLayerCoversItsRectangle) {
  RecordingPage page;
  RuffleControl control("swfMain", {}, 1, {page, nullptr, "/opt/app/", [] { return 2; }});
  control.SetLeft(1450);
  control.SetTop(1450);
  control.SetWidth(13710);
  control.SetHeight(9870);
  EXPECT_TRUE(control.Contains(1450, 1450));
  EXPECT_TRUE(control.Contains(15159, 11319));
  EXPECT_FALSE(control.Contains(15160, 2000));
  EXPECT_FALSE(control.Contains(1449, 2000));
  EXPECT_EQ(page.calls.at(0)["scale"], "showAll");
}

TEST(VisitScript, ReadsConsoleEventsScreenshotsAndAwaitedEventsAndReportsBadLinesByNumber) {
  std::istringstream input(
      "# a comment\n"
      "swfMain vbLoadMovie SNAKE\r\n"
      "{\"event\":\"screenshot\",\"file\":\"home.png\"}\n"
      "{\"event\":\"screenshot\"}\n"
      "{\"event\":\"wait\",\"ms\":250}\n"
      "{\"event\":\"fly\"}\n"
      "{\"event\":\"close\"}\n"
      "{\"event\":\"shown\",\"control\":\"swfMain\"}\n"
      "{\"event\":\"shown\"}\n"
      "{\"event\":\"raised\",\"control\":\"swfMain\",\"command\":\"vbDone\"}\n");
  std::ostringstream errors;
  const std::vector<VisitStep> steps = ReadVisit(input, errors);

  ASSERT_EQ(steps.size(), 6u);
  const auto& command = std::get<InputEvent>(steps[0]);
  EXPECT_EQ(command.kind, InputEvent::Kind::FSCommand);
  EXPECT_EQ(command.args, "SNAKE");  // the line's carriage return is no part of it
  EXPECT_EQ(std::get<ScreenshotStep>(steps[1]).file, "home.png");
  EXPECT_EQ(std::get<InputEvent>(steps[2]).ms, 250);
  EXPECT_EQ(std::get<InputEvent>(steps[3]).kind, InputEvent::Kind::Close);
  EXPECT_EQ(std::get<ShownStep>(steps[4]).control, "swfMain");
  EXPECT_EQ(std::get<RaisedStep>(steps[5]).command, "vbDone");
  EXPECT_FALSE(std::get<RaisedStep>(steps[5]).args);  // any argument
  EXPECT_THAT(errors.str(), ::testing::HasSubstr("visit line 4: missing field 'file'"));
  EXPECT_THAT(errors.str(), ::testing::HasSubstr("visit line 6: "));
  EXPECT_THAT(errors.str(), ::testing::HasSubstr("visit line 9: missing field 'control'"));
}

}  // namespace
}  // namespace tdwk::desktop
