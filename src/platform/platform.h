#pragma once

#include <string>

#include "platform/clock.h"
#include "platform/code_page.h"
#include "platform/file_system.h"
#include "platform/instance_lock.h"
#include "platform/locale.h"
#include "platform/player_windows.h"
#include "platform/window_host.h"

namespace tdwk {

// The ports a shell runs on, provided by its host.
struct Platform {
  WindowHost& window;
  PlayerWindows& playerWindows;
  FileSystem& files;
  Clock& clock;
  Locale& locale;
  CodePage& codePage;
  InstanceLock& instanceLock;
  std::string programFolder;  // the folder of the program file, no trailing '/' required
  std::string commandLine;    // the arguments joined by single blanks
};

}  // namespace tdwk
