#pragma once

#include <string>
#include <utility>
#include <vector>

namespace tdwk::demo {

// A file of the demo set: its path below the application folder and its bytes.
struct DemoFile {
  std::string path;
  std::string bytes;
};

std::vector<DemoFile> MenuMovies();
DemoFile StartupMovie();
std::vector<DemoFile> StoryMovies();
std::vector<DemoFile> GameMovies();
std::vector<DemoFile> GadgetMovies();
std::vector<DemoFile> HighScoreFiles();

// Shared look: a coloured banner across the top of a content movie with a title.
class MovieKit;
void Banner(MovieKit& kit, const std::string& title, unsigned colourIndex, bool keep = true);
// A button that goes back to a menu with vbLoadMovie.
void BackButton(MovieKit& kit, const std::string& label, const std::string& key, int x, int y,
                bool keep = true);

constexpr int kContentWidth = 800;
constexpr int kContentHeight = 600;

}  // namespace tdwk::demo
