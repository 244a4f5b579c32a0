// Opening a document says whether a program took it, so the player can tell the user when none did.
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QCoreApplication>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <vector>

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

// The opener is found only in full folders of the search path: an "xdg-open" in the working folder,
// reached through an empty, "." or relative entry, is someone else's program.
TEST(LauncherTest, TheOpenerIsNeverTakenFromTheWorkingFolderOrARelativeEntry) {
  const test::TempFolder temp;
  const std::filesystem::path folder = temp.Root();
  std::filesystem::create_directories(folder / "rel");
  for (const char* planted : {"xdg-open", "rel/xdg-open"}) {
    std::ofstream(folder / planted) << "#!/bin/sh\ntouch " << (folder / "planted-ran").string() << "\n";
    std::filesystem::permissions(folder / planted, std::filesystem::perms::owner_all);
  }
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(folder);
  const QByteArray path = qgetenv("PATH");
  for (const char* searchPath : {"", ":", ".", "rel", "rel:.::/nowhere"}) {
    qputenv("PATH", searchPath);
    QtLauncher launcher;
    EXPECT_FALSE(launcher.OpenDocument("/nowhere/a.txt")) << "PATH=" << searchPath;
  }
  qputenv("PATH", path);
  std::filesystem::current_path(before);
  EXPECT_FALSE(std::filesystem::exists(folder / "planted-ran"));
}

// A program a board starts gets nothing of the player: none of its open files, a session of its own,
// and it is not the player's child.
TEST(LauncherTest, AProgramStartedForABoardKeepsNoFileOfThePlayer) {
  const test::TempFolder temp;
  const std::filesystem::path folder = temp.Root();
  const std::filesystem::path secret = folder / "secret.txt";
  std::ofstream(secret) << "private";
  const int inherited = ::open(secret.c_str(), O_RDONLY); // without close-on-exec, as libraries leave some
  ASSERT_GE(inherited, 0);
  const std::string script = "cd '" + folder.string() + "'; readlink /proc/$$/fd/* > fds.tmp; " +
                             "ps -o sid=,ppid= -p $$ >> fds.tmp; mv fds.tmp fds.txt";
  QtLauncher launcher;
  EXPECT_TRUE(launcher.StartProgram("/bin/sh", {"-c", script}));
  ::close(inherited);
  for (int i = 0; i < 100 && !std::filesystem::exists(folder / "fds.txt"); ++i)
    usleep(50 * 1000);
  std::ifstream seen(folder / "fds.txt");
  std::vector<std::string> lines;
  for (std::string line; std::getline(seen, line);)
    lines.push_back(line);
  ASSERT_GE(lines.size(), 2U);
  long session = 0, parent = 0;
  std::istringstream(lines.back()) >> session >> parent;
  lines.pop_back();
  // (The shell's own redirection and saved descriptors are in the list too.)
  for (const std::string& line : lines)
    EXPECT_NE(line, secret.string()) << "the program keeps a file of the player open";
  EXPECT_NE(session, static_cast<long>(getsid(0)));
  EXPECT_NE(parent, static_cast<long>(getpid())) << "the program is the player's child";
  // A program that cannot start says so, so the player can try another or tell the user.
  EXPECT_FALSE(launcher.StartProgram((folder / "missing").string(), {}));
  EXPECT_FALSE(launcher.StartProgram(secret.string(), {})); // not executable
}

} // namespace
} // namespace nq
