#include "exchange/LabelEmoji.h"

#include "text/Encoding.h"

namespace nq::exchange {
namespace {

constexpr char32_t Joiner = 0x200D;
constexpr char32_t EmojiPresentation = 0xFE0F;
constexpr char32_t Keycap = 0x20E3;

// A code point that is a pictograph on its own: the emoji blocks, and the older symbols that are
// emoji in text too (arrows, clocks, media buttons, Ⓜ, 〰), none of which Windows-1252 can hold.
bool IsPictograph(char32_t cp) {
  if ((cp >= 0x1F000 && cp <= 0x1FAFF) || (cp >= 0x2600 && cp <= 0x27BF) || (cp >= 0x2B00 && cp <= 0x2BFF))
    return true;
  static constexpr char32_t Ranges[][2] = {
      {0x203C, 0x203C}, {0x2049, 0x2049}, {0x2139, 0x2139}, {0x2194, 0x2199}, {0x21A9, 0x21AA},
      {0x231A, 0x231B}, {0x2328, 0x2328}, {0x23CF, 0x23CF}, {0x23E9, 0x23F3}, {0x23F8, 0x23FA},
      {0x24C2, 0x24C2}, {0x25AA, 0x25AB}, {0x25B6, 0x25B6}, {0x25C0, 0x25C0}, {0x25FB, 0x25FE},
      {0x2934, 0x2935}, {0x3030, 0x3030}, {0x303D, 0x303D}, {0x3297, 0x3297}, {0x3299, 0x3299}};
  for (const auto& range : Ranges)
    if (cp >= range[0] && cp <= range[1]) return true;
  return false;
}

// A character that is text alone and an emoji when the emoji selector or the keycap follows it:
// "©️", "™️", "1️⃣", "#⃣". Without them "Marca™" and "1" stay words.
bool IsEmojiWhenSelected(char32_t cp) {
  return cp == 0xA9 || cp == 0xAE || cp == 0x2122 || (cp >= '0' && cp <= '9') || cp == '#' || cp == '*';
}

// What continues an emoji: joiners, variation selectors, skin tones, keycaps and tags.
bool ContinuesEmoji(char32_t cp) {
  return cp == Joiner || cp == EmojiPresentation || cp == 0xFE0E || cp == Keycap ||
         (cp >= 0x1F3FB && cp <= 0x1F3FF) || (cp >= 0xE0020 && cp <= 0xE007F);
}

bool IsKeycapBase(char32_t cp) {
  return (cp >= '0' && cp <= '9') || cp == '#' || cp == '*';
}

// Whether the code point at i (after a character that is text alone) makes that character an emoji.
bool SelectsEmoji(char32_t previous, std::string_view label, size_t i) {
  if (i >= label.size()) return false;
  char32_t next = NextCodePoint(label, i);
  if (!IsKeycapBase(previous)) return next == EmojiPresentation || next == Keycap;
  if (next == EmojiPresentation && i < label.size()) next = NextCodePoint(label, i);
  return next == Keycap; // "1️" alone is a digit with a stray selector, not yet a keycap
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
    const bool starts = IsPictograph(cp) || (IsEmojiWhenSelected(cp) && SelectsEmoji(cp, label, i));
    if (starts || continues) {
      if (!continues && ++split.Count > 2) split.Others += ' ';
      (split.Count == 1 ? split.Emoji : split.Others) += bytes;
      openFlag = indicator && !(continues && openFlag);
      inEmoji = true;
      afterJoiner = cp == Joiner;
      continue;
    }
    inEmoji = false;
    afterJoiner = false;
    openFlag = false;
    // A selector, joiner or skin tone that follows no emoji is invisible in the label; in a caption
    // it would only become "?".
    if (!ContinuesEmoji(cp)) words += bytes;
  }
  // A label without emoji stays as it was written.
  if (split.Count == 0) {
    split.Words = std::move(words);
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
