#include "linux/QtLauncher.h"

#include <fcntl.h>
#include <linux/close_range.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QUrl>
#include <cerrno>
#include <ctime>
#include <optional>

#include "actions/ExecutarCommand.h"

namespace nq {
namespace {

constexpr int OpenerAnswerMs = 1500;

// In a child just forked: a session of its own, and the null device for its input and output, so
// what it starts neither writes into the player nor dies with it; nor does it keep any other file of
// the player open, or the player's blocked and ignored signals. Only calls safe after a fork.
void LeaveThePlayer() {
  setsid();
  const int null = open("/dev/null", O_RDWR);
  for (int fd = 0; fd < 3 && null >= 0; ++fd)
    dup2(null, fd);
  close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
  struct sigaction standard {};
  standard.sa_handler = SIG_DFL;
  for (const int signal : {SIGPIPE, SIGINT, SIGQUIT, SIGTERM, SIGHUP, SIGCHLD})
    sigaction(signal, &standard, nullptr);
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
}

} // namespace

bool QtLauncher::StartProgram(const std::string& utf8Program, const std::vector<std::string>& utf8Arguments) {
  // An argument list, never a shell: board texts must not be able to run shell syntax.
  return StartDetached(utf8Program, utf8Arguments);
}

bool QtLauncher::OpenDocument(const std::string& utf8PathOrUrl) {
  const QString target = QString::fromStdString(utf8PathOrUrl);
  // A full path is a file even when a folder of it is called "x:" and holds "//".
  const QUrl url =
      target.startsWith('/') || !target.contains("://") ? QUrl::fromLocalFile(target) : QUrl(target);
  // The opener is looked for as programs named by boards are: only in full folders of the search path,
  // never in the working folder, and with no other way round when it is missing.
  const std::optional<std::string> opener =
      FindProgramOnSearchPath("xdg-open", qEnvironmentVariable("PATH").toStdString());
  if (!opener) return false;
  const OpenerStart answer =
      StartOpener(*opener, url.toString(QUrl::FullyEncoded).toStdString(), OpenerAnswerMs,
                  [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20); });
  return answer != OpenerStart::Failed;
}

bool StartDetached(const std::string& program, const std::vector<std::string>& arguments) {
  // Everything the child needs is made before the fork: after it, only plain system calls.
  std::vector<std::string> words{program};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& word : words)
    argv.push_back(word.data());
  argv.push_back(nullptr);
  // Closed by a successful exec; an errno arrives on it when the exec fails.
  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) return false;
  const pid_t goBetween = fork();
  if (goBetween == 0) {
    LeaveThePlayer();
    const pid_t child = fork();
    if (child == 0) {
      execv(argv[0], argv.data());
      const int error = errno;
      [[maybe_unused]] const ssize_t written = write(report[1], &error, sizeof error);
      _exit(127);
    }
    // The program is not the player's child: nobody has to wait for it.
    _exit(child > 0 ? 0 : 1);
  }
  close(report[1]);
  int status = 0;
  bool started = goBetween > 0;
  while (started && waitpid(goBetween, &status, 0) < 0)
    if (errno != EINTR) started = false;
  started = started && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  int error = 0;
  ssize_t got = 0;
  do
    got = read(report[0], &error, sizeof error);
  while (got < 0 && errno == EINTR);
  close(report[0]);
  return started && got == 0;
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
    LeaveThePlayer();
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
