// Whole input scripts for the console host, run in-process over a fresh application folder
// as tdwk-console runs them: any bytes, waits of any length included, end with the window
// gone and an exit status of 0 or 1; never a crash, a hang or undefined behaviour.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "fuzz_support.h"
#include "hosts/common/trace.h"
#include "hosts/console/console_host.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  using namespace tdwk;
  if (size > 8192) return 0;  // longer scripts only repeat what shorter ones reach
  fuzzing::FuzzApp app;
  std::istringstream input(std::string(reinterpret_cast<const char*>(bytes), size));
  std::ostringstream errors;
  std::ostringstream traced;
  Trace trace(traced);
  ConsoleHost host(input, errors, trace, 15360, 11520);
  Platform platform = app.PlatformFor(host);
  Shell shell(platform);
  const int status = shell.Main();
  if ((status != 0 && status != 1) || !host.WindowGone()) __builtin_trap();
  return 0;
}
