#include "hosts/desktop/player_page.h"

#include <fmt/format.h>
#include <cstdio>
#include <exception>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "hosts/desktop/web_sandbox.h"

namespace tdwk::desktop {

namespace {

// How long a call that waits for the page waits at most: long enough for a large movie to
// load, short enough that a page that has stopped answering does not hang the program.
constexpr int kAnswerTimeoutMs = 15000;

// A proxy on the loopback discard port: a request given to it never leaves the machine.
constexpr const char* kNowhere = "http://127.0.0.1:9";

void Log(const char* what, const char* detail) {
  std::fprintf(stderr, "tdwk: %s: %s\n", what, detail);
}

// The player is 14 MB of WebAssembly. JavaScriptCore first interprets it, compiles functions
// that run often with its baseline compiler and the hottest again with its optimising one. At
// the default thresholds the optimising compiler takes on hundreds of the player's large
// functions while the first movie starts, and on a two-core machine that holds the
// introduction's first frame back by seconds. With fortyfold thresholds it still optimises the
// code that runs every frame, a few seconds later. JavaScriptCore reads its options from
// JSC_<option> variables; the web process inherits them, and a value set by the user stays.
void TuneWebAssemblyTiers() {
  g_setenv("JSC_thresholdForOMGOptimizeAfterWarmUp", "2000000", FALSE);
  g_setenv("JSC_thresholdForOMGOptimizeSoon", "20000", FALSE);
}

// Nothing a page asks for opens on the desktop: every handler answers "handled" having done
// nothing, or refuses what it was asked.
gboolean RefuseFileChooser(WebKitWebView*, WebKitFileChooserRequest* request, gpointer) {
  Log("refused", "a file chooser");
  webkit_file_chooser_request_cancel(request);
  return TRUE;
}

gboolean RefuseColorChooser(WebKitWebView*, WebKitColorChooserRequest* request, gpointer) {
  Log("refused", "a colour chooser");
  webkit_color_chooser_request_cancel(request);
  return TRUE;
}

gboolean RefusePermission(WebKitWebView*, WebKitPermissionRequest* request, gpointer) {
  webkit_permission_request_deny(request);
  return TRUE;
}

gboolean Swallow(WebKitWebView*, gpointer, gpointer) {
  return TRUE;
}

gboolean SwallowFullScreen(WebKitWebView*, gpointer) {
  return TRUE;
}

void RefuseDesktopRequests(WebKitWebView* view) {
  g_signal_connect(view, "run-file-chooser", G_CALLBACK(&RefuseFileChooser), nullptr);
  g_signal_connect(view, "run-color-chooser", G_CALLBACK(&RefuseColorChooser), nullptr);
  g_signal_connect(view, "permission-request", G_CALLBACK(&RefusePermission), nullptr);
  // Script dialogs (alert, confirm, prompt, before-unload) are answered as dismissed.
  g_signal_connect(view, "script-dialog", G_CALLBACK(&Swallow), nullptr);
  g_signal_connect(view, "print", G_CALLBACK(&Swallow), nullptr);
  g_signal_connect(view, "show-notification", G_CALLBACK(&Swallow), nullptr);
  // The window is already full screen; a page's own request would lift one layer above it.
  g_signal_connect(view, "enter-fullscreen", G_CALLBACK(&SwallowFullScreen), nullptr);
}

void OnRunFinished(GObject* view, GAsyncResult* result, gpointer) {
  GError* error = nullptr;
  JSCValue* value =
      webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(view), result, &error);
  if (value != nullptr) g_object_unref(value);
  if (error != nullptr) {
    Log("a call to the page failed", error->message);
    g_error_free(error);
  }
}

}  // namespace

struct PlayerPage::Answer {
  bool done = false;
  std::optional<std::string> value;
  std::shared_ptr<Health> health;
};

