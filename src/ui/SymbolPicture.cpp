#include "ui/SymbolPicture.h"

#include <fstream>
#include <sstream>

#include "ui/EmojiPicture.h"
#include "ui/QtPictureConverter.h"

namespace nq {

std::optional<std::string> DrawSymbolPicture(const std::string& pictureFileUtf8, const std::string& emojiUtf8,
                                             int side) {
  if (pictureFileUtf8.empty()) return emojiUtf8.empty() ? std::nullopt : DrawEmojiPng(emojiUtf8, side);
  std::ifstream in(pictureFileUtf8, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  if (!in) return std::nullopt;
  const bool svg =
      pictureFileUtf8.size() > 4 && pictureFileUtf8.compare(pictureFileUtf8.size() - 4, 4, ".svg") == 0;
  return QtPictureConverter().ToPng(bytes.str(), svg ? "image/svg+xml" : "", side);
}

} // namespace nq
