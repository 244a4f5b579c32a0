// The supervisor with real processes: how it waits for a player (reports read to the last byte, stop
// signals passed on, ignored signals left ignored, a silent or stuck player ended), which displays
// count as there, and whole runs of Supervise with players that crash, hang or close.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <thread>
#include <vector>

#include "app/Supervisor.h"

namespace nq {
namespace {

// Short enough for tests, long enough that a busy machine does not make a live player look hung.
constexpr WatchTimes Fast{600, 300, 300};

void Send(int fd, const std::string& bytes) {
  [[maybe_unused]] const ssize_t sent = send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
}
void Heartbeat(int fd) {
  Send(fd, std::string(1, HeartbeatRecord));
}
[[noreturn]] void Hang() {
  for (;;)
    pause();
}

// A player process that runs body with its end of the link, then exits with status 0; returns its
// pid and sets link to the supervisor's end.
pid_t StartPlayer(const std::function<void(int)>& body, int& link) {
  int pair[2];
  EXPECT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair), 0);
  const pid_t pid = fork();
  if (pid == 0) {
    StopSignalRelay();
    close(pair[0]);
    body(pair[1]);
    _exit(0);
  }
  close(pair[1]);
  link = pair[0];
  return pid;
}

const ResumeBoards Shown{"/b/inici.qdx", "/b/menjar.qdx", "/b/inici.qdx"};

struct PlayerCase {
  const char* Name;
  std::function<void(int)> Player;
  Ending How;
  int Signal;            // what ended it; 0 for a normal exit
  bool Reported = false; // it sent Shown
};

TEST(WaitForPlayerTest, OnlyAPlayerThatFellSilentOrStuckIsEnded) {
  const PlayerCase cases[] = {
      {"reports, then an exit at once", [](int fd) { Send(fd, EncodeBoardReport(Shown)); }, Ending::ByItself,
       0, true},
      {"asks its supervisor to stop",
       [](int) {
         kill(getppid(), SIGTERM);
         Hang();
       },
       Ending::ByItself, SIGTERM},
      // Starting up can take long: no sign of life yet is no hang.
      {"silent from the start", [](int) { usleep(1500 * 1000); }, Ending::ByItself, 0},
      {"heartbeats, then an exit",
       [](int fd) {
         for (int i = 0; i < 30; ++i, usleep(50 * 1000))
           Heartbeat(fd);
       },
       Ending::ByItself, 0},
      {"heartbeat, then silence",
       [](int fd) {
         Heartbeat(fd);
         Hang();
       },
       Ending::Hung, SIGTERM},
      {"deaf to SIGTERM",
       [](int fd) {
         signal(SIGTERM, SIG_IGN);
         Heartbeat(fd);
         Hang();
       },
       Ending::Hung, SIGKILL},
      // Still a stop asked from outside, not a hang to recover from.
      {"asked to stop, deaf to it",
       [](int fd) {
         signal(SIGTERM, SIG_IGN);
         Heartbeat(fd);
         kill(getppid(), SIGTERM);
         Hang();
       },
       Ending::ByItself, SIGKILL},
      {"closed its link, never ended",
       [](int fd) {
         Heartbeat(fd);
         close(fd);
         Hang();
       },
       Ending::Stuck, SIGTERM},
  };
  ASSERT_TRUE(StartSignalRelay());
  for (const PlayerCase& c : cases) {
    int link = -1;
    const pid_t player = StartPlayer(c.Player, link);
    BoardReports reports;
    const int64_t started = SupervisorNowMs();
    const PlayerEnd end = WaitForPlayer(player, link, reports, Fast);
    close(link);
    EXPECT_EQ(end.How, c.How) << c.Name;
    const bool endedAsExpected = c.Signal == 0 ? WIFEXITED(end.Status) && WEXITSTATUS(end.Status) == 0
                                               : WIFSIGNALED(end.Status) && WTERMSIG(end.Status) == c.Signal;
    EXPECT_TRUE(endedAsExpected) << c.Name << ": status " << end.Status;
    // The player was heard once, right at its start.
    if (c.How == Ending::Hung) {
      EXPECT_LT(end.LastSignMs - started, Fast.HungAfterMs) << c.Name;
    }
    // Reports written just before the end are still read.
    EXPECT_EQ(reports.Boards(), c.Reported ? Shown : ResumeBoards{}) << c.Name;
  }
  StopSignalRelay();
}

