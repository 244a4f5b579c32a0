#pragma once
#include "platform/Launcher.h"

namespace nq {

class QtLauncher : public Launcher {
public:
  bool StartProgram(const std::string& utf8Program, const std::vector<std::string>& utf8Arguments) override;
  bool OpenDocument(const std::string& utf8PathOrUrl) override;
};

} // namespace nq
