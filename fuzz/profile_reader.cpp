// The profile reader: any file content reads as a profile or as nothing, and a profile that
// was read is written back and reads again the same.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static tdwk::fuzzing::FuzzShell fuzz;
  tdwk::Shell& shell = fuzz.shell();
  fuzz.WriteFile("Users/USER1.DAT", std::string(reinterpret_cast<const char*>(data), size));
  shell.state.currentUserID = "USER1.DAT";
  const auto details = shell.profiles.getUserDetails();
  if (!details) return 0;

  shell.state.currentChild = details;
  shell.state.currentUserID = "USER2.DAT";
  shell.profiles.WriteDataFile();
  const auto again = shell.profiles.getUserDetails();
  // Texts may hold bytes that are not UTF-8 or characters the code page lacks, so only the
  // date and the shape of the record are stable across a round trip.
  if (!again || again->dob != details->dob) __builtin_trap();
  return 0;
}
