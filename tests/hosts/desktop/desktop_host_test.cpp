// The desktop host with real players under a virtual X server: what the shell's calls do to
// real movies, and what the movies' commands and a user's clicks do to the shell.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "base/vb_error.h"
#include "hosts/desktop/desktop_host.h"
#include "hosts/desktop/renderer_choice.h"
#include "platform/file_system_posix.h"
#include "platform/flash_errors.h"
#include "support/temp_folder.h"
#include "swallow_right_press.h"
#include "test_movies.h"
#include "xvfb_display.h"

namespace tdwk::desktop {
namespace {

using test::TestMovie;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;
using Clock = std::chrono::steady_clock;

using Command = std::pair<std::string, std::string>;

class DesktopHostTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    test::TestDisplay();
    ASSERT_TRUE(gtk_init_check(nullptr, nullptr));
  }

  DesktopHostTest() : files_(app_.Path()), trace_(traceText_) {
    std::filesystem::copy(TDWK_APP_DIR "/desktop", app_.Path() + "desktop",
                          std::filesystem::copy_options::recursive);
    DesktopHost::Options options;
    options.appPath = app_.Path();
    options.languageTag = "en";
    options.renderer = "canvas";
    // As tdwk decides: on the test display GL is drawn in software, so the page is not
    // composited (compositing through software GL would only cost the tests a core).
    options.composited = !DrawsInSoftware();
    host_ = std::make_unique<DesktopHost>(options, files_, &trace_);
    host_->SetWindowWidth(host_->ScreenWidthTwips());
    host_->SetWindowHeight(host_->ScreenHeightTwips());
  }

  ~DesktopHostTest() override {
    if (HasFailure()) {
      std::cerr << "trace:\n" << traceText_.str() << "received:\n";
      for (const auto& [control, list] : received_) {
        for (const auto& [c, a] : list)
          std::cerr << "  " << control << " " << c << " " << a << "\n";
      }
    }
    host_.reset();
    // Lets WebKit finish what the destroyed view left behind.
    while (g_main_context_iteration(nullptr, FALSE)) {
    }
  }

  void WriteMovie(const std::string& relative, const TestMovie& movie) {
    app_.WriteFile(relative, test::BuildTestMovie(movie));
  }

  // A layer recording the commands its movies send, placed in pixels.
  FlashControl& Layer(const std::string& name, int left, int top, int width, int height,
                      std::function<void(const Command&)> onCommand = nullptr) {
    FlashSettings settings;
    settings.scale = "ExactFit";
    FlashControl& control = host_->CreateFlashControl(name, settings);
    control.SetLeft(static_cast<float>(left * 15));
    control.SetTop(static_cast<float>(top * 15));
    control.SetWidth(static_cast<float>(width * 15));
    control.SetHeight(static_cast<float>(height * 15));
    control.OnFSCommand([this, name, onCommand](const std::string& c, const std::string& a) {
      received_[name].emplace_back(c, a);
      if (onCommand) onCommand({c, a});
    });
    return control;
  }

  const std::vector<Command>& Received(const std::string& control) { return received_[control]; }
  bool HasReceived(const std::string& control, const Command& command) {
    const auto& list = received_[control];
    return std::find(list.begin(), list.end(), command) != list.end();
  }

  // Runs the main loop until the condition holds; false when it did not within the time.
  bool RunUntil(const std::function<bool()>& condition, int seconds = 30) {
    const auto deadline = Clock::now() + std::chrono::seconds(seconds);
    while (!condition()) {
      if (Clock::now() > deadline) return false;
      g_main_context_iteration(nullptr, FALSE);
      g_usleep(1000);
    }
    return true;
  }

  test::TempFolder app_;
  PosixFileSystem files_;
  std::ostringstream traceText_;
  Trace trace_;
  std::unique_ptr<DesktopHost> host_;
  std::map<std::string, std::vector<Command>> received_;
};

