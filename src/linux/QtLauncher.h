#pragma once
#include <functional>
#include <string>
#include <vector>

#include "platform/Launcher.h"

namespace nq {

// What the desktop's opener said in its first moments.
enum class OpenerStart : unsigned char {
  Failed,       // it could not start, or no program took the document
  Done,         // it handed the document to a program and ended
  StillRunning, // it is still busy (it may wait for the program it started): taken for a success
};

/// Starts opener with one argument in a session of its own, its input and output on the null device,
/// and not as the caller's child, so what it starts outlives the caller; waits up to answerMs for its
/// exit status, calling whileWaiting every few milliseconds meanwhile.
OpenerStart StartOpener(const std::string& opener, const std::string& argument, int answerMs,
                        const std::function<void()>& whileWaiting);

/// Starts program (a full path) with the arguments, never through a shell, the way StartOpener starts
/// the opener, without waiting for it; false when it could not be started.
bool StartDetached(const std::string& program, const std::vector<std::string>& arguments);

class QtLauncher : public Launcher {
public:
  bool StartProgram(const std::string& utf8Program, const std::vector<std::string>& utf8Arguments) override;
  bool OpenDocument(const std::string& utf8PathOrUrl) override;
};

} // namespace nq
