#include "hosts/desktop/web_sandbox.h"

#include <glib.h>

namespace tdwk::desktop {

namespace {
// Where WebKit looks for its sandbox launcher.
constexpr const char* kLauncher = "/usr/bin/bwrap";
}  // namespace

SandboxCheck CheckWebSandbox() {
  if (!g_file_test(kLauncher, G_FILE_TEST_IS_EXECUTABLE)) {
    return {false, std::string(kLauncher) + " is not installed"};
  }
  // The same kinds of namespace the web process is given, tried on a program that does nothing.
  const char* argv[] = {kLauncher,
                        "--ro-bind",
                        "/",
                        "/",
                        "--unshare-pid",
                        "--unshare-net",
                        "--unshare-ipc",
                        "--unshare-uts",
                        "--unshare-user-try",
                        "--die-with-parent",
                        "--",
                        "true",
                        nullptr};
  gchar* errors = nullptr;
  gint status = 0;
  GError* error = nullptr;
  const bool ran =
      g_spawn_sync(nullptr, const_cast<gchar**>(argv), nullptr, G_SPAWN_STDOUT_TO_DEV_NULL, nullptr,
                   nullptr, nullptr, &errors, &status, &error);
  SandboxCheck check;
  if (!ran) {
    check.reason = error != nullptr ? error->message : "its launcher did not start";
  } else if (!g_spawn_check_wait_status(status, nullptr)) {
    check.reason = errors != nullptr && *errors != '\0' ? g_strchomp(errors) : "it cannot start";
  } else {
    check.usable = true;
  }
  if (error != nullptr) g_error_free(error);
  g_free(errors);
  return check;
}

}  // namespace tdwk::desktop