TEST_F(DesktopHostTest, TheScreenIsTheMonitorAtFifteenTwipsAPixel) {
  EXPECT_EQ(host_->ScreenWidthTwips(), 1024 * 15);
  EXPECT_EQ(host_->ScreenHeightTwips(), 768 * 15);
}

// Version 6 movies are played as they are inside the version 8 bridge.
class MovieVersionTest : public DesktopHostTest, public ::testing::WithParamInterface<int> {};

TEST_P(MovieVersionTest, CallsMadeBeforeTheMovieLoadedAreAppliedInOrderOnceItHas) {
  TestMovie movie;
  movie.version = static_cast<std::uint8_t>(GetParam());
  movie.watch = {"FIRST_NAME", "ACTION_TYPE"};
  movie.afterReports = {{"vbDone", "yes"}};
  WriteMovie("Stories/Probe.swf", movie);

  FlashControl& swfMain = Layer("swfMain", 0, 0, 1024, 768);
  const std::string path = app_.Path() + "/Stories/Probe.swf";
  swfMain.LoadMovie(0, path);
  swfMain.SetVariable("FIRST_NAME", "Wrong");
  swfMain.SetVariable("FIRST_NAME", "Sam");
  swfMain.SetVariable("ACTION_TYPE", "SELECT \"1\" & <2>");
  swfMain.GotoFrame(2);
  host_->Show();

  // The variables travel with the load; the frame is gone to once the movie has loaded.
  ASSERT_TRUE(RunUntil([&] {
    return HasReceived("swfMain", {"vbDone", "yes"}) &&
           HasReceived("swfMain", {"tdwk_test_frame", "2"});
  }));
  const auto& got = Received("swfMain");
  EXPECT_THAT(got, Contains(Command{"tdwk_test_var", "FIRST_NAME=Sam"}));
  EXPECT_THAT(got, Not(Contains(Command{"tdwk_test_var", "FIRST_NAME=Wrong"})));
  EXPECT_THAT(got, Contains(Command{"tdwk_test_var", "ACTION_TYPE=SELECT \"1\" & <2>"}));
  EXPECT_THAT(got, Contains(Command{"tdwk_test_frame", "2"}));
  EXPECT_EQ(swfMain.Movie(), path);

  // Once loaded, calls are applied at once: the movie plays on to the next frame.
  swfMain.Play();
  ASSERT_TRUE(RunUntil([&] { return HasReceived("swfMain", {"tdwk_test_frame", "3"}); }));
  EXPECT_THAT(traceText_.str(), HasSubstr(R"({"control":"swfMain","op":"Play"})"));
}

INSTANTIATE_TEST_SUITE_P(Versions, MovieVersionTest, ::testing::Values(6, 8));

TEST_F(DesktopHostTest, GetVariableWaitsForThePageAndHoldsBackCommandsThatArriveMeanwhile) {
  TestMovie movie;
  movie.commands = {{"vbFirst", ""}, {"vbSecond", ""}};
  WriteMovie("Menus/Form.swf", movie);

  std::vector<std::string> log;
  FlashControl* control = nullptr;
  control = &Layer("swfMain", 0, 0, 800, 600, [&](const Command& command) {
    if (command.first == "vbFirst") {
      log.push_back("begin first");
      log.push_back("GREETING=" + control->GetVariable("GREETING"));
      log.push_back("EMPTY=" + control->GetVariable("EMPTY") + ".");
      try {
        control->GetVariable("NOT_DEFINED");
        log.push_back("NOT_DEFINED answered");
      } catch (const VbError& e) {
        log.push_back("NOT_DEFINED failed " + std::to_string(e.Number()));
      }
      log.push_back("end first");
    } else if (command.first == "vbSecond") {
      log.push_back("second");
    }
  });
  // Commands of the movie's first frame may come before the bridge has told the page that
  // the movie has loaded: the read then waits for the variable set before it.
  control->LoadMovie(0, app_.Path() + "/Menus/Form.swf");
  control->SetVariable("GREETING", "hello");
  control->SetVariable("EMPTY", "");  // an empty form field is a text, not "null" or nothing
  host_->Show();

  ASSERT_TRUE(RunUntil([&] { return log.size() >= 6; }));
  EXPECT_THAT(log, ElementsAre("begin first", "GREETING=hello", "EMPTY=.",
                               "NOT_DEFINED failed " + std::to_string(kFlashMethodFailed),
                               "end first", "second"));
  EXPECT_THAT(
      traceText_.str(),
      HasSubstr(R"({"control":"swfMain","op":"GetVariable","name":"GREETING","value":"hello"})"));
  EXPECT_THAT(
      traceText_.str(),
      HasSubstr(R"({"control":"swfMain","op":"GetVariable","name":"NOT_DEFINED","value":null})"));
}

