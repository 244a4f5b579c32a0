#include "actions/KeySequences.h"

#include <string_view>

#include "boards/GridLayout.h"
#include "boards/TBox.h"
#include "platform/Clipboard.h"
#include "platform/Clock.h"

namespace nq {
namespace {

// Lets the event loop run once (repaints, clipboard requests) before keys that depend on it.
constexpr int DispatchMs = 1;

enum class KeyAction { Press, Chord, ControlLetter, ControlShiftLetter, ToggleLatch };

struct NamedKey {
  std::string_view Token;
  KeyAction Action;
  VirtualKey First = VirtualKey::None;  // the key pressed, or the modifier of a chord
  VirtualKey Second = VirtualKey::None; // the key of a chord
  char Letter = 0;
  Latch Which = Latch::Shift;
};

constexpr VirtualKey F(int n) {
  return static_cast<VirtualKey>(static_cast<int>(VirtualKey::F1) + n - 1);
}

constexpr NamedKey Press(std::string_view token, VirtualKey key) {
  return {token, KeyAction::Press, key};
}
constexpr NamedKey Chord(std::string_view token, VirtualKey modifier, VirtualKey key) {
  return {token, KeyAction::Chord, modifier, key};
}
constexpr NamedKey Control(std::string_view token, char letter) {
  return {token, KeyAction::ControlLetter, VirtualKey::None, VirtualKey::None, letter};
}
constexpr NamedKey Toggle(std::string_view token, Latch latch) {
  return {token, KeyAction::ToggleLatch, VirtualKey::None, VirtualKey::None, 0, latch};
}

// Matched exactly, in this order, against the accent-folded special function.
constexpr NamedKey NamedKeys[] = {
    Press("<RETURN>", VirtualKey::Return),
    Press("<F1>", F(1)),
    Press("<F2>", F(2)),
    Press("<F3>", F(3)),
    Press("<F4>", F(4)),
    Press("<F5>", F(5)),
    Press("<F6>", F(6)),
    Press("<F7>", F(7)),
    Press("<F8>", F(8)),
    Press("<F9>", F(9)),
    Press("<F10>", F(10)),
    Press("<F11>", F(11)),
    Press("<F12>", F(12)),
    Press("<INSERT>", VirtualKey::Insert),
    Press("<TAB>", VirtualKey::Tab),
    Chord("<SHIFT F6>", VirtualKey::Shift, F(6)),
    Chord("<ALT F4>", VirtualKey::Alt, F(4)),
    Chord("<ALT LEFT>", VirtualKey::Alt, VirtualKey::Left),
    Chord("<ALT RIGHT>", VirtualKey::Alt, VirtualKey::Right),
    Chord("<ALT HOME>", VirtualKey::Alt, VirtualKey::Home),
    Chord("<SHIFT TAB>", VirtualKey::Shift, VirtualKey::Tab),
    Press("<AV.PAG.>", VirtualKey::PageDown),
    Press("<RE.PAG.>", VirtualKey::PageUp),
    Press("<ESQUERRA>", VirtualKey::Left),
    Press("<IZQUIERDA>", VirtualKey::Left),
    Press("<DRETA>", VirtualKey::Right),
    Press("<DERECHA>", VirtualKey::Right),
    Press("<PUJA>", VirtualKey::Up),
    Press("<SUBE>", VirtualKey::Up),
    Press("<BAIXA>", VirtualKey::Down),
    Press("<BAJA>", VirtualKey::Down),
    Press("<HOME>", VirtualKey::Home),
    Press("<END>", VirtualKey::End),
    Chord("<FI>", VirtualKey::Control, VirtualKey::End),
    Chord("<FIN>", VirtualKey::Control, VirtualKey::End),
    Chord("<INICI>", VirtualKey::Control, VirtualKey::Home),
    Chord("<INICIO>", VirtualKey::Control, VirtualKey::Home),
    Press("<ESC>", VirtualKey::Escape),
    Press("<DELETE>", VirtualKey::Delete),
    Press("<SPACE>", VirtualKey::Space),
    Press("<BACKSPACE>", VirtualKey::Backspace),
    Control("<CONTROL+C>", 'C'),
    Control("<CONTROL+V>", 'V'),
    Control("<CONTROL+Z>", 'Z'),
    Control("<CONTROL+O>", 'O'),
    Control("<CONTROL+A>", 'A'),
    {"<CONTROL+SHIFT+S>", KeyAction::ControlShiftLetter, VirtualKey::None, VirtualKey::None, 'S'},
    Toggle("<NEXO_KEY_SHIFT>", Latch::Shift),
    Toggle("<NEXO_KEY_CONTROL>", Latch::Control),
    Toggle("<NEXO_KEY_ALT>", Latch::Alt),
    Toggle("<NEXO_KEY_ALT_GR>", Latch::AltGr),
    Press("<NEXO_KEY_LWINDOW>", VirtualKey::LeftWindows),
    Press("<NEXO_KEY_RWINDOW>", VirtualKey::RightWindows),
    Press("<NEXO_KEY_CONTEXT_MENU>", VirtualKey::ContextMenu),
};

// The latches whose keys go round each sent key, in the order they go down.
constexpr std::pair<Latch, VirtualKey> HeldLatches[] = {
    {Latch::Control, VirtualKey::Control}, {Latch::Alt, VirtualKey::Alt}, {Latch::AltGr, VirtualKey::AltGr}};

} // namespace

KeySequences::KeySequences(KeySink& keys, KeyboardLayout& layout, Clipboard& clipboard, Clock& clock,
                           GridLayout& grid, const GridViewState& view)
    : Keys(keys), Layout(layout), TheClipboard(clipboard), TheClock(clock), Grid(grid), View(view) {}

void KeySequences::Down(VirtualKey key) {
  if (key == VirtualKey::None) return;
  uint8_t& holds = Holds[static_cast<uint8_t>(key)];
  if (holds == UINT8_MAX) return; // a board pressing one key down without end
  if (holds++ == 0) Keys.KeyDown(key);
}

void KeySequences::Up(VirtualKey key) {
  if (key == VirtualKey::None) return;
  uint8_t& holds = Holds[static_cast<uint8_t>(key)];
  if (holds == 0) return; // never pressed by us: nothing to release
  if (--holds == 0) Keys.KeyUp(key);
}

void KeySequences::Press(VirtualKey key) {
  Down(key);
  Up(key);
}

void KeySequences::Chord(VirtualKey modifier, VirtualKey key) {
  Down(modifier);
  Press(key);
  Up(modifier);
}

VirtualKey KeySequences::LetterKey(char letter) {
  const KeyScan scan = Layout.ScanCharacter(letter);
  // Letter keys keep their Windows code on every layout that lacks the letter itself.
  return scan.Found() ? scan.Key : static_cast<VirtualKey>(letter);
}

void KeySequences::ControlChord(char letter) {
  Chord(VirtualKey::Control, LetterKey(letter));
}

void KeySequences::LatchesDown() {
  for (const auto& [latch, key] : HeldLatches)
    if (Latched(latch)) Down(key);
}

void KeySequences::LatchesUp() {
  for (auto it = std::rbegin(HeldLatches); it != std::rend(HeldLatches); ++it)
    if (Latched(it->first)) Up(it->second);
}

void KeySequences::ToggleLatch(Latch latch) {
  bool& set = Latches[static_cast<size_t>(latch)];
  set = !set;
}

bool IsNamedKeyToken(std::string_view folded) {
  for (const NamedKey& named : NamedKeys)
    if (named.Token == folded) return true;
  return false;
}

bool KeySequences::SendNamedKey(const std::string& folded) {
  for (const NamedKey& named : NamedKeys) {
    if (named.Token != folded) continue;
    if (named.Action == KeyAction::ToggleLatch) {
      ToggleLatch(named.Which);
      return true;
    }
    LatchesDown();
    switch (named.Action) {
    case KeyAction::Press:
      Press(named.First);
      break;
    case KeyAction::Chord:
      Chord(named.First, named.Second);
      break;
    case KeyAction::ControlLetter:
      ControlChord(named.Letter);
      break;
    case KeyAction::ControlShiftLetter:
      Down(VirtualKey::Control);
      Chord(VirtualKey::Shift, LetterKey(named.Letter));
      Up(VirtualKey::Control);
      break;
    case KeyAction::ToggleLatch:
      break;
    }
    LatchesUp();
    return true;
  }
  return false;
}

bool KeySequences::AnyModifierLatched() const {
  for (bool set : Latches)
    if (set) return true;
  return false;
}

void KeySequences::ReleaseLatchedModifiers() {
  Latches = {};
}

void KeySequences::PasteIntoExternalWindow() {
  ControlChord('V');
}

void KeySequences::SendKeyEvent(uint8_t virtualKey, bool down) {
  const auto key = static_cast<VirtualKey>(virtualKey);
  if (down)
    Down(key);
  else
    Up(key);
}

bool KeySequences::TypeCharacter(char character, bool addShift) {
  const KeyScan scan = Layout.ScanCharacter(character);
  // A character outside the layout has no key a latched modifier could change.
  if (!scan.Found()) return Keys.TypeCharacterWithoutKey(character);
  // A latched Shift changes only characters that need no modifier of their own.
  const bool shift = scan.Shift || (addShift && !scan.NeedsModifier());
  LatchesDown();
  if (shift) Down(VirtualKey::Shift);
  if (scan.AltGr) Down(VirtualKey::AltGr);
  Press(scan.Key);
  if (scan.AltGr) Up(VirtualKey::AltGr);
  if (shift) Up(VirtualKey::Shift);
  LatchesUp();
  return true;
}

void KeySequences::PasteText(const std::string& text) {
  TheClipboard.CopyTextToClipboard(text);
  TheClock.WaitWithMessages(DispatchMs);
  PasteIntoExternalWindow();
}

void KeySequences::PasteCellPicture(const TBox& cell) {
  Grid.HoveredItem = NoItem;
  Grid.LayoutCells();
  TheClock.WaitWithMessages(DispatchMs);
  // Cells are placed in the board panel; the copy reads the window, so the panel's offset is added.
  const GridRect panel = Grid.Panels().Boxes;
  const int32_t left = panel.Left + cell.Left;
  const int32_t top = panel.Top + cell.Top;
  TheClipboard.CopyWindowAreaToClipboard(left, top, left + cell.Width, top + cell.Height);
  PasteIntoExternalWindow();
}

void KeySequences::TypeCellText(const TBox& cell, const std::string& text) {
  if (!View.WriteLettersOrWordsMode) {
    PasteCellPicture(cell);
    return;
  }
  // Nothing to type keeps the latches for the next cell.
  if (text.empty()) return;
  if (AnyModifierLatched()) {
    if (!TypeCharacter(text[0], Latched(Latch::Shift))) PasteText(text.substr(0, 1));
    TheClock.WaitWithMessages(LatchedCharacterWaitMs);
    ReleaseLatchedModifiers();
    return;
  }
  if (text.size() == 1 && TypeCharacter(text[0], false)) return;
  PasteText(text);
}

} // namespace nq
