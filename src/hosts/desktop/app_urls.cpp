#include "hosts/desktop/app_urls.h"

#include <glib.h>

#include <algorithm>
#include <memory>

#include "base/ascii_case.h"

namespace tdwk::desktop {

namespace {

struct GFreeDeleter {
  void operator()(void* p) const { g_free(p); }
};
using OwnedText = std::unique_ptr<char, GFreeDeleter>;

bool Acceptable(std::string_view component) {
  return !component.empty() && component.front() != '.' &&
         component.find('\0') == std::string_view::npos &&
         component.find('/') == std::string_view::npos;
}

std::vector<std::string> Split(std::string_view text) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t end = std::min(text.find('/', start), text.size());
    if (end > start) parts.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

}  // namespace

std::string AppUrl(const std::vector<std::string>& components) {
  std::string url(kOrigin);
  for (const std::string& component : components) {
    OwnedText escaped(g_uri_escape_string(component.c_str(), nullptr, false));
    url += '/';
    url += escaped.get();
  }
  return url;
}

std::optional<std::vector<std::string>> MovieComponents(std::string_view appPath,
                                                        std::string_view moviePath) {
  if (appPath.empty() || !moviePath.starts_with(appPath)) return std::nullopt;
  std::vector<std::string> parts = Split(moviePath.substr(appPath.size()));
  if (parts.empty() || !std::all_of(parts.begin(), parts.end(), Acceptable)) return std::nullopt;
  return parts;
}

std::optional<AppRequest> ParseAppRequest(std::string_view url) {
  const std::string text(url);
  GUri* parsed = g_uri_parse(text.c_str(), G_URI_FLAGS_ENCODED, nullptr);
  if (parsed == nullptr) return std::nullopt;
  std::unique_ptr<GUri, decltype(&g_uri_unref)> owner(parsed, &g_uri_unref);

  const char* scheme = g_uri_get_scheme(parsed);
  const char* host = g_uri_get_host(parsed);
  if (scheme == nullptr || std::string_view(scheme) != kScheme || host == nullptr ||
      std::string_view(host) != "app" || g_uri_get_userinfo(parsed) != nullptr ||
      g_uri_get_port(parsed) != -1) {
    return std::nullopt;
  }
  AppRequest request;
  for (const std::string& encoded : Split(g_uri_get_path(parsed))) {
    OwnedText decoded(g_uri_unescape_segment(encoded.data(), encoded.data() + encoded.size(), "/"));
    if (decoded == nullptr || !Acceptable(decoded.get())) return std::nullopt;
    request.components.emplace_back(decoded.get());
  }
  if (request.components.empty()) return std::nullopt;
  const char* query = g_uri_get_query(parsed);
  request.bridge = query != nullptr && std::string_view(query) == kBridgeQuery;
  return request;
}

std::string_view MediaType(std::string_view fileName) {
  const std::size_t dot = fileName.rfind('.');
  const std::string extension =
      AsciiLowerCase(dot == std::string_view::npos ? "" : fileName.substr(dot + 1));
  if (extension == "html") return "text/html; charset=utf-8";
  if (extension == "js") return "text/javascript; charset=utf-8";
  if (extension == "css") return "text/css; charset=utf-8";
  if (extension == "wasm") return "application/wasm";
  if (extension == "swf") return "application/x-shockwave-flash";
  if (extension == "json" || extension == "map") return "application/json";
  if (extension == "png") return "image/png";
  if (extension == "jpg" || extension == "jpeg") return "image/jpeg";
  if (extension == "mp3") return "audio/mpeg";
  return "application/octet-stream";
}

}  // namespace tdwk::desktop
