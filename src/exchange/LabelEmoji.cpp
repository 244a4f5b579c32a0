#include "exchange/LabelEmoji.h"

#include "text/Encoding.h"

namespace nq::exchange {
namespace {

// A code point that starts or is a pictograph.
bool IsPictograph(char32_t cp) {
  return (cp >= 0x1F000 && cp <= 0x1FAFF) || (cp >= 0x2600 && cp <= 0x27BF) || (cp >= 0x2B00 && cp <= 0x2BFF);
}

// What continues an emoji: joiners, variation selectors, skin tones, keycaps and tags.
bool ContinuesEmoji(char32_t cp) {
  return cp == 0x200D || cp == 0xFE0F || cp == 0xFE0E || cp == 0x20E3 || (cp >= 0x1F3FB && cp <= 0x1F3FF) ||
         (cp >= 0xE0020 && cp <= 0xE007F);
}

} // namespace

SplitLabel SplitEmoji(std::string_view label) {
  SplitLabel split;
  std::string words;
  bool afterJoiner = false;
  bool inEmoji = false;
  bool openFlag = false; // a regional indicator waiting for the second of its flag
  for (size_t i = 0; i < label.size();) {
    const size_t start = i;
    const char32_t cp = NextCodePoint(label, i);
    const std::string_view bytes = label.substr(start, i - start);
    const bool indicator = cp >= 0x1F1E6 && cp <= 0x1F1FF;
    // Two regional indicators make one flag.
    const bool continues = inEmoji && (ContinuesEmoji(cp) || afterJoiner || (indicator && openFlag));
    if (IsPictograph(cp) || continues) {
      if (!continues) ++split.Count;
      if (split.Count == 1) split.Emoji += bytes;
      openFlag = indicator && !(continues && openFlag);
      inEmoji = true;
      afterJoiner = cp == 0x200D;
      continue;
    }
    inEmoji = false;
    afterJoiner = false;
    openFlag = false;
    words += bytes;
  }
  // A label without emoji stays exactly as it was written.
  if (split.Count == 0) {
    split.Words = std::string(label);
    return split;
  }
  // Blanks the emoji stood between become one.
  for (char c : words) {
    const bool blank = c == ' ' || c == '\t';
    if (blank && (split.Words.empty() || split.Words.back() == ' ')) continue;
    split.Words += blank ? ' ' : c;
  }
  while (!split.Words.empty() && split.Words.back() == ' ')
    split.Words.pop_back();
  return split;
}

} // namespace nq::exchange
