#pragma once

#include <string>

namespace tdwk::desktop {

struct SandboxCheck {
  bool usable = false;
  std::string reason;  // why not, when it is not
};

// Whether WebKit's sandbox for the web process can start on this system: its launcher must be
// installed and allowed to make the namespaces it needs (some systems restrict them).
SandboxCheck CheckWebSandbox();

}  // namespace tdwk::desktop