TEST_F(DesktopHostTest, MoviesAreFoundWithoutRegardToLetterCaseAndMoviePathsKeptAsGiven) {
  WriteMovie("Games/Snake.swf", TestMovie{});
  FlashControl& swfMain = Layer("swfMain", 0, 0, 640, 480);
  const std::string path = app_.Path() + "/GAMES//snake.SWF";
  swfMain.LoadMovie(0, path);
  host_->Show();
  ASSERT_TRUE(RunUntil([&] { return HasReceived("swfMain", {"tdwk_test_frame", "0"}); }));
  EXPECT_EQ(swfMain.Movie(), path);
}

TEST_F(DesktopHostTest, AMissingMovieOrOneOutsideTheFolderPlaysNothingAndAnswersNoVariable) {
  FlashControl& swfMain = Layer("swfMain", 0, 0, 640, 480);
  FlashControl& swfBackgroundTop = Layer("swfBackgroundTop", 0, 0, 640, 100);
  swfMain.LoadMovie(0, app_.Path() + "/Games/Missing.swf");
  swfBackgroundTop.LoadMovie(0, "/etc/passwd");
  host_->Show();
  EXPECT_THROW(swfMain.GetVariable("X"), VbError);
  EXPECT_THROW(swfBackgroundTop.GetVariable("X"), VbError);
  EXPECT_EQ(swfBackgroundTop.Movie(), "/etc/passwd");
}

TEST_F(DesktopHostTest, ALaterMovieReplacesTheOneStillLoading) {
  TestMovie first;
  first.commands = {{"vbFromFirst", ""}};
  WriteMovie("Menus/First.swf", first);
  TestMovie second;
  second.watch = {"WHO"};
  WriteMovie("Menus/Second.swf", second);
  FlashControl& swfMain = Layer("swfMain", 0, 0, 640, 480);
  swfMain.LoadMovie(0, app_.Path() + "/Menus/First.swf");
  swfMain.SetVariable("WHO", "first");
  swfMain.LoadMovie(0, app_.Path() + "/Menus/Second.swf");
  swfMain.SetVariable("WHO", "second");
  host_->Show();
  ASSERT_TRUE(RunUntil([&] { return HasReceived("swfMain", {"tdwk_test_var", "WHO=second"}); }));
  EXPECT_FALSE(HasReceived("swfMain", {"vbFromFirst", ""}));
  EXPECT_FALSE(HasReceived("swfMain", {"tdwk_test_var", "WHO=first"}));
}

TEST_F(DesktopHostTest, APlayingMovieThatIsReplacedFallsSilent) {
  TestMovie first;
  first.later = {{"vbFromFirst", ""}};
  first.laterTicks = 12;
  WriteMovie("Menus/First.swf", first);
  TestMovie second;
  second.watch = {"WHO"};
  // Started after the first, it has played as many ticks as the first needed only later.
  second.later = {{"vbFromSecond", ""}};
  second.laterTicks = first.laterTicks;
  WriteMovie("Menus/Second.swf", second);
  FlashControl& swfMain = Layer("swfMain", 0, 0, 640, 480);
  host_->Show();
  swfMain.LoadMovie(0, app_.Path() + "/Menus/First.swf");
  ASSERT_TRUE(RunUntil([&] { return HasReceived("swfMain", {"tdwk_test_frame", "0"}); }));
  swfMain.LoadMovie(0, app_.Path() + "/Menus/Second.swf");
  swfMain.SetVariable("WHO", "second");
  ASSERT_TRUE(RunUntil([&] { return HasReceived("swfMain", {"tdwk_test_var", "WHO=second"}); }));
  ASSERT_TRUE(RunUntil([&] { return HasReceived("swfMain", {"vbFromSecond", ""}); }));
  EXPECT_FALSE(HasReceived("swfMain", {"vbFromFirst", ""}));
}

