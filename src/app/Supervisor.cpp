#include "app/Supervisor.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace nq {

namespace {

// A crash within this long of a start counts as crashing "at once".
constexpr int64_t QuickRunMs = 10000;
constexpr int32_t MaxQuickCrashes = 3;
constexpr int EndSignals[] = {SIGTERM, SIGINT, SIGHUP};
// How long a live X server may take to answer a connection setup.
constexpr int DisplayAnswerMs = 1000;

// Signals reach the supervisor's loop through this pipe, so the handler does nothing unsafe.
int SignalPipe[2] = {-1, -1};

void OnSignal(int signalNumber) {
  const int saved = errno;
  const unsigned char byte = static_cast<unsigned char>(signalNumber);
  [[maybe_unused]] const ssize_t written = write(SignalPipe[1], &byte, 1);
  errno = saved;
}

void SetHandlers(void (*handler)(int)) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART | SA_NOCLDSTOP;
  sigaction(SIGCHLD, &action, nullptr);
  for (const int signalNumber : EndSignals)
    sigaction(signalNumber, &action, nullptr);
}

void CloseSignalPipe() {
  for (int& fd : SignalPipe) {
    if (fd >= 0) close(fd);
    fd = -1;
  }
}

int64_t NowMs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

int ExitCodeOf(int waitStatus) {
  if (WIFEXITED(waitStatus)) return WEXITSTATUS(waitStatus);
  if (WIFSIGNALED(waitStatus)) return 128 + WTERMSIG(waitStatus);
  return 1;
}

// A server that is shutting down may still accept a connection, so the display counts as there
// only when it answers the X connection setup (success, refusal or a request to authenticate).
bool AnswersSetup(const std::string& path, bool abstract) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const size_t offset = abstract ? 1 : 0;
  if (path.size() + offset >= sizeof(address.sun_path)) return false;
  std::memcpy(address.sun_path + offset, path.data(), path.size());
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return true; // cannot tell: assume the display is there
  const socklen_t length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset + path.size());
  bool answered = false;
  if (connect(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0) {
    // Little-endian, protocol 11.0, no authorisation.
    const unsigned char setup[12] = {'l', 0, 11, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    pollfd reply{fd, POLLIN, 0};
    unsigned char status = 0xFF;
    answered = send(fd, setup, sizeof setup, MSG_NOSIGNAL) == static_cast<ssize_t>(sizeof setup) &&
               poll(&reply, 1, DisplayAnswerMs) == 1 && recv(fd, &status, 1, 0) == 1 && status <= 2;
  }
  close(fd);
  return answered;
}

// Waits for the player to end, reading its reports and passing on requests to stop.
int WaitForPlayer(pid_t player, int reportFd, BoardReports& reports) {
  pollfd fds[2] = {{SignalPipe[0], POLLIN, 0}, {reportFd, POLLIN, 0}};
  for (;;) {
    if (poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      // Without poll, plain waiting still keeps the player's end seen.
      int status = 0;
      while (waitpid(player, &status, 0) < 0 && errno == EINTR) {
      }
      return status;
    }
    if (fds[1].revents != 0) {
      char buffer[4096];
      const ssize_t got = read(reportFd, buffer, sizeof buffer);
      if (got > 0)
        reports.Feed(buffer, static_cast<size_t>(got));
      else if (got == 0 || errno != EINTR)
        fds[1].fd = -1; // the player closed its end (or lost it): stop listening
    }
    if (fds[0].revents != 0) {
      unsigned char signals[64];
      const ssize_t got = read(SignalPipe[0], signals, sizeof signals);
      for (ssize_t i = 0; i < got; ++i)
        if (signals[i] != SIGCHLD) kill(player, signals[i]);
      int status = 0;
      if (waitpid(player, &status, WNOHANG) == player) {
        // Reports written just before the end are still in the socket.
        if (fds[1].fd >= 0) {
          char buffer[4096];
          ssize_t rest;
          while ((rest = recv(reportFd, buffer, sizeof buffer, MSG_DONTWAIT)) > 0)
            reports.Feed(buffer, static_cast<size_t>(rest));
        }
        return status;
      }
    }
  }
}

const char* DescribeEnd(int waitStatus, char* buffer, size_t size) {
  if (WIFSIGNALED(waitStatus))
    std::snprintf(buffer, size, "senyal %d, %s", WTERMSIG(waitStatus), strsignal(WTERMSIG(waitStatus)));
  else
    std::snprintf(buffer, size, "codi de sortida %d", ExitCodeOf(waitStatus));
  return buffer;
}

} // namespace

std::string EncodeBoardReport(const ResumeBoards& boards) {
  std::string out;
  for (const auto& [letter, path] :
       {std::pair{'H', &boards.Home}, {'C', &boards.Current}, {'P', &boards.Previous}}) {
    out += letter;
    out += *path;
    out += '\0';
  }
  return out;
}

