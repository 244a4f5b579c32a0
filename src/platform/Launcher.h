#pragma once
#include <string>
#include <vector>

namespace nq {

class Launcher {
public:
  virtual ~Launcher() = default;
  /// Starts a program with an argument list (never through a shell); false when it could not start.
  virtual bool StartProgram(const std::string& utf8Program,
                            const std::vector<std::string>& utf8Arguments) = 0;
  /// Opens a document or address with the desktop's default application.
  virtual bool OpenDocument(const std::string& utf8PathOrUrl) = 0;
};

} // namespace nq