TEST_F(DesktopHostTest, ButtonsGoThroughThePlayerWindowsProcedureSlot) {
  WriteMovie("Menus/Home.swf", TestMovie{});
  TestMovie top;
  top.red = 0x99;
  WriteMovie("Menus/Top.swf", top);
  FlashControl& swfMain = Layer("swfMain", 100, 100, 600, 400);
  FlashControl& swfBackgroundTop = Layer("swfBackgroundTop", 0, 0, 1024, 120);
  swfMain.LoadMovie(0, app_.Path() + "/Menus/Home.swf");
  swfBackgroundTop.LoadMovie(0, app_.Path() + "/Menus/Top.swf");
  swfMain.BringToFront();
  host_->Show();
  ASSERT_TRUE(RunUntil([&] {
    return HasReceived("swfMain", {"tdwk_test_frame", "0"}) &&
           HasReceived("swfBackgroundTop", {"tdwk_test_frame", "0"});
  }));

  PlayerWindows& windows = host_->playerWindows();
  std::vector<test::RightPressSwallow> swallows;
  swallows.reserve(2);
  std::vector<std::pair<WindowHandle, std::int32_t>> replaced;
  windows.EnumChildWindows(
      host_->MainWindowHandle(),
      [&](WindowHandle window, std::int32_t) {
        swallows.push_back({&windows, windows.GetWindowLong(window, GWL_WNDPROC)});
        replaced.emplace_back(window, swallows.back().own);
        windows.SetWindowLong(
            window, GWL_WNDPROC,
            windows.RegisterProcedure(&test::SwallowRightPress, &swallows.back()));
        return true;
      },
      12);
  ASSERT_EQ(replaced.size(), 2u);

  const auto presses = [&](const std::string& control) {
    return std::count(Received(control).begin(), Received(control).end(),
                      Command{"tdwk_test_press", ""});
  };
  // swfMain lies over the top bar where they overlap: the press is the front layer's.
  test::TestDisplay().Click(400, 110, 3);
  test::TestDisplay().Click(400, 110, 1);
  ASSERT_TRUE(RunUntil([&] { return presses("swfMain") == 1; }));
  test::TestDisplay().Click(400, 50, 1);
  ASSERT_TRUE(RunUntil([&] { return presses("swfBackgroundTop") == 1; }));
  // A double click is two presses, however the window system reports it besides.
  const auto count = [&](const std::string& line) {
    const std::string trace = traceText_.str();
    std::size_t n = 0;
    for (std::size_t at = trace.find(line); at != std::string::npos;
         at = trace.find(line, at + 1)) {
      ++n;
    }
    return n;
  };
  const std::string topPress = R"({"control":"swfBackgroundTop","op":"Message","message":513,)";
  test::TestDisplay().DoubleClick(200, 50, 1);
  ASSERT_TRUE(RunUntil([&] { return count(topPress) >= 3; }));
  // Events arrive in order: once a later right click is traced, so is all the double click.
  const std::string mainRightPress = R"({"control":"swfMain","op":"Message","message":516,)";
  test::TestDisplay().Click(400, 300, 3);
  ASSERT_TRUE(RunUntil([&] { return count(mainRightPress) >= 2; }));
  const std::string trace = traceText_.str();
  EXPECT_EQ(count(topPress), 3u);
  EXPECT_THAT(
      trace,
      HasSubstr(
          R"({"control":"swfMain","op":"Message","message":516,"delivered":false,"result":1})"));
  EXPECT_THAT(
      trace,
      HasSubstr(
          R"({"control":"swfMain","op":"Message","message":517,"delivered":true,"result":0})"));
  EXPECT_THAT(
      trace,
      HasSubstr(
          R"({"control":"swfMain","op":"Message","message":513,"delivered":true,"result":0})"));
  EXPECT_THAT(
      trace,
      HasSubstr(
          R"({"control":"swfBackgroundTop","op":"Message","message":513,"delivered":true,"result":0})"));

  // The players' own procedures back: the right button reaches the player again.
  for (const auto& [window, own] : replaced) windows.SetWindowLong(window, GWL_WNDPROC, own);
  test::TestDisplay().Click(400, 300, 3);
  ASSERT_TRUE(RunUntil([&] {
    return traceText_.str().find(R"("message":516,"delivered":true)") != std::string::npos;
  }));
  EXPECT_EQ(presses("swfMain"), 1);
}

