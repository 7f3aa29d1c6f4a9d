#pragma once

#include <memory>
#include <string>

#include "platform/code_page_posix.h"
#include "platform/file_system_posix.h"
#include "platform/fixed_clock.h"
#include "shell/shell.h"
#include "support/fakes.h"
#include "support/temp_folder.h"
#include "support/test_console_host.h"

namespace tdwk::bench {

// A shell over fake windows and a fresh application folder, its window loaded.
struct BenchShell {
  BenchShell()
      : files(folder.Path()),
        clock(std::chrono::local_days{std::chrono::year{2004} / 5 / 3} + std::chrono::hours{9}) {
    folder.MakeFolder("High Scores");
    folder.MakeFolder("Logs");
    shell.state.appPath = folder.Path();
    shell.state.subclassedWindows.emplace();
    shell.frmTDWK.Create();
    host.ShowModal(shell.frmTDWK);
    calls.clear();
  }

  test::TempFolder folder;
  test::CallLog calls;
  test::TestConsoleHost host{calls};
  PosixFileSystem files;
  FixedClock clock;
  test::BritishLocale locale;
  Windows1252CodePage codePage;
  test::FakeInstanceLock lock;
  Platform platform{host, host.playerWindows(), files, clock, locale, codePage,
                    lock, folder.Path(),        ""};
  Shell shell{platform};
};

}  // namespace tdwk::bench
