#include <unistd.h>

#include <cstdlib>
#include <iostream>
#include <string>

#include "hosts/common/host_environment.h"
#include "hosts/common/trace.h"
#include "hosts/console/console_host.h"
#include "platform/code_page_posix.h"
#include "platform/file_system_posix.h"
#include "platform/instance_lock_posix.h"
#include "platform/locale_posix.h"
#include "shell/shell.h"

int main(int argc, char** argv) {
  using namespace tdwk;
  std::ios::sync_with_stdio(false);

  const ScreenSize screen = ScreenFromEnvironment(std::cerr);
  std::unique_ptr<Clock> clock = ClockFromEnvironment(std::cerr);
  const std::string programFolder = ProgramFolder();

  Trace trace(std::cout);
  ConsoleHost host(std::cin, std::cerr, trace, screen.widthTwips, screen.heightTwips);
  PosixFileSystem files(programFolder);
  PosixLocale locale;
  Windows1252CodePage codePage;
  FlockInstanceLock instanceLock;
  Platform platform{host,         host,          files,
                    *clock,       locale,        codePage,
                    instanceLock, programFolder, CommandLineText(argc, argv)};
  Shell shell(platform);
  return shell.Main();
}
