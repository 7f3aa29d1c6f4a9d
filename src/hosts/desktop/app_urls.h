#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tdwk::desktop {

// The page, the player's files and the movies are all addressed under one origin of the
// application's own URI scheme; the path below it is the path inside the application folder.
inline constexpr std::string_view kScheme = "tdwk";
inline constexpr std::string_view kOrigin = "tdwk://app";
// Asks for the movie wrapped in the bridge movie instead of the movie itself.
inline constexpr std::string_view kBridgeQuery = "tdwk-bridge";

// The URL of a file given by its path inside the application folder, components joined by
// '/', each percent-encoded.
std::string AppUrl(const std::vector<std::string>& components);

// The components of a movie path inside the application folder (appPath ends in '/'); empty
// segments (the doubled '/' at the join) are dropped. Nothing for a path outside it, for a
// path with "." or ".." components, or one naming a hidden file or folder.
std::optional<std::vector<std::string>> MovieComponents(std::string_view appPath,
                                                        std::string_view moviePath);

// What the scheme is asked for.
struct AppRequest {
  std::vector<std::string> components;  // decoded, never empty, none hidden, "." or ".."
  bool bridge = false;                  // the bridge movie around that file
};

// Reads a URL of the scheme; nothing for any URL that names no file of the application folder.
std::optional<AppRequest> ParseAppRequest(std::string_view url);

// The media type the page is given for a file name.
std::string_view MediaType(std::string_view fileName);

}  // namespace tdwk::desktop