TEST(SignalRelayTest, SignalsIgnoredAtStartStayIgnoredForSupervisorAndPlayer) {
  struct sigaction saved[2];
  sigaction(SIGHUP, nullptr, &saved[0]);
  sigaction(SIGTERM, nullptr, &saved[1]);
  signal(SIGHUP, SIG_IGN); // as nohup leaves it
  signal(SIGTERM, SIG_DFL);
  ASSERT_TRUE(StartSignalRelay());
  struct sigaction now {};
  sigaction(SIGHUP, nullptr, &now);
  EXPECT_EQ(now.sa_handler, SIG_IGN);
  sigaction(SIGTERM, nullptr, &now);
  EXPECT_NE(now.sa_handler, SIG_DFL); // relayed to the player
  StopSignalRelay();
  sigaction(SIGHUP, nullptr, &now);
  EXPECT_EQ(now.sa_handler, SIG_IGN);
  sigaction(SIGTERM, nullptr, &now);
  EXPECT_EQ(now.sa_handler, SIG_DFL);
  sigaction(SIGHUP, &saved[0], nullptr);
  sigaction(SIGTERM, &saved[1], nullptr);
}

// A stand-in X server on a local socket that answers each connection setup with a status byte, or
// says nothing (Silent), or hangs up (HangUp); it stops listening after the given number of answers.
class FakeXServer {
public:
  static constexpr int Silent = -1;
  static constexpr int HangUp = -2;

  FakeXServer(const std::string& name, bool abstract, int reply, int answers = INT_MAX) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const size_t offset = abstract ? 1 : 0;
    name.copy(address.sun_path + offset, name.size());
    Listener = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset + name.size());
    Listening =
        bind(Listener, reinterpret_cast<sockaddr*>(&address), length) == 0 && listen(Listener, 4) == 0;
    if (pipe(Stop) != 0) Stop[0] = Stop[1] = -1;
    Serving = std::thread([this, reply, answers] { Serve(reply, answers); });
  }
  ~FakeXServer() {
    [[maybe_unused]] const ssize_t written = write(Stop[1], "x", 1);
    Serving.join();
    for (const int fd : {Listener, Stop[0], Stop[1]})
      if (fd >= 0) close(fd);
    for (const int fd : Held)
      close(fd);
  }
  bool Listening = false;

private:
  void Serve(int reply, int answers) {
    for (int served = 0; served < answers; ++served) {
      pollfd fds[2] = {{Listener, POLLIN, 0}, {Stop[0], POLLIN, 0}};
      if (poll(fds, 2, -1) <= 0 || fds[1].revents != 0) return;
      const int client = accept4(Listener, nullptr, nullptr, SOCK_CLOEXEC);
      unsigned char setup[12];
      if (client < 0 || recv(client, setup, sizeof setup, MSG_WAITALL) != sizeof setup) return;
      // Gone right after its last answer, before anyone can ask again.
      if (served + 1 == answers) StopListening();
      if (reply >= 0) {
        const unsigned char byte = static_cast<unsigned char>(reply);
        [[maybe_unused]] const ssize_t sent = send(client, &byte, 1, MSG_NOSIGNAL);
      }
      if (reply == HangUp)
        close(client);
      else
        Held.push_back(client);
    }
    StopListening();
  }
  void StopListening() {
    if (Listener >= 0) close(Listener);
    Listener = -1;
  }
  int Listener = -1;
  int Stop[2] = {-1, -1};
  std::vector<int> Held;
  std::thread Serving;
};

TEST(DisplayProbeTest, OnlyAServerThatAnswersTheSetupCounts) {
  const std::string path = std::filesystem::temp_directory_path() / ("nq-x-" + std::to_string(getpid()));
  struct Case {
    const char* Name;
    int Reply;
    bool Answers;
  } cases[] = {
      {"accepted", 1, true},
      {"refused", 0, true},
      {"asks to authenticate", 2, true},
      {"not an X server", 'H', false},
      {"silent", FakeXServer::Silent, false},
      {"hangs up", FakeXServer::HangUp, false},
  };
  for (const bool abstract : {false, true}) {
    for (const Case& c : cases) {
      std::filesystem::remove(path);
      FakeXServer server(path, abstract, c.Reply);
      ASSERT_TRUE(server.Listening);
      EXPECT_EQ(AnswersSetup(path, abstract), c.Answers) << c.Name << (abstract ? " (abstract)" : "");
      // The same name in the other namespace is another socket, where nobody listens.
      EXPECT_FALSE(AnswersSetup(path, !abstract)) << c.Name;
    }
  }
  std::filesystem::remove(path);
}

