#pragma once
// Labels of boards from other AAC systems often carry an emoji beside their words ("🏠 Home"). Our
// captions are Windows-1252, where an emoji would become "?": the emoji is taken out of the words and
// can become the cell's picture instead.
#include <string>
#include <string_view>

namespace nq::exchange {

struct SplitLabel {
  std::string Words;  // the label without its emoji (blanks where they stood made single), UTF-8
  std::string Emoji;  // the first emoji of the label (with its joiners and modifiers); empty if none
  std::string Others; // the label's other emoji, a blank between each, for the import's report
  int Count = 0;      // how many emoji the label held
};

/// Separates a UTF-8 label into its words and its emoji.
SplitLabel SplitEmoji(std::string_view label);

} // namespace nq::exchange
