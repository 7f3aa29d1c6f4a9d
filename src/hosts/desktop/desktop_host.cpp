#include "hosts/desktop/desktop_host.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <nlohmann/json.hpp>

#include "hosts/common/host_environment.h"
#include "hosts/desktop/button_messages.h"

namespace tdwk::desktop {

namespace {

constexpr const char* kPagePath = "desktop/index.html";
constexpr const char* kProbePath = "desktop/latency_probe.js";
constexpr const char* kTitle = "tindlewick";

int Pixels(float twips) {
  return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}

}  // namespace

// A window timer on the GLib main loop; its ticks are events like any other.
class DesktopHost::GlibTimer : public Timer {
 public:
  GlibTimer(DesktopHost& host, std::string name, int intervalMs, std::function<void()> onTick)
      : host_(host), name_(std::move(name)), intervalMs_(intervalMs), onTick_(std::move(onTick)) {}
  ~GlibTimer() override { Stop(); }
  GlibTimer(const GlibTimer&) = delete;
  GlibTimer& operator=(const GlibTimer&) = delete;

  void SetEnabled(bool enabled) override {
    if (host_.trace()) host_.trace()->SetFlag(name_, "Enabled", enabled);
    // Enabling a running timer leaves its schedule alone.
    if (enabled && source_ == 0) {
      source_ = g_timeout_add(static_cast<guint>(intervalMs_), &GlibTimer::OnTick, this);
    } else if (!enabled) {
      Stop();
    }
  }
  bool Enabled() const override { return source_ != 0; }
  void Stop() {
    if (source_ != 0) g_source_remove(source_);
    source_ = 0;
  }

 private:
  static gboolean OnTick(gpointer self) {
    auto* timer = static_cast<GlibTimer*>(self);
    // Ticks due while an event holds the gate merge into one, as a window timer's do.
    if (timer->tickHeld_) return G_SOURCE_CONTINUE;
    timer->tickHeld_ = true;
    timer->host_.gate().Run([timer] {
      timer->tickHeld_ = false;
      // A tick held back behind a long event still finds the timer as it is then.
      if (timer->Enabled() && !timer->host_.WindowGone()) timer->onTick_();
    });
    return G_SOURCE_CONTINUE;
  }

