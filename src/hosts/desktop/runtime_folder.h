#pragma once

#include <string>

namespace tdwk::desktop {

// Outside a login session there is no runtime folder (XDG_RUNTIME_DIR), and the page's sound
// output then searches for a sound server while every player waits for it. Without one, a
// private empty folder is given to the web view's processes for as long as this lives: no
// server is found at once, and the movies play silently.
class RuntimeFolder {
 public:
  RuntimeFolder();
  ~RuntimeFolder();
  RuntimeFolder(const RuntimeFolder&) = delete;
  RuntimeFolder& operator=(const RuntimeFolder&) = delete;

 private:
  std::string made_;  // empty when the session has its own
};

}  // namespace tdwk::desktop
