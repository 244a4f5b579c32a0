#include "linux/QtLauncher.h"

#include <fcntl.h>
#include <linux/close_range.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>
#include <cerrno>
#include <ctime>

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
  const OpenerStart answer = StartOpener(
      QFile::encodeName(opener).toStdString(), url.toString(QUrl::FullyEncoded).toStdString(), OpenerAnswerMs,
      [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20); });
  return answer != OpenerStart::Failed;
}

OpenerStart StartOpener(const std::string& opener, const std::string& argument, int answerMs,
                        const std::function<void()>& whileWaiting) {
  // Everything the go-between needs is made before the fork: after it, only plain system calls.
  std::string program = opener;
  std::string parameter = argument;
  char* argv[] = {program.data(), parameter.data(), nullptr};
  int answer[2];
  if (pipe2(answer, O_CLOEXEC) != 0) return OpenerStart::Failed;
  const pid_t goBetween = fork();
  if (goBetween < 0) {
    close(answer[0]);
    close(answer[1]);
    return OpenerStart::Failed;
  }
  if (goBetween == 0) {
    // A session of its own, and the null device for its input and output: the viewer it starts
    // neither writes into the player nor dies with it.
    setsid();
    const int null = open("/dev/null", O_RDWR);
    for (int fd = 0; fd < 3 && null >= 0; ++fd)
      dup2(null, fd);
    // Nor does it keep any other file of the player open.
    close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
    const pid_t child = fork();
    if (child == 0) {
      execv(argv[0], argv);
      _exit(127);
    }
    unsigned char said = static_cast<unsigned char>(OpenerStart::Failed);
    const timespec step{0, 20 * 1000 * 1000};
    for (int waited = 0; child > 0; waited += 20) {
      int status = 0;
      if (waitpid(child, &status, WNOHANG) == child) {
        if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
          said = static_cast<unsigned char>(OpenerStart::Done);
        break;
      }
      // Still busy: it has started a program and may wait for it. It is left to the system to reap.
      if (waited >= answerMs) {
        said = static_cast<unsigned char>(OpenerStart::StillRunning);
        break;
      }
      nanosleep(&step, nullptr);
    }
    [[maybe_unused]] const ssize_t written = write(answer[1], &said, 1);
    _exit(0);
  }
  close(answer[1]);
  unsigned char said = static_cast<unsigned char>(OpenerStart::Failed);
  for (;;) {
    pollfd ready{answer[0], POLLIN, 0};
    const int polled = poll(&ready, 1, 20);
    if (polled < 0 && errno != EINTR) break;
    if (polled > 0) {
      if (read(answer[0], &said, 1) != 1) said = static_cast<unsigned char>(OpenerStart::Failed);
      break;
    }
    if (whileWaiting) whileWaiting();
  }
  close(answer[0]);
  while (waitpid(goBetween, nullptr, 0) < 0 && errno == EINTR) {
  }
  return static_cast<OpenerStart>(said);
}

} // namespace nq
