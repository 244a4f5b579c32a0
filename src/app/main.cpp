// nexoquadrix: the player. Builds the real back ends, the player and its window, and runs the loop.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLocale>
#include <malloc.h>

#include "app/ProgramInfo.h"
#include "app/SpeechServices.h"
#include "app/SupervisorLink.h"
#include "app/VoiceListing.h"
#include "boards/PathResolver.h"
#include "boards/PictureDiskCache.h"
#include "exchange/ImportedBoards.h"
#include "linux/PulseAudioCapture.h"
#include "linux/QtClipboard.h"
#include "linux/QtClock.h"
#include "linux/QtDialogs.h"
#include "linux/QtImageScaler.h"
#include "linux/QtLauncher.h"
#include "linux/QtPointerMover.h"
#include "linux/QtText.h"
#include "linux/QtTextMetrics.h"
#include "linux/QtUiQueue.h"
#include "linux/X11Desktop.h"
#include "linux/XTestKeySink.h"
#include "settings/ConfigLocation.h"
#include "shell/DisplaySession.h"
#include "shell/FirstStart.h"
#include "shell/Player.h"
#include "text/Encoding.h"
#include "ui/DataFolder.h"
#include "ui/ImportProgressDialog.h"
#include "ui/MainWindow.h"
#include "ui/PlainTextMemo.h"
#include "ui/QtNonFocusableWindow.h"
#include "ui/QtPictureConverter.h"
#include "ui/QtTranslations.h"
#include "ui/SoundLevelMeter.h"
#include "ui/SpeechWindow.h"

int main(int argc, char** argv) {
  if (const std::optional<int> answered = nq::AnswerInformationOption(argc, argv)) return *answered;
  if (const std::optional<int> listed = nq::AnswerVoiceListOption(argc, argv)) return *listed;
  nq::PreferX11UnderWayland(argc, argv);
  // Before Qt starts, while the process has one thread: a crash must bring the player back.
  const nq::SupervisedStart supervised = nq::Supervise();
  if (supervised.ExitCode) return *supervised.ExitCode;
  // Pictures are decoded into buffers of a megabyte or more on worker threads. With a fixed threshold
  // each such buffer gets pages of its own and returns them when freed; glibc's moving threshold would
  // otherwise rise after the first large picture and leave freed buffers in each thread's heap.
  mallopt(M_MMAP_THRESHOLD, 256 * 1024);
  QElapsedTimer sinceStart;
  sinceStart.start();
  QApplication app(argc, argv);
  QApplication::setApplicationName("NexoQuadrix");
  // Qt's own buttons and dialogs speak the language of the program's messages, not English.
  const std::unique_ptr<QTranslator> qtTexts = nq::LoadQtTranslations(QLocale::system().name().toStdString());
  if (qtTexts) QApplication::installTranslator(qtTexts.get());
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

  // The microphones outlive the player, whose detectors close them first.
  nq::PulseAudioCapture singleChannelMicrophone("Micr\xC3\xB2"
                                                "fon");
  nq::PulseAudioCapture stereoMicrophone("Micr\xC3\xB2"
                                         "fon est\xC3\xA8reo");
  // Both outlive the player, whose picture threads use them until it is gone.
  nq::PictureDiskCache pictureDisk(nq::PictureCacheFolder(
      qEnvironmentVariable("XDG_CACHE_HOME").toStdString(), QDir::homePath().toStdString()));
  nq::QtUiQueue uiQueue;

  nq::PlayerPaths paths;
  paths.ProgramFolder = nq::FromQString(programFolder) + "/";
  paths.DataFolder = nq::Utf8ToWindows1252(dataFolder);
  paths.SettingsFile = config.SettingsFile;
  paths.SharedFile = config.SharedFile;
  paths.CreateSettingsFolder = config.CreateSettingsFolder;
  nq::Player player({clock, dialogs, metrics, scaler, window, launcher}, paths);
  window.Attach(player);
  // Capped pictures persist between runs; the board shows at once and its pictures follow.
  if (!pictureDisk.Folder().empty()) player.Pictures().SetDiskCache(&pictureDisk);
  player.LoadPicturesInBackground(uiQueue);
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
  // The on-screen keyboard: keys and pastes into the focused application, the non-focusing window.
  nq::X11Desktop desktop;
  nq::QtNonFocusableWindow nonFocusable(&window);
  // Under Wayland the keys typed reach only X11 applications: the user is told once.
  nq::ExternalWindowNotice waylandNotice(dialogs, player.Settings(),
                                         nq::IsWaylandSession(nq::SystemConfigEnvironment().Variable));
  nonFocusable.SwitchedOn = [&waylandNotice] { waylandNotice.ExternalWindowSwitchedOn(); };
  player.SetExternalWindowParts(keys, keys.Layout(), clipboard, desktop, nonFocusable);
  player.SetProgramSearchPath(qEnvironmentVariable("PATH").toStdString());
  player.AttachSound(singleChannelMicrophone, stereoMicrophone);
  nq::SoundLevelMeter soundMeter(player.Sound()->Input(), &window);
  player.Sound()->ShowLevelMeter = [&soundMeter] {
    soundMeter.show();
    soundMeter.raise();
  };
  nq::QtPointerMover pointer;
  player.SetPointerMover(&pointer);
  // Boards of other AAC systems (.obf, .obz) are converted once into a folder of their own.
  nq::QtPictureConverter pictureConverter;
  nq::ImportProgressDialog importProgress([&window]() -> QWidget* { return &window; });
  importProgress.OnModal = dialogs.OnModal;
  nq::exchange::ImportedBoards importedBoards(dialogs, &pictureConverter, nq::exchange::DefaultImportFolder(),
                                              &importProgress);
  player.Boards().Importer = &importedBoards;
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
  player.PrepareFirstShow();
  window.show();
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i)
    arguments.push_back(nq::LocalNameToWindows1252(argv[i])); // names from old archives may not be UTF-8
  nq::OfferDemoBoards(player.Settings(), {!arguments.empty(), dataFolder, config.UserDataFolder,
                                          QLocale::system().name().toStdString()});
  // The user's copy of the demo boards is as much the player's own as the bundled ones.
  if (!config.UserDataFolder.empty()) player.Trust().AddOwnFolder(config.UserDataFolder + "/boards");
  player.Start(arguments);
  const nq::SupervisorLink supervisorLink(player, supervised);
  return QApplication::exec();
}
