#include "hosts/desktop/app_scheme.h"

#include <fcntl.h>
#include <gio/gunixinputstream.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>

#include "swf/bridge.h"
#include "swf/movie_reader.h"

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

void FinishNotFound(WebKitURISchemeRequest* request) {
  GError* error = g_error_new(G_IO_ERROR, G_IO_ERROR_NOT_FOUND, "Not found");
  webkit_uri_scheme_request_finish_error(request, error);
  g_error_free(error);
}

// The file, if it is a regular one, opened without ever waiting (a FIFO would block open()).
std::optional<OpenFile> OpenForServing(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return std::nullopt;
  }
  return OpenFile(fd, static_cast<std::uint64_t>(info.st_size));
}

// Up to `count` bytes from the start of the file.
std::string ReadStart(int fd, std::size_t count) {
  std::string bytes(count, '\0');
  std::size_t have = 0;
  while (have < count) {
    const ssize_t got = ::pread(fd, bytes.data() + have, count - have, static_cast<off_t>(have));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    have += static_cast<std::size_t>(got);
  }
  bytes.resize(have);
  return bytes;
}

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

std::optional<SchemeContent> AppScheme::Content(const AppRequest& request) {
  const std::optional<std::string> file = Locate(request);
  SchemeContent content;
  // A movie that does not exist plays as an empty movie, as the player does for a missing
  // file: the bridge is served all the same and finds nothing to load.
  if (!file && request.bridge) {
    content.mediaType = MediaType(".swf");
    content.bytes = swf::BuildBridgeMovie({});
    return content;
  }
  if (!file) return std::nullopt;
  std::optional<OpenFile> opened = OpenForServing(*file);
  if (!opened) {
    std::fprintf(stderr, "tdwk: cannot serve %s\n", file->c_str());
    return std::nullopt;
  }
  if (request.bridge) {
    // The bridge needs the movie's header only: its first bytes, never the whole movie.
    content.mediaType = MediaType(".swf");
    content.bytes = swf::BuildBridgeMovie(ReadStart(opened->fd(), swf::kMovieHeaderBytes));
    return content;
  }
  content.mediaType = MediaType(request.components.back());
  content.file.emplace(std::move(*opened));
  return content;
}

AppScheme::~AppScheme() {
  for (GObject* stream : streams_) g_object_weak_unref(stream, &AppScheme::OnStreamGone, this);
  for (WebKitURISchemeRequest* request : waiting_) g_object_unref(request);
}

std::optional<swf::MovieHeader> AppScheme::MovieHeader(const AppRequest& request) {
  const std::optional<std::string> file = Locate(request);
  if (!file) return std::nullopt;
  const std::optional<OpenFile> opened = OpenForServing(*file);
  if (!opened) return std::nullopt;
  try {
    // The first bytes only: never the whole movie, never its declared length up front.
    return swf::ReadMovieHeader(ReadStart(opened->fd(), swf::kMovieHeaderBytes));
  } catch (const std::exception&) {
    // The player reports a movie it cannot read when it loads it.
    return std::nullopt;
  }
}

void AppScheme::Serve(WebKitURISchemeRequest* request, gpointer self) {
  static_cast<AppScheme*>(self)->Serve(request);
}

void AppScheme::Serve(WebKitURISchemeRequest* request) {
  // A bridge movie is built in memory from a few bytes: it never waits behind files.
  const auto parsed = ParseAppRequest(webkit_uri_scheme_request_get_uri(request));
  if (!parsed || parsed->bridge) {
    Answer(request);
  } else if (streams_.size() < static_cast<std::size_t>(kMaxStreams) && waiting_.empty()) {
    Answer(request);
  } else if (waiting_.size() < kMaxWaiting) {
    waiting_.push_back(WEBKIT_URI_SCHEME_REQUEST(g_object_ref(request)));
  } else {
    FinishNotFound(request);
  }
}

void AppScheme::OnStreamGone(gpointer self, GObject* stream) {
  auto* scheme = static_cast<AppScheme*>(self);
  scheme->streams_.erase(stream);
  while (!scheme->waiting_.empty() &&
         scheme->streams_.size() < static_cast<std::size_t>(kMaxStreams)) {
    WebKitURISchemeRequest* next = scheme->waiting_.front();
    scheme->waiting_.pop_front();
    scheme->Answer(next);
    g_object_unref(next);
  }
}

void AppScheme::Answer(WebKitURISchemeRequest* request) {
  std::optional<SchemeContent> content;
  if (const auto parsed = ParseAppRequest(webkit_uri_scheme_request_get_uri(request))) {
    content = Content(*parsed);
  }
  if (!content) {
    FinishNotFound(request);
    return;
  }
  GInputStream* stream = nullptr;
  gint64 size = 0;
  if (content->file) {
    size = static_cast<gint64>(content->file->size());
    stream = g_unix_input_stream_new(content->file->Take(), TRUE);
    // The slot is free again when WebKit has read the file or given it up.
    streams_.insert(G_OBJECT(stream));
    g_object_weak_ref(G_OBJECT(stream), &AppScheme::OnStreamGone, this);
  } else {
    size = static_cast<gint64>(content->bytes.size());
    GBytes* bytes = g_bytes_new(content->bytes.data(), content->bytes.size());
    stream = g_memory_input_stream_new_from_bytes(bytes);
    g_bytes_unref(bytes);
  }
  const std::string& mediaType = content->mediaType;
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
}

OpenFile::~OpenFile() {
  if (fd_ >= 0) ::close(fd_);
}

}  // namespace tdwk::desktop