TEST_F(DesktopHostTest, KeysReachTheMovie) {
  TestMovie movie;
  movie.reportKeys = true;
  WriteMovie("Menus/Startup.swf", movie);
  FlashControl& swfMain = Layer("swfMain", 0, 0, 1024, 768);
  swfMain.LoadMovie(0, app_.Path() + "/Menus/Startup.swf");
  host_->Show();
  ASSERT_TRUE(RunUntil([&] { return HasReceived("swfMain", {"tdwk_test_frame", "0"}); }));
  // The page may take the key before the click, when it was busy as the click came.
  test::TestDisplay().Click(500, 400, 1);
  ASSERT_TRUE(RunUntil([&] { return HasReceived("swfMain", {test::kPressReport, ""}); }));
  test::TestDisplay().PressKey("a");
  ASSERT_TRUE(RunUntil([&] { return HasReceived("swfMain", {test::kKeyReport, "65"}); }, 10));
}

TEST_F(DesktopHostTest, TimersTickOnTheMainLoopWhileEnabled) {
  int ticks = 0;
  Timer& timer = host_->CreateTimer("tmrUnload", 200, [&] { ++ticks; });
  EXPECT_FALSE(timer.Enabled());
  const auto start = Clock::now();
  timer.SetEnabled(true);
  ASSERT_TRUE(RunUntil([&] { return ticks == 2; }));
  EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(390));
  timer.SetEnabled(false);
  // A timer of the same interval started now ticks twice in the time the first would have.
  int witnessTicks = 0;
  host_->CreateTimer("tmrWitness", 200, [&] { ++witnessTicks; }).SetEnabled(true);
  ASSERT_TRUE(RunUntil([&] { return witnessTicks == 2; }));
  EXPECT_EQ(ticks, 2);
  EXPECT_THAT(traceText_.str(),
              HasSubstr(R"({"control":"tmrUnload","op":"Set","property":"Enabled","value":true})"));
}

TEST_F(DesktopHostTest, TheMessageBoxIsModalAlsoBeforeTheWindowExists) {
  // Closes the box once it is on the screen, as the user would.
  const guint closer = g_timeout_add(
      200,
      [](gpointer) -> gboolean {
        test::TestDisplay().CloseWindows("tindlewick");
        return G_SOURCE_CONTINUE;
      },
      nullptr);
  const auto start = Clock::now();
  host_->MessageBox("There was a problem showing the main screen.");
  g_source_remove(closer);
  EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(150));
  EXPECT_EQ(traceText_.str(),
            R"({"control":"frmTDWK","op":"Set","property":"Width","value":15360})"
            "\n"
            R"({"control":"frmTDWK","op":"Set","property":"Height","value":11520})"
            "\n"
            R"({"op":"MessageBox","text":"There was a problem showing the main screen."})"
            "\n");
}

}  // namespace
}  // namespace tdwk::desktop
