#include "tdwk_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string_view>
#include <thread>

#include "support/profile_bytes.h"
#include "xvfb_display.h"

namespace tdwk::test {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

TdwkApp::TdwkApp() {
  TestDisplay();
  fs::copy_file(TDWK_APP_DIR "/tdwk", Path() + "tdwk");
  fs::copy(TDWK_APP_DIR "/desktop", Path() + "desktop", fs::copy_options::recursive);
  folder_.MakeFolder("Users");
  folder_.MakeFolder("High Scores");
  folder_.MakeFolder("Logs");
}

TdwkApp::~TdwkApp() {
  Kill();
}

void TdwkApp::WriteMovie(const std::string& relative, const TestMovie& movie) const {
  folder_.WriteFile(relative, BuildTestMovie(movie));
}

void TdwkApp::WriteStartMovies(
    const std::vector<std::pair<std::string, std::string>>& introCommands) {
  for (const char* name : {"BackgroundTop", "BackgroundLeft", "BackgroundCorner"}) {
    TestMovie background;
    background.version = 6;
    background.red = 0x99;
    background.green = 0x33;
    WriteMovie(std::string("Menus/") + name + ".swf", background);
  }
  TestMovie intro;
  intro.commands = introCommands;
  WriteMovie("Menus/Intro.swf", intro);
}

void TdwkApp::WriteHomeAndGameLoop() {
  WriteStartMovies({{"vbIntroFinished", ""}});
  folder_.WriteFile("Users/USER1.DAT", ProfileBytes("Sam", "Smith"));
  folder_.WriteFile("High Scores/HUNGRY_FROGS.dat", std::string(40, '\0'));
  TestMovie home;
  home.watch = {"welcomeMsg"};
  home.afterReports = {{"vbLoadMovie", "SNAKE"}};
  WriteMovie("Menus/Home.swf", home);
  TestMovie game;
  game.watch = {"FIRST_NAME"};
  game.afterReports = {{"vbLoadMovie", "HOME"}};
  WriteMovie("Games/Snake.swf", game);
}

void TdwkApp::Start(const std::vector<std::string>& args,
                    const std::map<std::string, std::string>& environment) {
  traceLines_.clear();
  traceBytesRead_ = 0;
  pid_ = Spawn(output_.Path() + "trace", args, environment);
}

pid_t TdwkApp::Spawn(const std::string& trace, const std::vector<std::string>& args,
                     const std::map<std::string, std::string>& environment) const {
  const std::string program = Path() + "tdwk";
  const std::string errors = trace + ".stderr";
  const pid_t pid = ::fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    const int in = ::open("/dev/null", O_RDONLY);
    const int err = ::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ::dup2(in, 0);
    ::dup2(err, 1);
    ::dup2(err, 2);
    ::setenv("LC_ALL", "C", 1);
    ::setenv("TDWK_TRACE", trace.c_str(), 1);
    ::unsetenv("TDWK_NOW");
    for (const auto& [name, value] : environment) {
      if (value.empty()) {
        ::unsetenv(name.c_str());
      } else {
        ::setenv(name.c_str(), value.c_str(), 1);
      }
    }
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  return pid;
}

TdwkApp::Run TdwkApp::RunAnotherCopy(std::chrono::milliseconds timeout) {
  const std::string trace = output_.Path() + "second-trace";
  const pid_t pid = Spawn(trace, {}, {});
  Run run;
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    int status = 0;
    if (::waitpid(pid, &status, WNOHANG) == pid) {
      run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      break;
    }
    if (Clock::now() > deadline) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, nullptr, 0);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  run.trace = ReadTrace(trace);
  return run;
}

std::optional<int> TdwkApp::WaitForExit(std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  while (pid_ > 0) {
    int status = 0;
    const pid_t done = ::waitpid(pid_, &status, WNOHANG);
    if (done == pid_) {
      pid_ = -1;
      return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    if (Clock::now() > deadline) return std::nullopt;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return std::nullopt;
}

bool TdwkApp::Running() {
  return pid_ > 0 && !WaitForExit(std::chrono::milliseconds(0));
}

void TdwkApp::Kill() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGKILL);
  ::waitpid(pid_, nullptr, 0);
  pid_ = -1;
}

