#pragma once

namespace tdwk {

class Shell;

// The birthday and Christmas countdowns of the time gadget (frmTDWK).
class Countdowns {
 public:
  explicit Countdowns(Shell& shell) : shell_(shell) {}

  void setTimers();

 private:
  Shell& shell_;
};

}  // namespace tdwk