PlayerPage::PlayerPage(Options options, AppScheme& scheme, EventGate& gate,
                       MessageHandler onMessage)
    : options_(std::move(options)), gate_(gate), onMessage_(std::move(onMessage)) {
  TuneWebAssemblyTiers();
  // Ephemeral: the page keeps no cache, cookies or storage anywhere on disk.
  context_ = webkit_web_context_new_ephemeral();
  // The web process runs the movies: in WebKit's sandbox wherever it can start.
  std::optional<WebSandboxCheck> checkedNow;
  WebSandboxCheck& check = options_.sandbox != nullptr ? *options_.sandbox : checkedNow.emplace();
  const SandboxCheck& sandbox = check.Result();
  if (sandbox.usable) {
    webkit_web_context_set_sandbox_enabled(context_, TRUE);
  } else if (options_.log) {
    options_.log("The movies play without WebKit's sandbox: " + sandbox.reason);
  }
  // Every request that is not the application's own scheme goes to a proxy that goes
  // nowhere: nothing the page does can reach the network or look up a name.
  WebKitNetworkProxySettings* proxy = webkit_network_proxy_settings_new(kNowhere, nullptr);
  webkit_website_data_manager_set_network_proxy_settings(
      webkit_web_context_get_website_data_manager(context_), WEBKIT_NETWORK_PROXY_MODE_CUSTOM,
      proxy);
  webkit_network_proxy_settings_free(proxy);
  webkit_web_context_set_cache_model(context_, WEBKIT_CACHE_MODEL_DOCUMENT_VIEWER);
  const char* languages[] = {options_.languageTag.c_str(), nullptr};
  webkit_web_context_set_preferred_languages(context_, languages);
  scheme.Register(context_);
  g_signal_connect(context_, "download-started", G_CALLBACK(&PlayerPage::OnDownload), nullptr);

  content_ = webkit_user_content_manager_new();
  g_signal_connect(content_, "script-message-received::tdwk",
                   G_CALLBACK(&PlayerPage::OnScriptMessage), this);
  webkit_user_content_manager_register_script_message_handler(content_, "tdwk");
  if (!options_.probeScript.empty()) {
    WebKitUserScript* probe =
        webkit_user_script_new(options_.probeScript.c_str(), WEBKIT_USER_CONTENT_INJECT_TOP_FRAME,
                               WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START, nullptr, nullptr);
    webkit_user_content_manager_add_script(content_, probe);
    webkit_user_script_unref(probe);
  }

  // Every movie sounds from its first frame: without this the page's audio waits for a click
  // inside it, and a movie with a stream sound does not even advance until then.
  WebKitWebsitePolicies* policies =
      webkit_website_policies_new_with_policies("autoplay", WEBKIT_AUTOPLAY_ALLOW, nullptr);
  view_ = WEBKIT_WEB_VIEW(g_object_ref_sink(g_object_new(WEBKIT_TYPE_WEB_VIEW, "web-context",
                                                         context_, "user-content-manager", content_,
                                                         "website-policies", policies, nullptr)));
  g_object_unref(policies);
  WebKitSettings* settings = webkit_web_view_get_settings(view_);
  webkit_settings_set_enable_developer_extras(settings, FALSE);
  webkit_settings_set_javascript_can_open_windows_automatically(settings, FALSE);
  webkit_settings_set_media_playback_requires_user_gesture(settings, FALSE);
  if (!options_.composited) {
    webkit_settings_set_hardware_acceleration_policy(settings,
                                                     WEBKIT_HARDWARE_ACCELERATION_POLICY_NEVER);
  }
  ShowBackground(0x000000);

  g_signal_connect(view_, "decide-policy", G_CALLBACK(&PlayerPage::OnDecidePolicy), this);
  g_signal_connect(view_, "create", G_CALLBACK(&PlayerPage::OnCreate), nullptr);
  g_signal_connect(view_, "context-menu", G_CALLBACK(&PlayerPage::OnContextMenu), nullptr);
  RefuseDesktopRequests(view_);
  g_signal_connect(view_, "web-process-terminated", G_CALLBACK(&PlayerPage::OnProcessGone), this);
  g_signal_connect(view_, "load-failed", G_CALLBACK(&PlayerPage::OnLoadFailed), this);
  webkit_web_view_load_uri(view_, options_.pageUrl.c_str());
}

