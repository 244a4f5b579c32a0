#include "linux/QtLauncher.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace nq {
namespace {

constexpr int OpenerAnswerMs = 1500;

} // namespace

bool QtLauncher::StartProgram(const std::string& utf8Program, const std::vector<std::string>& utf8Arguments) {
  QStringList arguments;
  for (const std::string& argument : utf8Arguments)
    arguments << QString::fromStdString(argument);
  // An argument list, never a shell: board texts must not be able to run shell syntax.
  return QProcess::startDetached(QString::fromStdString(utf8Program), arguments);
}

bool QtLauncher::OpenDocument(const std::string& utf8PathOrUrl) {
  const QString target = QString::fromStdString(utf8PathOrUrl);
  const QUrl url = target.contains("://") ? QUrl(target) : QUrl::fromLocalFile(target);
  const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
  if (opener.isEmpty()) return QDesktopServices::openUrl(url);
  // The opener says within moments whether any program takes the document; one that is still busy
  // has started one (it may wait for it), so it is left running, owned by the application so that it is
  // freed at the latest when the program ends.
  auto* process = new QProcess(QCoreApplication::instance());
  process->start(opener, {url.toString(QUrl::FullyEncoded)});
  if (!process->waitForStarted(OpenerAnswerMs)) {
    delete process;
    return false;
  }
  QElapsedTimer waited;
  waited.start();
  while (process->state() != QProcess::NotRunning && waited.elapsed() < OpenerAnswerMs) {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
    process->waitForFinished(20);
  }
  if (process->state() != QProcess::NotRunning) {
    QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
    return true;
  }
  const bool opened = process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0;
  delete process;
  return opened;
}

} // namespace nq
