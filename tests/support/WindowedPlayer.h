#pragma once
// A real player with Qt's text metrics and picture scaler in a window of the test's choosing: the
// main window itself, or a headless one for tests that only lay out and paint. Its settings live in
// a fresh temporary folder, which also holds whatever boards and pictures the test writes.
#include <memory>
#include <string>
#include <type_traits>
#include <utility>

#include "linux/QtImageScaler.h"
#include "linux/QtTextMetrics.h"
#include "shell/Player.h"
#include "support/FakeDialogs.h"
#include "support/FakeLauncher.h"
#include "support/TempFolder.h"
#include "support/VirtualClock.h"
#include "ui/MainWindow.h"

namespace nq::test {

template <class WindowType = MainWindow> class WindowedPlayer {
public:
  WindowedPlayer() requires std::is_same_v<WindowType, MainWindow> : Window("") {}
  template <class... WindowArguments>
  explicit WindowedPlayer(WindowArguments&&... arguments)
      : Window(std::forward<WindowArguments>(arguments)...) {}

  /// Starts a fresh player, replacing any earlier one; settings files not named go to the folder.
  Player& Start(PlayerPaths paths = {}) {
    if (paths.SettingsFile.empty()) paths.SettingsFile = Folder.Path("nexoquadrix.ini");
    if (paths.SharedFile.empty()) paths.SharedFile = Folder.Path("Quadrix.ini");
    ThePlayer.reset();
    ThePlayer =
        std::make_unique<Player>(PlayerServices{Clock, Dialogs, Metrics, Scaler, Window, Programs}, paths);
    if constexpr (requires(WindowType & window, Player & player) { window.Attach(player); })
      Window.Attach(*ThePlayer);
    ThePlayer->FormCreate();
    return *ThePlayer;
  }

  TempFolder Folder;
  VirtualClock Clock;
  FakeDialogs Dialogs;
  QtTextMetrics Metrics;
  QtImageScaler Scaler;
  FakeLauncher Programs{false};
  WindowType Window;
  std::unique_ptr<Player> ThePlayer;
};

} // namespace nq::test
