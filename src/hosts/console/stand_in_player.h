#pragma once

#include <map>
#include <string>

#include "hosts/common/trace.h"
#include "platform/flash_control.h"

namespace tdwk {

// A Flash control without a player: it remembers the movie, the frame, whether it plays and
// the variables of the current movie, and traces every call.
class StandInPlayer : public FlashControl {
 public:
  StandInPlayer(std::string name, FlashSettings settings, Trace& trace)
      : name_(std::move(name)), settings_(std::move(settings)), trace_(trace) {}

  const std::string& Name() const override { return name_; }
  const FlashSettings& Settings() const override { return settings_; }
  void LoadMovie(int layer, const std::string& url) override;
  std::string Movie() const override { return movie_; }
  void SetVariable(const std::string& name, const std::string& value) override;
  std::string GetVariable(const std::string& name) override;
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

  // The movie defines these variables (the user manager's form fields, say).
  void DefineVariable(const std::string& name, const std::string& value);
  // The movie raises FSCommand.
  void RaiseFSCommand(const std::string& command, const std::string& args = "");

 protected:
  // What a player that extends the stand-in may look into.
  const std::map<std::string, std::string>& Variables() const { return variables_; }
  void ForgetVariable(const std::string& name) { variables_.erase(name); }
  bool HasFSCommandHandler() const { return static_cast<bool>(handler_); }

 private:
  std::string name_;
  FlashSettings settings_;
  Trace& trace_;
  FSCommandHandler handler_;
  std::string movie_;
  std::map<std::string, std::string> variables_;
  float left_ = 0, top_ = 0, width_ = 0, height_ = 0;
};

}  // namespace tdwk
