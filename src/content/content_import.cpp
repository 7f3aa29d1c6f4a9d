#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <system_error>

#include "content/content.h"
#include "base/vb_error.h"

namespace tdwk::content {

namespace fs = std::filesystem;

namespace {

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return lower(x) == lower(y);
  });
}

// A disc's folders nest a little at most; a deeper tree is not a movie folder.
constexpr int kDeepestFolder = 8;

class Copier {
 public:
  Copier(const std::string& into, std::ostream& errors)
      : into_(into), files_(into), errors_(errors) {}

  // Copies the folder's regular files and folders below into target (a path below into).
  void CopyFolder(const fs::path& from, const std::string& target, int depth) {
    if (depth > kDeepestFolder) return;
    if (!files_.FolderExists(target)) {
      try {
        files_.CreateFolder(target);
      } catch (const VbError& e) {
        Fail(target, e.what());
        return;
      }
    }
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(from, error)) {
      const std::string name = entry.path().filename().string();
      if (name.starts_with('.')) continue;
      const fs::file_status status = entry.symlink_status(error);
      if (fs::is_directory(status)) {
        CopyFolder(entry.path(), target + "/" + name, depth + 1);
      } else if (fs::is_regular_file(status)) {
        CopyFile(entry.path(), target + "/" + name);
      }
    }
    if (error) Fail(from.string(), error.message());
  }

  int copied = 0;
  int failed = 0;

 private:
  void CopyFile(const fs::path& from, const std::string& to) {
    std::ifstream in(from, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in && !in.eof()) {
      Fail(from.string(), "cannot be read");
      return;
    }
    try {
      // A file already there under another letter case is the one replaced.
      files_.ReplaceFile(to, bytes);
      ++copied;
    } catch (const VbError& e) {
      Fail(to, e.what());
    }
  }

  void Fail(const std::string& what, const std::string& why) {
    errors_ << "tdwk-content: " << what << ": " << why << '\n';
    ++failed;
  }

  std::string into_;
  PosixFileSystem files_;
  std::ostream& errors_;
};

}  // namespace

int Import(const std::string& source, const std::string& into, std::ostream& out,
           std::ostream& errors) {
  std::error_code error;
  if (!fs::is_directory(source, error)) {
    errors << "tdwk-content: " << source << " is not a folder\n";
    return 1;
  }
  Copier copier(into, errors);
  int folders = 0;
  for (const fs::directory_entry& entry : fs::directory_iterator(source, error)) {
    if (!entry.is_directory(error)) continue;
    const std::string name = entry.path().filename().string();
    for (const char* movieFolder : {"Menus", "Stories", "Games", "Gadgets"}) {
      if (!SameIgnoringCase(name, movieFolder)) continue;
      ++folders;
      const int before = copier.copied;
      copier.CopyFolder(entry.path(), into + movieFolder, 0);
      out << name << ": " << copier.copied - before << " files\n";
    }
  }
  if (folders == 0) {
    errors << "tdwk-content: " << source
           << " holds none of the folders Menus, Stories, Games or Gadgets\n";
    return 1;
  }
  out << "Copied " << copier.copied << " files into " << into << '\n';
  return copier.failed == 0 && copier.copied > 0 ? 0 : 1;
}

}  // namespace tdwk::content
