#include "tool/ToolSupport.h"

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

#include "text/Encoding.h"

namespace nq::tool {
namespace {

class IdleTimer : public Timer {
public:
  explicit IdleTimer(int interval) : IntervalMs(interval) {}
  void SetInterval(int ms) override { IntervalMs = ms; }
  int Interval() const override { return IntervalMs; }
  void SetEnabled(bool enabled) override { On = enabled; }
  bool Enabled() const override { return On; }
  void SetHandler(std::function<void()>) override {}

private:
  int IntervalMs;
  bool On = false;
};

} // namespace

int Usage(const std::string& message) {
  std::fprintf(stderr, "nexoquadrix-tool: %s\n", message.c_str());
  return 2;
}

std::string ProgramFolder() {
  char buffer[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (length <= 0) return ".";
  return std::filesystem::path(std::string(buffer, static_cast<size_t>(length))).parent_path().string();
}

TemporaryFolder::TemporaryFolder() {
  std::error_code error;
  std::filesystem::path base = std::filesystem::temp_directory_path(error);
  if (error) base = "/tmp";
  std::string pattern = (base / "nexoquadrix-tool.XXXXXX").string();
  if (mkdtemp(pattern.data())) Folder = pattern;
}

TemporaryFolder::~TemporaryFolder() {
  std::error_code error;
  if (!Folder.empty()) std::filesystem::remove_all(Folder, error);
}

void PrintingDialogs::ShowMessage(const std::string& text, MessageIcon, const std::string&) {
  Messages.push_back(text);
  if (Print) std::fprintf(stderr, "%s\n", Windows1252ToUtf8(text).c_str());
}

std::unique_ptr<Timer> NullClock::CreateTimer(int intervalMs) {
  return std::make_unique<IdleTimer>(intervalMs);
}

} // namespace nq::tool