  DesktopHost& host_;
  std::string name_;
  int intervalMs_;
  std::function<void()> onTick_;
  guint source_ = 0;
  bool tickHeld_ = false;
};

DesktopHost::DesktopHost(Options options, FileSystem& files, Trace* trace)
    : options_(std::move(options)),
      trace_(trace),
      scheme_(options_.appPath, files),
      gate_(
          [this] {
            if (page_) page_->Flush();
          },
          [this] {
            if (drainSource_ == 0) drainSource_ = g_idle_add(&DesktopHost::OnDrain, this);
          }) {
  Mark("host");
  if (!options_.contentFolder.empty()) scheme_.AllowFolder(options_.contentFolder);
  GdkDisplay* display = gdk_display_get_default();
  GdkMonitor* monitor = display ? gdk_display_get_primary_monitor(display) : nullptr;
  if (monitor == nullptr && display != nullptr) monitor = gdk_display_get_monitor(display, 0);
  GdkRectangle area = {0, 0, 1024, 768};
  if (monitor != nullptr) gdk_monitor_get_geometry(monitor, &area);
  screenWidth_ = static_cast<float>(area.width) * kTwipsPerPixel;
  screenHeight_ = static_cast<float>(area.height) * kTwipsPerPixel;
}

DesktopHost::~DesktopHost() {
  if (drainSource_ != 0) g_source_remove(drainSource_);
  visit_.reset();
  timers_.clear();
  controls_.clear();
  if (window_ != nullptr) gtk_widget_destroy(window_);
  page_.reset();
  if (loop_ != nullptr) g_main_loop_unref(loop_);
}

void DesktopHost::CreateWindow() {
  if (window_ != nullptr) return;
  std::string pageUrl = std::string(kOrigin) + "/" + kPagePath;
  std::string query;
  if (!options_.renderer.empty()) {
    char* renderer = g_uri_escape_string(options_.renderer.c_str(), nullptr, false);
    query += std::string("renderer=") + renderer;
    g_free(renderer);
  }
  if (!options_.spares) query += std::string(query.empty() ? "" : "&") + "spares=0";
  if (!query.empty()) pageUrl += "?" + query;

  PlayerPage::Options page{pageUrl,
                           options_.languageTag,
                           [this](const std::string& text) { LogFailure(text); },
                           [this](const std::string& reason) { OnProcessGone(reason); },
                           options_.latency != nullptr ? ReadProbeScript() : std::string(),
                           options_.sandbox};
  page.composited = options_.composited;
  Mark("web view");
  page_ = std::make_unique<PlayerPage>(
      page, scheme_, gate_, [this](const nlohmann::json& message) { OnPageMessage(message); });
  Mark("page asked for");

  window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_title(GTK_WINDOW(window_), kTitle);
  gtk_window_set_decorated(GTK_WINDOW(window_), FALSE);
  gtk_container_add(GTK_CONTAINER(window_), page_->View());
  g_signal_connect(window_, "delete-event", G_CALLBACK(&DesktopHost::OnDelete), this);
  GtkWidget* view = page_->View();
  gtk_widget_add_events(view, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK);
  g_signal_connect(view, "button-press-event", G_CALLBACK(&DesktopHost::OnButtonEvent), this);
  g_signal_connect(view, "button-release-event", G_CALLBACK(&DesktopHost::OnButtonEvent), this);
  ApplyWindowSize();
}

void DesktopHost::SetWindowWidth(float twips) {
  if (trace_) trace_->SetNumber("frmTDWK", "Width", twips);
  windowWidth_ = twips;
  ApplyWindowSize();
}

void DesktopHost::SetWindowHeight(float twips) {
  if (trace_) trace_->SetNumber("frmTDWK", "Height", twips);
  windowHeight_ = twips;
  ApplyWindowSize();
}

void DesktopHost::ApplyWindowSize() {
  if (window_ == nullptr) return;
  const int width = std::max(1, Pixels(windowWidth_));
  const int height = std::max(1, Pixels(windowHeight_));
  gtk_window_set_default_size(GTK_WINDOW(window_), width, height);
  gtk_window_resize(GTK_WINDOW(window_), width, height);
}

FlashControl& DesktopHost::CreateFlashControl(const std::string& name,
                                              const FlashSettings& settings) {
  CreateWindow();
  // Each control owns one player window, created with it; later controls start in front.
  windows_.AddPlayerWindow(name);
  const int stacking = ++front_;
  controls_.push_back(std::make_unique<RuffleControl>(
      name, settings, stacking,
      RuffleControl::Context{*page_, trace_, options_.appPath, [this] { return ++front_; },
                             [this](const std::vector<std::string>& components) {
                               return scheme_.MovieHeader(AppRequest{components, false});
                             }}));
  return *controls_.back();
}

Timer& DesktopHost::CreateTimer(const std::string& name, int intervalMs,
                                std::function<void()> onTick) {
  timers_.push_back(std::make_unique<GlibTimer>(*this, name, intervalMs, std::move(onTick)));
  return *timers_.back();
}

void DesktopHost::MessageBox(const std::string& text) {
  if (trace_) trace_->MessageBox(text);
  EventGate::Hold hold(gate_);
  GtkWidget* dialog =
      gtk_message_dialog_new(window_ != nullptr ? GTK_WINDOW(window_) : nullptr, GTK_DIALOG_MODAL,
                             GTK_MESSAGE_OTHER, GTK_BUTTONS_OK, "%s", text.c_str());
  gtk_window_set_title(GTK_WINDOW(dialog), kTitle);
  gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_OK);
  gtk_window_set_keep_above(GTK_WINDOW(dialog), TRUE);
  gtk_dialog_run(GTK_DIALOG(dialog));
  gtk_widget_destroy(dialog);
}

