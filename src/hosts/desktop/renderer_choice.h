#pragma once

#include <string>

namespace tdwk::desktop {

// The player's renderer: the one asked for; else, where GL is drawn in software (no GPU render
// node, or software rendering forced), the canvas renderer, which there draws a frame in a
// third of the time of the GL ones; else empty, for the player's own choice. The page cannot
// tell: the web view hides the GL renderer's name.
std::string ChooseRenderer(const std::string& asked, const std::string& renderNodes = "/dev/dri");

// Whether GL is drawn in software here. The web view then draws the page without compositing:
// composited through software GL, a static screen of four players costs about half a core
// more, and the web process 70 MiB more.
bool DrawsInSoftware(const std::string& renderNodes = "/dev/dri");

}  // namespace tdwk::desktop
