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
  // The first few dozen changes still warm the player up. The script engine collects its
  // garbage late, so the memory rises and falls from one change to the next; what the movies
  // keep is the lowest figure over a few changes.
  const auto keptOver = [&](std::size_t first, std::size_t last) {
    long least = -1;
    for (std::size_t change = first; change <= last; ++change) {
      if (!changes(change)) return -1L;
      const long now = app.WebProcessMemoryKib();
      if (least < 0 || now < least) least = now;
    }
    return least;
  };
  const long warm = keptOver(40, 46);
  ASSERT_GT(warm, 0) << app.Errors();
  const long later = keptOver(80, 86);
  ASSERT_GT(later, 0) << app.Errors();
  std::printf("web process after 40 screen changes: %ld MiB, after 80: %ld MiB\n", warm / 1024,
              later / 1024);
  // Still warming, the player's own heap grows a few per cent here and garbage may be left;
  // a movie left behind at every change (a retired player, its canvas and its heap) adds
  // megabytes each time, far more than a fifth over forty changes.
  EXPECT_LT(later, warm + warm / 5);
}

}  // namespace
}  // namespace tdwk::test
