// Writes the demo movie set and the starting high-score tables into the application folder.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "demo_movies.h"

namespace {

std::vector<tdwk::demo::DemoFile> AllFiles() {
  using namespace tdwk::demo;
  std::vector<DemoFile> files = MenuMovies();
  files.push_back(StartupMovie());
  for (auto* group : {StoryMovies, GameMovies, GadgetMovies, HighScoreFiles}) {
    for (DemoFile& file : group()) files.push_back(std::move(file));
  }
  return files;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: " << argv[0] << " APPLICATION_FOLDER\n";
    return 2;
  }
  std::filesystem::path root = argv[1];
  try {
    for (const tdwk::demo::DemoFile& file : AllFiles()) {
      std::filesystem::path path = root / file.path;
      // Score tables are data: a table the program has written since is kept.
      if (path.extension() == ".dat" && std::filesystem::exists(path)) continue;
      std::filesystem::create_directories(path.parent_path());
      std::ofstream out(path, std::ios::binary | std::ios::trunc);
      out.write(file.bytes.data(), static_cast<std::streamsize>(file.bytes.size()));
      if (!out) {
        std::cerr << "cannot write " << path << "\n";
        return 1;
      }
    }
  } catch (const std::exception& e) {
    std::cerr << "demo generation failed: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
