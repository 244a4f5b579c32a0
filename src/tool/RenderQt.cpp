// render BOARD --size WxH -o OUT.png: paints a board as the player's client area of that size shows
// it, with the player's own painting code, off screen.
#include <QGuiApplication>
#include <QImage>
#include <cstdio>
#include <filesystem>

#include "linux/QtImageScaler.h"
#include "linux/QtLauncher.h"
#include "linux/QtTextMetrics.h"
#include "settings/ConfigLocation.h"
#include "settings/SettingsKeys.h"
#include "shell/Player.h"
#include "text/Encoding.h"
#include "tool/ToolCommands.h"
#include "tool/ToolSupport.h"
#include "ui/BoardView.h"
#include "ui/DataFolder.h"
#include "ui/HeadlessWindow.h"

namespace nq::tool {
namespace {

bool ParseSize(const std::string& text, int& width, int& height) {
  return std::sscanf(text.c_str(), "%dx%d", &width, &height) == 2 && width > 0 && height > 0 &&
         width <= 16384 && height <= 16384;
}

} // namespace

int RunRender(const Arguments& args) {
  std::string board, output;
  int width = 0, height = 0;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--size" && i + 1 < args.size()) {
      if (!ParseSize(args[++i], width, height))
        return Usage("render: --size takes WIDTHxHEIGHT, e.g. 838x613");
    } else if (args[i] == "-o" && i + 1 < args.size()) {
      output = args[++i];
    } else if (board.empty()) {
      board = args[i];
    } else {
      return Usage("render: unexpected argument " + args[i]);
    }
  }
  if (board.empty() || output.empty() || width == 0)
    return Usage("usage: render BOARD --size WxH -o OUT.png");

  qputenv("QT_QPA_PLATFORM", "offscreen");
  int argc = 1;
  char name[] = "nexoquadrix-tool";
  char* argv[] = {name, nullptr};
  QGuiApplication app(argc, argv);

  // The player's own settings are never touched: it gets a settings file of its own, for this run.
  TemporaryFolder scratch;
  if (scratch.Path().empty()) {
    std::fprintf(stderr, "render: could not make a temporary folder\n");
    return 1;
  }
  const std::string programFolder = ProgramFolder();
  const std::string dataFolder = FindDataFolder(programFolder);
  const ConfigLocation config = LocateConfigFiles(programFolder, dataFolder, SystemConfigEnvironment());
  PrintingDialogs dialogs;
  QtTextMetrics metrics;
  QtImageScaler scaler;
  QtLauncher launcher;
  HeadlessWindow window(width, height);
  PlayerPaths paths;
  paths.ProgramFolder = Utf8ToWindows1252(programFolder + "/");
  paths.DataFolder = Utf8ToWindows1252(dataFolder);
  paths.SettingsFile = scratch.Path() + "/" + std::string(SettingsFileName);
  paths.SharedFile = config.SharedFile;
  NullClock clock;
  Player player({clock, dialogs, metrics, scaler, window, launcher}, paths);
  player.FormCreate();
  player.Options().LoadProgramSettings();
  player.ClientResized(width, height);
  const std::string absolute = std::filesystem::absolute(board).string();
  player.Boards().OpenBoard(Utf8ToWindows1252(absolute));
  if (player.State().CurrentBoardFile.empty()) {
    std::fprintf(stderr, "render: the board was not opened: %s\n", board.c_str());
    return 1;
  }
  const QImage image = RenderClientArea(player, dataFolder, width, height);
  if (!image.save(QString::fromStdString(output), "PNG")) {
    std::fprintf(stderr, "render: could not write %s\n", output.c_str());
    return 1;
  }
  return 0;
}

} // namespace nq::tool
