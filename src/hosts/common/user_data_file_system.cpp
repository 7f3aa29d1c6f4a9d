#include "hosts/common/user_data_file_system.h"

#include <initializer_list>
#include <string_view>

#include "base/vb_error.h"

namespace tdwk {

namespace {

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

bool OneOf(std::string_view name, std::initializer_list<std::string_view> names) {
  for (const std::string_view candidate : names) {
    if (SameIgnoringCase(name, candidate)) return true;
  }
  return false;
}

}  // namespace

UserDataFileSystem::UserDataFileSystem(std::string appPath, FileSystem& program,
                                       std::string userFolder, FileSystem& user)
    : appPath_(std::move(appPath)),
      program_(program),
      userFolder_(std::move(userFolder)),
      user_(user) {}

UserDataFileSystem::Area UserDataFileSystem::AreaOf(const std::string& path) const {
  if (path.starts_with(userFolder_)) return Area::User;
  if (!path.starts_with(appPath_)) return Area::Program;  // refused there
  std::string_view relative(path);
  relative.remove_prefix(appPath_.size());
  // Movie paths hold a second '/' at the join ("/Menus/Home.swf").
  while (relative.starts_with('/')) relative.remove_prefix(1);
  const std::string_view first = relative.substr(0, relative.find('/'));
  if (first.empty()) return Area::Program;
  if (OneOf(first, {"Users", "High Scores", "Logs"})) return Area::Data;
  if (OneOf(first, {"Menus", "Stories", "Games", "Gadgets"})) return Area::Movies;
  return Area::Program;
}

std::string UserDataFileSystem::InUserFolder(const std::string& path) const {
  return userFolder_ + path.substr(appPath_.size());
}

UserDataFileSystem::Target UserDataFileSystem::ForReading(const std::string& path) {
  switch (AreaOf(path)) {
    case Area::User:
      return {user_, path};
    case Area::Data:
      return {user_, InUserFolder(path)};
    case Area::Movies: {
      std::string mine = InUserFolder(path);
      bool theirs = false;
      try {
        theirs = user_.Exists(mine);
      } catch (const VbError&) {
      }
      if (theirs) return {user_, std::move(mine)};
      return {program_, path};
    }
    case Area::Program:
      break;
  }
  return {program_, path};
}

UserDataFileSystem::Target UserDataFileSystem::ForWriting(const std::string& path) {
  switch (AreaOf(path)) {
    case Area::User:
      return {user_, path};
    case Area::Data:
      return {user_, InUserFolder(path)};
    case Area::Movies:
    case Area::Program:
      break;
  }
  return {program_, path};
}

std::vector<std::string> UserDataFileSystem::ListFiles(const std::string& folder) {
  if (AreaOf(folder) != Area::Movies) {
    const Target target = ForReading(folder);
    return target.files.ListFiles(target.path);
  }
  // Both folders' movies, the user's first; a name both hold is listed once.
  std::vector<std::string> names;
  bool found = false;
  try {
    names = user_.ListFiles(InUserFolder(folder));
    found = true;
  } catch (const VbError&) {
  }
  try {
    for (std::string& name : program_.ListFiles(folder)) {
      bool listed = false;
      for (const std::string& mine : names) listed = listed || SameIgnoringCase(mine, name);
      if (!listed) names.push_back(std::move(name));
    }
  } catch (const VbError&) {
    if (!found) throw;
  }
  return names;
}

bool UserDataFileSystem::FolderExists(const std::string& path) {
  if (AreaOf(path) == Area::Movies) {
    return user_.FolderExists(InUserFolder(path)) || program_.FolderExists(path);
  }
  const Target target = ForReading(path);
  return target.files.FolderExists(target.path);
}

bool UserDataFileSystem::Exists(const std::string& path) {
  const Target target = ForReading(path);
  return target.files.Exists(target.path);
}

void UserDataFileSystem::CreateFolder(const std::string& path) {
  const Target target = ForWriting(path);
  target.files.CreateFolder(target.path);
}

void UserDataFileSystem::DeleteFile(const std::string& path) {
  const Target target = ForWriting(path);
  target.files.DeleteFile(target.path);
}

void UserDataFileSystem::RenameFile(const std::string& from, const std::string& to) {
  const Target source = ForWriting(from);
  const Target target = ForWriting(to);
  // A rename is atomic only within one folder tree.
  if (&source.files != &target.files) Raise(vb::kPathFileAccessError);
  target.files.RenameFile(source.path, target.path);
}

void UserDataFileSystem::ResetAttributes(const std::string& path) {
  const Target target = ForWriting(path);
  target.files.ResetAttributes(target.path);
}

std::string UserDataFileSystem::ReadFile(const std::string& path) {
  const Target target = ForReading(path);
  return target.files.ReadFile(target.path);
}

void UserDataFileSystem::ReplaceFile(const std::string& path, const std::string& bytes) {
  const Target target = ForWriting(path);
  target.files.ReplaceFile(target.path, bytes);
}

void UserDataFileSystem::AppendText(const std::string& path, const std::string& bytes) {
  const Target target = ForWriting(path);
  target.files.AppendText(target.path, bytes);
}

std::string UserDataFileSystem::Resolve(const std::string& path) {
  const Target target = ForReading(path);
  return target.files.Resolve(target.path);
}

}  // namespace tdwk