void DesktopHost::ShowModal(WindowEvents& events) {
  events_ = &events;
  CreateWindow();
  gate_.Run([&events] { events.Form_Load(); });
  if (WindowGone()) return;
  Mark("form loaded");
  Show();
  Mark("window shown");
  if (!options_.visit.empty()) {
    visit_ = std::make_unique<VisitReplay>(
        std::move(options_.visit), [this](const VisitStep& step) { return PerformVisitStep(step); },
        [this](const VisitStep& step) { return VisitStepCameAbout(step); });
    visit_->Start();
  }
  loop_ = g_main_loop_new(nullptr, FALSE);
  if (!WindowGone()) g_main_loop_run(loop_);
}

void DesktopHost::Show() {
  CreateWindow();
  gtk_window_move(GTK_WINDOW(window_), 0, 0);
  gtk_window_fullscreen(GTK_WINDOW(window_));
  gtk_widget_show_all(window_);
  // Keys go to the players from the start, as they do to a focused player window.
  gtk_window_present(GTK_WINDOW(window_));
  gtk_widget_grab_focus(page_->View());
}

void DesktopHost::UnloadWindow() {
  if (WindowGone() || events_ == nullptr) return;
  unloaded_ = true;
  for (auto& timer : timers_) timer->Stop();
  events_->Form_Unload();
  if (!ended_ && trace_) trace_->Unload();
  Quit();
}

void DesktopHost::EndProgram() {
  ended_ = true;
  Quit();
}

void DesktopHost::Quit() {
  if (window_ != nullptr) gtk_widget_hide(window_);
  if (loop_ != nullptr) g_main_loop_quit(loop_);
}

bool DesktopHost::VisitStepCameAbout(const VisitStep& step) {
  if (const auto* shown = std::get_if<ShownStep>(&step)) {
    const RuffleControl* control = Control(shown->control);
    return control == nullptr || control->LatestMovieShown();
  }
  if (const auto* raised = std::get_if<RaisedStep>(&step)) {
    return std::any_of(raisedInVisit_.begin(), raisedInVisit_.end(), [&](const auto& command) {
      return command.control == raised->control && command.command == raised->command &&
             (!raised->args || command.args == *raised->args);
    });
  }
  return true;
}

// A visit's events take the paths the movies' and the window system's take.
bool DesktopHost::PerformVisitStep(const VisitStep& step) {
  if (const auto* screenshot = std::get_if<ScreenshotStep>(&step)) {
    WriteScreenshot(screenshot->file);
    return !WindowGone();
  }
  const auto* input = std::get_if<InputEvent>(&step);
  if (input == nullptr) return !WindowGone();
  const InputEvent& event = *input;
  RuffleControl* control = Control(event.control);
  switch (event.kind) {
    case InputEvent::Kind::FSCommand:
      if (control == nullptr) break;
      gate_.Run([this, control, command = event.command, args = event.args] {
        if (!WindowGone()) control->RaiseFSCommand(command, args);
      });
      break;
    case InputEvent::Kind::Variables:
      if (control == nullptr) break;
      gate_.Run([control, values = event.values] {
        for (const auto& [name, value] : values) control->DefineVariable(name, value);
      });
      break;
    case InputEvent::Kind::Message:
      if (control == nullptr) break;
      {
        const PlayerWindowTable::Outcome outcome =
            windows_.Dispatch(windows_.PlayerWindowOf(control->Name()), event.message, 0, 0);
        if (trace_)
          trace_->Message(control->Name(), event.message, outcome.delivered, outcome.result);
      }
      break;
    case InputEvent::Kind::Close:
      gate_.Run([this] { UnloadWindow(); });
      break;
    case InputEvent::Kind::Wait:
      break;
  }
  return !WindowGone();
}

void DesktopHost::WriteScreenshot(const std::string& file) {
  GdkWindow* shown = window_ != nullptr ? gtk_widget_get_window(window_) : nullptr;
  GdkPixbuf* picture = shown == nullptr
                           ? nullptr
                           : gdk_pixbuf_get_from_window(shown, 0, 0, gdk_window_get_width(shown),
                                                        gdk_window_get_height(shown));
  GError* error = nullptr;
  if (picture != nullptr && gdk_pixbuf_save(picture, file.c_str(), "png", &error, nullptr)) {
    std::cerr << "tdwk: screenshot " << file << '\n';
  } else {
    std::cerr << "tdwk: cannot write the screenshot " << file << ": "
              << (error != nullptr ? error->message : "the window cannot be read") << '\n';
  }
  if (error != nullptr) g_error_free(error);
  if (picture != nullptr) g_object_unref(picture);
}