PlayerPage::~PlayerPage() {
  if (idleFlush_ != 0) g_source_remove(idleFlush_);
  g_signal_handlers_disconnect_by_data(view_, this);
  g_signal_handlers_disconnect_by_data(content_, this);
  g_object_unref(view_);
  if (windowColour_ != nullptr) g_object_unref(windowColour_);
  g_object_unref(content_);
  g_object_unref(context_);
}

void PlayerPage::ShowBackground(unsigned rgb) {
  const GdkRGBA colour = {static_cast<double>((rgb >> 16) & 0xff) / 255.0,
                          static_cast<double>((rgb >> 8) & 0xff) / 255.0,
                          static_cast<double>(rgb & 0xff) / 255.0, 1};
  webkit_web_view_set_background_color(view_, &colour);
  // The view draws nothing before its page has been laid out; the window around it shows
  // the same colour meanwhile.
  GtkWidget* window = gtk_widget_get_toplevel(GTK_WIDGET(view_));
  if (!gtk_widget_is_toplevel(window)) return;
  if (windowColour_ == nullptr) {
    windowColour_ = gtk_css_provider_new();
    gtk_style_context_add_provider(gtk_widget_get_style_context(window),
                                   GTK_STYLE_PROVIDER(windowColour_),
                                   GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  }
  const std::string css = fmt::format("window {{ background-color: #{:06x}; }}", rgb);
  gtk_css_provider_load_from_data(windowColour_, css.data(), static_cast<gssize>(css.size()),
                                  nullptr);
}

void PlayerPage::Call(nlohmann::json call) {
  if (gone_) return;
  // Until the first movie is on screen the window shows the stage colour of the latest one
  // asked for (at start-up the introduction's, which comes last and in front), not black
  // while the player starts.
  if (!shownAny_ && call.value("op", "") == "load" && call.contains("background") &&
      call["background"].is_number_integer()) {
    ShowBackground(static_cast<unsigned>(call["background"].get<long>()) & 0xffffffU);
  }
  outbox_.push_back(std::move(call));
  if (idleFlush_ == 0) idleFlush_ = g_idle_add(&PlayerPage::OnIdleFlush, this);
}

void PlayerPage::Flush() {
  if (idleFlush_ != 0) {
    g_source_remove(idleFlush_);
    idleFlush_ = 0;
  }
  if (!ready_ || gone_ || outbox_.empty()) return;
  const std::string script =
      "tdwk.run(" +
      nlohmann::json(outbox_).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + ");";
  outbox_.clear();
  webkit_web_view_evaluate_javascript(view_, script.data(), static_cast<gssize>(script.size()),
                                      nullptr, nullptr, nullptr, &OnRunFinished, nullptr);
}

gboolean PlayerPage::OnIdleFlush(gpointer self) {
  auto* page = static_cast<PlayerPage*>(self);
  page->idleFlush_ = 0;
  page->Flush();
  return G_SOURCE_REMOVE;
}

std::optional<std::string> PlayerPage::GetVariable(const std::string& control,
                                                   const std::string& name) {
  // Movie commands that arrive while the shell waits here are handled after it.
  EventGate::Hold hold(gate_);
  if (!health_->responsive) {
    // A page that let a call time out costs no more waits until it answers again.
    ProbeResponsiveness();
    return std::nullopt;
  }
  if (!WaitFor([this] { return ready_ || gone_; }, kAnswerTimeoutMs)) {
    MarkUnresponsive();
    return std::nullopt;
  }
  if (gone_) return std::nullopt;
  Flush();
  auto answer = std::make_shared<Answer>();
  answer->health = health_;
  GVariantDict arguments;
  g_variant_dict_init(&arguments, nullptr);
  g_variant_dict_insert(&arguments, "control", "s", control.c_str());
  g_variant_dict_insert(&arguments, "name", "s", name.c_str());
  // A read given up on is cancelled: its answer, or the view closing, would otherwise come
  // back later as a failure of its own.
  GCancellable* cancellable = g_cancellable_new();
  webkit_web_view_call_async_javascript_function(
      view_, "return tdwk.get(control, name);", -1, g_variant_dict_end(&arguments), nullptr,
      nullptr, cancellable, &PlayerPage::OnGetFinished, new std::shared_ptr<Answer>(answer));
  const bool answered = WaitFor([&] { return answer->done || gone_; }, kAnswerTimeoutMs);
  if (!answer->done) {
    Log("reading a variable failed", "the page did not answer in time");
    g_cancellable_cancel(cancellable);
  }
  g_object_unref(cancellable);
  if (!answered) MarkUnresponsive();
  return answer->value;
}

void PlayerPage::MarkUnresponsive() {
  Log("the page", "stopped answering; calls that wait for it fail at once until it answers");
  health_->responsive = false;
}

void PlayerPage::ProbeResponsiveness() {
  if (health_->probing || gone_) return;
  health_->probing = true;
  webkit_web_view_evaluate_javascript(
      view_, "0", -1, nullptr, nullptr, nullptr,
      [](GObject* view, GAsyncResult* result, gpointer holder) {
        std::unique_ptr<std::shared_ptr<Health>> health(
            static_cast<std::shared_ptr<Health>*>(holder));
        GError* error = nullptr;
        JSCValue* value =
            webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(view), result, &error);
        if (value != nullptr) g_object_unref(value);
        if (error != nullptr) g_error_free(error);
        (*health)->probing = false;
        (*health)->responsive = true;
      },
      new std::shared_ptr<Health>(health_));
}

