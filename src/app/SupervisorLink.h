#pragma once
// The player's side of the supervisor: shows again the boards a restarted player showed, then tells
// the supervisor every change of boards, so a crash brings the user back where they were, and that
// the UI thread still runs, so a hang does too.
#include <QElapsedTimer>
#include <QTimer>
#include <string>

#include "app/Supervisor.h"

namespace nq {

class Player;

class SupervisorLink {
public:
  /// Call after the start sequence; does nothing when the player runs unsupervised.
  SupervisorLink(Player& player, const SupervisedStart& start);
  ~SupervisorLink();
  SupervisorLink(const SupervisorLink&) = delete;
  SupervisorLink& operator=(const SupervisorLink&) = delete;

private:
  void Resume(const ResumeBoards& boards);
  void Report();

  Player& ThePlayer;
  int Fd;
  ResumeBoards Sent;
  std::string Pending;
  QElapsedTimer SinceSent;
  QTimer Poll;
};

/// The message of a process started only to say the player was given up; returns its exit code.
int ShowGiveUpNotice(int32_t crashes);

} // namespace nq
