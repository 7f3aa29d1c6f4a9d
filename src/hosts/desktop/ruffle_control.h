#pragma once

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "hosts/common/trace.h"
#include "hosts/desktop/page_calls.h"
#include "platform/flash_control.h"
#include "swf/movie_reader.h"

namespace tdwk::desktop {

// A Flash control played by a player on the page: every operation becomes a page call, in
// order, and is traced as the console host traces it.
class RuffleControl : public FlashControl {
 public:
  struct Context {
    PageCalls& page;
    Trace* trace;                    // null without a trace
    std::string appPath;             // movies below it are served to the page
    std::function<int()> nextFront;  // the stacking value that puts a layer in front
    // The header of a movie inside the application folder, by its path components; nothing
    // for a movie that cannot be read.
    std::function<std::optional<swf::MovieHeader>(const std::vector<std::string>&)> headerOf;
  };

  RuffleControl(std::string name, FlashSettings settings, int stacking, Context context);

  const std::string& Name() const override { return name_; }
  const FlashSettings& Settings() const override { return settings_; }
  void LoadMovie(int layer, const std::string& url) override;
  std::string Movie() const override { return movie_; }
  void SetVariable(const std::string& name, const std::string& value) override;
  std::string GetVariable(const std::string& name) override;
  // The movie itself defines a variable (a form field filled in): the page sets it, untraced.
  void DefineVariable(const std::string& name, const std::string& value);
  void Play() override;
  void GotoFrame(int frame) override;
  void SetLeft(float twips) override;
  void SetTop(float twips) override;
  void SetWidth(float twips) override;
  void SetHeight(float twips) override;
  float Left() const override { return left_; }
  float Top() const override { return top_; }
  float Width() const override { return width_; }
  float Height() const override { return height_; }
  void BringToFront() override;
  void OnFSCommand(FSCommandHandler handler) override { handler_ = std::move(handler); }

  // The movie raised FSCommand.
  void RaiseFSCommand(const std::string& command, const std::string& args);

  // The calls that rebuild the layer on a new page: its player, place and stacking, and,
  // unless it was left empty, its movie with every call made to it since its load.
  nlohmann::json ReplayCalls() const;
  // After a movie that panicked in a loop: replays leave the layer empty until the next load.
  void LeaveEmpty() { replayMovie_ = false; }

  // Layers with a higher value are in front.
  int Stacking() const { return stacking_; }
  // Whether a point of the page, in twips, lies on the layer.
  bool Contains(double xTwips, double yTwips) const;

  // The page drew the first frame of the layer's load-th movie (counted from one).
  void Shown(int load) { shownLoad_ = std::max(shownLoad_, load); }
  // Whether the movie loaded last is on screen, or there is nothing to show.
  bool LatestMovieShown() const { return shownLoad_ >= loads_ || !latestServed_; }

 private:
  void Place(const char* property, float twips);
  nlohmann::json PlaceCall() const;
  // A call to the current movie, remembered for a replay.
  void CallMovie(nlohmann::json call);

  std::string name_;
  FlashSettings settings_;
  int stacking_;
  Context context_;
  FSCommandHandler handler_;
  std::string movie_;
  nlohmann::json loadCall_;  // the last load, null before the first
  bool replayMovie_ = true;
  std::vector<nlohmann::json> sinceLoad_;
  int loads_ = 0;
  int shownLoad_ = 0;
  bool latestServed_ = false;
  float left_ = 0, top_ = 0, width_ = 0, height_ = 0;
};

// What a player cannot change once started: the frame rate and stage size of its movie.
std::string ShapeKey(const swf::MovieHeader& header);

// The first call for a layer: creates its player with the control's settings.
nlohmann::json CreateCall(const std::string& control, const FlashSettings& settings, int stacking);

}  // namespace tdwk::desktop
