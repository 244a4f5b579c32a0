#include "linux/QtLauncher.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

namespace nq {

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
  return QDesktopServices::openUrl(url);
}

} // namespace nq
