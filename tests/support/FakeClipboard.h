#pragma once
// The clipboard as plain memory: what was copied reads back, picture copies are kept as rectangles,
// and, given an event log, each copy also lands there in order with the other fakes' events.
#include <string>
#include <vector>

#include "boards/GridTypes.h"
#include "platform/Clipboard.h"

namespace nq::test {

class FakeClipboard final : public Clipboard {
public:
  FakeClipboard() = default;
  explicit FakeClipboard(std::vector<std::string>& log) : Log(&log) {}

  std::string Text;
  std::vector<GridRect> Areas; // left, top, width, height of each picture copy

  void CopyTextToClipboard(const std::string& text) override {
    if (Log) Log->push_back("clip:=" + text);
    Text = text;
  }
  std::string ReadClipboardText() override { return Text; }
  void CopyWindowAreaToClipboard(int left, int top, int right, int bottom) override {
    if (Log) Log->push_back("clip:area");
    Areas.push_back({left, top, right - left, bottom - top});
  }

private:
  std::vector<std::string>* Log = nullptr;
};

} // namespace nq::test
