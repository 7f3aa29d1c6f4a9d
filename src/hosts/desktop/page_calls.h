#pragma once

#include <nlohmann/json_fwd.hpp>
#include <optional>
#include <string>

namespace tdwk::desktop {

// What the players' page is asked to do. Calls reach the page in the order they are made.
class PageCalls {
 public:
  virtual ~PageCalls() = default;
  // One call, as the page's run() takes it: {"op": ..., "control": ..., ...}.
  virtual void Call(nlohmann::json call) = 0;
  // The value of a variable of the layer's current movie, after every earlier call has been
  // applied; nothing when the movie does not answer. Waits for the page.
  virtual std::optional<std::string> GetVariable(const std::string& control,
                                                 const std::string& name) = 0;
};

// A text field of a message from the page; nothing when it is missing or not a text. The
// page's messages are checked field by field: one of the wrong form is dropped, never trusted.
inline std::optional<std::string> TextField(const nlohmann::json& message, const char* key) {
  if (!message.is_object()) return std::nullopt;
  const auto found = message.find(key);
  if (found == message.end() || !found->is_string()) return std::nullopt;
  return found->get<std::string>();
}

}  // namespace tdwk::desktop
