#pragma once
// The supervisor: a small parent process, forked before the toolkit starts, that brings the player
// back when it dies abnormally (a crash, an abort, the out-of-memory killer) on the boards it showed.
// For the people who use the player it is their voice, so a crash must not leave them silent until
// someone else restarts it. A player whose UI thread stops answering (its heartbeat stops) is ended
// and started again the same way. A normal close, a request to stop or a display that went away ends
// it for good; a player that keeps crashing at once is given up with a message.
#include <cstdint>
#include <optional>
#include <string>

namespace nq {

// The boards the running player shows, as its state holds them (Windows-1252 paths).
struct ResumeBoards {
  std::string Home;
  std::string Current;
  std::string Previous;
  bool operator==(const ResumeBoards&) const = default;
};

/// The bytes the player sends its supervisor after a change of boards: one record per board, each a
/// letter (H, C, P), the path and a NUL, so any byte a path may hold passes unharmed.
std::string EncodeBoardReport(const ResumeBoards& boards);

// The supervisor's side of the report pipe: bytes come in arbitrary pieces; complete records win.
class BoardReports {
public:
  void Feed(const char* data, size_t size);
  const ResumeBoards& Boards() const { return Latest; }
  bool Any() const { return Received; }
  /// Every byte fed so far, heartbeats included: the player's signs of life.
  uint64_t BytesFed() const { return Fed; }

private:
  uint64_t Fed = 0;
  std::string Partial;
  ResumeBoards Latest;
  bool Received = false;
};

/// What the player sends at least every HeartbeatIntervalMs while its UI thread runs: an empty record,
/// which BoardReports skips.
inline constexpr char HeartbeatRecord = '\0';
inline constexpr int HeartbeatIntervalMs = 1000;

// What to do after the player ended.
enum class AfterEnd { End, Restart, GiveUp };

// Decides from each end of the player whether to bring it back. A crash soon after a start counts
// towards giving up; a run that lasted longer than QuickRunMs clears the count.
class RestartPolicy {
public:
  RestartPolicy(int32_t maxQuickCrashes, int64_t quickRunMs)
      : MaxQuickCrashes(maxQuickCrashes), QuickRunMs(quickRunMs) {}

  /// waitStatus as waitpid gives it; ranMs how long that run lasted; displayAlive whether the
  /// display still answers (without it a restarted player could not even show a window).
  AfterEnd PlayerEnded(int waitStatus, int64_t ranMs, bool displayAlive);
  /// A player that stopped answering and was ended for it: a crash, whatever signal ended it; ranMs
  /// counts up to its last sign of life.
  AfterEnd PlayerHung(int64_t ranMs, bool displayAlive);
  int32_t QuickCrashes() const { return Quick; }

private:
  AfterEnd Crashed(int64_t ranMs);

  int32_t MaxQuickCrashes;
  int64_t QuickRunMs;
  int32_t Quick = 0;
};

/// The boards a restarted player shows: those it showed, but after a second crash in a row at once
/// its home board instead, in case the board shown is what brings it down.
ResumeBoards BoardsToResume(const ResumeBoards& shown, int32_t quickCrashes);

/// True for the ways of ending that mean "stop" rather than "something broke": exit status 0 and
/// the signals a session or a person sends to end a program.
bool IsNormalEnd(int waitStatus);

/// The local socket of an X display name (":1", ":1.0", "unix:1"), or nothing for a remote
/// display or a name that is not an X display.
std::optional<std::string> DisplaySocketPath(const std::string& display);

/// Whether an X server listens on a local socket (abstract: in the abstract namespace) and answers
/// the connection setup within a second; a server that is shutting down may accept and stay silent.
bool AnswersSetup(const std::string& path, bool abstract);

/// Whether the X display in $DISPLAY still accepts connections (true when it cannot be told).
bool DisplayAnswers();

/// Whether the display is there for a restarted player: a player that exited by itself may have lost
/// its display, and a dying X server still answers for a moment, so it must answer again a little
/// later; after a crash by signal one answer is enough.
bool DisplayStaysUp(int waitStatus);

// How long the supervisor waits for signs of life.
struct WatchTimes {
  int64_t HungAfterMs = 10000; // a running player silent this long is hung
  int64_t ClosingMs = 5000;    // a player that said goodbye and is still there this long is stuck
  int64_t GraceMs = 2000;      // between asking a stuck player to end (SIGTERM) and SIGKILL
};

// How the player's run ended, as WaitForPlayer saw it.
enum class Ending {
  ByItself, // it ended (or was ended by a signal from outside) while it answered
  Hung,     // its UI thread stopped answering: ended by the supervisor
  Stuck,    // it closed its link (a normal close) but did not end: ended by the supervisor
};
struct PlayerEnd {
  int Status = 0; // as waitpid gives it
  Ending How = Ending::ByItself;
  int64_t LastSignMs = -1; // monotonic milliseconds of its last sign of life; -1 for none
};

/// Routes SIGCHLD, and those of SIGTERM, SIGINT and SIGHUP that were not ignored (nohup), into a pipe
/// that WaitForPlayer reads, remembering what the process inherited; false when it cannot.
bool StartSignalRelay();
/// Gives the process back the signal dispositions StartSignalRelay found and closes the pipe.
void StopSignalRelay();

/// Waits for the player to end, feeding its reports to reports and passing the relayed stop signals
/// on to it. Once it has sent anything, a player silent for HungAfterMs is ended; one that closed its
/// end of the link (reportFd, -1 for none) is ended after ClosingMs.
PlayerEnd WaitForPlayer(int player, int reportFd, BoardReports& reports, const WatchTimes& times);

/// Monotonic milliseconds, as LastSignMs counts them.
int64_t SupervisorNowMs();

// What Supervise() hands the process that goes on to be the player.
struct SupervisedStart {
  std::optional<int> ExitCode;        // set in the supervisor once it is done: main returns it
  int ReportFd = -1;                  // where the player reports its boards; -1 when unsupervised
  std::optional<ResumeBoards> Resume; // set in a restarted player: the boards to show again
  int32_t GaveUpAfter = 0;            // > 0: this process only tells the user the player was given up
};

/// Environment variable that turns the supervisor off (for tests and debugging): "1".
inline constexpr const char* NoSupervisorVariable = "NEXOQUADRIX_NO_SUPERVISOR";

/// Call first in main, before the toolkit starts (no threads yet, so forking is safe). Returns in
/// the player process with what it needs to know; in the supervisor only when it is done.
SupervisedStart Supervise(const WatchTimes& times = {});

} // namespace nq
