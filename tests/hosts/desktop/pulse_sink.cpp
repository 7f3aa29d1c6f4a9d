#include "pulse_sink.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <thread>
#include <vector>

namespace tdwk::test {

namespace {

using Clock = std::chrono::steady_clock;

bool OnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::string folders = path != nullptr ? path : "/usr/bin:/bin";
  std::size_t start = 0;
  while (start <= folders.size()) {
    const std::size_t end = std::min(folders.find(':', start), folders.size());
    if (::access((folders.substr(start, end - start) + "/" + program).c_str(), X_OK) == 0) {
      return true;
    }
    start = end + 1;
  }
  return false;
}

// Runs a program with its output in a file (or nowhere); its process id.
int Spawn(const std::vector<std::string>& args, const std::string& output) {
  const pid_t pid = ::fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    const int out = output.empty() ? ::open("/dev/null", O_WRONLY)
                                   : ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int null = ::open("/dev/null", O_RDWR);
    ::dup2(null, 0);
    ::dup2(out, 1);
    ::dup2(null, 2);
    std::vector<char*> argv;
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    ::execvp(argv[0], argv.data());
    ::_exit(127);
  }
  return pid;
}

void Stop(int pid) {
  if (pid <= 0) return;
  ::kill(pid, SIGTERM);
  ::waitpid(pid, nullptr, 0);
}

}  // namespace

bool PulseInstalled() {
  return OnPath("pulseaudio") && OnPath("parec");
}

PulseSink::PulseSink() : recording_(runtime_.Path() + "recording.raw") {
  const std::string socket = runtime_.Path() + "pulse/native";
  ::chmod(runtime_.Path().c_str(), 0700);
  // The server and every client started later find each other here, not in the user's session.
  ::setenv("XDG_RUNTIME_DIR", runtime_.Path().c_str(), 1);
  ::setenv("PULSE_RUNTIME_PATH", (runtime_.Path() + "pulse").c_str(), 1);
  ::setenv("PULSE_SERVER", ("unix:" + socket).c_str(), 1);
  ::setenv("PULSE_CONFIG_PATH", (runtime_.Path() + "config").c_str(), 1);
  server_ = Spawn({"pulseaudio", "--daemonize=no", "-n", "--exit-idle-time=-1", "--use-pid-file=no",
                   "--file=/dev/null", "--load=module-null-sink sink_name=tdwk",
                   "--load=module-native-protocol-unix auth-anonymous=1 socket=" + socket},
                  "");
  const auto deadline = Clock::now() + std::chrono::seconds(20);
  while (::access(socket.c_str(), F_OK) != 0) {
    if (Clock::now() > deadline) throw std::runtime_error("the sound server did not start");
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  recorder_ = Spawn({"parec", "--device=tdwk.monitor", "--raw", "--format=s16le",
                     "--rate=" + std::to_string(kRate), "--channels=1", "--latency-msec=20"},
                    recording_);
}

PulseSink::~PulseSink() {
  Stop(recorder_);
  Stop(server_);
}

std::size_t PulseSink::Recorded() const {
  std::error_code error;
  const auto size = std::filesystem::file_size(recording_, error);
  return error ? 0 : static_cast<std::size_t>(size / 2);
}

bool PulseSink::WaitUntilRecorded(std::size_t samples, std::chrono::milliseconds timeout) const {
  const auto deadline = Clock::now() + timeout;
  while (Recorded() < samples) {
    if (Clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

int PulseSink::Peak(std::size_t from, std::size_t to) const {
  std::ifstream in(recording_, std::ios::binary);
  in.seekg(static_cast<std::streamoff>(from * 2));
  int peak = 0;
  for (std::size_t i = from; i < to; ++i) {
    unsigned char bytes[2];
    if (!in.read(reinterpret_cast<char*>(bytes), 2)) break;
    const auto sample = static_cast<std::int16_t>(bytes[0] | bytes[1] << 8);
    peak = std::max(peak, std::abs(static_cast<int>(sample)));
  }
  return peak;
}

PulseSink& TestSink() {
  static PulseSink sink;
  return sink;
}

}  // namespace tdwk::test
