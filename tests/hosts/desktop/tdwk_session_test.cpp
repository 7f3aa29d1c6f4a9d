// A few dozen screen changes: the web process's memory levels off instead of growing with
// every movie played (bench/desktop_endurance runs hundreds).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

#include "tdwk_process.h"

namespace tdwk::test {
namespace {

using namespace std::chrono_literals;

TEST(TdwkSession, TheWebProcessMemoryLevelsOffOverScreenChanges) {
  TdwkApp app;
  app.WriteHomeAndGameLoop();
  app.Start();
  // Every screen change starts a movie in swfMain; the introduction's start counts too.
  const auto changes = [&](std::size_t count) {
    return app.WaitForCount({{"control", "swfMain"}, {"command", kFrameReport}, {"args", "0"}},
                            count + 1, 120s);
  };
  ASSERT_TRUE(changes(20)) << app.Errors();
  const long warm = app.WebProcessMemoryKib();
  ASSERT_TRUE(changes(60)) << app.Errors();
  const long later = app.WebProcessMemoryKib();
  std::printf("web process after 20 screen changes: %ld MiB, after 60: %ld MiB\n", warm / 1024,
              later / 1024);
  EXPECT_LT(later, warm + warm / 10);
}

}  // namespace
}  // namespace tdwk::test
