#pragma once

#include <string>
#include <string_view>

namespace tdwk::swf {

// The fscommand the bridge sends (with an empty argument) once the wrapped movie has loaded,
// or has failed to load and plays as an empty movie.
inline constexpr std::string_view kBridgeLoadedCommand = "tdwk_bridge_loaded";

// A version 8 movie with the wrapped movie's stage, frame rate and background that loads the
// movie at wrappedMovieUrl into _level1 and offers the page, through ExternalInterface:
// SetVariable(name, value) and GetVariable(name) with paths relative to the wrapped movie's
// root (GetVariable answers null for an undefined variable), GotoFrame(n) (zero-based, play
// state kept) and Play(). Only the movie's first bytes are needed (kMovieHeaderBytes of them
// are enough). A movie whose header cannot be read gets a default stage.
std::string BuildBridgeMovie(std::string_view wrappedMovieStart, std::string_view wrappedMovieUrl);

}  // namespace tdwk::swf
