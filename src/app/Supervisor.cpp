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
#include <iterator>

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
constexpr int RelayedSignals[] = {SIGCHLD, SIGTERM, SIGINT, SIGHUP};
// What the process inherited for each relayed signal, given back to the player.
struct sigaction Inherited[std::size(RelayedSignals)];

void OnSignal(int signalNumber) {
  const int saved = errno;
  const unsigned char byte = static_cast<unsigned char>(signalNumber);
  [[maybe_unused]] const ssize_t written = write(SignalPipe[1], &byte, 1);
  errno = saved;
}

void CloseSignalPipe() {
  for (int& fd : SignalPipe) {
    if (fd >= 0) close(fd);
    fd = -1;
  }
}

int ExitCodeOf(int waitStatus) {
  if (WIFEXITED(waitStatus)) return WEXITSTATUS(waitStatus);
  if (WIFSIGNALED(waitStatus)) return 128 + WTERMSIG(waitStatus);
  return 1;
}

// Reads what the player sent; false once it closed its end (or the socket broke).
bool ReadReports(int fd, BoardReports& reports) {
  char buffer[4096];
  for (;;) {
    const ssize_t got = recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
    if (got > 0) {
      reports.Feed(buffer, static_cast<size_t>(got));
      continue;
    }
    if (got < 0 && errno == EINTR) continue;
    return got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
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
  Fed += size;
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
  return Crashed(ranMs);
}

AfterEnd RestartPolicy::PlayerHung(int64_t ranMs, bool displayAlive) {
  return displayAlive ? Crashed(ranMs) : AfterEnd::End;
}

AfterEnd RestartPolicy::Crashed(int64_t ranMs) {
  Quick = ranMs > QuickRunMs ? 0 : Quick + 1;
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

int64_t SupervisorNowMs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
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

bool DisplayAnswers() {
  const char* display = std::getenv("DISPLAY");
  if (display == nullptr || *display == '\0') return true;
  const std::optional<std::string> path = DisplaySocketPath(display);
  if (!path) return true;
  return AnswersSetup(*path, false) || AnswersSetup(*path, true);
}

bool DisplayStaysUp(int waitStatus) {
  if (!DisplayAnswers()) return false;
  if (!WIFEXITED(waitStatus)) return true;
  ::usleep(300 * 1000);
  return DisplayAnswers();
}

bool StartSignalRelay() {
  if (pipe2(SignalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return false;
  struct sigaction relay {};
  relay.sa_handler = OnSignal;
  sigemptyset(&relay.sa_mask);
  relay.sa_flags = SA_RESTART | SA_NOCLDSTOP;
  for (size_t i = 0; i < std::size(RelayedSignals); ++i) {
    sigaction(RelayedSignals[i], nullptr, &Inherited[i]);
    // Started with nohup, a hang-up must reach neither the supervisor nor the player.
    if (RelayedSignals[i] != SIGCHLD && Inherited[i].sa_handler == SIG_IGN) continue;
    sigaction(RelayedSignals[i], &relay, nullptr);
  }
  return true;
}

void StopSignalRelay() {
  for (size_t i = 0; i < std::size(RelayedSignals); ++i)
    sigaction(RelayedSignals[i], &Inherited[i], nullptr);
  CloseSignalPipe();
}

namespace {

// The watch over one run of the player: what it did last, and what the supervisor did about it.
struct Watch {
  const WatchTimes& Times;
  pid_t Player;
  PlayerEnd End;
  bool Linked = true;      // the player's end of the link is open
  int64_t ClosedAt = -1;   // when it closed it
  int64_t AskedToEnd = -1; // when it was sent SIGTERM for hanging
  bool Killed = false;
  bool StopRequested = false;

  // Milliseconds until the next deadline, -1 for none; acts on a deadline that has passed.
  int Step(int64_t now) {
    if (AskedToEnd >= 0) {
      if (Killed) return -1;
      if (now - AskedToEnd >= Times.GraceMs) {
        kill(Player, SIGKILL);
        Killed = true;
        return -1;
      }
      return static_cast<int>(AskedToEnd + Times.GraceMs - now);
    }
    int64_t deadline = -1;
    Ending why = Ending::ByItself;
    if (!Linked && ClosedAt >= 0) {
      deadline = ClosedAt + Times.ClosingMs;
      why = Ending::Stuck;
    } else if (Linked && End.LastSignMs >= 0) {
      deadline = End.LastSignMs + Times.HungAfterMs;
      why = Ending::Hung;
    }
    if (deadline < 0) return -1;
    if (now < deadline) return static_cast<int>(deadline - now);
    // SIGTERM first: the key sink lets go of held keys from a thread of its own before the end.
    End.How = why;
    kill(Player, SIGTERM);
    AskedToEnd = now;
    return static_cast<int>(Times.GraceMs);
  }
};

} // namespace

PlayerEnd WaitForPlayer(int player, int reportFd, BoardReports& reports, const WatchTimes& times) {
  Watch watch{times, player, {}};
  watch.Linked = reportFd >= 0;
  pollfd fds[2] = {{SignalPipe[0], POLLIN, 0}, {reportFd, POLLIN, 0}};
  for (;;) {
    const int timeout = watch.Step(SupervisorNowMs());
    const int ready = poll(fds, 2, timeout);
    if (ready < 0 && errno != EINTR) {
      // Without poll, plain waiting still keeps the player's end seen.
      while (waitpid(player, &watch.End.Status, 0) < 0 && errno == EINTR) {
      }
      return watch.End;
    }
    if (ready > 0 && fds[1].revents != 0) {
      const uint64_t before = reports.BytesFed();
      watch.Linked = ReadReports(reportFd, reports);
      if (reports.BytesFed() != before) watch.End.LastSignMs = SupervisorNowMs();
      if (!watch.Linked) {
        fds[1].fd = -1; // the player closed its end: it is closing, or gone
        watch.ClosedAt = SupervisorNowMs();
      }
    }
    if (ready > 0 && fds[0].revents != 0) {
      unsigned char signals[64];
      const ssize_t got = read(SignalPipe[0], signals, sizeof signals);
      for (ssize_t i = 0; i < got; ++i) {
        if (signals[i] == SIGCHLD) continue;
        kill(player, signals[i]);
        watch.StopRequested = true;
      }
    }
    if (waitpid(player, &watch.End.Status, WNOHANG) == player) {
      // Reports written just before the end are still in the socket.
      if (fds[1].fd >= 0) ReadReports(reportFd, reports);
      // A stop asked from outside while the supervisor was ending the player is still a stop.
      if (watch.StopRequested) watch.End.How = Ending::ByItself;
      return watch.End;
    }
  }
}

SupervisedStart Supervise(const WatchTimes& times) {
  const char* off = std::getenv(NoSupervisorVariable);
  if (off != nullptr && std::strcmp(off, "1") == 0) return {};
  // Without its pipe the supervisor cannot work; the player then runs on its own.
  if (!StartSignalRelay()) return {};
  RestartPolicy policy(MaxQuickCrashes, QuickRunMs);
  std::optional<ResumeBoards> resume;
  for (;;) {
    int report[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, report) != 0) report[0] = report[1] = -1;
    const int64_t started = SupervisorNowMs();
    const pid_t player = fork();
    if (player <= 0) {
      // The player (or, when fork failed, this process running unsupervised).
      StopSignalRelay();
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
    const PlayerEnd end = WaitForPlayer(player, report[0], reports, times);
    if (report[0] >= 0) close(report[0]);
    if (reports.Any()) resume = reports.Boards();
    char why[160];
    DescribeEnd(end.Status, why, sizeof why);
    AfterEnd next = AfterEnd::End;
    if (end.How == Ending::Hung) {
      std::fprintf(stderr, "nexoquadrix: el programa no responia (%s).\n", why);
      next = policy.PlayerHung(end.LastSignMs - started, DisplayAnswers());
    } else if (end.How == Ending::Stuck) {
      // The user closed it; only its last steps hung.
      std::fprintf(stderr, "nexoquadrix: el programa no acabava de tancar-se (%s).\n", why);
      StopSignalRelay();
      return {0, -1, std::nullopt, 0};
    } else {
      next = policy.PlayerEnded(end.Status, SupervisorNowMs() - started,
                                IsNormalEnd(end.Status) || DisplayStaysUp(end.Status));
    }
    if (next == AfterEnd::End) {
      StopSignalRelay();
      return {ExitCodeOf(end.Status), -1, std::nullopt, 0};
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
      StopSignalRelay();
      SupervisedStart start;
      start.GaveUpAfter = policy.QuickCrashes();
      return start;
    }
    if (notice > 0) {
      BoardReports none;
      WaitForPlayer(notice, -1, none, times);
    }
    StopSignalRelay();
    return {ExitCodeOf(end.Status), -1, std::nullopt, 0};
  }
}

} // namespace nq
