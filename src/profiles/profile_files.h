#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "profiles/binary_string.h"
#include "profiles/child_details.h"

namespace tdwk {

class Shell;

// The date and 26 strings of the longest length: no profile file is any larger.
inline constexpr std::size_t kLargestProfileFile = 8 + LargestStoredStrings(26);

// The binary string encoding, the profile file and the age of a child (module basTDWK).
class ProfileFiles {
 public:
  explicit ProfileFiles(Shell& shell) : shell_(shell) {}

  std::string ReadStringFromBinaryFile(BinaryReader& file);
  // Appends the string to the file's new content; false (reported) when it cannot be stored.
  bool WriteStringToBinaryFile(BinaryWriter& file, const std::string& text);

  // The profile named by currentUserID, or nothing when it cannot be read.
  std::optional<child_details> getUserDetails();
  void ReadDataFile();
  // Writes currentChild to the file named by currentUserID, replacing it. True when the file
  // now holds the record; false when the writer refused or reported the write itself.
  bool WriteDataFile();
  std::int16_t Age(double dob);

  std::string UsersFolder() const;

 private:
  Shell& shell_;
};

}  // namespace tdwk
