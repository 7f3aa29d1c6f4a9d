#pragma once

#include <webkit2/webkit2.h>

#include <cstdint>
#include <deque>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "hosts/desktop/app_urls.h"
#include "platform/file_system.h"
#include "swf/movie_reader.h"

namespace tdwk::desktop {

// A regular file opened for reading, closed with this object unless taken.
class OpenFile {
 public:
  OpenFile(int fd, std::uint64_t size) : fd_(fd), size_(size) {}
  ~OpenFile();
  OpenFile(OpenFile&& other) noexcept : fd_(other.Take()), size_(other.size_) {}
  OpenFile& operator=(OpenFile&& other) noexcept {
    std::swap(fd_, other.fd_);
    std::swap(size_, other.size_);
    return *this;
  }
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;

  int fd() const { return fd_; }
  std::uint64_t size() const { return size_; }
  int Take() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  int fd_;
  std::uint64_t size_;
};

// What the scheme answers: a file streamed from disk, or bytes built here (the bridge).
struct SchemeContent {
  std::string mediaType;
  std::optional<OpenFile> file;
  std::string bytes;
};

// Serves the application's URI scheme: regular files inside the application folder, names
// matched without regard to letter case, and movies wrapped in the bridge movie. Nothing
// outside the folder and no hidden file is ever served. Files are streamed from disk, never
// held whole in memory, and only a few at a time: further requests wait their turn.
class AppScheme {
 public:
  // Files streamed at once; a movie asking for many more only makes them wait.
  static constexpr int kMaxStreams = 6;
  // Requests that may wait; past that they are refused.
  static constexpr std::size_t kMaxWaiting = 1024;

  AppScheme(std::string appPath, FileSystem& files);
  ~AppScheme();
  AppScheme(const AppScheme&) = delete;
  AppScheme& operator=(const AppScheme&) = delete;

  // Serves files inside this folder too (the user's own movies, mapped by the file system).
  void AllowFolder(const std::string& folder);

  // Registers the scheme as a secure, CORS-enabled one of the context.
  void Register(WebKitWebContext* context);

  // The file a request names, as stored; nothing when it names no servable file.
  std::optional<std::string> Locate(const AppRequest& request);

  // What is answered for a request; nothing when it is refused.
  std::optional<SchemeContent> Content(const AppRequest& request);

  // The header of the movie a request names, read from its first bytes; nothing when it names
  // no servable movie or one whose header cannot be read.
  std::optional<swf::MovieHeader> MovieHeader(const AppRequest& request);

  int Streaming() const { return static_cast<int>(streams_.size()); }

 private:
  static void Serve(WebKitURISchemeRequest* request, gpointer self);
  static void OnStreamGone(gpointer self, GObject* stream);
  void Serve(WebKitURISchemeRequest* request);
  void Answer(WebKitURISchemeRequest* request);

  std::string appPath_;  // ends in '/'
  // The folders served from, links resolved, each ending in '/'.
  std::vector<std::string> realFolders_;
  FileSystem& files_;
  std::set<GObject*> streams_;                   // file streams WebKit still holds
  std::deque<WebKitURISchemeRequest*> waiting_;  // referenced, in order of arrival
};

}  // namespace tdwk::desktop
