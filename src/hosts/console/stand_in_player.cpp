#include "hosts/console/stand_in_player.h"

#include "platform/flash_errors.h"

namespace tdwk {

void StandInPlayer::LoadMovie(int layer, const std::string& url) {
  trace_.LoadMovie(name_, layer, url);
  movie_ = url;
  variables_.clear();
}

void StandInPlayer::SetVariable(const std::string& name, const std::string& value) {
  trace_.SetVariable(name_, name, value);
  variables_[name] = value;
}

std::string StandInPlayer::GetVariable(const std::string& name) {
  const auto found = variables_.find(name);
  if (found == variables_.end()) {
    trace_.GetVariable(name_, name, nullptr);
    RaiseVariableNotAnswered();
  }
  trace_.GetVariable(name_, name, &found->second);
  return found->second;
}

void StandInPlayer::Play() {
  trace_.Play(name_);
}

void StandInPlayer::GotoFrame(int frame) {
  trace_.GotoFrame(name_, frame);
}

void StandInPlayer::SetLeft(float twips) {
  trace_.SetNumber(name_, "Left", twips);
  left_ = twips;
}

void StandInPlayer::SetTop(float twips) {
  trace_.SetNumber(name_, "Top", twips);
  top_ = twips;
}

void StandInPlayer::SetWidth(float twips) {
  trace_.SetNumber(name_, "Width", twips);
  width_ = twips;
}

void StandInPlayer::SetHeight(float twips) {
  trace_.SetNumber(name_, "Height", twips);
  height_ = twips;
}

void StandInPlayer::BringToFront() {
  trace_.BringToFront(name_);
}

void StandInPlayer::DefineVariable(const std::string& name, const std::string& value) {
  variables_[name] = value;
}

void StandInPlayer::RaiseFSCommand(const std::string& command, const std::string& args) {
  trace_.FSCommand(name_, command, args);
  if (handler_) handler_(command, args);
}

}  // namespace tdwk
