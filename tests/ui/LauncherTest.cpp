// Opening a document says whether a program took it, so the player can tell the user when none did.
#include <QCoreApplication>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "linux/QtLauncher.h"

namespace nq {
namespace {

struct OpenerCase {
  const char* Name;
  const char* Script; // body of the stand-in for the desktop's opener; nullptr: no opener at all
  bool Opened;
};

TEST(LauncherTest, OpenDocumentReportsWhetherAProgramTookIt) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "nq-ui-opener";
  const OpenerCase cases[] = {
      {"no program for the document", "exit 3", false},
      {"opener fails to start the program", "exit 4", false},
      {"program shown and opener done", "exit 0", true},
      {"opener waits for the program it started", "exec /bin/sleep 3", true},
  };
  const QByteArray path = qgetenv("PATH");
  for (const OpenerCase& c : cases) {
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const std::filesystem::path opener = folder / "xdg-open";
    std::ofstream(opener) << "#!/bin/sh\n" << c.Script << "\n";
    std::filesystem::permissions(opener, std::filesystem::perms::owner_all);
    qputenv("PATH", QByteArray::fromStdString(folder.string()));
    QtLauncher launcher;
    EXPECT_EQ(launcher.OpenDocument("/nowhere/tutorial/index.html"), c.Opened) << c.Name;
  }
  qputenv("PATH", path);
  std::filesystem::remove_all(folder);
}

} // namespace
} // namespace nq
