#include "support/temp_folder.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace tdwk::test {

namespace fs = std::filesystem;

TempFolder::TempFolder() {
  std::string pattern = (fs::temp_directory_path() / "tdwk-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern + "/";
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
  fs::remove_all(path_, ignored);
}

void TempFolder::MakeFolder(const std::string& relative) const {
  fs::create_directories(path_ + relative);
}

void TempFolder::WriteFile(const std::string& relative, const std::string& bytes) const {
  const fs::path path = path_ + relative;
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

std::string TempFolder::ReadFile(const std::string& relative) const {
  std::ifstream in(path_ + relative, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

bool TempFolder::Exists(const std::string& relative) const {
  return fs::exists(fs::symlink_status(path_ + relative));
}

std::vector<std::string> TempFolder::Entries(const std::string& relative) const {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(path_ + relative)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace tdwk::test
