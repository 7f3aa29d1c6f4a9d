#include "support/memory_file_system.h"

#include <string_view>

#include "base/ascii_case.h"
#include "base/vb_error.h"

namespace tdwk::test {

namespace {

std::string Join(const std::string& folder, const std::string& name) {
  return folder.empty() ? name : folder + "/" + name;
}
std::string ParentOf(const std::string& stored) {
  const auto slash = stored.rfind('/');
  return slash == std::string::npos ? "" : stored.substr(0, slash);
}
std::string NameOf(const std::string& stored) {
  return stored.substr(stored.rfind('/') + 1);
}

}  // namespace

MemoryFileSystem::MemoryFileSystem(std::string root) : root_(std::move(root)) {
  if (root_.empty() || root_.back() != '/') root_ += '/';
}

std::vector<std::string> MemoryFileSystem::Components(const std::string& path) const {
  if (path.compare(0, root_.size(), root_) != 0) Raise(vb::kPathFileAccessError);
  if (path.find('\0') != std::string::npos) Raise(vb::kBadFileName);
  std::vector<std::string> parts;
  const std::string_view relative = std::string_view(path).substr(root_.size());
  std::size_t start = 0;
  while (start <= relative.size()) {
    std::size_t end = relative.find('/', start);
    if (end == std::string_view::npos) end = relative.size();
    if (end > start) parts.emplace_back(relative.substr(start, end - start));
    if (!parts.empty() && (parts.back() == "." || parts.back() == "..")) Raise(vb::kBadFileName);
    start = end + 1;
  }
  return parts;
}

std::optional<std::string> MemoryFileSystem::Match(const std::string& folder,
                                                   const std::string& name) const {
  const std::string exact = Join(folder, name);
  if (entries_.count(exact) != 0) return exact;
  for (const auto& [stored, entry] : entries_) {
    if (ParentOf(stored) == folder && EqualIgnoringAsciiCase(NameOf(stored), name)) return stored;
  }
  return std::nullopt;
}

bool MemoryFileSystem::IsFolder(const std::string& stored) const {
  if (stored.empty()) return true;
  const auto found = entries_.find(stored);
  return found != entries_.end() && found->second.folder;
}

std::optional<std::string> MemoryFileSystem::Existing(const std::string& path) const {
  std::string resolved;
  for (const std::string& part : Components(path)) {
    if (!IsFolder(resolved)) return std::nullopt;
    const auto name = Match(resolved, part);
    if (!name) return std::nullopt;
    resolved = *name;
  }
  return resolved;
}

std::string MemoryFileSystem::ForWriting(const std::string& path) const {
  const std::vector<std::string> parts = Components(path);
  if (parts.empty()) Raise(vb::kBadFileName);
  std::string folder;
  for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
    const auto name = Match(folder, parts[i]);
    if (!name || !IsFolder(*name)) Raise(vb::kPathNotFound);
    folder = *name;
  }
  return Match(folder, parts.back()).value_or(Join(folder, parts.back()));
}

void MemoryFileSystem::RaiseMissing(const std::string& path) const {
  const std::string folder = path.substr(0, path.rfind('/') + 1);
  Raise(folder.size() <= root_.size() || Existing(folder) ? vb::kFileNotFound : vb::kPathNotFound);
}

MemoryFileSystem::Entry& MemoryFileSystem::RegularFile(const std::string& stored) {
  if (stored.empty()) Raise(vb::kPathFileAccessError);  // the root folder
  Entry& entry = entries_[stored];
  if (entry.folder) Raise(vb::kPathFileAccessError);
  return entry;
}

std::vector<std::string> MemoryFileSystem::ListFiles(const std::string& folder) {
  const auto resolved = Existing(folder);
  if (!resolved || !IsFolder(*resolved)) Raise(vb::kPathNotFound);
  std::vector<std::string> names;
  for (const auto& [stored, entry] : entries_) {
    const std::string name = NameOf(stored);
    if (!entry.folder && ParentOf(stored) == *resolved && name[0] != '.') names.push_back(name);
  }
  return names;
}

bool MemoryFileSystem::FolderExists(const std::string& path) {
  const auto resolved = Existing(path);
  return resolved && IsFolder(*resolved);
}

bool MemoryFileSystem::Exists(const std::string& path) {
  return Existing(path).has_value();
}

void MemoryFileSystem::CreateFolder(const std::string& path) {
  const std::string target = ForWriting(path);
  if (!entries_.emplace(target, Entry{true, ""}).second) Raise(vb::kPathFileAccessError);
}

void MemoryFileSystem::DeleteFile(const std::string& path) {
  const auto resolved = Existing(path);
  if (!resolved) RaiseMissing(path);
  ForWriting(path);
  RegularFile(*resolved);
  entries_.erase(*resolved);
}

void MemoryFileSystem::RenameFile(const std::string& from, const std::string& to) {
  const auto source = Existing(from);
  if (!source) RaiseMissing(from);
  ForWriting(from);
  const std::string target = ForWriting(to);
  std::string bytes = RegularFile(*source).bytes;
  if (target == *source) return;
  RegularFile(target).bytes = std::move(bytes);
  entries_.erase(*source);
}

void MemoryFileSystem::ResetAttributes(const std::string& path) {
  if (!Existing(path)) RaiseMissing(path);
}

std::string MemoryFileSystem::ReadFile(const std::string& path, std::size_t largest) {
  const auto resolved = Existing(path);
  if (!resolved) RaiseMissing(path);
  const Entry& file = RegularFile(*resolved);
  if (file.bytes.size() > largest) Raise(vb::kOverflow);
  return file.bytes;
}

void MemoryFileSystem::ReplaceFile(const std::string& path, const std::string& bytes) {
  const std::string target = ForWriting(path);
  RegularFile(target).bytes = bytes;
}

std::uint64_t MemoryFileSystem::AppendText(const std::string& path, const std::string& bytes) {
  Entry& file = RegularFile(ForWriting(path));
  file.bytes += bytes;
  return file.bytes.size();
}

std::string MemoryFileSystem::Resolve(const std::string& path) {
  try {
    const auto resolved = Existing(path);
    return resolved ? root_ + *resolved : "";
  } catch (const VbError&) {
    return {};
  }
}

void MemoryFileSystem::MakeFolder(const std::string& relative) {
  std::string folder;
  std::size_t start = 0;
  while (start < relative.size()) {
    std::size_t end = relative.find('/', start);
    if (end == std::string::npos) end = relative.size();
    folder = relative.substr(0, end);
    entries_[folder].folder = true;
    start = end + 1;
  }
}

void MemoryFileSystem::WriteFile(const std::string& relative, const std::string& bytes) {
  MakeFolder(ParentOf(relative));
  entries_[relative] = Entry{false, bytes};
}

std::string MemoryFileSystem::Contents(const std::string& relative) const {
  const auto found = entries_.find(relative);
  return found == entries_.end() ? "" : found->second.bytes;
}

bool MemoryFileSystem::Has(const std::string& relative) const {
  return entries_.count(relative) != 0;
}

std::map<std::string, std::string> MemoryFileSystem::Snapshot() const {
  std::map<std::string, std::string> entries;
  for (const auto& [stored, entry] : entries_) {
    entries[stored] = entry.folder ? "<folder>" : entry.bytes;
  }
  return entries;
}

}  // namespace tdwk::test