std::vector<nlohmann::json> TdwkApp::Trace() const {
  return TraceSoFar();
}

const std::vector<nlohmann::json>& TdwkApp::TraceSoFar() const {
  std::ifstream in(output_.Path() + "trace", std::ios::binary);
  in.seekg(static_cast<std::streamoff>(traceBytesRead_));
  // A line without its end is still being written.
  for (std::string line; std::getline(in, line) && !in.eof();) {
    nlohmann::json parsed = nlohmann::json::parse(line, nullptr, false);
    if (parsed.is_discarded()) break;
    traceLines_.push_back(std::move(parsed));
    traceBytesRead_ += line.size() + 1;
  }
  return traceLines_;
}

std::vector<nlohmann::json> TdwkApp::ReadTrace(const std::string& file) {
  std::vector<nlohmann::json> lines;
  std::ifstream in(file);
  for (std::string line; std::getline(in, line);) {
    // The line being written may be incomplete.
    nlohmann::json parsed = nlohmann::json::parse(line, nullptr, false);
    if (parsed.is_discarded()) break;
    lines.push_back(std::move(parsed));
  }
  return lines;
}

std::optional<std::size_t> TdwkApp::WaitForLine(
    const std::function<bool(const nlohmann::json&)>& match, std::chrono::milliseconds timeout) {
  return WaitForLineFrom(0, match, timeout);
}

std::optional<std::size_t> TdwkApp::WaitForLineAfter(
    std::size_t after, const std::function<bool(const nlohmann::json&)>& match,
    std::chrono::milliseconds timeout) {
  return WaitForLineFrom(after + 1, match, timeout);
}

