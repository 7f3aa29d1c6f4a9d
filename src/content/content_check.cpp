#include <fmt/format.h>

#include <algorithm>
#include <exception>

#include "content/content.h"
#include "highscores/game_table.h"
#include "shell/movie_catalogue.h"
#include "base/vb_error.h"
#include "swf/format_error.h"
#include "swf/movie_reader.h"

namespace tdwk::content {

namespace {

bool IsCommandCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

bool KnownCommand(std::string_view command) {
  return std::find(kMovieCommandNames.begin(), kMovieCommandNames.end(), command) !=
         kMovieCommandNames.end();
}

std::vector<std::string_view> LoadableMovies() {
  std::vector<std::string_view> movies(kScreenMovies.begin(), kScreenMovies.end());
  for (const MovieRow& row : kMenuMovies) movies.push_back(row.movie);
  for (const MovieRow& row : kStoryTable) movies.push_back(row.movie);
  for (const GameRow& row : kGameTable) movies.push_back(row.movie);
  return movies;
}

// One movie's line: its facts, or why it cannot be read. False when it cannot be.
bool Describe(const std::string& bytes, std::string& line) {
  try {
    const swf::Movie movie = swf::ReadMovie(bytes);
    const swf::MovieHeader& header = movie.header;
    line += fmt::format("  SWF {}, {:g} fps, {}x{}", header.version, header.frameRate,
                        (header.stage.xMax - header.stage.xMin) / 20,
                        (header.stage.yMax - header.stage.yMin) / 20);
    const std::vector<std::string> commands = SentCommands(movie.body);
    if (commands.empty()) return true;
    line += ", sends";
    for (std::size_t i = 0; i < commands.size(); ++i) {
      line += (i == 0 ? " " : ", ") + commands[i];
      if (!KnownCommand(commands[i])) line += " (unknown to the shell)";
    }
    return true;
  } catch (const swf::FormatError& e) {
    line += fmt::format("  not a readable movie: {}", e.what());
    return false;
  }
}

}  // namespace

std::vector<std::string> SentCommands(std::string_view movieBody) {
  constexpr std::string_view kPrefix = "fscommand:";
  std::vector<std::string> commands;
  for (std::size_t at = 0; at + kPrefix.size() <= movieBody.size(); ++at) {
    bool match = true;
    for (std::size_t i = 0; i < kPrefix.size() && match; ++i) {
      char c = movieBody[at + i];
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
      match = c == kPrefix[i];
    }
    if (!match) continue;
    std::size_t end = at + kPrefix.size();
    while (end < movieBody.size() && IsCommandCharacter(movieBody[end])) ++end;
    std::string command(movieBody.substr(at + kPrefix.size(), end - at - kPrefix.size()));
    if (!command.empty() && std::find(commands.begin(), commands.end(), command) == commands.end())
      commands.push_back(std::move(command));
    at = end - 1;
  }
  return commands;
}

int Check(RunStorage& storage, std::ostream& out) {
  const DataPlaces& places = storage.Places();
  FileSystem& files = storage.Files();
  out << "Movies of " << places.appPath;
  if (places.perUser) out << ", overlaid by " << places.userFolder;
  out << ":\n";
  int missing = 0;
  for (const std::string_view movie : LoadableMovies()) {
    const std::string path = places.appPath + std::string(movie);
    const std::string stored = files.Resolve(path);
    std::string line = fmt::format("{:<32}", movie);
    if (stored.empty()) {
      out << line << "  missing\n";
      ++missing;
      continue;
    }
    const bool theirs = places.perUser && stored.starts_with(places.userFolder);
    line += theirs ? "  theirs" : "  demo  ";
    std::string bytes;
    try {
      bytes = files.ReadFile(path);
    } catch (const std::exception& e) {
      out << line << "  cannot be read: " << e.what() << '\n';
      ++missing;
      continue;
    }
    if (!Describe(bytes, line)) ++missing;
    out << line << '\n';
  }
  out << "Score tables in " << (places.perUser ? places.userFolder : places.appPath)
      << "High Scores:";
  int tables = 0;
  for (const GameRow& row : kGameTable) {
    const std::string name = std::string(row.identifier) + ".dat";
    bool exists = false;
    try {
      exists = files.Exists(places.appPath + "High Scores/" + name);
    } catch (const VbError&) {
    }
    if (!exists) continue;
    out << (tables++ == 0 ? " " : ", ") << name;
  }
  out << (tables == 0 ? " none yet\n" : "\n");
  if (missing > 0) {
    out << missing << (missing == 1 ? " movie is" : " movies are") << " missing or unreadable.\n";
    return 1;
  }
  out << "Every movie is there.\n";
  return 0;
}

}  // namespace tdwk::content
