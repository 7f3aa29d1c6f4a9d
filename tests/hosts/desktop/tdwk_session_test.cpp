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
  struct Kept {
    long process = -1, players = -1;
  };
  const auto keptOver = [&](std::size_t first, std::size_t last) {
    Kept least;
    for (std::size_t change = first; change <= last; ++change) {
      if (!changes(change)) return Kept{};
      const long process = app.WebProcessMemoryKib();
      const long players = app.PlayersMemoryKib();
      if (least.process < 0 || process < least.process) least.process = process;
      if (least.players < 0 || players < least.players) least.players = players;
    }
    return least;
  };
  const Kept warm = keptOver(40, 46);
  ASSERT_GT(warm.process, 0) << app.Errors();
  const Kept later = keptOver(80, 86);
  ASSERT_GT(later.process, 0) << app.Errors();
  std::printf(
      "web process after 40 screen changes: %ld MiB (players %ld KiB), "
      "after 80: %ld MiB (players %ld KiB)\n",
      warm.process / 1024, warm.players, later.process / 1024, later.players);
  // Still warming, the player's own heap grows a few per cent here and garbage may be left;
  // a movie left behind at every change (a retired player, its canvas and its heap) adds
  // megabytes each time, far more than a fifth over forty changes.
  EXPECT_LT(later.process, warm.process + warm.process / 5);
  // The players' own memory has no garbage of the script engine's in it: once warm it stays,
  // unless each player taken apart leaves part of itself behind (its sound buffers took 2 MiB
  // over these forty changes).
  EXPECT_LT(later.players, warm.players + 1024);
}

}  // namespace
}  // namespace tdwk::test
