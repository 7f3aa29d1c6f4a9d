#include "shell/main_window.h"

#include <cmath>

#include "shell/shell.h"
#include "shell/trap.h"

namespace tdwk {

namespace {

constexpr float kBarThickness = 1250;
constexpr float kCornerSize = 500;
constexpr float kLeftBarTop = 1220;
constexpr float kContentMargin = 200;

FlashSettings LayerSettings(std::string scale, std::string salign) {
  FlashSettings settings;
  settings.scale = std::move(scale);
  settings.salign = std::move(salign);
  return settings;
}

// A position or size that cannot be represented is a failure like any other.
float Checked(float twips) {
  if (!std::isfinite(twips) || twips < 0) Raise(vb::kInvalidPropertyValue);
  return twips;
}

FlashControl& Existing(FlashControl* control) {
  if (control == nullptr) Raise(vb::kObjectNotSet);
  return *control;
}

}  // namespace

void MainWindow::Create() {
  if (Exists()) return;
  WindowHost& host = shell_.platform.window;
  tmrUnload_ = &host.CreateTimer("tmrUnload", 500, [this] { tmrUnload_Timer(); });
  swfMain_ = &host.CreateFlashControl("swfMain", LayerSettings("ExactFit", ""));
  swfBackgroundTop_ = &host.CreateFlashControl("swfBackgroundTop", LayerSettings("NoScale", "LT"));
  swfBackgroundLeft_ =
      &host.CreateFlashControl("swfBackgroundLeft", LayerSettings("NoScale", "LT"));
  swfBackgroundCorner_ =
      &host.CreateFlashControl("swfBackgroundCorner", LayerSettings("ExactFit", ""));

  MovieCommands& commands = shell_.commands;
  swfMain_->OnFSCommand([&commands](const std::string& command, const std::string& args) {
    commands.swfMain_FSCommand(command, args);
  });
  swfBackgroundTop_->OnFSCommand([&commands](const std::string& command, const std::string& args) {
    commands.swfBackgroundTop_FSCommand(command, args);
  });
  swfBackgroundLeft_->OnFSCommand([&commands](const std::string& command, const std::string& args) {
    commands.swfBackgroundLeft_FSCommand(command, args);
  });
}

FlashControl& MainWindow::swfMain() {
  return Existing(swfMain_);
}
FlashControl& MainWindow::swfBackgroundTop() {
  return Existing(swfBackgroundTop_);
}
FlashControl& MainWindow::swfBackgroundLeft() {
  return Existing(swfBackgroundLeft_);
}
FlashControl& MainWindow::swfBackgroundCorner() {
  return Existing(swfBackgroundCorner_);
}

Timer& MainWindow::tmrUnload() {
  if (tmrUnload_ == nullptr) Raise(vb::kObjectNotSet);
  return *tmrUnload_;
}

void MainWindow::Form_Load() {
  RunTrapped(
      shell_.errors, kFormModule, "Form_Load",
      [&] {
        WindowHost& host = shell_.platform.window;
        const std::string& appPath = shell_.state.appPath;
        host.SetWindowWidth(Checked(host.ScreenWidthTwips()));
        host.SetWindowHeight(Checked(host.ScreenHeightTwips()));

        FlashControl& top = swfBackgroundTop();
        top.SetWidth(Checked(host.WindowWidth() - 200));
        top.SetHeight(kBarThickness);
        top.SetLeft(0);
        top.SetTop(0);
        top.LoadMovie(0, appPath + "/Menus/BackgroundTop.swf");
        top.BringToFront();

        FlashControl& left = swfBackgroundLeft();
        left.SetWidth(kBarThickness);
        left.SetHeight(Checked(host.WindowHeight() - 1450));
        left.SetLeft(0);
        left.SetTop(kLeftBarTop);
        left.LoadMovie(0, appPath + "/Menus/BackgroundLeft.swf");

        FlashControl& corner = swfBackgroundCorner();
        corner.SetWidth(kCornerSize);
        corner.SetHeight(kCornerSize);
        corner.SetLeft(kBarThickness);
        corner.SetTop(kBarThickness);
        corner.LoadMovie(0, appPath + "/Menus/BackgroundCorner.swf");

        PutMainInFullWindow();
        swfMain().LoadMovie(0, appPath + "/Menus/Intro.swf");
        swfMain().BringToFront();

        shell_.subclassing.Install();
      },
      "There was a problem loading the main screen.");
}

void MainWindow::Form_Unload() {
  const bool completed = RunTrapped(shell_.errors, kFormModule, "Form_Unload", [&] {
    shell_.state.currentChild.reset();
    shell_.subclassing.Restore();
  });
  if (!completed) {
    unloadFailed_ = true;
    shell_.platform.window.EndProgram();
  }
}

void MainWindow::tmrUnload_Timer() {
  shell_.platform.window.UnloadWindow();
}

void MainWindow::LoadMovie(std::string sMovie, bool bGotoFrame2) {
  RunTrapped(shell_.errors, kFormModule, "LoadMovie", [&] {
    FlashControl& main = swfMain();
    if (main.Movie() == sMovie) return;
    main.LoadMovie(0, sMovie);
    shell_.attributes.setFlashClildAttributes();
    if (bGotoFrame2) main.Play();
  });
}

std::string MainWindow::WelcomeMessage() const {
  const auto& child = shell_.state.currentChild;
  if (!child) Raise(vb::kObjectNotSet);
  return "Welcome " + child->firstName + ", this is a demonstration version of tindlewick";
}

void MainWindow::PutMainInFullWindow() {
  const WindowHost& host = shell_.platform.window;
  FlashControl& main = swfMain();
  main.SetLeft(0);
  main.SetTop(0);
  main.SetWidth(Checked(host.WindowWidth()));
  main.SetHeight(Checked(host.WindowHeight()));
}

void MainWindow::PutMainInContentArea() {
  const WindowHost& host = shell_.platform.window;
  FlashControl& main = swfMain();
  const float leftBarWidth = swfBackgroundLeft().Width();
  const float topBarHeight = swfBackgroundTop().Height();
  main.SetWidth(Checked(host.WindowWidth() - (leftBarWidth + 2 * kContentMargin)));
  main.SetHeight(Checked(host.WindowHeight() - (topBarHeight + 2 * kContentMargin)));
  main.SetLeft(Checked(leftBarWidth + kContentMargin));
  main.SetTop(Checked(topBarHeight + kContentMargin));
}

void MainWindow::showHomeMenu(bool bTopBarShown) {
  PutMainInContentArea();
  LoadMovie(shell_.state.appPath + "/Menus/Home.swf", false);
  swfMain().SetVariable("welcomeMsg", WelcomeMessage());
  if (!bTopBarShown) swfBackgroundTop().Play();
}

void MainWindow::showExitConfirmation() {
  LoadMovie(shell_.state.appPath + "/Menus/confirmExit.swf", false);
  swfMain().GotoFrame(shell_.state.userCount == 1 ? 2 : 1);
}

void MainWindow::showFinishMovie() {
  PutMainInFullWindow();
  swfBackgroundTop().GotoFrame(0);
  swfMain().LoadMovie(0, shell_.state.appPath + "/Menus/Finish.swf");
}

}  // namespace tdwk
