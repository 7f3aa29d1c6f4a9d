#include <gtk/gtk.h>

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>

#include "hosts/common/host_environment.h"
#include "hosts/common/trace.h"
#include "hosts/desktop/desktop_host.h"
#include "hosts/desktop/language_tag.h"
#include "hosts/desktop/renderer_choice.h"
#include "platform/code_page_posix.h"
#include "platform/file_system_posix.h"
#include "platform/instance_lock_posix.h"
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

}  // namespace

int main(int argc, char** argv) {
  using namespace tdwk;
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

  PosixFileSystem files(programFolder);
  desktop::DesktopHost::Options options;
  options.appPath = programFolder;
  options.languageTag = desktop::LanguageTag(desktop::MessagesLocaleName());
  options.renderer = desktop::ChooseRenderer(Environment("TDWK_RENDERER"));
  options.latency = latencyFile.get();
  options.spares = Environment("TDWK_SPARES") != "0";
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
  FlockInstanceLock instanceLock;
  Platform platform{
      host,          host.playerWindows(),       files, *clock, locale, codePage, instanceLock,
      programFolder, CommandLineText(argc, argv)};
  Shell shell(platform);
  return shell.Main();
}
