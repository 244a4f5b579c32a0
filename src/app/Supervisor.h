#pragma once
// The supervisor: a small parent process, forked before the toolkit starts, that brings the player
// back when it dies abnormally (a crash, an abort, the out-of-memory killer) on the boards it showed.
// For the people who use the player it is their voice, so a crash must not leave them silent until
// someone else restarts it. A normal close, a request to stop or a display that went away ends it
// for good; a player that keeps crashing at once is given up with a message.
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

private:
  std::string Partial;
  ResumeBoards Latest;
  bool Received = false;
};

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
  int32_t QuickCrashes() const { return Quick; }

private:
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

/// Whether the X display in $DISPLAY still accepts connections (true when it cannot be told).
bool DisplayAnswers();

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
SupervisedStart Supervise();

} // namespace nq
