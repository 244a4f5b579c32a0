/* Loaded into the player with LD_PRELOAD by the recovery test: SIGUSR2 blocks the main thread, the
   one that runs the windows, for good, as a hang would, while every other thread runs on. */
#define _GNU_SOURCE
#include <signal.h>
#include <string.h>
#include <sys/syscall.h>
#include <unistd.h>

static void Block(int signalNumber) {
  if (syscall(SYS_gettid) != getpid()) { /* delivered to another thread: pass it to the main one */
    syscall(SYS_tgkill, getpid(), getpid(), signalNumber);
    return;
  }
  for (;;)
    pause();
}

__attribute__((constructor)) static void Install(void) {
  struct sigaction action;
  memset(&action, 0, sizeof action);
  action.sa_handler = Block;
  sigemptyset(&action.sa_mask);
  sigaction(SIGUSR2, &action, NULL);
}
