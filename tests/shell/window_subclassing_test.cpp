#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>

#include "support/shell_fixture.h"

namespace tdwk::test {
namespace {

const char* const kLayers[] = {"swfMain", "swfBackgroundTop", "swfBackgroundLeft",
                               "swfBackgroundCorner"};

class WindowSubclassingTest : public ShellTest {};

TEST_F(WindowSubclassingTest, EveryPlayerWindowIsRecordedInOrderAndOthersAreLeftAlone) {
  PlayerWindowTable& table = host.playerWindows();
  const WindowHandle other = table.AddOtherWindow("MacromediaFlashPlayerActiveX ");
  const std::int32_t otherProcedure = table.GetWindowLong(other, GWL_WNDPROC);
  Shell& s = StartedShell();
  const auto& windows = *s.state.subclassedWindows;
  ASSERT_EQ(windows.size(), 4u);
  for (std::size_t i = 0; i < windows.size(); ++i) {
    EXPECT_EQ(windows[i].hWnd, other + 1 + i);
  }
  EXPECT_EQ(table.GetWindowLong(other, GWL_WNDPROC), otherProcedure);
}

TEST_F(WindowSubclassingTest, RightButtonPressesAreAnsweredAndDroppedOnEveryLayer) {
  StartedShell();
  for (const char* layer : kLayers) {
    EXPECT_EQ(host.SendMessage(layer, WM_RBUTTONDOWN), std::make_pair(1, false)) << layer;
    // Everything else reaches the player, whose answer is 0.
    for (std::uint32_t message : {WM_RBUTTONUP, WM_LBUTTONDOWN, 0x0100u, 0x000Fu}) {
      EXPECT_EQ(host.SendMessage(layer, message), std::make_pair(0, true))
          << layer << " " << message;
    }
  }
}

TEST_F(WindowSubclassingTest, UnloadingGivesEveryPlayerItsOwnProcedureBack) {
  Shell& s = StartedShell();
  const auto& windows = *s.state.subclassedWindows;
  PlayerWindowTable& table = host.playerWindows();
  for (const auto& window : windows) {
    EXPECT_NE(table.GetWindowLong(window.hWnd, GWL_WNDPROC), window.ReturnValue);
  }
  host.UnloadWindow();
  for (const auto& window : windows) {
    EXPECT_EQ(table.GetWindowLong(window.hWnd, GWL_WNDPROC), window.ReturnValue);
  }
  for (const char* layer : kLayers) EXPECT_TRUE(host.SendMessage(layer, WM_RBUTTONDOWN).second);
  EXPECT_EQ(windows.size(), 4u);  // the entries stay
  EXPECT_FALSE(s.frmTDWK.UnloadFailed());
}

TEST_F(WindowSubclassingTest, AMessageForAnUnrecordedWindowGoesNowhere) {
  Shell& s = StartedShell();
  EXPECT_EQ(s.subclassing.WindowProc(999, WM_LBUTTONDOWN, 0, 0), 0);
  EXPECT_EQ(s.subclassing.WindowProc(999, WM_RBUTTONDOWN, 0, 0), 1);
  s.state.subclassedWindows.reset();
  EXPECT_EQ(s.subclassing.WindowProc(100, WM_LBUTTONDOWN, 0, 0), 0);
}

// Player windows whose own procedure reports its arguments and can send a message of its own
// while it runs, as a real player may.
class ScriptedPlayerWindows : public PlayerWindows {
 public:
  struct Delivery {
    WindowHandle window;
    std::uint32_t message;
    std::int32_t wParam, lParam;
  };

