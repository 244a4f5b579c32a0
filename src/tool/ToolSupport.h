#pragma once
// Small pieces the tool's subcommands share.
#include <cstdio>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "platform/Dialogs.h"

namespace nq::tool {

/// Prints a usage or argument error and returns the usage exit status.
int Usage(const std::string& message);

/// The folder of the running tool (UTF-8, no trailing separator).
std::string ProgramFolder();

/// A fresh folder under the system's temporary folder, removed with everything in it at the end.
class TemporaryFolder {
public:
  TemporaryFolder();
  ~TemporaryFolder();
  const std::string& Path() const { return Folder; }

private:
  std::string Folder;
};

/// Boxes become lines on standard error; the file dialog is never shown. Messages are kept.
class PrintingDialogs : public Dialogs {
public:
  explicit PrintingDialogs(bool print = true) : Print(print) {}
  void ShowMessage(const std::string& text, MessageIcon, const std::string&) override;
  std::optional<std::string> ChooseFileToOpen(const std::string&, const std::string&, const std::string&,
                                              const std::string&, const std::string&) override {
    return std::nullopt;
  }
  std::vector<std::string> Messages; // Windows-1252

private:
  bool Print;
};

/// A clock whose timers never fire: the tool paints once and ends.
class NullClock : public Clock {
public:
  uint32_t TickCount() const override { return 0; }
  std::unique_ptr<Timer> CreateTimer(int intervalMs) override;
  void WaitWithMessages(int32_t) override {}
};

} // namespace nq::tool