void PlayerPage::OnGetFinished(GObject* view, GAsyncResult* result, gpointer holder) {
  std::unique_ptr<std::shared_ptr<Answer>> answer(static_cast<std::shared_ptr<Answer>*>(holder));
  GError* error = nullptr;
  JSCValue* value =
      webkit_web_view_call_async_javascript_function_finish(WEBKIT_WEB_VIEW(view), result, &error);
  if (value != nullptr) {
    if (jsc_value_is_string(value)) {
      char* text = jsc_value_to_string(value);
      (*answer)->value = text;
      g_free(text);
    }
    g_object_unref(value);
  }
  if (error != nullptr) {
    if (!g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED)) {
      Log("reading a variable failed", error->message);
    }
    g_error_free(error);
  }
  (*answer)->done = true;
  // Even an answer that came too late shows that the page answers again.
  (*answer)->health->responsive = true;
}

bool PlayerPage::WaitFor(const std::function<bool()>& done, int timeoutMs) {
  bool timedOut = false;
  const guint timer = g_timeout_add(
      static_cast<guint>(timeoutMs),
      [](gpointer flag) -> gboolean {
        *static_cast<bool*>(flag) = true;
        return G_SOURCE_REMOVE;
      },
      &timedOut);
  while (!done() && !timedOut) g_main_context_iteration(nullptr, TRUE);
  if (!timedOut) g_source_remove(timer);
  return !timedOut;
}

void PlayerPage::OnScriptMessage(WebKitUserContentManager*, WebKitJavascriptResult* result,
                                 gpointer self) {
  JSCValue* value = webkit_javascript_result_get_js_value(result);
  if (!jsc_value_is_string(value)) return;
  char* text = jsc_value_to_string(value);
  const std::string message(text);
  g_free(text);
  // Nothing may escape into WebKit's C frames.
  try {
    static_cast<PlayerPage*>(self)->Receive(message);
  } catch (const std::exception& e) {
    Log("a page message failed", e.what());
  } catch (...) {
    Log("a page message failed", "unknown failure");
  }
}

