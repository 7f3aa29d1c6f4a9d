// Listing and publishing the children's profiles, against the bare cost of the same file reads.
// Both report the time per profile; listing must stay flat as the count grows.
#include <benchmark/benchmark.h>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/code_page_posix.h"
#include "platform/file_system_posix.h"
#include "platform/fixed_clock.h"
#include "shell/shell.h"
#include "support/fakes.h"
#include "support/profile_bytes.h"
#include "support/temp_folder.h"
#include "support/test_console_host.h"

namespace {

using namespace tdwk;
using namespace tdwk::test;

// One application folder per profile count, made once and shared by both benchmarks.
const TempFolder& FolderWith(int count) {
  static std::map<int, std::unique_ptr<TempFolder>> folders;
  std::unique_ptr<TempFolder>& folder = folders[count];
  if (!folder) {
    folder = std::make_unique<TempFolder>();
    folder->MakeFolder("Logs");
    folder->MakeFolder("Users");
    for (int n = 1; n <= count; ++n) {
      folder->WriteFile(
          "Users/USER" + std::to_string(n) + ".DAT",
          ProfileBytes("Child" + std::to_string(n), "Smith", 36526.0, n % 2 == 0 ? "M" : "F"));
    }
  }
  return *folder;
}

void SetPerProfile(benchmark::State& state, int count) {
  state.counters["per_profile"] = benchmark::Counter(
      count, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_ListAndPublishProfiles(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  const TempFolder& folder = FolderWith(count);
  CallLog calls;
  TestConsoleHost host(calls);
  PosixFileSystem files(folder.Path());
  FixedClock clock(std::chrono::local_days{std::chrono::year{2004} / 5 / 3});
  BritishLocale locale;
  Windows1252CodePage codePage;
  FakeInstanceLock lock;
  Platform platform{host, host.playerWindows(), files, clock, locale, codePage,
                    lock, folder.Path(),        ""};
  Shell shell(platform);
  shell.state.appPath = folder.Path();
  shell.frmTDWK.Create();

  for (auto _ : state) {
    auto listed = shell.users.getUsers();
    shell.state.userCount = static_cast<std::int16_t>(listed.size());
    shell.users.publishUserList();
    benchmark::DoNotOptimize(listed.data());
    calls.clear();
  }
  if (shell.state.userCount != count) state.SkipWithError("not every profile was listed");
  SetPerProfile(state, count);
}

std::size_t ReadWhole(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return 0;
  char buffer[4096];
  std::size_t total = 0;
  for (ssize_t got; (got = ::read(fd, buffer, sizeof buffer)) > 0;) {
    total += static_cast<std::size_t>(got);
  }
  ::close(fd);
  return total;
}

// The same reads the directory makes: the listing, every listed file, then every file by
// its number. Nothing is parsed or published.
void BM_OpenAndReadSameFiles(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  const std::string users = FolderWith(count).Path() + "Users/";
  for (auto _ : state) {
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(users.c_str())) {
      while (const dirent* entry = ::readdir(dir)) {
        if (entry->d_name[0] != '.') names.emplace_back(entry->d_name);
      }
      ::closedir(dir);
    }
    std::size_t bytes = 0;
    for (const std::string& name : names) bytes += ReadWhole(users + name);
    for (int n = 1; n <= count; ++n)
      bytes += ReadWhole(users + "USER" + std::to_string(n) + ".DAT");
    benchmark::DoNotOptimize(bytes);
  }
  SetPerProfile(state, count);
}

BENCHMARK(BM_ListAndPublishProfiles)->Arg(10)->Arg(1000)->Arg(32767)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenAndReadSameFiles)->Arg(10)->Arg(1000)->Arg(32767)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
