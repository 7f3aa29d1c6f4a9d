#include "hosts/common/trace.h"

#include <cmath>
#include <nlohmann/json.hpp>

namespace tdwk {

using Line = nlohmann::ordered_json;

template <class Json>
void Trace::Write(const Json& line) {
  // Texts from movies need not be valid UTF-8: such bytes are written as U+FFFD.
  out_ << line.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
  if (flushing_ == Flushing::EachLine) out_.flush();
}

void Trace::Flush() {
  out_.flush();
}

namespace {
Line Op(const std::string& control, const char* op) {
  Line line;
  line["control"] = control;
  line["op"] = op;
  return line;
}
}  // namespace

void Trace::FSCommand(const std::string& control, const std::string& command,
                      const std::string& args) {
  Line line = Op(control, "FSCommand");
  line["command"] = command;
  line["args"] = args;
  Write(line);
}

void Trace::LoadMovie(const std::string& control, int layer, const std::string& url) {
  Line line = Op(control, "LoadMovie");
  line["layer"] = layer;
  line["url"] = url;
  Write(line);
}

void Trace::SetVariable(const std::string& control, const std::string& name,
                        const std::string& value) {
  Line line = Op(control, "SetVariable");
  line["name"] = name;
  line["value"] = value;
  Write(line);
}

void Trace::GetVariable(const std::string& control, const std::string& name,
                        const std::string* value) {
  Line line = Op(control, "GetVariable");
  line["name"] = name;
  line["value"] = value == nullptr ? Line(nullptr) : Line(*value);
  Write(line);
}

void Trace::Play(const std::string& control) {
  Write(Op(control, "Play"));
}

void Trace::GotoFrame(const std::string& control, int frame) {
  Line line = Op(control, "GotoFrame");
  line["frame"] = frame;
  Write(line);
}

void Trace::SetNumber(const std::string& control, const std::string& property, double value) {
  Line line = Op(control, "Set");
  line["property"] = property;
  // Whole twips are written as integers, as the window system holds them.
  if (std::isfinite(value) && value == std::floor(value) && std::fabs(value) < 9.0e15) {
    line["value"] = static_cast<long long>(value);
  } else {
    line["value"] = value;
  }
  Write(line);
}

void Trace::SetFlag(const std::string& control, const std::string& property, bool value) {
  Line line = Op(control, "Set");
  line["property"] = property;
  line["value"] = value;
  Write(line);
}

void Trace::BringToFront(const std::string& control) {
  Write(Op(control, "BringToFront"));
}

void Trace::Message(const std::string& control, std::uint32_t message, bool delivered,
                    std::int32_t result) {
  Line line = Op(control, "Message");
  line["message"] = message;
  line["delivered"] = delivered;
  line["result"] = result;
  Write(line);
}

void Trace::MessageBox(const std::string& text) {
  Line line;
  line["op"] = "MessageBox";
  line["text"] = text;
  Write(line);
}

void Trace::Unload() {
  Line line;
  line["op"] = "Unload";
  Write(line);
}

}  // namespace tdwk
