#pragma once
// "<KEY_COMBINATION D17,D67,U67,U17>": a list of raw key presses and releases, written as a letter
// (D down, U up) and a Windows virtual-key code, separated by commas.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nq {

inline constexpr std::string_view KeyCombinationToken = "<KEY_COMBINATION";

struct RawKeyEvent {
  uint8_t VirtualKey = 0;
  bool Down = false;
  bool operator==(const RawKeyEvent&) const = default;
};

struct KeyCombinationList {
  /// The events to send, in order, up to the first item whose number is not an integer.
  std::vector<RawKeyEvent> Events;
  /// The text that failed to read as a number, when an item did; the events after it are dropped.
  std::optional<std::string> BadNumber;
};

/// The list between the token (and the blank after it) and the first ">" that follows it, from the
/// folded text; nothing when the text holds no token or no ">" after it.
std::optional<std::string> CutKeyCombinationList(std::string_view folded);

/// Reads the items of a list. Blanks around an item are ignored, empty items and items that start with
/// neither "D" nor "U" are skipped, the last item counts with or without its comma, and the low byte of
/// the number is the key (a key code 0 sends nothing).
KeyCombinationList ParseKeyCombinationList(std::string_view list);

/// The message for an item whose number does not read as an integer.
std::string NotAnIntegerMessage(std::string_view number);

} // namespace nq
