#pragma once

#include <string>

namespace tdwk {

class Shell;

// The user manager's form, read back from the start-up movie's variables (module basTDWK).
class ProfileForm {
 public:
  explicit ProfileForm(Shell& shell) : shell_(shell) {}

  void saveUserDetails(std::string action);
  bool flashVariableExists(std::string name);

 private:
  Shell& shell_;
};

}  // namespace tdwk
