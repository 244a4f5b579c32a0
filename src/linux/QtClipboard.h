#pragma once
#include <QWidget>
#include <functional>

#include "platform/Clipboard.h"
#include "platform/Dialogs.h"

namespace nq {

class QtClipboard : public Clipboard {
public:
  /// window gives the widget whose client area CopyWindowAreaToClipboard copies.
  QtClipboard(std::function<QWidget*()> window, Dialogs& dialogs);
  void CopyTextToClipboard(const std::string& text) override;
  std::string ReadClipboardText() override;
  void CopyWindowAreaToClipboard(int left, int top, int right, int bottom) override;

private:
  std::function<QWidget*()> Window;
  Dialogs& Boxes;
};

} // namespace nq