TEST(DisplayProbeTest, APlayerThatExitedNeedsTheDisplayToAnswerTwice) {
  // An abstract socket under the name of display :N, as X servers also listen on.
  int number = 6000 + getpid() % 3000;
  while (std::filesystem::exists("/tmp/.X11-unix/X" + std::to_string(number)))
    ++number;
  const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
  const char* saved = std::getenv("DISPLAY");
  const std::string savedDisplay = saved ? saved : "";
  setenv("DISPLAY", (":" + std::to_string(number)).c_str(), 1);
  const int exited = W_EXITCODE(1, 0); // as the toolkit exits when its display goes
  const int crashed = W_EXITCODE(0, SIGSEGV);
  struct Case {
    const char* Name;
    int Answers; // connections the server answers before it goes
    int Status;
    bool Up;
  } cases[] = {
      {"exited, display stays", INT_MAX, exited, true},
      {"exited, display dying", 1, exited, false},
      {"crashed, display answers", 1, crashed, true},
      {"crashed, display gone", 0, crashed, false},
  };
  for (const Case& c : cases) {
    FakeXServer server(socket, true, 1, c.Answers);
    ASSERT_TRUE(server.Listening);
    EXPECT_EQ(DisplayStaysUp(c.Status), c.Up) << c.Name;
  }
  if (saved)
    setenv("DISPLAY", savedDisplay.c_str(), 1);
  else
    unsetenv("DISPLAY");
}

// Runs Supervise in a child of the test as main() does; each player run is player(start, story).
// Returns the supervisor's exit status; story gets what the players and the notice wrote.
int RunSupervised(const std::function<void(const SupervisedStart&, int)>& player, std::string& story) {
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return -1;
  const pid_t supervisor = fork();
  if (supervisor == 0) {
    close(pipeFds[0]);
    unsetenv("DISPLAY"); // no display to probe: it counts as there
    unsetenv(NoSupervisorVariable);
    const SupervisedStart start = Supervise(Fast);
    if (start.ExitCode) _exit(*start.ExitCode);
    if (start.GaveUpAfter > 0) {
      dprintf(pipeFds[1], "given up after %d\n", start.GaveUpAfter);
      _exit(0);
    }
    player(start, pipeFds[1]);
    _exit(0);
  }
  close(pipeFds[1]);
  char buffer[512];
  for (ssize_t got; (got = read(pipeFds[0], buffer, sizeof buffer)) > 0;)
    story.append(buffer, static_cast<size_t>(got));
  close(pipeFds[0]);
  int status = 0;
  waitpid(supervisor, &status, 0);
  return status;
}

TEST(SuperviseTest, AHungPlayerComesBackOnItsBoard) {
  std::string story;
  const int status = RunSupervised(
      [](const SupervisedStart& start, int out) {
        if (!start.Resume) {
          Send(start.ReportFd, EncodeBoardReport({"/b/inici.qdx", "/b/menjar.qdx", ""}));
          Hang();
        }
        dprintf(out, "back on %s\n", start.Resume->Current.c_str());
      },
      story);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_EQ(story, "back on /b/menjar.qdx\n");
}

TEST(SuperviseTest, APlayerStuckClosingIsEndedAndNotBroughtBack) {
  std::string story;
  const int status = RunSupervised(
      [](const SupervisedStart& start, int out) {
        dprintf(out, "run\n");
        Heartbeat(start.ReportFd);
        close(start.ReportFd); // the link goes first when the player closes
        Hang();
      },
      story);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_EQ(story, "run\n");
}

TEST(SuperviseTest, APlayerCrashingAtOnceIsGivenUpOnTheThirdTime) {
  std::string story;
  const int status = RunSupervised(
      [](const SupervisedStart&, int out) {
        dprintf(out, "run\n");
        raise(SIGKILL);
      },
      story);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 128 + SIGKILL) << status;
  EXPECT_EQ(story, "run\nrun\nrun\ngiven up after 3\n");
}

} // namespace
} // namespace nq
