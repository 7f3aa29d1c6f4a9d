#include "hosts/desktop/runtime_folder.h"

#include <glib.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace tdwk::desktop {

RuntimeFolder::RuntimeFolder() {
  const char* own = std::getenv("XDG_RUNTIME_DIR");
  if (own != nullptr && *own != '\0') return;
  gchar* made = g_dir_make_tmp("tdwk-runtime-XXXXXX", nullptr);  // 0700
  if (made == nullptr) return;
  made_ = made;
  g_free(made);
  g_setenv("XDG_RUNTIME_DIR", made_.c_str(), TRUE);
}

RuntimeFolder::~RuntimeFolder() {
  if (made_.empty()) return;
  g_unsetenv("XDG_RUNTIME_DIR");
  std::error_code ignored;
  std::filesystem::remove_all(made_, ignored);
}

}  // namespace tdwk::desktop
