// nexoquadrix: the player. Builds the real back ends, the player and its window, and runs the loop.
#include <QApplication>
#include <QElapsedTimer>

#include "linux/QtClock.h"
#include "linux/QtDialogs.h"
#include "linux/QtImageScaler.h"
#include "linux/QtLauncher.h"
#include "linux/QtText.h"
#include "linux/QtTextMetrics.h"
#include "settings/ConfigLocation.h"
#include "text/Encoding.h"
#include "shell/Player.h"
#include "ui/DataFolder.h"
#include "ui/MainWindow.h"

int main(int argc, char** argv) {
  QElapsedTimer sinceStart;
  sinceStart.start();
  QApplication app(argc, argv);
  QApplication::setApplicationName("NexoQuadrix");
  const QString programFolder = QCoreApplication::applicationDirPath();
  const std::string dataFolder = nq::FindDataFolder(programFolder.toStdString());
  const nq::ConfigLocation config =
      nq::LocateConfigFiles(programFolder.toStdString(), dataFolder, nq::SystemConfigEnvironment());

  nq::MainWindow window(dataFolder);
  nq::QtClock clock;
  nq::QtDialogs dialogs([&window] { return &window; }, "NexoQuadrix");
  nq::QtTextMetrics metrics;
  nq::QtImageScaler scaler;
  nq::QtLauncher launcher;

  nq::PlayerPaths paths;
  paths.ProgramFolder = nq::FromQString(programFolder) + "/";
  paths.DataFolder = nq::Utf8ToWindows1252(dataFolder);
  paths.SettingsFile = config.SettingsFile;
  paths.SharedFile = config.SharedFile;
  paths.CreateSettingsFolder = config.CreateSettingsFolder;
  nq::Player player({clock, dialogs, metrics, scaler, window, launcher}, paths);
  window.Attach(player);
  if (qEnvironmentVariableIntValue("NEXOQUADRIX_TIMING") == 1) window.EnableTiming(sinceStart);
  dialogs.OnModal = [&window](bool shown) { window.SetMouseHook(!shown); };

  player.FormCreate();
  window.show();
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) arguments.push_back(nq::FromQString(QString::fromLocal8Bit(argv[i])));
  player.Start(arguments);
  return QApplication::exec();
}
