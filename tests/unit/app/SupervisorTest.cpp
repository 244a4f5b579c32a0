// The supervisor's decisions: which ends bring the player back, when it gives up, how the boards
// the player reports survive being cut into arbitrary pieces, and which displays it can probe.
// Wait statuses come from real children that end as each case says.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "app/Supervisor.h"

namespace nq {
namespace {

// The status of a child that exits with code, or, for a negative code, is ended by that signal.
int RealStatus(int code) {
  const pid_t child = fork();
  if (child == 0) {
    const rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    if (code < 0) {
      signal(-code, SIG_DFL);
      raise(-code);
    }
    _exit(code);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return status;
}
int Exited(int code) {
  return RealStatus(code);
}
int Killed(int signalNumber) {
  return RealStatus(-signalNumber);
}

TEST(SupervisorTest, OnlyAbnormalEndsOnALiveDisplayRestart) {
  struct Case {
    const char* what;
    int status;
    bool displayAlive;
    AfterEnd expected;
  } cases[] = {
      {"closed by the user", Exited(0), true, AfterEnd::End},
      {"asked to stop", Killed(SIGTERM), true, AfterEnd::End},
      {"interrupted at a terminal", Killed(SIGINT), true, AfterEnd::End},
      {"session hung up", Killed(SIGHUP), true, AfterEnd::End},
      {"segmentation fault", Killed(SIGSEGV), true, AfterEnd::Restart},
      {"abort", Killed(SIGABRT), true, AfterEnd::Restart},
      {"out-of-memory killer", Killed(SIGKILL), true, AfterEnd::Restart},
      {"bus error", Killed(SIGBUS), true, AfterEnd::Restart},
      {"crash exit code", Exited(134), true, AfterEnd::Restart},
      {"display gone, toolkit exits 1", Exited(1), false, AfterEnd::End},
      {"display gone, killed", Killed(SIGKILL), false, AfterEnd::End},
  };
  for (const Case& c : cases) {
    RestartPolicy policy(3, 10000);
    EXPECT_EQ(policy.PlayerEnded(c.status, 60000, c.displayAlive), c.expected) << c.what;
  }
}

TEST(SupervisorTest, GivesUpAfterThreeQuickCrashesInARow) {
  RestartPolicy policy(3, 10000);
  EXPECT_EQ(policy.PlayerEnded(Killed(SIGSEGV), 500, true), AfterEnd::Restart);
  EXPECT_EQ(policy.PlayerEnded(Killed(SIGSEGV), 500, true), AfterEnd::Restart);
  EXPECT_EQ(policy.PlayerEnded(Killed(SIGSEGV), 500, true), AfterEnd::GiveUp);
  EXPECT_EQ(policy.QuickCrashes(), 3);
}

TEST(SupervisorTest, ALongRunClearsTheCountOfQuickCrashes) {
  RestartPolicy policy(3, 10000);
  EXPECT_EQ(policy.PlayerEnded(Killed(SIGSEGV), 500, true), AfterEnd::Restart);
  EXPECT_EQ(policy.PlayerEnded(Killed(SIGSEGV), 500, true), AfterEnd::Restart);
  // Hours of use between two crashes is not a crash loop.
  EXPECT_EQ(policy.PlayerEnded(Killed(SIGKILL), 3600000, true), AfterEnd::Restart);
  EXPECT_EQ(policy.PlayerEnded(Killed(SIGSEGV), 500, true), AfterEnd::Restart);
  EXPECT_EQ(policy.PlayerEnded(Killed(SIGSEGV), 500, true), AfterEnd::Restart);
  EXPECT_EQ(policy.PlayerEnded(Killed(SIGSEGV), 500, true), AfterEnd::GiveUp);
}

// Only a run longer than the limit clears the count; one of exactly the limit is still quick.
TEST(SupervisorTest, TheQuickRunLimitItselfIsStillQuick) {
  const int crash = Killed(SIGSEGV);
  for (const bool hung : {false, true}) {
    for (const auto& [ranMs, third] :
         {std::pair{int64_t{10000}, AfterEnd::GiveUp}, {10001, AfterEnd::Restart}}) {
      RestartPolicy policy(3, 10000);
      policy.PlayerEnded(crash, 0, true);
      policy.PlayerEnded(crash, 0, true);
      EXPECT_EQ(hung ? policy.PlayerHung(ranMs, true) : policy.PlayerEnded(crash, ranMs, true), third)
          << ranMs << (hung ? " hung" : " crashed");
    }
  }
}

TEST(SupervisorTest, AHungPlayerCountsAsACrashWhateverSignalEndedIt) {
  RestartPolicy policy(3, 10000);
  EXPECT_EQ(policy.PlayerHung(500, true), AfterEnd::Restart);
  EXPECT_EQ(policy.PlayerHung(500, true), AfterEnd::Restart);
  EXPECT_EQ(policy.PlayerHung(500, false), AfterEnd::End); // and the display went away meanwhile
  EXPECT_EQ(policy.PlayerHung(500, true), AfterEnd::GiveUp);
}

TEST(SupervisorTest, ANormalCloseAfterQuickCrashesStillEnds) {
  RestartPolicy policy(3, 10000);
  policy.PlayerEnded(Killed(SIGSEGV), 500, true);
  policy.PlayerEnded(Killed(SIGSEGV), 500, true);
  EXPECT_EQ(policy.PlayerEnded(Exited(0), 500, true), AfterEnd::End);
}

TEST(SupervisorTest, BoardReportsSurviveAnyCutAndOddBytes) {
  // Windows-1252 letters, blanks, a newline and a tab are all legal in a path.
  const ResumeBoards sent{"/b/inici.qdx", "/b/M\xE9s coses/men\xFA\t1\n.qdx", ""};
  // Heartbeats come between reports at any time.
  const std::string bytes = EncodeBoardReport({"/old/h.qdx", "/old/c.qdx", "/old/p.qdx"}) + HeartbeatRecord +
                            EncodeBoardReport(sent) + HeartbeatRecord;
  for (size_t piece = 1; piece <= bytes.size(); ++piece) {
    BoardReports reports;
    for (size_t at = 0; at < bytes.size(); at += piece)
      reports.Feed(bytes.data() + at, std::min(piece, bytes.size() - at));
    EXPECT_TRUE(reports.Any());
    EXPECT_EQ(reports.Boards(), sent) << "pieces of " << piece;
  }
}

TEST(SupervisorTest, IncompleteOrUnknownRecordsChangeNothing) {
  BoardReports reports;
  const std::string first = EncodeBoardReport({"/h.qdx", "/c.qdx", "/p.qdx"});
  reports.Feed(first.data(), first.size());
  const std::string noise = std::string("X/strange\0", 10) + std::string("\0", 1) + "C/cut-off";
  reports.Feed(noise.data(), noise.size());
  EXPECT_EQ(reports.Boards(), (ResumeBoards{"/h.qdx", "/c.qdx", "/p.qdx"}));

  BoardReports none;
  none.Feed("Cno-end", 7);
  EXPECT_FALSE(none.Any());
}

TEST(SupervisorTest, ASecondQuickCrashFallsBackToTheHomeBoard) {
  const ResumeBoards shown{"/b/inici.qdx", "/b/trencat.qdx", "/b/menjar.qdx"};
  EXPECT_EQ(BoardsToResume(shown, 0), shown); // a crash after a long run
  EXPECT_EQ(BoardsToResume(shown, 1), shown);
  EXPECT_EQ(BoardsToResume(shown, 2), (ResumeBoards{"/b/inici.qdx", "/b/inici.qdx", ""}));
  // Without a home board there is nothing else to try.
  const ResumeBoards noHome{"", "/b/trencat.qdx", ""};
  EXPECT_EQ(BoardsToResume(noHome, 2), noHome);
}

TEST(SupervisorTest, DisplayNamesMapToTheirLocalSockets) {
  struct Case {
    const char* display;
    std::optional<std::string> socket;
  } cases[] = {
      {":0", "/tmp/.X11-unix/X0"},
      {":12.0", "/tmp/.X11-unix/X12"},
      {"unix:3", "/tmp/.X11-unix/X3"},
      {"localhost:10.0", std::nullopt},
      {"host.example:0", std::nullopt},
      {"", std::nullopt},
      {":", std::nullopt},
      {":x", std::nullopt},
      {":1/../../etc", std::nullopt},
      {":99999999999999", std::nullopt},
  };
  for (const Case& c : cases)
    EXPECT_EQ(DisplaySocketPath(c.display), c.socket) << c.display;
}

} // namespace
} // namespace nq
