#include <gtk/gtk.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>

#include "hosts/common/host_environment.h"
#include "hosts/common/program_info.h"
#include "hosts/common/trace.h"
#include "hosts/common/user_data.h"
#include "hosts/desktop/desktop_host.h"
#include "hosts/desktop/language_tag.h"
#include "hosts/desktop/renderer_choice.h"
#include "platform/code_page_posix.h"
#include "platform/locale_posix.h"
#include "shell/shell.h"

namespace {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

// An output file named by an environment variable, or nothing.
std::unique_ptr<std::ofstream> OutputFile(const char* variable) {
  const std::string path = Environment(variable);
  if (path.empty()) return nullptr;
  auto file = std::make_unique<std::ofstream>(path, std::ios::out | std::ios::trunc);
  if (!*file) {
    std::cerr << "tdwk: cannot write " << variable << " file " << path << '\n';
    return nullptr;
  }
  return file;
}

// Without its page and player the window would stay black: the part that is missing, or
// nothing.
std::string MissingPagePart(const std::string& programFolder) {
  for (const char* part : {"desktop/index.html", "desktop/ruffle/ruffle.js"}) {
    if (::access((programFolder + part).c_str(), R_OK) != 0) return programFolder + part;
  }
  return {};
}

constexpr const char* kUsage =
    "Usage: tdwk [USER_MANAGER]\n"
    "Plays tindlewick's stories and games for children, full screen.\n"
    "\n"
    "  USER_MANAGER  start in the user manager, where grown-ups add, change and remove\n"
    "                children\n"
    "  --help        show this text and exit\n"
    "  --version     show the version and exit\n"
    "\n"
    "Profiles, high scores and the log are kept in ~/.local/share/tindlewick (or\n"
    "$XDG_DATA_HOME/tindlewick) unless the program's own folder is writable.\n";

}  // namespace

int main(int argc, char** argv) {
  using namespace tdwk;
  if (PrintedProgramInfo(argc, argv, kUsage, std::cout)) return 0;
  // Whether WebKit's sandbox can start is found out while GTK starts.
  desktop::WebSandboxCheck sandbox;
  // Only the product's own argument is read; GTK's options are not offered.
  int gtkArgc = 1;
  char** gtkArgv = argv;
  if (!gtk_init_check(&gtkArgc, &gtkArgv)) {
    std::cerr << "tdwk: cannot open the display\n";
    return 1;
  }

  std::unique_ptr<Clock> clock = ClockFromEnvironment(std::cerr);
  const std::string programFolder = ProgramFolder();
  std::unique_ptr<std::ofstream> traceFile = OutputFile("TDWK_TRACE");
  std::unique_ptr<std::ofstream> latencyFile = OutputFile("TDWK_LATENCY");
  std::unique_ptr<Trace> trace = traceFile ? std::make_unique<Trace>(*traceFile) : nullptr;

  RunStorage storage(programFolder);
  FileSystem& files = storage.Files();
  desktop::DesktopHost::Options options;
  options.appPath = programFolder;
  options.contentFolder = storage.ContentFolder();
  options.languageTag = desktop::LanguageTag(desktop::MessagesLocaleName());
  options.renderer = desktop::ChooseRenderer(Environment("TDWK_RENDERER"));
  options.composited = !desktop::DrawsInSoftware();
  options.latency = latencyFile.get();
  options.spares = Environment("TDWK_SPARES") != "0";
  options.sandbox = &sandbox;
  // A scripted visit, for demonstrations and tests; the product runs without one.
  if (const std::string visit = Environment("TDWK_VISIT"); !visit.empty()) {
    std::ifstream visitFile(visit);
    if (visitFile) {
      options.visit = desktop::ReadVisit(visitFile, std::cerr);
    } else {
      std::cerr << "tdwk: cannot read TDWK_VISIT file " << visit << '\n';
    }
  }
  desktop::DesktopHost host(options, files, trace.get());

  PosixLocale locale;
  Windows1252CodePage codePage;
  Platform platform{
      host,          host.playerWindows(),       files, *clock, locale, codePage, storage.Lock(),
      programFolder, CommandLineText(argc, argv)};
  if (const std::string missing = MissingPagePart(programFolder); !missing.empty()) {
    host.MessageBox("tindlewick cannot start: " + missing +
                    " is missing.\r\n\r\nPlease install the program again.");
    return 1;
  }
  if (!storage.Places().problem.empty()) host.MessageBox(storage.Places().problem);
  Shell shell(platform);
  host.SetErrorLog([&shell](const std::string& text) { shell.errors.WriteLog(text); });
  return shell.Main();
}
