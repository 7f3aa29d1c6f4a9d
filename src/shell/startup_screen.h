#pragma once

namespace tdwk {

class Shell;

// The start-up screen: user selection or the user manager (module basTDWK).
class StartupScreen {
 public:
  explicit StartupScreen(Shell& shell) : shell_(shell) {}

  void loadStartupMenu();

 private:
  Shell& shell_;
};

}  // namespace tdwk
