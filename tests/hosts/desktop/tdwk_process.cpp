#include "tdwk_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

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

void TdwkApp::Start(const std::vector<std::string>& args,
                    const std::map<std::string, std::string>& environment) {
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
  return ReadTrace(output_.Path() + "trace");
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
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    const auto lines = Trace();
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (match(lines[i])) return i;
    }
    if (Clock::now() > deadline) return std::nullopt;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
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
