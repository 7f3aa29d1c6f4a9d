#pragma once

#include <webkit2/webkit2.h>

#include <functional>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "hosts/desktop/app_scheme.h"
#include "hosts/desktop/event_gate.h"
#include "hosts/desktop/page_calls.h"
#include "hosts/desktop/runtime_folder.h"
#include "hosts/desktop/web_sandbox.h"

namespace tdwk::desktop {

// The web view whose page holds the four players. Calls are collected and sent to the page
// in order, as one batch, when the event that made them is done (or when the loop is idle);
// calls made before the page is ready wait for it. Messages from the page arrive on the GTK
// thread.
class PlayerPage : public PageCalls {
 public:
  struct Options {
    std::string pageUrl;      // the page, with its query
    std::string languageTag;  // what navigator.language reports
    // Writes a line to the error log.
    std::function<void(const std::string&)> log;
    // The page's web process ended (crashed, was killed, ran out of memory).
    std::function<void(const std::string& reason)> onProcessGone;
    // A script run before the page's own, for measurements; empty for none.
    std::string probeScript;
    // The sandbox check, started early; null to check when the page is made.
    WebSandboxCheck* sandbox = nullptr;
    bool composited = true;  // off: the view draws the page without compositing
  };
  using MessageHandler = std::function<void(const nlohmann::json& message)>;

  PlayerPage(Options options, AppScheme& scheme, EventGate& gate, MessageHandler onMessage);
  ~PlayerPage() override;
  PlayerPage(const PlayerPage&) = delete;
  PlayerPage& operator=(const PlayerPage&) = delete;

  GtkWidget* View() const { return GTK_WIDGET(view_); }

  void Call(nlohmann::json call) override;
  std::optional<std::string> GetVariable(const std::string& control,
                                         const std::string& name) override;
  // Sends the calls collected so far, once the page is ready.
  void Flush();
  // Loads the page anew, in a new web process if the old one ended, and sends it these
  // calls first, then those made from now on.
  void Restart(nlohmann::json calls);

 private:
  struct Answer;
  // Whether the page answers; shared with the answers still on their way.
  struct Health {
    bool responsive = true;
    bool probing = false;
  };

  static void OnScriptMessage(WebKitUserContentManager*, WebKitJavascriptResult* result,
                              gpointer self);
  static gboolean OnDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision,
                                 WebKitPolicyDecisionType type, gpointer self);
  static GtkWidget* OnCreate(WebKitWebView*, WebKitNavigationAction*, gpointer);
  static gboolean OnContextMenu(WebKitWebView*, WebKitContextMenu*, GdkEvent*, WebKitHitTestResult*,
                                gpointer);
  static void OnDownload(WebKitWebContext*, WebKitDownload* download, gpointer);
  static void OnProcessGone(WebKitWebView*, WebKitWebProcessTerminationReason, gpointer self);
  static gboolean OnLoadFailed(WebKitWebView*, WebKitLoadEvent, gchar* uri, GError* error,
                               gpointer self);
  static void OnGetFinished(GObject* view, GAsyncResult* result, gpointer answer);
  static gboolean OnIdleFlush(gpointer self);

  void Receive(const std::string& text);
  // The colour of the window wherever no movie is drawn, as 0xRRGGBB.
  void ShowBackground(unsigned rgb);
  void MarkUnresponsive();
  // Asks the page for a trivial answer that marks it responsive again.
  void ProbeResponsiveness();
  // Runs the main loop until done() or the time is up; false when the time ran out.
  bool WaitFor(const std::function<bool()>& done, int timeoutMs);

  RuntimeFolder runtime_;  // before the web view's processes start
  Options options_;
  EventGate& gate_;
  MessageHandler onMessage_;
  WebKitWebContext* context_ = nullptr;
  WebKitUserContentManager* content_ = nullptr;
  WebKitWebView* view_ = nullptr;
  std::vector<nlohmann::json> outbox_;
  guint idleFlush_ = 0;
  bool navigated_ = false;
  bool ready_ = false;
  bool shownAny_ = false;  // a movie's first frame has been on screen
  GtkCssProvider* windowColour_ = nullptr;
  bool gone_ = false;  // the page's process ended or the page failed to load
  std::shared_ptr<Health> health_ = std::make_shared<Health>();
};

}  // namespace tdwk::desktop