void BoardReports::Feed(const char* data, size_t size) {
  Partial.append(data, size);
  size_t start = 0;
  for (size_t end; (end = Partial.find('\0', start)) != std::string::npos; start = end + 1) {
    const std::string_view record(Partial.data() + start, end - start);
    if (record.empty()) continue;
    const std::string path(record.substr(1));
    switch (record[0]) {
    case 'H':
      Latest.Home = path;
      break;
    case 'C':
      Latest.Current = path;
      break;
    case 'P':
      Latest.Previous = path;
      break;
    default:
      continue; // an unknown record is skipped, not taken for a board
    }
    Received = true;
  }
  Partial.erase(0, start);
}

ResumeBoards BoardsToResume(const ResumeBoards& shown, int32_t quickCrashes) {
  if (quickCrashes < 2 || shown.Home.empty()) return shown;
  return {shown.Home, shown.Home, ""};
}

bool IsNormalEnd(int waitStatus) {
  if (WIFEXITED(waitStatus)) return WEXITSTATUS(waitStatus) == 0;
  if (!WIFSIGNALED(waitStatus)) return false;
  for (const int signalNumber : EndSignals)
    if (WTERMSIG(waitStatus) == signalNumber) return true;
  return false;
}

AfterEnd RestartPolicy::PlayerEnded(int waitStatus, int64_t ranMs, bool displayAlive) {
  if (IsNormalEnd(waitStatus) || !displayAlive) return AfterEnd::End;
  Quick = ranMs < QuickRunMs ? Quick + 1 : 0;
  return Quick >= MaxQuickCrashes ? AfterEnd::GiveUp : AfterEnd::Restart;
}

std::optional<std::string> DisplaySocketPath(const std::string& display) {
  const size_t colon = display.rfind(':');
  if (colon == std::string::npos) return std::nullopt;
  const std::string host = display.substr(0, colon);
  if (!host.empty() && host != "unix") return std::nullopt;
  const size_t dot = display.find('.', colon);
  const std::string number =
      display.substr(colon + 1, dot == std::string::npos ? std::string::npos : dot - colon - 1);
  if (number.empty() || number.size() > 9 || number.find_first_not_of("0123456789") != std::string::npos)
    return std::nullopt;
  return "/tmp/.X11-unix/X" + number;
}

bool DisplayAnswers() {
  const char* display = std::getenv("DISPLAY");
  if (display == nullptr || *display == '\0') return true;
  const std::optional<std::string> path = DisplaySocketPath(display);
  if (!path) return true;
  return AnswersSetup(*path, false) || AnswersSetup(*path, true);
}

// A player that exited by itself may have lost its display, and an X server that is shutting down can
// still answer for a moment: it must answer again a little later. A crash by signal is restarted at once.
static bool DisplayStaysUp(int waitStatus) {
  if (!DisplayAnswers()) return false;
  if (!WIFEXITED(waitStatus)) return true;
  ::usleep(300 * 1000);
  return DisplayAnswers();
}

SupervisedStart Supervise() {
  const char* off = std::getenv(NoSupervisorVariable);
  if (off != nullptr && std::strcmp(off, "1") == 0) return {};
  // Without its pipe the supervisor cannot work; the player then runs on its own.
  if (pipe2(SignalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return {};
  SetHandlers(OnSignal);
  RestartPolicy policy(MaxQuickCrashes, QuickRunMs);
  std::optional<ResumeBoards> resume;
  for (;;) {
    int report[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, report) != 0) report[0] = report[1] = -1;
    const int64_t started = NowMs();
    const pid_t player = fork();
    if (player <= 0) {
      // The player (or, when fork failed, this process running unsupervised).
      SetHandlers(SIG_DFL);
      CloseSignalPipe();
      if (player < 0) {
        if (report[0] >= 0) close(report[0]), close(report[1]);
        return {};
      }
      if (report[0] >= 0) close(report[0]);
      SupervisedStart start;
      start.ReportFd = report[1];
      start.Resume = resume;
      return start;
    }
    if (report[1] >= 0) close(report[1]);
    BoardReports reports;
    const int status = WaitForPlayer(player, report[0], reports);
    if (report[0] >= 0) close(report[0]);
    if (reports.Any()) resume = reports.Boards();
    const AfterEnd next =
        policy.PlayerEnded(status, NowMs() - started, IsNormalEnd(status) || DisplayStaysUp(status));
    char why[160];
    DescribeEnd(status, why, sizeof why);
    if (next == AfterEnd::End) {
      CloseSignalPipe();
      return {ExitCodeOf(status), -1, std::nullopt, 0};
    }
    if (next == AfterEnd::Restart) {
      if (resume) resume = BoardsToResume(*resume, policy.QuickCrashes());
      std::fprintf(stderr, "nexoquadrix: el programa s'ha aturat (%s); es torna a obrir.\n", why);
      continue;
    }
    std::fprintf(
        stderr,
        "nexoquadrix: el programa s'ha aturat %d vegades seguides en obrir-se (%s); no es torna a obrir.\n",
        policy.QuickCrashes(), why);
    const pid_t notice = fork();
    if (notice == 0) {
      SetHandlers(SIG_DFL);
      CloseSignalPipe();
      SupervisedStart start;
      start.GaveUpAfter = policy.QuickCrashes();
      return start;
    }
    if (notice > 0) {
      BoardReports none;
      WaitForPlayer(notice, -1, none);
    }
    CloseSignalPipe();
    return {ExitCodeOf(status), -1, std::nullopt, 0};
  }
}

} // namespace nq