  bool EnumChildWindows(WindowHandle, const EnumCallback& callback, std::int32_t lParam) override {
    lParams.push_back(lParam);
    for (WindowHandle window : {WindowHandle{7}, WindowHandle{8}, WindowHandle{9}}) {
      if (!callback(window, lParam)) break;
    }
    return true;
  }
  int GetClassName(WindowHandle window, char* buffer, int size) override {
    if (window == 9) return 0;  // a window that vanished meanwhile
    const char* name = "MacromediaFlashPlayerActiveX";
    std::strncpy(buffer, name, static_cast<std::size_t>(size));
    return static_cast<int>(std::strlen(name));
  }
  std::int32_t GetWindowLong(WindowHandle window, int) override { return Slot(window); }
  std::int32_t SetWindowLong(WindowHandle window, int, std::int32_t value) override {
    if (window == destroyed) return 0;
    recordedBeforeReplacement.push_back(shell->state.subclassedWindows->size());
    return std::exchange(Slot(window), value);
  }
  std::int32_t CallWindowProc(std::int32_t procedure, WindowHandle window, std::uint32_t message,
                              std::int32_t wParam, std::int32_t lParam) override {
    if (procedure == kShell) return shellProcedure(shellContext, window, message, wParam, lParam);
    deliveries.push_back({window, message, wParam, lParam});
    if (message == kNests) Send(8, WM_RBUTTONDOWN);
    return wParam - lParam;
  }
  std::int32_t RegisterProcedure(WindowProcedure procedure, void* context) override {
    ++registrations;
    shellProcedure = procedure, shellContext = context;
    return kShell;
  }

  std::int32_t Send(WindowHandle window, std::uint32_t message, std::int32_t w = 0,
                    std::int32_t l = 0) {
    return CallWindowProc(Slot(window), window, message, w, l);
  }
  std::int32_t& Slot(WindowHandle window) { return slots[window - 7]; }

  static constexpr std::int32_t kShell = 0x77;
  static constexpr std::uint32_t kNests = 0x0400;
  Shell* shell = nullptr;
  WindowHandle destroyed = 0;
  std::int32_t slots[3] = {0x70, 0x80, 0x90};
  std::vector<std::int32_t> lParams;
  std::vector<std::size_t> recordedBeforeReplacement;
  std::vector<Delivery> deliveries;
  int registrations = 0;
  WindowProcedure shellProcedure = nullptr;
  void* shellContext = nullptr;
};

class SubclassingOverScriptedWindowsTest : public ShellTest {
 protected:
  void SetUp() override {
    ports = std::make_unique<Platform>(
        Platform{host, players, files, clock, locale, codePage, lock, folder.Path(), ""});
    scripted = std::make_unique<Shell>(*ports);
    scripted->state.subclassedWindows.emplace();
    players.shell = scripted.get();
    scripted->subclassing.Install();
  }

  ScriptedPlayerWindows players;
  std::unique_ptr<Platform> ports;
  std::unique_ptr<Shell> scripted;
};

TEST_F(SubclassingOverScriptedWindowsTest, EachWindowIsRecordedBeforeItsProcedureIsReplaced) {
  EXPECT_THAT(players.lParams, ::testing::ElementsAre(12));
  EXPECT_THAT(players.recordedBeforeReplacement, ::testing::ElementsAre(1u, 2u));
  EXPECT_EQ(players.registrations, 1);
  EXPECT_EQ(players.slots[2], 0x90);  // its class name could not be read
}

TEST_F(SubclassingOverScriptedWindowsTest, MessagesReachTheirOwnPlayerUnchanged) {
  EXPECT_EQ(players.Send(8, 0x0200, 50, 8), 42);
  ASSERT_EQ(players.deliveries.size(), 1u);
  EXPECT_EQ(players.deliveries[0].window, 8u);
  EXPECT_EQ(players.deliveries[0].message, 0x0200u);
  EXPECT_EQ(players.deliveries[0].wParam, 50);
  EXPECT_EQ(players.deliveries[0].lParam, 8);
}

TEST_F(SubclassingOverScriptedWindowsTest, APlayerThatSendsWhileItRunsIsFilteredToo) {
  EXPECT_EQ(players.Send(7, ScriptedPlayerWindows::kNests, 3, 1), 2);
  ASSERT_EQ(players.deliveries.size(), 1u);  // the nested right press went nowhere
}

TEST_F(SubclassingOverScriptedWindowsTest, ADestroyedWindowDoesNotStopTheRestore) {
  players.destroyed = 7;
  scripted->subclassing.Restore();
  EXPECT_EQ(players.slots[0], ScriptedPlayerWindows::kShell);
  EXPECT_EQ(players.slots[1], 0x80);
}

}  // namespace
}  // namespace tdwk::test
