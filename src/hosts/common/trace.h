#pragma once

#include <cstdint>
#include <ostream>
#include <string>

namespace tdwk {

// The trace of everything the shell does to the player, the window and the timer: one JSON
// object a line, flushed as it happens, or by a host that flushes it before it waits.
class Trace {
 public:
  enum class Flushing { EachLine, ByHost };

  explicit Trace(std::ostream& out, Flushing flushing = Flushing::EachLine)
      : out_(out), flushing_(flushing) {}

  // Hands every line written so far to the reader.
  void Flush();

  void FSCommand(const std::string& control, const std::string& command, const std::string& args);
  void LoadMovie(const std::string& control, int layer, const std::string& url);
  void SetVariable(const std::string& control, const std::string& name, const std::string& value);
  // value empty: the movie did not answer.
  void GetVariable(const std::string& control, const std::string& name, const std::string* value);
  void Play(const std::string& control);
  void GotoFrame(const std::string& control, int frame);
  void SetNumber(const std::string& control, const std::string& property, double value);
  void SetFlag(const std::string& control, const std::string& property, bool value);
  void BringToFront(const std::string& control);
  void Message(const std::string& control, std::uint32_t message, bool delivered,
               std::int32_t result);
  void MessageBox(const std::string& text);
  void Unload();

 private:
  template <class Json>
  void Write(const Json& line);

  std::ostream& out_;
  Flushing flushing_;
};

}  // namespace tdwk
