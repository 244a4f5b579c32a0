// nexoquadrix-editor: the board editor. Opens the board named on the command line, or a new one.
#include <QApplication>
#include <QDir>
#include <QLocale>
#include <QSettings>
#include <cstdio>
#include <cstring>

#include "boards/PictureDiskCache.h"
#include "editor/EditorWindow.h"
#include "settings/ConfigLocation.h"
#include "settings/ProfileFile.h"
#include "symbols/SymbolSetup.h"
#include "ui/DataFolder.h"

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0) {
      std::printf("usage: nexoquadrix-editor [--return-to-player] [BOARD.qdx]\n");
      return 0;
    }
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("nexoquadrix-editor %s\n", NQ_VERSION);
      return 0;
    }
  }
  QApplication app(argc, argv);
  QApplication::setOrganizationName("NexoQuadrix");
  QApplication::setApplicationName("editor");
  QApplication::setApplicationDisplayName("NexoQuadrix");
  QSettings settings;
  const QVariant chosen = settings.value("language");
  const nq::authoring::Language language =
      chosen.isValid() ? static_cast<nq::authoring::Language>(std::clamp(chosen.toInt(), 0, 2))
                       : nq::EditorTexts::FromLocale(QLocale::system().name());
  nq::PictureDiskCache pictureDisk(nq::PictureCacheFolder(
      qEnvironmentVariable("XDG_CACHE_HOME").toStdString(), QDir::homePath().toStdString()));
  nq::EditorWindow window(language, pictureDisk.Folder().empty() ? nullptr : &pictureDisk);
  // The symbols are read (or their saved index loaded) in the background while the author starts.
  const std::string programFolder = QCoreApplication::applicationDirPath().toStdString();
  const std::string dataFolder = nq::FindDataFolder(programFolder);
  const nq::ConfigLocation config =
      nq::LocateConfigFiles(programFolder, dataFolder, nq::SystemConfigEnvironment());
  nq::ProfileFile programSettings(config.SettingsFile);
  auto library = std::make_shared<nq::symbols::SymbolLibrary>(
      nq::symbols::DefaultLibraryFiles(programFolder, nq::symbols::ReadSymbolFolders(programSettings)));
  library->Start();
  window.SetSymbolLibrary(library, QString::fromStdString(config.SettingsFile));
  window.SetPrintFiles(dataFolder, config.SharedFile);
  QStringList arguments = app.arguments().mid(1);
  if (arguments.removeAll("--return-to-player") > 0) window.SetReturnToPlayer(true);
  // The player passes its board's path as it stands, blanks included.
  const QString board = arguments.join(' ');
  window.show();
  if (!board.isEmpty() && window.OpenBoard(board)) return app.exec();
  // The author goes on in the window that has the board; a second one would only confuse.
  if (!board.isEmpty() && window.RefusedAsOpenElsewhere()) return 0;
  if (board.isEmpty() && window.RecoverUntitled()) return app.exec();
  window.StartUntitled(3, 2);
  return app.exec();
}
