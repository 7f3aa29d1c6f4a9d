#pragma once

#include <glib.h>

#include <optional>
#include <string>

namespace tdwk::desktop {

struct SandboxCheck {
  bool usable = false;
  std::string reason;  // why not, when it is not
};

// Whether WebKit's sandbox for the web process can start on this system: its launcher must be
// installed and allowed to make the namespaces it needs (some systems restrict them). The check
// runs a program; started early, it runs while the program starts its window system.
class WebSandboxCheck {
 public:
  WebSandboxCheck();  // starts the check
  ~WebSandboxCheck();
  WebSandboxCheck(const WebSandboxCheck&) = delete;
  WebSandboxCheck& operator=(const WebSandboxCheck&) = delete;

  // Waits for the check the first time.
  const SandboxCheck& Result();

 private:
  GPid pid_ = 0;
  int errors_ = -1;  // the launcher's standard error
  std::optional<SandboxCheck> result_;
};

}  // namespace tdwk::desktop
