#pragma once
// A key sink that records what it is sent, and a keyboard layout given as a table, for the tests of
// everything that types into another window.
#include <map>
#include <string>
#include <vector>

#include "platform/KeySink.h"
#include "platform/KeyboardLayout.h"

namespace nq::test {

class RecordingKeySink final : public KeySink {
public:
  // "17d", "17u": key code and direction, in the order sent.
  std::vector<std::string> Events;
  std::string TypedWithoutKey;
  bool CanTypeWithoutKey = false;

  void KeyDown(VirtualKey key) override { Events.push_back(std::to_string(static_cast<int>(key)) + "d"); }
  void KeyUp(VirtualKey key) override { Events.push_back(std::to_string(static_cast<int>(key)) + "u"); }
  VirtualKey KeyForCharacter(char c) override {
    return c >= 'a' && c <= 'z' ? static_cast<VirtualKey>(c - 'a' + 'A') : static_cast<VirtualKey>(c);
  }
  bool TypeCharacterWithoutKey(char c) override {
    if (CanTypeWithoutKey) TypedWithoutKey += c;
    return CanTypeWithoutKey;
  }
};

// A Spanish-like layout: letters and digits plain (capitals with Shift), "?" with Shift, "@" and the euro
// sign with AltGr, accented vowels on dead keys only (no key).
class TableLayout final : public KeyboardLayout {
public:
  std::map<char, KeyScan> Extra{
      {'?', {static_cast<VirtualKey>(219), true, false}},
      {'@', {static_cast<VirtualKey>('2'), false, true}},
      {'\x80', {static_cast<VirtualKey>('E'), false, true}},
      {' ', {VirtualKey::Space, false, false}},
  };
  KeyScan ScanCharacter(char c) override {
    if (c >= 'a' && c <= 'z') return {static_cast<VirtualKey>(c - 'a' + 'A'), false, false};
    if (c >= 'A' && c <= 'Z') return {static_cast<VirtualKey>(c), true, false};
    if (c >= '0' && c <= '9') return {static_cast<VirtualKey>(c), false, false};
    auto it = Extra.find(c);
    return it == Extra.end() ? KeyScan{} : it->second;
  }
};

} // namespace nq::test