std::optional<std::size_t> TdwkApp::WaitForLineFrom(
    std::size_t next, const std::function<bool(const nlohmann::json&)>& match,
    std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    for (const std::size_t read = TraceSoFar().size(); next < read; ++next) {
      if (match(traceLines_[next])) return next;
    }
    if (Clock::now() > deadline) return std::nullopt;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

bool TdwkApp::WaitForCount(const nlohmann::json& pattern, std::size_t count,
                           std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  std::size_t seen = 0;
  for (std::size_t next = 0;;) {
    for (const std::size_t read = TraceSoFar().size(); next < read; ++next) {
      seen += Matches(traceLines_[next], pattern) ? 1 : 0;
    }
    if (seen >= count) return true;
    if (Clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

std::optional<std::size_t> TdwkApp::WaitForCommand(const std::string& control,
                                                   const std::string& command,
                                                   const std::string& args,
                                                   std::chrono::milliseconds timeout) {
  const nlohmann::json pattern = {
      {"control", control}, {"op", "FSCommand"}, {"command", command}, {"args", args}};
  return WaitForLine([&](const nlohmann::json& line) { return Matches(line, pattern); }, timeout);
}

std::string TdwkApp::Errors() const {
  std::stringstream text;
  std::ifstream errors(output_.Path() + "trace.stderr");
  text << "standard error:\n" << errors.rdbuf();
  std::ifstream trace(output_.Path() + "trace");
  text << "\ntrace:\n" << trace.rdbuf();
  return text.str();
}

bool TdwkApp::WaitForError(const std::string& text, std::chrono::milliseconds timeout) const {
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    std::ifstream errors(output_.Path() + "trace.stderr");
    const std::string written((std::istreambuf_iterator<char>(errors)),
                              std::istreambuf_iterator<char>());
    if (written.find(text) != std::string::npos) return true;
    if (Clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

std::optional<long> TdwkApp::PeakMemoryKib() const {
  if (pid_ <= 0) return std::nullopt;
  std::ifstream status("/proc/" + std::to_string(pid_) + "/status");
  for (std::string line; std::getline(status, line);) {
    if (line.starts_with("VmHWM:")) return std::stol(line.substr(6));
  }
  return std::nullopt;
}

namespace {

// Fields of /proc/<pid>/stat after the name: state is field 3, ppid 4, utime 14, stime 15.
std::vector<std::string> StatFields(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  const std::size_t close = text.rfind(')');
  std::vector<std::string> fields;
  if (close == std::string::npos) return fields;
  std::istringstream rest(text.substr(close + 2));
  for (std::string field; rest >> field;) fields.push_back(field);
  return fields;
}

std::string ProcessName(pid_t pid) {
  std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
  std::string name;
  std::getline(comm, name);
  return name;
}

}  // namespace

std::vector<std::pair<pid_t, std::string>> TdwkApp::Descendants() const {
  std::map<pid_t, pid_t> parents;
  for (const auto& entry : fs::directory_iterator("/proc")) {
    const std::string name = entry.path().filename();
    if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos) continue;
    const auto fields = StatFields(std::stoi(name));
    if (fields.size() > 1) parents[std::stoi(name)] = std::stoi(fields[1]);
  }
  std::vector<std::pair<pid_t, std::string>> found;
  for (const auto& [pid, parent] : parents) {
    for (pid_t up = parent; up > 1;) {
      if (up == pid_) {
        found.emplace_back(pid, ProcessName(pid));
        break;
      }
      const auto next = parents.find(up);
      if (next == parents.end()) break;
      up = next->second;
    }
  }
  return found;
}

long TdwkApp::WebProcessMemoryKib() const {
  long total = 0;
  for (const auto& [pid, name] : Descendants()) {
    if (!name.starts_with("WebKitWebProces")) continue;
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
      if (line.starts_with("VmRSS:")) total += std::stol(line.substr(6));
    }
  }
  return total;
}

long TdwkApp::PlayersMemoryKib() const {
  // The web process reserves address space for a WebAssembly memory far beyond what it uses
  // (4 GiB and more): the memory is a writable mapping followed at once by the rest of its
  // reservation, inaccessible.
  constexpr unsigned long long kReservation = 4ULL << 30;
  struct Mapping {
    unsigned long long start = 0, end = 0;
    bool writable = false, inaccessible = false;
    long residentKib = 0;
  };
  long total = 0;
  for (const auto& [pid, name] : Descendants()) {
    if (!name.starts_with("WebKitWebProces")) continue;
    std::ifstream smaps("/proc/" + std::to_string(pid) + "/smaps");
    std::vector<Mapping> mappings;
    for (std::string line; std::getline(smaps, line);) {
      Mapping mapping;
      char permissions[5] = {};
      if (std::sscanf(line.c_str(), "%llx-%llx %4s", &mapping.start, &mapping.end, permissions) ==
          3) {
        mapping.writable = permissions[0] == 'r' && permissions[1] == 'w';
        mapping.inaccessible = std::string_view(permissions, 3) == "---";
        mappings.push_back(mapping);
      } else if (line.starts_with("Rss:") && !mappings.empty()) {
        mappings.back().residentKib = std::stol(line.substr(4));
      }
    }
    for (std::size_t i = 0; i + 1 < mappings.size(); ++i) {
      const Mapping& memory = mappings[i];
      const Mapping& rest = mappings[i + 1];
      if (memory.writable && rest.inaccessible && rest.start == memory.end &&
          rest.end - memory.start >= kReservation) {
        total += memory.residentKib;
      }
    }
  }
  return total;
}

double TdwkApp::ProcessorSeconds() const {
  std::vector<pid_t> all{pid_};
  for (const auto& [pid, name] : Descendants()) all.push_back(pid);
  double ticks = 0;
  for (pid_t pid : all) {
    const auto fields = StatFields(pid);
    if (fields.size() > 12) ticks += std::stod(fields[11]) + std::stod(fields[12]);
  }
  return ticks / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

bool TdwkApp::CloseWindow() const {
  return TestDisplay().CloseWindows("tindlewick");
}

bool Matches(const nlohmann::json& line, const nlohmann::json& pattern) {
  for (const auto& [key, value] : pattern.items()) {
    if (!line.contains(key) || line[key] != value) return false;
  }
  return true;
}

}  // namespace tdwk::test
