#pragma once

#include <webkit2/webkit2.h>

#include <optional>
#include <string>
#include <vector>

#include "hosts/desktop/app_urls.h"
#include "platform/file_system.h"
#include "swf/movie_reader.h"

namespace tdwk::desktop {

// Serves the application's URI scheme: regular files inside the application folder, names
// matched without regard to letter case, and movies wrapped in the bridge movie. Nothing
// outside the folder and no hidden file is ever served.
class AppScheme {
 public:
  AppScheme(std::string appPath, FileSystem& files);

  // Serves files inside this folder too (the user's own movies, mapped by the file system).
  void AllowFolder(const std::string& folder);

  // Registers the scheme as a secure, CORS-enabled one of the context.
  void Register(WebKitWebContext* context);

  // The file a request names, as stored; nothing when it names no servable file.
  std::optional<std::string> Locate(const AppRequest& request);

  // The header of the movie a request names; nothing when it names no servable movie or one
  // whose header cannot be read.
  std::optional<swf::MovieHeader> MovieHeader(const AppRequest& request);

  // The bytes answered for a request; nothing when it is refused.
  std::optional<std::string> Content(const AppRequest& request, std::string& mediaType);

 private:
  static void Serve(WebKitURISchemeRequest* request, gpointer self);
  void Serve(WebKitURISchemeRequest* request);

  std::string appPath_;  // ends in '/'
  // The folders served from, links resolved, each ending in '/'.
  std::vector<std::string> realFolders_;
  FileSystem& files_;
};

}  // namespace tdwk::desktop
