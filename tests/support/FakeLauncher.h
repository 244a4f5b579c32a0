#pragma once
// Programs and documents the core asked to start, recorded; whether they start is the test's choice.
#include <string>
#include <vector>

#include "platform/Launcher.h"

namespace nq::test {

class FakeLauncher final : public Launcher {
public:
  explicit FakeLauncher(bool works = true) : Starts(works), Opens(works) {}
  bool Starts; // false: no program starts
  bool Opens;  // false: no program can show documents
  std::vector<std::string> Started;
  std::vector<std::string> Opened;

  bool StartProgram(const std::string& program, const std::vector<std::string>&) override {
    Started.push_back(program);
    return Starts;
  }
  bool OpenDocument(const std::string& path) override {
    Opened.push_back(path);
    return Opens;
  }
};

} // namespace nq::test
