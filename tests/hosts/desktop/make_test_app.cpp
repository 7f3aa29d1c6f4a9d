// Writes test movies into an application folder, for trying tdwk by hand and for the
// benchmark. Usage: tdwk_make_test_app FOLDER
#include <filesystem>
#include <fstream>
#include <iostream>

#include "test_movies.h"

namespace {

void Write(const std::filesystem::path& file, const std::string& bytes) {
  std::filesystem::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << bytes;
}

}  // namespace

int main(int argc, char** argv) {
  using tdwk::test::TestMovie;
  if (argc != 2) {
    std::cerr << "usage: tdwk_make_test_app FOLDER\n";
    return 2;
  }
  const std::filesystem::path app = argv[1];
  TestMovie intro;
  intro.commands = {{"vbIntroFinished", ""}};
  Write(app / "Menus/Intro.swf", tdwk::test::BuildTestMovie(intro));
  for (const char* name : {"BackgroundTop", "BackgroundLeft", "BackgroundCorner"}) {
    TestMovie background;
    background.red = 0x99;
    background.green = 0x33;
    background.blue = 0x33;
    background.version = 6;
    Write(app / "Menus" / (std::string(name) + ".swf"), tdwk::test::BuildTestMovie(background));
  }
  return 0;
}