gboolean DesktopHost::OnDrain(gpointer self) {
  auto* host = static_cast<DesktopHost*>(self);
  host->drainSource_ = 0;
  host->gate_.Drain();
  return G_SOURCE_REMOVE;
}

void DesktopHost::SetErrorLog(std::function<void(const std::string&)> writeLog) {
  writeLog_ = std::move(writeLog);
}

void DesktopHost::OnPageMessage(const nlohmann::json& message) {
  const std::string type = TextField(message, "type").value_or("");
  if (type == "fscommand") {
    const auto name = TextField(message, "control");
    const auto command = TextField(message, "command");
    const std::optional<std::string> args =
        message.contains("args") ? TextField(message, "args") : std::string();
    if (!name || !command || !args) {
      DropMessage(message);
      return;
    }
    RuffleControl* control = Control(*name);
    if (control == nullptr) return;
    if (visit_) raisedInVisit_.push_back({control->Name(), *command, *args});
    gate_.Run([this, control, command = *command, args = *args] {
      if (!WindowGone()) control->RaiseFSCommand(command, args);
    });
  } else if (type == "panic") {
    OnPanic(message);
  } else if (type == "shown") {
    const auto name = TextField(message, "control");
    RuffleControl* control = name ? Control(*name) : nullptr;
    const auto load = message.find("load");
    if (control != nullptr && load != message.end() && load->is_number_integer()) {
      control->Shown(load->get<int>());
    } else {
      DropMessage(message);
    }
  } else if (type == "latency") {
    WriteLatency(message);
  }
}

std::string DesktopHost::ReadProbeScript() const {
  std::ifstream file(options_.appPath + kProbePath);
  std::string script((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (script.empty()) std::cerr << "tdwk: cannot read " << options_.appPath << kProbePath << '\n';
  return script;
}

void DesktopHost::Mark(const std::string& stage) {
  WriteLatency({{"type", "latency"}, {"kind", "mark"}, {"name", stage}});
}

void DesktopHost::WriteLatency(const nlohmann::json& message) {
  if (options_.latency == nullptr) return;
  // On the system's monotonic clock, which a benchmark that started the program shares; the
  // page's own time of the sample when it gives one.
  nlohmann::json sample = message;
  std::int64_t monotonicUs = g_get_monotonic_time();
  if (const auto epochMs = message.find("epochMs");
      epochMs != message.end() && epochMs->is_number()) {
    monotonicUs -= g_get_real_time() - static_cast<std::int64_t>(epochMs->get<double>() * 1000);
  }
  sample["monotonicUs"] = monotonicUs;
  *options_.latency << sample.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace)
                    << '\n';
  options_.latency->flush();
}

// A player that panics takes the page's whole player with it: no movie plays on that page
// again. The page is restarted with every layer; the movie that panicked plays again unless
// it panicked there soon after its last recovery.
void DesktopHost::OnPanic(const nlohmann::json& message) {
  const auto layers = message.find("controls");
  if (layers == message.end() || !layers->is_array()) {
    DropMessage(message);
    return;
  }
  const auto now = std::chrono::steady_clock::now();
  bool blamed = false;
  for (const nlohmann::json& layer : *layers) {
    RuffleControl* control = layer.is_string() ? Control(layer.get<std::string>()) : nullptr;
    if (control == nullptr) continue;
    blamed = true;
    if (recovery_.ReplayAfterPanic(control->Name(), control->Movie(), now)) {
      LogFailure("The player of " + control->Name() + " panicked playing " + control->Movie() +
                 "; it was restarted with its movie.");
    } else {
      LogFailure("The player of " + control->Name() + " panicked again playing " +
                 control->Movie() + "; the layer stays empty.");
      control->LeaveEmpty();
    }
  }
  // A player that plays no layer's movie (a spare being made) panicked: no movie is to blame.
  if (!blamed) {
    if (!recovery_.RestartAfterPageFailure(now)) {
      LogFailure(
          "The players panicked again outside any layer's movie; the page was not restarted.");
      return;
    }
    LogFailure(
        "The players panicked outside any layer's movie; the page was restarted with every "
        "layer's movie.");
  }
  RestartPage();
}

void DesktopHost::OnProcessGone(const std::string& reason) {
  if (WindowGone()) return;
  if (recovery_.RestartAfterPageFailure(std::chrono::steady_clock::now())) {
    LogFailure("The players' process " + reason + "; it was restarted with every layer's movie.");
    RestartPage();
  } else {
    LogFailure("The players' process " + reason + " again; it was not restarted.");
  }
}

void DesktopHost::RestartPage() {
  if (!page_) return;
  nlohmann::json calls = nlohmann::json::array();
  for (const auto& control : controls_) {
    for (nlohmann::json& call : control->ReplayCalls()) calls.push_back(std::move(call));
  }
  page_->Restart(std::move(calls));
}

void DesktopHost::DropMessage(const nlohmann::json& message) {
  LogFailure("a page message of the wrong form was dropped: " +
             message.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace).substr(0, 200));
}

