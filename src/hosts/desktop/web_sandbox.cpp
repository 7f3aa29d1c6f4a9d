#include "hosts/desktop/web_sandbox.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace tdwk::desktop {

namespace {
// Where WebKit looks for its sandbox launcher.
constexpr const char* kLauncher = "/usr/bin/bwrap";
}  // namespace

WebSandboxCheck::WebSandboxCheck() {
  if (!g_file_test(kLauncher, G_FILE_TEST_IS_EXECUTABLE)) {
    result_ = SandboxCheck{false, std::string(kLauncher) + " is not installed"};
    return;
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
  GError* error = nullptr;
  if (!g_spawn_async_with_pipes(
          nullptr, const_cast<gchar**>(argv), nullptr,
          static_cast<GSpawnFlags>(G_SPAWN_DO_NOT_REAP_CHILD | G_SPAWN_STDOUT_TO_DEV_NULL), nullptr,
          nullptr, &pid_, nullptr, nullptr, &errors_, &error)) {
    result_ = SandboxCheck{
        false, error != nullptr ? error->message : std::string("its launcher did not start")};
    pid_ = 0;
  }
  if (error != nullptr) g_error_free(error);
}

WebSandboxCheck::~WebSandboxCheck() {
  Result();
}

const SandboxCheck& WebSandboxCheck::Result() {
  if (result_) return *result_;
  std::string errors;
  char buffer[512];
  for (;;) {
    const ssize_t got = ::read(errors_, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    // Enough to say why; the rest is drained so that the launcher never waits to write.
    if (errors.size() < 4096) errors.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(errors_);
  errors_ = -1;
  int status = 0;
  pid_t ended = -1;
  do {
    ended = ::waitpid(pid_, &status, 0);
  } while (ended < 0 && errno == EINTR);
  g_spawn_close_pid(pid_);
  SandboxCheck check;
  if (ended < 0) {
    check.reason = "its launcher's end was not seen";
  } else if (g_spawn_check_wait_status(status, nullptr)) {
    check.usable = true;
  } else {
    gchar* reason = g_strchomp(g_strdup(errors.c_str()));
    check.reason = *reason != '\0' ? reason : "it cannot start";
    g_free(reason);
  }
  result_ = std::move(check);
  return *result_;
}

}  // namespace tdwk::desktop
