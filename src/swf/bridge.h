#pragma once

#include <string>
#include <string_view>

namespace tdwk::swf {

// The fscommands the bridge sends, with an empty argument: once it has started and takes
// LoadMovie, and once the movie it was given has loaded (or has failed to load and plays as
// an empty movie).
inline constexpr std::string_view kBridgeReadyCommand = "tdwk_bridge_ready";
inline constexpr std::string_view kBridgeLoadedCommand = "tdwk_bridge_loaded";

// A version 8 movie with the stage, frame rate and background of the movie given, which a
// player starts before it knows which movie it will play. It offers the page, through
// ExternalInterface: LoadMovie(url, colour), which fills the stage with the colour (0xRRGGBB)
// and loads the movie into _level1 (once: a player serves one movie); SetVariable(name, value)
// and GetVariable(name) with paths relative to that movie's root (GetVariable answers null for
// an undefined variable), GotoFrame(n) (zero-based, play state kept) and Play(). A movie whose
// header cannot be read gets a default stage.
std::string BuildBridgeMovie(std::string_view shapingMovieBytes);

}  // namespace tdwk::swf
