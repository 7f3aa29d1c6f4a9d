#pragma once

#include <gtk/gtk.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "hosts/common/player_window_table.h"
#include "hosts/common/trace.h"
#include "hosts/desktop/app_scheme.h"
#include "hosts/desktop/event_gate.h"
#include "hosts/desktop/player_page.h"
#include "hosts/desktop/recovery_policy.h"
#include "hosts/desktop/ruffle_control.h"
#include "hosts/desktop/visit_replay.h"
#include "hosts/desktop/visit_script.h"
#include "hosts/desktop/web_sandbox.h"
#include "platform/window_host.h"

namespace tdwk::desktop {

// The window system of tdwk: one full-screen GTK window holding the players' page, timers
// from GLib and GTK's modal dialog. Everything runs on the GTK main loop.
class DesktopHost : public WindowHost {
 public:
  struct Options {
    std::string appPath;  // ends in '/'
    // The user's own folder whose movies win over the application folder's; empty for none.
    std::string contentFolder;
    std::string languageTag;
    std::string renderer;  // the player's renderer, empty for the one this machine draws fastest
    // Whether layers keep a started player ready for their next movie; off only to measure
    // what that saves.
    bool spares = true;
    // Whether the web view composites the page (on a GPU); off where GL is drawn in software.
    bool composited = true;
    // Where the page's latency measurements go; null when they are not taken.
    std::ostream* latency = nullptr;
    // WebKit's sandbox check, started early; null to check when the page is made.
    WebSandboxCheck* sandbox = nullptr;
    // A scripted visit replayed once the window is shown; empty for none.
    std::vector<VisitStep> visit;
  };

  DesktopHost(Options options, FileSystem& files, Trace* trace);
  ~DesktopHost() override;
  DesktopHost(const DesktopHost&) = delete;
  DesktopHost& operator=(const DesktopHost&) = delete;

  PlayerWindows& playerWindows() { return windows_; }

  float ScreenWidthTwips() const override { return screenWidth_; }
  float ScreenHeightTwips() const override { return screenHeight_; }
  void SetWindowWidth(float twips) override;
  void SetWindowHeight(float twips) override;
  float WindowWidth() const override { return windowWidth_; }
  float WindowHeight() const override { return windowHeight_; }
  WindowHandle MainWindowHandle() const override { return PlayerWindowTable::kMainWindow; }
  FlashControl& CreateFlashControl(const std::string& name, const FlashSettings& settings) override;
  Timer& CreateTimer(const std::string& name, int intervalMs,
                     std::function<void()> onTick) override;
  void MessageBox(const std::string& text) override;
  void ShowModal(WindowEvents& events) override;
  void UnloadWindow() override;
  void EndProgram() override;

  // Shows the window over the whole screen (ShowModal does it after Form_Load).
  void Show();

  // Where the host's own failures and recoveries are logged besides standard error (the
  // shell's error log, once the shell exists).
  void SetErrorLog(std::function<void(const std::string&)> writeLog);
  void LogFailure(const std::string& text);

  // For the event gate and the timers.
  EventGate& gate() { return gate_; }
  Trace* trace() { return trace_; }
  bool WindowGone() const { return unloaded_ || ended_; }

 private:
  class GlibTimer;

  void CreateWindow();
  void OnPageMessage(const nlohmann::json& message);
  void DropMessage(const nlohmann::json& message);
  void OnPanic(const nlohmann::json& message);
  void OnProcessGone(const std::string& reason);
  // Loads the page anew with every layer as the shell left it.
  void RestartPage();
  static gboolean OnDrain(gpointer self);
  RuffleControl* Control(const std::string& name);
  // The layer in front at a point of the page, in pixels; null when there is none.
  RuffleControl* LayerAt(double x, double y);
  bool OnButton(GdkEventButton* event);
  void ApplyWindowSize();
  void Quit();
  bool PerformVisitStep(const VisitStep& step);
  bool VisitStepCameAbout(const VisitStep& step);
  void WriteScreenshot(const std::string& file);
  // The latency benchmark's measurements: the page's probe and the host's start-up stages.
  std::string ReadProbeScript() const;
  void Mark(const std::string& stage);
  void WriteLatency(const nlohmann::json& message);

  static gboolean OnButtonEvent(GtkWidget*, GdkEventButton* event, gpointer self);
  static gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer self);

  Options options_;
  Trace* trace_;
  AppScheme scheme_;
  PlayerWindowTable windows_;
  bool lastPressDelivered_ = true;  // whether the page received the latest button press
  EventGate gate_;
  float screenWidth_ = 0, screenHeight_ = 0;
  float windowWidth_ = 0, windowHeight_ = 0;
  GtkWidget* window_ = nullptr;
  std::unique_ptr<PlayerPage> page_;
  std::vector<std::unique_ptr<RuffleControl>> controls_;
  std::vector<std::unique_ptr<GlibTimer>> timers_;
  int front_ = 0;
  WindowEvents* events_ = nullptr;
  GMainLoop* loop_ = nullptr;
  std::unique_ptr<VisitReplay> visit_;
  std::function<void(const std::string&)> writeLog_;
  RecoveryPolicy recovery_;
  guint drainSource_ = 0;
  // The commands the movies raised during a visit, for the steps that wait for one.
  struct RaisedCommand {
    std::string control, command, args;
  };
  std::vector<RaisedCommand> raisedInVisit_;
  bool unloaded_ = false;
  bool ended_ = false;
};

}  // namespace tdwk::desktop
