#include <unistd.h>

#include <cstdlib>
#include <iostream>
#include <string>

#include "hosts/common/host_environment.h"
#include "hosts/common/program_info.h"
#include "hosts/common/trace.h"
#include "hosts/common/user_data.h"
#include "hosts/console/console_host.h"
#include "platform/code_page_posix.h"
#include "platform/locale_posix.h"
#include "shell/shell.h"

namespace {

constexpr const char* kConsoleUsage =
    "Usage: tdwk-console [USER_MANAGER]\n"
    "Runs the tindlewick shell without a window: movie events are read from standard input,\n"
    "one a line, and everything the shell does is written to standard output as JSON lines.\n"
    "\n"
    "  USER_MANAGER  start in the user manager\n"
    "  --help        show this text and exit\n"
    "  --version     show the version and exit\n";

}  // namespace

int main(int argc, char** argv) {
  using namespace tdwk;
  std::ios::sync_with_stdio(false);
  if (PrintedProgramInfo(argc, argv, kConsoleUsage, std::cout)) return 0;

  const ScreenSize screen = ScreenFromEnvironment(std::cerr);
  std::unique_ptr<Clock> clock = ClockFromEnvironment(std::cerr);
  const std::string programFolder = ProgramFolder();

  Trace trace(std::cout, Trace::Flushing::ByHost);
  ConsoleHost host(std::cin, std::cerr, trace, screen.widthTwips, screen.heightTwips);
  RunStorage storage(programFolder);
  PosixLocale locale;
  Windows1252CodePage codePage;
  Platform platform{host,
                    host.playerWindows(),
                    storage.Files(),
                    *clock,
                    locale,
                    codePage,
                    storage.Lock(),
                    programFolder,
                    CommandLineText(argc, argv)};
  if (!storage.Places().problem.empty()) host.MessageBox(storage.Places().problem);
  Shell shell(platform);
  return shell.Main();
}
