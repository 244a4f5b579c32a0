// Opening a document says whether a program took it, so the player can tell the user when none did.
#include <signal.h>
#include <unistd.h>

#include <QCoreApplication>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "linux/QtLauncher.h"
#include "support/TempFolder.h"

namespace nq {
namespace {

struct OpenerCase {
  const char* Name;
  const char* Script; // body of the stand-in for the desktop's opener; nullptr: no opener at all
  bool Opened;
};

TEST(LauncherTest, OpenDocumentReportsWhetherAProgramTookIt) {
  const test::TempFolder temp;
  const std::filesystem::path folder = temp.Root();
  const OpenerCase cases[] = {
      {"no program for the document", "exit 3", false},
      {"opener fails to start the program", "exit 4", false},
      {"program shown and opener done", "exit 0", true},
      {"opener waits for the program it started", "exec /bin/sleep 3", true},
  };
  const QByteArray path = qgetenv("PATH");
  for (const OpenerCase& c : cases) {
    const std::filesystem::path opener = folder / "xdg-open";
    std::ofstream(opener) << "#!/bin/sh\n" << c.Script << "\n";
    std::filesystem::permissions(opener, std::filesystem::perms::owner_all);
    qputenv("PATH", QByteArray::fromStdString(folder.string()));
    QtLauncher launcher;
    EXPECT_EQ(launcher.OpenDocument("/nowhere/tutorial/index.html"), c.Opened) << c.Name;
  }
  qputenv("PATH", path);
}

// A talkative viewer must neither fill the player's memory nor die with it: the opener writes to the
// null device, in a session of its own, and is not the player's child once it stays busy.
TEST(LauncherTest, TheOpenerIsDetachedAndWritesToTheNullDevice) {
  const test::TempFolder temp;
  const std::filesystem::path folder = temp.Root();
  const std::filesystem::path opener = folder / "xdg-open";
  std::ofstream(opener) << "#!/bin/sh\n"
                        << "cd " << folder << "\n"
                        << "seen=$(readlink /proc/$$/fd/0 /proc/$$/fd/1 /proc/$$/fd/2; ps -o sid= -p $$)\n"
                        << "echo \"$seen\" > seen.tmp && mv seen.tmp seen.txt\n"
                        << "echo $$ > pid.txt\n"
                        << "exec sleep 30\n";
  std::filesystem::permissions(opener, std::filesystem::perms::owner_all);
  const QByteArray path = qgetenv("PATH");
  qputenv("PATH", QByteArray::fromStdString(folder.string()) + ":/usr/bin:/bin");
  QtLauncher launcher;
  EXPECT_TRUE(launcher.OpenDocument("/nowhere/tutorial/index.html"));
  qputenv("PATH", path);
  std::ifstream seen(folder / "seen.txt");
  std::string input, output, error;
  long session = 0;
  seen >> input >> output >> error >> session;
  EXPECT_EQ(input, "/dev/null");
  EXPECT_EQ(output, "/dev/null");
  EXPECT_EQ(error, "/dev/null");
  EXPECT_NE(session, static_cast<long>(getsid(0)));
  long pid = 0;
  std::ifstream(folder / "pid.txt") >> pid;
  ASSERT_GT(pid, 0);
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line) && line.rfind("PPid:", 0) != 0) {
  }
  EXPECT_NE(line, "PPid:\t" + std::to_string(getpid())) << "the opener is still the player's child";
  kill(static_cast<pid_t>(pid), SIGKILL);
}

} // namespace
} // namespace nq
