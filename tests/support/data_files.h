#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace tdwk::test {

// Exactly count binary strings (a signed 16-bit little-endian length, then that many bytes)
// from offset to the very end of bytes; nothing when they are fewer, more, cut short or a
// length is negative.
inline std::optional<std::vector<std::string>> DecodeStrings(std::string_view bytes,
                                                             std::size_t offset, int count) {
  std::vector<std::string> strings;
  for (int i = 0; i < count; ++i) {
    if (offset > bytes.size() || bytes.size() - offset < 2) return std::nullopt;
    std::int16_t length = 0;
    std::memcpy(&length, bytes.data() + offset, 2);
    offset += 2;
    if (length < 0 || bytes.size() - offset < static_cast<std::size_t>(length)) {
      return std::nullopt;
    }
    strings.emplace_back(bytes.substr(offset, static_cast<std::size_t>(length)));
    offset += static_cast<std::size_t>(length);
  }
  if (offset != bytes.size()) return std::nullopt;
  return strings;
}

// A whole profile file: the 8-byte date, then 26 strings; the strings in file order.
inline std::optional<std::vector<std::string>> DecodeProfile(std::string_view bytes) {
  if (bytes.size() < 60) return std::nullopt;
  return DecodeStrings(bytes, 8, 26);
}

// A whole score table: 20 strings, names and scores taking turns.
inline std::optional<std::vector<std::string>> DecodeTable(std::string_view bytes) {
  return DecodeStrings(bytes, 0, 20);
}

inline std::string ReadWholeFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// Every entry below folder (links not followed) by relative path, with the content of each
// regular file, the target of each link, and "<folder>" for folders.
inline std::map<std::string, std::string> Snapshot(const std::filesystem::path& folder) {
  namespace fs = std::filesystem;
  std::map<std::string, std::string> entries;
  std::error_code error;
  for (auto it = fs::recursive_directory_iterator(folder, error);
       !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
    const std::string relative = fs::relative(it->path(), folder).string();
    const fs::file_status status = it->symlink_status();
    if (fs::is_symlink(status)) {
      entries[relative] = "<link " + fs::read_symlink(it->path()).string() + ">";
      it.disable_recursion_pending();
    } else if (fs::is_directory(status)) {
      entries[relative] = "<folder>";
    } else {
      entries[relative] = ReadWholeFile(it->path());
    }
  }
  return entries;
}

// What is wrong with the data of an application folder: a profile or table file that is not
// complete, a file in Users that is not a profile, profile numbers with a gap (when
// gapsAllowed is false), more temporary files in a folder than allowed. Empty when all is well.
inline std::vector<std::string> DataFolderProblems(const std::string& appPath, bool gapsAllowed,
                                                   int temporariesAllowed, int* profileCount) {
  namespace fs = std::filesystem;
  std::vector<std::string> problems;
  const auto isTemporary = [](const std::string& name) {
    return name.starts_with(".tdwk-") && name.ends_with(".tmp");
  };
  std::map<int, std::string> numbers;
  int temporaries = 0;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(appPath + "Users", error)) {
    const std::string name = entry.path().filename().string();
    if (isTemporary(name)) {
      ++temporaries;
      continue;
    }
    int number = 0;
    char rest = 0;
    if (std::sscanf(name.c_str(), "USER%d.DA%c", &number, &rest) != 2 || rest != 'T' ||
        name != "USER" + std::to_string(number) + ".DAT") {
      problems.push_back("Users holds " + name);
      continue;
    }
    numbers[number] = name;
    if (!DecodeProfile(ReadWholeFile(entry.path()))) problems.push_back(name + " is torn");
  }
  if (temporaries > temporariesAllowed) {
    problems.push_back("Users holds " + std::to_string(temporaries) + " temporary files");
  }
  int expected = 1;
  for (const auto& [number, name] : numbers) {
    if (number != expected++ && !gapsAllowed) problems.push_back("a gap before " + name);
  }
  if (profileCount != nullptr) *profileCount = static_cast<int>(numbers.size());

  temporaries = 0;
  for (const auto& entry : fs::directory_iterator(appPath + "High Scores", error)) {
    const std::string name = entry.path().filename().string();
    if (isTemporary(name)) {
      ++temporaries;
    } else if (!DecodeTable(ReadWholeFile(entry.path()))) {
      problems.push_back(name + " is torn");
    }
  }
  if (temporaries > temporariesAllowed) {
    problems.push_back("High Scores holds " + std::to_string(temporaries) + " temporary files");
  }
  return problems;
}

}  // namespace tdwk::test