void DesktopHost::LogFailure(const std::string& text) {
  std::fprintf(stderr, "tdwk: %s\n", text.c_str());
  if (writeLog_) writeLog_(text);
}

RuffleControl* DesktopHost::Control(const std::string& name) {
  for (auto& control : controls_) {
    if (control->Name() == name) return control.get();
  }
  return nullptr;
}

RuffleControl* DesktopHost::LayerAt(double x, double y) {
  RuffleControl* front = nullptr;
  for (auto& control : controls_) {
    if (control->Contains(x * kTwipsPerPixel, y * kTwipsPerPixel) &&
        (front == nullptr || control->Stacking() > front->Stacking())) {
      front = control.get();
    }
  }
  return front;
}

gboolean DesktopHost::OnButtonEvent(GtkWidget*, GdkEventButton* event, gpointer self) {
  return static_cast<DesktopHost*>(self)->OnButton(event) ? FALSE : TRUE;
}

// Every button press or release over a layer goes through its player window's procedure
// slot; the player sees it only when the player's own procedure received it.
bool DesktopHost::OnButton(GdkEventButton* event) {
  // GDK reports a double or triple click again after the presses it consists of. Those
  // presses have been dispatched already; the report follows the latest one to the page.
  if (event->type == GDK_2BUTTON_PRESS || event->type == GDK_3BUTTON_PRESS) {
    return lastPressDelivered_;
  }
  RuffleControl* layer = LayerAt(event->x, event->y);
  if (layer == nullptr) return true;
  ButtonEvent button;
  button.press = event->type != GDK_BUTTON_RELEASE;
  button.button = event->button;
  button.x = event->x - layer->Left() / kTwipsPerPixel;
  button.y = event->y - layer->Top() / kTwipsPerPixel;
  button.shift = (event->state & GDK_SHIFT_MASK) != 0;
  button.control = (event->state & GDK_CONTROL_MASK) != 0;
  button.left = (event->state & GDK_BUTTON1_MASK) != 0;
  button.middle = (event->state & GDK_BUTTON2_MASK) != 0;
  button.right = (event->state & GDK_BUTTON3_MASK) != 0;
  const std::optional<ButtonMessage> message = ToButtonMessage(button);
  if (!message) return true;
  const PlayerWindowTable::Outcome outcome = windows_.Dispatch(
      windows_.PlayerWindowOf(layer->Name()), message->message, message->wParam, message->lParam);
  if (trace_) trace_->Message(layer->Name(), message->message, outcome.delivered, outcome.result);
  if (button.press) lastPressDelivered_ = outcome.delivered;
  return outcome.delivered;
}

gboolean DesktopHost::OnDelete(GtkWidget*, GdkEvent*, gpointer self) {
  auto* host = static_cast<DesktopHost*>(self);
  // Closing the window by the system runs the same unload as the timer.
  host->gate().Run([host] { host->UnloadWindow(); });
  return TRUE;
}

}  // namespace tdwk::desktop
