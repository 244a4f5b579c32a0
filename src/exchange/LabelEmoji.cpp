#include "exchange/LabelEmoji.h"

namespace nq::exchange {
namespace {

// The code point at text[i] and its length in bytes (1 for bytes that are not UTF-8).
char32_t Decode(std::string_view text, size_t i, size_t& length) {
  const auto byte = static_cast<unsigned char>(text[i]);
  length = byte < 0x80 ? 1 : (byte >> 5) == 0x6 ? 2 : (byte >> 4) == 0xE ? 3 : (byte >> 3) == 0x1E ? 4 : 1;
  if (length == 1 || i + length > text.size()) {
    length = 1;
    return byte;
  }
  char32_t cp = byte & (0x7F >> length);
  for (size_t k = 1; k < length; ++k)
    cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
  return cp;
}

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
    size_t length = 0;
    const char32_t cp = Decode(label, i, length);
    const std::string_view bytes = label.substr(i, length);
    i += length;
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
