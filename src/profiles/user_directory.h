#pragma once

#include <optional>
#include <string>
#include <vector>

#include "profiles/child_details.h"

namespace tdwk {

class Shell;

// Listing, selecting, deleting and publishing the children's profiles (module basTDWK).
class UserDirectory {
 public:
  explicit UserDirectory(Shell& shell) : shell_(shell) {}

  // One entry per file of the users folder: the profile, or nothing where it cannot be read.
  std::vector<std::optional<child_details>> getUsers();
  void setCurrentUser(std::string key);
  void deleteUser(std::string key);
  void publishUserList();

 private:
  Shell& shell_;
};

}  // namespace tdwk
