#pragma once
// Quiet stand-ins for the back ends a player needs when the UI tests paint it off screen.
#include <optional>
#include <string>
#include <vector>

#include "platform/Dialogs.h"
#include "platform/Launcher.h"

namespace nq::test {

class SilentDialogs : public Dialogs {
public:
  void ShowMessage(const std::string&, MessageIcon, const std::string&) override {}
  std::optional<std::string> ChooseFileToOpen(const std::string&, const std::string&, const std::string&,
                                              const std::string&, const std::string&) override {
    return std::nullopt;
  }
};

class NoLauncher : public Launcher {
public:
  bool StartProgram(const std::string&, const std::vector<std::string>&) override { return false; }
  bool OpenDocument(const std::string&) override { return false; }
};

} // namespace nq::test
