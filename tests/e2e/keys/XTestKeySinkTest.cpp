// The XTest key sink never leaves a key down or a spare key remapped, however the program ends:
// each case runs a child program that holds a key and then ends, and the X server is asked afterwards.
// Runs inside tests/e2e/session.sh.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QGuiApplication>
#include <csignal>
#include <cstdlib>
#include <filesystem>

#include "linux/XTestKeySink.h"
// After GoogleTest and Qt: Xlib's macros (None, Bool) would break their templates.
#include <X11/Xlib.h>
#include <X11/keysym.h>
#undef None

namespace nq {
namespace {

bool KeyDown(::Display* display, KeySym keysym) {
  char keys[32] = {};
  XQueryKeymap(display, keys);
  const KeyCode keycode = XKeysymToKeycode(display, keysym);
  return keycode != 0 && (keys[keycode / 8] & (1 << (keycode % 8))) != 0;
}

// Pipes of this process that a program it starts would inherit.
int PipesKeptOnExec() {
  int count = 0;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    std::error_code error;
    const std::string target = std::filesystem::read_symlink(entry.path(), error).string();
    const int fd = std::atoi(entry.path().filename().c_str());
    if (target.rfind("pipe:", 0) == 0 && (fcntl(fd, F_GETFD) & FD_CLOEXEC) == 0) ++count;
  }
  return count;
}

// How the child program ends after pressing Shift (or lending a spare key to "à").
enum class Ending { Terminate, Interrupt, HangUp, HangUpIgnored, Exit, ExitAfterSpareKey };

[[noreturn]] void Child(Ending ending) {
  int argc = 1;
  char name[] = "sink";
  char* argv[] = {name, nullptr};
  QGuiApplication app(argc, argv);
  // Started with nohup: the hang-up of the terminal must not end the program.
  if (ending == Ending::HangUpIgnored) std::signal(SIGHUP, SIG_IGN);
  const int inheritable = PipesKeptOnExec();
  auto* sink = new XTestKeySink;                 // never deleted: the program's end must release on its own
  if (PipesKeptOnExec() > inheritable) _exit(5); // programs started later would hold the sink's pipe
  auto* display = static_cast<::Display*>(nullptr);
  if (ending == Ending::ExitAfterSpareKey) {
    if (!sink->TypeCharacterWithoutKey('\xE0')) _exit(3);
    std::exit(0);
  }
  sink->KeyDown(VirtualKey::Shift);
  display = XOpenDisplay(nullptr);
  if (!display || !KeyDown(display, XK_Shift_L)) _exit(3); // the case would prove nothing
  switch (ending) {
  case Ending::Terminate:
    std::raise(SIGTERM);
    break;
  case Ending::Interrupt:
    std::raise(SIGINT);
    break;
  case Ending::HangUp:
    std::raise(SIGHUP);
    break;
  case Ending::HangUpIgnored:
    std::raise(SIGHUP);
    std::exit(0);
  default:
    std::exit(0);
  }
  sleep(10); // the release thread ends the program
  _exit(4);
}

struct EndCase {
  const char* Name;
  Ending How;
  int Signal; // 0: a normal exit with status 0
};

TEST(XTestKeySinkTest, NothingStaysDownOrRemappedWhateverEndsTheProgram) {
  ::Display* display = XOpenDisplay(nullptr);
  ASSERT_NE(display, nullptr) << "no X server";
  ASSERT_EQ(std::system("setxkbmap us"), 0);
  XSync(display, False);
  const EndCase cases[] = {{"SIGTERM", Ending::Terminate, SIGTERM},
                           {"SIGINT", Ending::Interrupt, SIGINT},
                           {"SIGHUP", Ending::HangUp, SIGHUP},
                           {"SIGHUP ignored, then exit", Ending::HangUpIgnored, 0},
                           {"exit", Ending::Exit, 0},
                           {"exit after a spare key", Ending::ExitAfterSpareKey, 0}};
  for (const EndCase& c : cases) {
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) Child(c.How);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    if (c.Signal != 0) {
      EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == c.Signal) << c.Name << " status " << status;
    } else {
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << c.Name << " status " << status;
    }
    // A fresh connection: Xlib keeps the keyboard map it read first.
    ::Display* now = XOpenDisplay(nullptr);
    ASSERT_NE(now, nullptr);
    EXPECT_FALSE(KeyDown(now, XK_Shift_L)) << c.Name;
    // The us layout has no key for "à": a spare key still lending it to the character would.
    EXPECT_EQ(XKeysymToKeycode(now, XK_agrave), 0) << c.Name;
    XCloseDisplay(now);
  }
  XCloseDisplay(display);
}

} // namespace
} // namespace nq
