#include "hosts/desktop/ruffle_control.h"

#include <nlohmann/json.hpp>

#include "base/ascii_case.h"
#include "hosts/common/host_environment.h"
#include "hosts/desktop/app_urls.h"
#include "platform/flash_errors.h"

namespace tdwk::desktop {

namespace {

// The player names its scale modes in lower camel case ("exactFit", "noScale").
std::string ScaleMode(const std::string& scale) {
  if (scale.empty()) return "showAll";
  std::string mode = scale;
  mode[0] = AsciiLower(mode[0]);
  return mode;
}

}  // namespace

std::string ShapeKey(const swf::MovieHeader& header) {
  return std::to_string(header.frameRate) + "fps " +
         std::to_string(header.stage.xMax - header.stage.xMin) + "x" +
         std::to_string(header.stage.yMax - header.stage.yMin);
}

nlohmann::json CreateCall(const std::string& control, const FlashSettings& settings, int stacking) {
  return {{"op", "create"},
          {"control", control},
          {"scale", ScaleMode(settings.scale)},
          {"salign", settings.salign},
          {"quality", AsciiLowerCase(settings.quality)},
          {"wmode", AsciiLowerCase(settings.wmode)},
          {"menu", settings.menu},
          {"stacking", stacking}};
}

RuffleControl::RuffleControl(std::string name, FlashSettings settings, int stacking,
                             Context context)
    : name_(std::move(name)),
      settings_(std::move(settings)),
      stacking_(stacking),
      context_(std::move(context)) {
  context_.page.Call(CreateCall(name_, settings_, stacking_));
}

void RuffleControl::LoadMovie(int layer, const std::string& url) {
  if (context_.trace) context_.trace->LoadMovie(name_, layer, url);
  movie_ = url;
  ++loads_;
  latestServed_ = false;
  // A movie outside the application folder is never served: the layer plays nothing, as the
  // player does for a file that does not exist.
  nlohmann::json call = {{"op", "load"}, {"control", name_}, {"url", nullptr}};
  if (auto components = MovieComponents(context_.appPath, url)) {
    call["url"] = AppUrl(*components);
    latestServed_ = true;
    call["bridge"] = AppUrl(*components) + "?" + std::string(kBridgeQuery);
    // The page keeps started players ready by what a started player cannot change.
    const auto header = context_.headerOf ? context_.headerOf(*components) : std::nullopt;
    if (header) {
      call["shape"] = ShapeKey(*header);
      const swf::Rgb background = header->background.value_or(swf::Rgb{255, 255, 255});
      call["background"] = (background.red << 16) | (background.green << 8) | background.blue;
    }
  }
  loadCall_ = call;
  replayMovie_ = true;
  sinceLoad_.clear();
  context_.page.Call(std::move(call));
}

void RuffleControl::CallMovie(nlohmann::json call) {
  // Enough for any screen's variables; a movie that makes the shell call without end only
  // loses its oldest calls from a replay.
  constexpr std::size_t kMostReplayed = 4096;
  if (sinceLoad_.size() >= kMostReplayed) sinceLoad_.erase(sinceLoad_.begin());
  sinceLoad_.push_back(call);
  context_.page.Call(std::move(call));
}

nlohmann::json RuffleControl::ReplayCalls() const {
  nlohmann::json calls = nlohmann::json::array();
  calls.push_back(CreateCall(name_, settings_, stacking_));
  calls.push_back(PlaceCall());
  if (loadCall_.is_null()) return calls;
  if (!replayMovie_) {
    calls.push_back({{"op", "load"}, {"control", name_}, {"url", nullptr}});
    return calls;
  }
  calls.push_back(loadCall_);
  for (const nlohmann::json& call : sinceLoad_) calls.push_back(call);
  return calls;
}

void RuffleControl::SetVariable(const std::string& name, const std::string& value) {
  if (context_.trace) context_.trace->SetVariable(name_, name, value);
  CallMovie({{"op", "set"}, {"control", name_}, {"name", name}, {"value", value}});
}

void RuffleControl::DefineVariable(const std::string& name, const std::string& value) {
  CallMovie({{"op", "set"}, {"control", name_}, {"name", name}, {"value", value}});
}

std::string RuffleControl::GetVariable(const std::string& name) {
  const std::optional<std::string> value = context_.page.GetVariable(name_, name);
  if (context_.trace) context_.trace->GetVariable(name_, name, value ? &*value : nullptr);
  if (!value) RaiseVariableNotAnswered();
  return *value;
}

void RuffleControl::Play() {
  if (context_.trace) context_.trace->Play(name_);
  CallMovie({{"op", "play"}, {"control", name_}});
}

void RuffleControl::GotoFrame(int frame) {
  if (context_.trace) context_.trace->GotoFrame(name_, frame);
  CallMovie({{"op", "goto"}, {"control", name_}, {"frame", frame}});
}

void RuffleControl::SetLeft(float twips) {
  left_ = twips;
  Place("Left", twips);
}

void RuffleControl::SetTop(float twips) {
  top_ = twips;
  Place("Top", twips);
}

void RuffleControl::SetWidth(float twips) {
  width_ = twips;
  Place("Width", twips);
}

void RuffleControl::SetHeight(float twips) {
  height_ = twips;
  Place("Height", twips);
}

void RuffleControl::Place(const char* property, float twips) {
  if (context_.trace) context_.trace->SetNumber(name_, property, twips);
  context_.page.Call(PlaceCall());
}

nlohmann::json RuffleControl::PlaceCall() const {
  const auto pixels = [](float value) { return static_cast<double>(value) / kTwipsPerPixel; };
  return {{"op", "place"},       {"control", name_},        {"left", pixels(left_)},
          {"top", pixels(top_)}, {"width", pixels(width_)}, {"height", pixels(height_)}};
}

void RuffleControl::BringToFront() {
  if (context_.trace) context_.trace->BringToFront(name_);
  stacking_ = context_.nextFront();
  context_.page.Call({{"op", "front"}, {"control", name_}, {"stacking", stacking_}});
}

void RuffleControl::RaiseFSCommand(const std::string& command, const std::string& args) {
  if (context_.trace) context_.trace->FSCommand(name_, command, args);
  if (handler_) handler_(command, args);
}

bool RuffleControl::Contains(double xTwips, double yTwips) const {
  return xTwips >= left_ && yTwips >= top_ && xTwips < left_ + width_ && yTwips < top_ + height_;
}

}  // namespace tdwk::desktop
