#pragma once
// Keys typed into the application that has the focus: the named key tokens of the boards, the four
// one-shot modifier latches, pastes, and a chosen cell typed as text or as its picture.
//
// The Control, Alt and AltGr latches are state, not held keys: their keys go down just before each
// key the program sends and come up right after it, so nothing stays held whatever ends the program,
// and a window manager that moves windows on Alt+drag never takes the next click on the board.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/KeySink.h"
#include "platform/KeyboardLayout.h"

namespace nq {

class Clipboard;
class Clock;
class GridLayout;
class TBox;
struct GridViewState;

enum class Latch { Shift, Control, Alt, AltGr };

class KeySequences {
public:
  KeySequences(KeySink& keys, KeyboardLayout& layout, Clipboard& clipboard, Clock& clock, GridLayout& grid,
               const GridViewState& view);

  /// Sends the keys of a named key token (accent-folded text) and returns true; false, sending
  /// nothing, when the text is no key token.
  bool SendNamedKey(const std::string& folded);
  /// True while any of the four latches is set.
  bool AnyModifierLatched() const;
  bool Latched(Latch latch) const { return Latches[static_cast<size_t>(latch)]; }
  /// Clears all four latches.
  void ReleaseLatchedModifiers();
  /// Control+V into the focused application.
  void PasteIntoExternalWindow();
  /// Types a chosen cell: its picture (when cells are not typed as letters or words), else the first
  /// character under a latch, one character, or a longer text through the clipboard.
  void TypeCellText(const TBox& cell, const std::string& text);
  /// One raw key event, for key combinations spelled out by a board.
  void SendKeyEvent(uint8_t virtualKey, bool down);

private:
  void Down(VirtualKey key);
  void Up(VirtualKey key);
  void Press(VirtualKey key);
  void Chord(VirtualKey modifier, VirtualKey key);
  // The key of a capital letter, its shift state dropped.
  VirtualKey LetterKey(char letter);
  void ControlChord(char letter);
  void ToggleLatch(Latch latch);
  // Latched Control, Alt and AltGr go down before a sent key and up after it.
  void LatchesDown();
  void LatchesUp();
  // One character with the latched keys and the modifiers the layout needs for it (and Shift when
  // asked); false when no key of the layout types it and the sink could not type it either.
  bool TypeCharacter(char character, bool addShift);
  void PasteText(const std::string& text);
  void PasteCellPicture(const TBox& cell);

  KeySink& Keys;
  KeyboardLayout& Layout;
  Clipboard& TheClipboard;
  Clock& TheClock;
  GridLayout& Grid;
  const GridViewState& View;
  std::array<bool, 4> Latches{};
  // How many of the program's own presses hold each key now: a key already held by a latch is not
  // pressed again inside a chord, and goes up only when the last holder lets go.
  std::array<uint8_t, 256> Holds{};
};

/// True when SendNamedKey would take the text (accent-folded) as one of its key tokens.
bool IsNamedKeyToken(std::string_view folded);

/// How long a latched character stays with its modifiers before the latches clear.
inline constexpr int LatchedCharacterWaitMs = 100;

} // namespace nq
