#include "hosts/console/console_run.h"

#include <fcntl.h>
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "support/form_fields.h"

namespace tdwk::test {

namespace fs = std::filesystem;

std::vector<nlohmann::json> ConsoleRun::Ops(const std::string& op,
                                            const std::string& control) const {
  std::vector<nlohmann::json> found;
  for (const auto& line : trace) {
    if (line.value("op", "") != op) continue;
    if (!control.empty() && line.value("control", "") != control) continue;
    found.push_back(line);
  }
  return found;
}

std::string ConsoleRun::LastVariable(const std::string& name, const std::string& control) const {
  std::string value;
  for (const auto& line : Ops("SetVariable", control)) {
    if (line["name"] == name) value = line["value"].get<std::string>();
  }
  return value;
}

bool ConsoleRun::HasVariable(const std::string& name, const std::string& control) const {
  for (const auto& line : Ops("SetVariable", control)) {
    if (line["name"] == name) return true;
  }
  return false;
}

std::string Form(const std::map<std::string, std::string>& values, const std::string& others) {
  return nlohmann::json{
      {"event", "variables"}, {"control", "swfMain"}, {"values", FormFields(values, others)}}
      .dump();
}

ConsoleApp::ConsoleApp() {
  fs::copy_file(TDWK_CONSOLE_EXE, folder_.Path() + "tdwk-console");
  folder_.MakeFolder("Users");
  folder_.MakeFolder("High Scores");
  folder_.MakeFolder("Logs");
}

int WaitForExit(pid_t child) {
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

pid_t ConsoleApp::Spawn(int input, int output, int errors,
                        const std::map<std::string, std::string>& environment) const {
  const std::string program = folder_.Path() + "tdwk-console";
  const pid_t child = ::fork();
  if (child < 0) throw std::runtime_error("fork failed");
  if (child == 0) {
    ::dup2(input, 0);
    ::dup2(output, 1);
    ::dup2(errors, 2);
    for (int fd = 3; fd < 1024; ++fd) ::close(fd);  // pipes of the test stay the test's
    ::setenv("LC_ALL", "C", 1);
    ::unsetenv("TDWK_SCREEN");
    ::unsetenv("TDWK_NOW");
    for (const auto& [name, value] : environment) ::setenv(name.c_str(), value.c_str(), 1);
    char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
    ::execv(program.c_str(), argv);
    ::_exit(127);
  }
  return child;
}

ConsoleRun ConsoleApp::Run(const std::vector<std::string>& input,
                           const std::vector<std::string>& args,
                           const std::map<std::string, std::string>& environment) const {
  return RunProgram(folder_.Path() + "tdwk-console", input, args, environment);
}

ConsoleRun RunProgram(const std::string& program, const std::vector<std::string>& input,
                      const std::vector<std::string>& args,
                      const std::map<std::string, std::string>& environment, uid_t account) {
  TempFolder io;
  {
    std::ofstream in(io.Path() + "stdin", std::ios::binary);
    for (const std::string& line : input) in << line << '\n';
  }
  const pid_t child = ::fork();
  if (child < 0) throw std::runtime_error("fork failed");
  if (child == 0) {
    const int in = ::open((io.Path() + "stdin").c_str(), O_RDONLY);
    const int out = ::open((io.Path() + "stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = ::open((io.Path() + "stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ::dup2(in, 0);
    ::dup2(out, 1);
    ::dup2(err, 2);
    ::setenv("LC_ALL", "C", 1);
    ::unsetenv("TDWK_SCREEN");
    ::unsetenv("TDWK_NOW");
    ::unsetenv("XDG_DATA_HOME");
    for (const auto& [name, value] : environment) ::setenv(name.c_str(), value.c_str(), 1);
    if (account != kSameAccount &&
        (::setgroups(0, nullptr) != 0 || ::setgid(account) != 0 || ::setuid(account) != 0)) {
      ::_exit(126);
    }
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  const int exitStatus = WaitForExit(child);

  ConsoleRun run;
  run.exitStatus = exitStatus;
  run.output = io.ReadFile("stdout");
  std::istringstream out(run.output);
  for (std::string line; std::getline(out, line);) {
    run.trace.push_back(nlohmann::json::parse(line, nullptr, false));  // text: discarded
  }
  run.errors = io.ReadFile("stderr");
  return run;
}

}  // namespace tdwk::test
