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

}  // namespace tdwk::desktop
