#include "hosts/desktop/renderer_choice.h"

#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <system_error>

namespace tdwk::desktop {

namespace {

bool HasRenderNode(const std::string& folder) {
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    if (entry.path().filename().string().starts_with("renderD")) return true;
  }
  return false;
}

bool SoftwareForced() {
  const char* value = std::getenv("LIBGL_ALWAYS_SOFTWARE");
  return value != nullptr && *value != '\0' && std::string_view(value) != "0";
}

}  // namespace

bool DrawsInSoftware(const std::string& renderNodes) {
  return SoftwareForced() || !HasRenderNode(renderNodes);
}

std::string ChooseRenderer(const std::string& asked, const std::string& renderNodes) {
  if (!asked.empty()) return asked;
  if (DrawsInSoftware(renderNodes)) return "canvas";
  return {};
}

}  // namespace tdwk::desktop
