#include "app/SupervisorLink.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QMessageBox>

#include "shell/Player.h"

namespace nq {

namespace {
// Often enough that a crash right after a change of boards still comes back on the new one.
constexpr int ReportIntervalMs = 200;
} // namespace

SupervisorLink::SupervisorLink(Player& player, const SupervisedStart& start)
    : ThePlayer(player), Fd(start.ReportFd) {
  if (start.Resume) Resume(*start.Resume);
  if (Fd < 0) return;
  SinceSent.start();
  QObject::connect(&Poll, &QTimer::timeout, [this] { Report(); });
  Poll.start(ReportIntervalMs);
  Report();
}

SupervisorLink::~SupervisorLink() {
  if (Fd >= 0) close(Fd);
}

void SupervisorLink::Resume(const ResumeBoards& boards) {
  ShellState& state = ThePlayer.MutableState();
  if (!boards.Current.empty() && boards.Current != state.CurrentBoardFile &&
      !ThePlayer.Boards().OpenBoard(boards.Current))
    return; // the board is gone or unreadable now: the start board stays
  if (!boards.Home.empty()) state.HomeBoardFile = boards.Home;
  state.PreviousBoardFile = boards.Previous;
}

void SupervisorLink::Report() {
  const ShellState& state = ThePlayer.State();
  const ResumeBoards now{state.HomeBoardFile, state.CurrentBoardFile, state.PreviousBoardFile};
  if (!(now == Sent)) {
    Pending += EncodeBoardReport(now);
    Sent = now;
  }
  // Sent from this timer, so it stops when the UI thread stops answering and the supervisor sees it.
  if (Pending.empty() && SinceSent.hasExpired(HeartbeatIntervalMs / 2)) Pending += HeartbeatRecord;
  // Never blocks and never raises SIGPIPE: a supervisor that is gone must not stop the player.
  while (!Pending.empty()) {
    const ssize_t sent = send(Fd, Pending.data(), Pending.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
    if (sent <= 0) break;
    Pending.erase(0, static_cast<size_t>(sent));
    SinceSent.start();
  }
}

int ShowGiveUpNotice(int32_t crashes) {
  QMessageBox box(
      QMessageBox::Critical, "NexoQuadrix: aturat",
      QString::fromUtf8("NexoQuadrix s'ha aturat %1 vegades seguides en obrir-se i no es torna a obrir.\n"
                        "Obriu-lo de nou; si torna a passar, proveu amb un altre tauler.")
          .arg(crashes));
  box.exec();
  return 0;
}

} // namespace nq
