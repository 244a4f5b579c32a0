#pragma once
// A real main window with a player attached, its settings in a temporary folder removed at the end.
#include <filesystem>
#include <string>

#include "linux/QtImageScaler.h"
#include "linux/QtTextMetrics.h"
#include "shell/Player.h"
#include "support/VirtualClock.h"
#include "ui/MainWindow.h"
#include "ui/UiFakes.h"

namespace nq::test {

class WindowedPlayer {
public:
  explicit WindowedPlayer(const std::string& folderName)
      : Folder(MadeFolder(folderName)),
        ThePlayer({Clock, Dialogs, Metrics, Scaler, Window, Programs}, Paths()) {
    Window.Attach(ThePlayer);
    ThePlayer.FormCreate();
  }
  ~WindowedPlayer() { std::filesystem::remove_all(Folder); }

  std::filesystem::path Folder;
  VirtualClock Clock;
  SilentDialogs Dialogs;
  QtTextMetrics Metrics;
  QtImageScaler Scaler;
  NoLauncher Programs;
  MainWindow Window{""};
  Player ThePlayer;

private:
  static std::filesystem::path MadeFolder(const std::string& name) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / name;
    std::filesystem::create_directories(folder);
    return folder;
  }
  PlayerPaths Paths() const {
    PlayerPaths paths;
    paths.SettingsFile = (Folder / "nexoquadrix.ini").string();
    paths.SharedFile = (Folder / "Quadrix.ini").string();
    return paths;
  }
};

} // namespace nq::test
