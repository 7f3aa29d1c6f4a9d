#include "hosts/desktop/app_scheme.h"

#include <sys/stat.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>

#include "swf/bridge.h"

namespace tdwk::desktop {

namespace {

std::string RealPath(const std::string& path) {
  std::unique_ptr<char, decltype(&std::free)> real(realpath(path.c_str(), nullptr), &std::free);
  return real ? std::string(real.get()) : std::string();
}

// The page may not reach out of the application's origin: no other scheme, no socket.
constexpr const char* kContentSecurityPolicy =
    "default-src tdwk:; script-src tdwk: 'wasm-unsafe-eval'; style-src tdwk: 'unsafe-inline'; "
    "img-src tdwk: data: blob:; media-src tdwk: data: blob:; connect-src tdwk: data: blob:; "
    "worker-src tdwk: blob:; font-src tdwk: data:; frame-src 'none'; object-src 'none'";

}  // namespace

AppScheme::AppScheme(std::string appPath, FileSystem& files)
    : appPath_(std::move(appPath)), files_(files) {
  if (appPath_.empty() || appPath_.back() != '/') appPath_ += '/';
  AllowFolder(appPath_);
}

void AppScheme::AllowFolder(const std::string& folder) {
  std::string real = RealPath(folder);
  if (real.empty()) return;
  if (real.back() != '/') real += '/';
  realFolders_.push_back(std::move(real));
}

void AppScheme::Register(WebKitWebContext* context) {
  const std::string scheme(kScheme);
  webkit_web_context_register_uri_scheme(context, scheme.c_str(), &AppScheme::Serve, this, nullptr);
  WebKitSecurityManager* security = webkit_web_context_get_security_manager(context);
  webkit_security_manager_register_uri_scheme_as_secure(security, scheme.c_str());
  webkit_security_manager_register_uri_scheme_as_cors_enabled(security, scheme.c_str());
}

std::optional<std::string> AppScheme::Locate(const AppRequest& request) {
  std::string path = appPath_;
  for (std::size_t i = 0; i < request.components.size(); ++i) {
    if (i > 0) path += '/';
    path += request.components[i];
  }
  const std::string stored = files_.Resolve(path);
  if (stored.empty()) return std::nullopt;
  // A link may point anywhere: what is served must really lie inside the folder.
  const std::string real = RealPath(stored);
  struct stat info {};
  bool inside = false;
  for (const std::string& folder : realFolders_) inside = inside || real.starts_with(folder);
  if (real.empty() || !inside || stat(real.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
    return std::nullopt;
  }
  return stored;
}

std::optional<std::string> AppScheme::Content(const AppRequest& request, std::string& mediaType) {
  const std::optional<std::string> file = Locate(request);
  // A movie that does not exist plays as an empty movie, as the player does for a missing
  // file: the bridge is served all the same and finds nothing to load.
  if (!file && request.bridge) {
    mediaType = MediaType(".swf");
    return swf::BuildBridgeMovie({});
  }
  if (!file) return std::nullopt;
  try {
    std::string bytes = files_.ReadFile(*file);
    if (request.bridge) {
      mediaType = MediaType(".swf");
      return swf::BuildBridgeMovie(bytes);
    }
    mediaType = MediaType(request.components.back());
    return bytes;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tdwk: cannot serve %s: %s\n", file->c_str(), e.what());
    return std::nullopt;
  }
}

std::optional<swf::MovieHeader> AppScheme::MovieHeader(const AppRequest& request) {
  const std::optional<std::string> file = Locate(request);
  if (!file) return std::nullopt;
  try {
    return swf::ReadMovieHeader(files_.ReadFile(*file));
  } catch (const std::exception&) {
    // The player reports a movie it cannot read when it loads it.
    return std::nullopt;
  }
}

void AppScheme::Serve(WebKitURISchemeRequest* request, gpointer self) {
  static_cast<AppScheme*>(self)->Serve(request);
}

void AppScheme::Serve(WebKitURISchemeRequest* request) {
  std::optional<std::string> content;
  std::string mediaType;
  if (const auto parsed = ParseAppRequest(webkit_uri_scheme_request_get_uri(request))) {
    content = Content(*parsed, mediaType);
  }
  if (!content) {
    GError* error = g_error_new(G_IO_ERROR, G_IO_ERROR_NOT_FOUND, "Not found");
    webkit_uri_scheme_request_finish_error(request, error);
    g_error_free(error);
    return;
  }
  const auto size = static_cast<gint64>(content->size());
  GBytes* bytes = g_bytes_new(content->data(), content->size());
  GInputStream* stream = g_memory_input_stream_new_from_bytes(bytes);
  WebKitURISchemeResponse* response = webkit_uri_scheme_response_new(stream, size);
  webkit_uri_scheme_response_set_content_type(response, mediaType.c_str());
  SoupMessageHeaders* headers = soup_message_headers_new(SOUP_MESSAGE_HEADERS_RESPONSE);
  soup_message_headers_replace(headers, "Content-Type", mediaType.c_str());
  soup_message_headers_replace(headers, "Content-Security-Policy", kContentSecurityPolicy);
  soup_message_headers_replace(headers, "Cache-Control", "no-store");
  webkit_uri_scheme_response_set_http_headers(response, headers);  // takes the headers
  webkit_uri_scheme_request_finish_with_response(request, response);
  g_object_unref(response);
  g_object_unref(stream);
  g_bytes_unref(bytes);
}

}  // namespace tdwk::desktop
