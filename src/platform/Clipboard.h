#pragma once
#include <string>

namespace nq {

struct Image;

// The longest clipboard text the program hands over or reads back.
inline constexpr std::size_t MaxClipboardText = 65500;

class Clipboard {
public:
  virtual ~Clipboard() = default;
  /// Puts plain text (Windows-1252, cut to MaxClipboardText) on the clipboard.
  virtual void CopyTextToClipboard(const std::string& text) = 0;
  /// Returns the clipboard's plain text, at most MaxClipboardText characters; empty when there is none.
  virtual std::string ReadClipboardText() = 0;
  /// Puts a copy of a rectangle of the main window's client area on the clipboard as a picture.
  virtual void CopyWindowAreaToClipboard(int left, int top, int right, int bottom) = 0;
};

} // namespace nq
