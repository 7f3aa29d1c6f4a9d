#pragma once

#include <optional>
#include <string>
#include <vector>

#include "profiles/child_details.h"

namespace tdwk {

class Shell;

// The name the start-up screen shows for a profile: the first name, one blank and the
// initial of the last name in upper case.
std::string UserListName(const child_details& child);

// Listing, selecting, deleting and publishing the children's profiles (module basTDWK).
class UserDirectory {
 public:
  explicit UserDirectory(Shell& shell) : shell_(shell) {}

  // One entry per file of the users folder: the profile, or nothing where it cannot be read.
  // Gaps in the profile numbers are closed first.
  std::vector<std::optional<child_details>> getUsers();
  void setCurrentUser(std::string key);
  void deleteUser(std::string key);
  // No trap of its own: a profile that cannot be read ends the operation that publishes.
  void publishUserList();
  // "USER_NAME" + n and "USER_SEX" + n for n = 1 to userCount; what publishUserList and the
  // start-up screen share.
  void publishUserNames();

 private:
  // A deletion cut short between two of its moves (the program killed, the disk failing)
  // leaves a gap in the numbers; the profiles above it move down, as the deletion would have
  // moved them. Failures are reported as getUsers's own.
  void closeNumberingGaps();
  // Deletes the profile numbered n and moves every later one down one number.
  void removeAndRenumber(int number);

  Shell& shell_;
};

}  // namespace tdwk
