#pragma once

#include <cstdint>
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
  // The form's fields into the new currentChild, in the order the movie is asked for them.
  void readForm();
  // One part of the date of birth: a number that fits 16 bits, a half rounded to even.
  std::int16_t readDatePart(const std::string& name);
  void readAdultSlots();

  Shell& shell_;
};

}  // namespace tdwk