void PlayerPage::Receive(const std::string& text) {
  health_->responsive = true;
  nlohmann::json message = nlohmann::json::parse(text, nullptr, false);
  const std::optional<std::string> type = TextField(message, "type");
  if (!type) {
    Log("a page message of the wrong form was dropped", text.substr(0, 200).c_str());
    return;
  }
  if (*type == "ready") {
    ready_ = true;
    Flush();
  } else if (*type == "log") {
    Log("page", TextField(message, "text").value_or("").c_str());
  } else {
    if (*type == "shown" && !shownAny_) {
      shownAny_ = true;
      ShowBackground(0x000000);
    }
    if (onMessage_) onMessage_(message);
  }
}

gboolean PlayerPage::OnDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision,
                                    WebKitPolicyDecisionType type, gpointer self) {
  auto* page = static_cast<PlayerPage*>(self);
  switch (type) {
    case WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION: {
      // The page itself, once; nothing else is ever navigated to.
      WebKitNavigationAction* action = webkit_navigation_policy_decision_get_navigation_action(
          WEBKIT_NAVIGATION_POLICY_DECISION(decision));
      const char* uri = webkit_uri_request_get_uri(webkit_navigation_action_get_request(action));
      if (!page->navigated_ && uri != nullptr && page->options_.pageUrl == uri) {
        page->navigated_ = true;
        webkit_policy_decision_use(decision);
      } else {
        Log("navigation refused", uri != nullptr ? uri : "");
        webkit_policy_decision_ignore(decision);
      }
      break;
    }
    case WEBKIT_POLICY_DECISION_TYPE_RESPONSE:
      // Whatever the view cannot show would be a download.
      if (webkit_response_policy_decision_is_mime_type_supported(
              WEBKIT_RESPONSE_POLICY_DECISION(decision))) {
        webkit_policy_decision_use(decision);
      } else {
        webkit_policy_decision_ignore(decision);
      }
      break;
    default:
      webkit_policy_decision_ignore(decision);
      break;
  }
  return TRUE;
}

GtkWidget* PlayerPage::OnCreate(WebKitWebView*, WebKitNavigationAction*, gpointer) {
  return nullptr;
}

gboolean PlayerPage::OnContextMenu(WebKitWebView*, WebKitContextMenu*, GdkEvent*,
                                   WebKitHitTestResult*, gpointer) {
  return TRUE;
}

void PlayerPage::OnDownload(WebKitWebContext*, WebKitDownload* download, gpointer) {
  webkit_download_cancel(download);
}

void PlayerPage::OnProcessGone(WebKitWebView*, WebKitWebProcessTerminationReason reason,
                               gpointer self) {
  auto* page = static_cast<PlayerPage*>(self);
  Log("the page", "its process ended");
  page->gone_ = true;
  page->ready_ = false;
  if (!page->options_.onProcessGone) return;
  const char* why = reason == WEBKIT_WEB_PROCESS_EXCEEDED_MEMORY_LIMIT ? "ran out of memory"
                    : reason == WEBKIT_WEB_PROCESS_TERMINATED_BY_API   ? "was ended"
                                                                       : "crashed";
  page->options_.onProcessGone(why);
}

void PlayerPage::Restart(nlohmann::json calls) {
  if (idleFlush_ != 0) {
    g_source_remove(idleFlush_);
    idleFlush_ = 0;
  }
  // The replay holds the layers as every call made so far left them: calls not yet sent are
  // in it already.
  outbox_ = std::move(calls);
  ready_ = false;
  gone_ = false;
  navigated_ = false;
  health_->responsive = true;
  webkit_web_view_load_uri(view_, options_.pageUrl.c_str());
}

gboolean PlayerPage::OnLoadFailed(WebKitWebView*, WebKitLoadEvent, gchar* uri, GError* error,
                                  gpointer self) {
  auto* page = static_cast<PlayerPage*>(self);
  // A refused navigation fails too; only the page's own load failing matters here.
  if (page->ready_ || uri == nullptr || page->options_.pageUrl != uri) return FALSE;
  Log("the page did not load", error != nullptr ? error->message : uri);
  page->gone_ = true;
  return FALSE;
}

}  // namespace tdwk::desktop
