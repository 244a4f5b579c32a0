// nexoquadrix: the player. Builds the real back ends, the player and its window, and runs the loop.
#include <QApplication>
#include <QElapsedTimer>

#include "app/SpeechServices.h"
#include "app/SupervisorLink.h"
#include "boards/PathResolver.h"
#include "linux/QtClipboard.h"
#include "linux/QtClock.h"
#include "linux/QtDialogs.h"
#include "linux/QtImageScaler.h"
#include "linux/QtLauncher.h"
#include "linux/QtPointerMover.h"
#include "linux/QtText.h"
#include "linux/QtTextMetrics.h"
#include "linux/XTestKeySink.h"
#include "settings/ConfigLocation.h"
#include "shell/Player.h"
#include "text/Encoding.h"
#include "ui/DataFolder.h"
#include "ui/MainWindow.h"
#include "ui/PlainTextMemo.h"
#include "ui/SpeechWindow.h"

int main(int argc, char** argv) {
  // Before anything else, while the process has one thread: a crash must bring the player back.
  const nq::SupervisedStart supervised = nq::Supervise();
  if (supervised.ExitCode) return *supervised.ExitCode;
  QElapsedTimer sinceStart;
  sinceStart.start();
  QApplication app(argc, argv);
  QApplication::setApplicationName("NexoQuadrix");
  if (supervised.GaveUpAfter > 0) return nq::ShowGiveUpNotice(supervised.GaveUpAfter);
  const QString programFolder = QCoreApplication::applicationDirPath();
  const std::string dataFolder = nq::FindDataFolder(programFolder.toStdString());
  const nq::ConfigLocation config =
      nq::LocateConfigFiles(programFolder.toStdString(), dataFolder, nq::SystemConfigEnvironment());

  nq::MainWindow window(dataFolder);
  nq::QtClock clock;
  // Boxes and file dialogs belong to the modal window in front (the speech window), else to the main one.
  nq::QtDialogs dialogs(
      [&window]() -> QWidget* {
        QWidget* modal = QApplication::activeModalWidget();
        return modal ? modal : &window;
      },
      "NexoQuadrix");
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

  // The speech objects exist before the start sequence, which opens the speech window on a first run.
  nq::SpeechPaths speechPaths;
  speechPaths.ProgramFolder = programFolder.toStdString();
  speechPaths.SettingsFolder = config.SettingsFolder;
  speechPaths.CreateSettingsFolder = config.CreateSettingsFolder;
  nq::SpeechServices speech(
      player.Settings(), dialogs, clock, speechPaths, [&player](const std::string& name) {
        return nq::ResolveBoardPath(nq::Windows1252ToUtf8(player.State().DirectoriActual), name);
      });
  nq::SpeechWindow speechWindow(speech.FrontEnd(), &window);
  nq::QtClipboard clipboard([&window] { return window.Board(); }, dialogs);
  nq::XTestKeySink keys;
  nq::PlainTextMemo memo(window.Memo());
  player.SetSpeech(&speech.Speech());
  player.SetKeySink(&keys);
  player.SetClipboard(&clipboard);
  player.SetMessageMemo(&memo);
  nq::QtPointerMover pointer;
  player.SetPointerMover(&pointer);
  // An empty window that the program has always created for diagnostics; it stays hidden.
  QWidget debugWindow;
  debugWindow.setWindowTitle("Debug");
  bool speechWindowOpen = false;
  window.SpeechWindow = [&speech, &speechWindow, &speechWindowOpen] {
    if (speechWindowOpen) return; // asked again while the voices are still being listed
    speechWindowOpen = true;
    speech.EnsureCreated();
    speechWindow.exec();
    speechWindowOpen = false;
  };

  player.FormCreate();
  speech.Start();
  window.show();
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i)
    arguments.push_back(nq::LocalNameToWindows1252(argv[i])); // names from old archives may not be UTF-8
  player.Start(arguments);
  const nq::SupervisorLink supervisorLink(player, supervised);
  return QApplication::exec();
}
