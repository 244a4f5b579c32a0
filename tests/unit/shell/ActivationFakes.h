#pragma once
// Recording fakes for cell activation and the button bar: speech, keys, clipboard, memo, special
// functions and external typing all write into one event log, so tests can check the order of what
// reached the outside world.
#include <functional>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "platform/KeySink.h"
#include "shell/ShellPorts.h"
#include "support/FakeClipboard.h"
#include "support/VirtualClock.h"

namespace nq::test {

using EventLog = std::vector<std::string>;

class RecordingSpeech final : public SpeechOutput {
public:
  explicit RecordingSpeech(EventLog& log) : Log(log) {}
  void SpeakOrPlay(const std::string& text) override {
    Log.push_back("say:" + text);
    if (OnSay) OnSay();
  }
  void SpeakOrPlayAndWait(const std::string& text) override {
    Log.push_back("say-wait:" + text);
    if (OnSayAndWait) OnSayAndWait();
  }
  EventLog& Log;
  std::function<void()> OnSay;        // runs inside SpeakOrPlay (events during speech)
  std::function<void()> OnSayAndWait; // runs inside SpeakOrPlayAndWait
};

class RecordingKeys final : public KeySink {
public:
  RecordingKeys(EventLog& log, FakeClipboard& clipboard) : Log(log), Board(clipboard) {}
  void KeyDown(VirtualKey key) override {
    Log.push_back(Name(key) + " down");
    if (key == VirtualKey::Control) ControlDown = true;
    if (ControlDown && key == CopyKey && !Selection.empty()) Board.Text = Selection;
  }
  void KeyUp(VirtualKey key) override {
    Log.push_back(Name(key) + " up");
    if (key == VirtualKey::Control) ControlDown = false;
  }
  VirtualKey KeyForCharacter(char character) override {
    return character == 'C' ? CopyKey : VirtualKey::None;
  }
  static std::string Name(VirtualKey key) {
    switch (key) {
    case VirtualKey::Backspace:
      return "Backspace";
    case VirtualKey::Shift:
      return "Shift";
    case VirtualKey::Control:
      return "Control";
    case VirtualKey::End:
      return "End";
    case VirtualKey::Home:
      return "Home";
    case VirtualKey::Left:
      return "Left";
    case VirtualKey::Delete:
      return "Delete";
    default:
      return key == CopyKey ? "C" : "key" + std::to_string(static_cast<int>(key));
    }
  }
  static constexpr VirtualKey CopyKey = static_cast<VirtualKey>(67);
  EventLog& Log;
  FakeClipboard& Board;
  std::string Selection; // what a copy would take from the focused window
  bool ControlDown = false;
};

class FakeMemo final : public MessageMemo {
public:
  explicit FakeMemo(EventLog& log) : Log(log) {}
  void PasteText(const std::string& text) override {
    Log.push_back("memo:+" + text);
    Contents += text;
  }
  std::string Text() const override { return Contents; }
  void Clear() override {
    Log.push_back("memo:clear");
    Contents.clear();
  }
  EventLog& Log;
  std::string Contents;
};

class RecordingFunctions final : public SpecialFunctionRunner {
public:
  explicit RecordingFunctions(EventLog& log) : Log(log) {}
  void RunSpecialFunction(const std::string& text) override {
    Log.push_back("fn:" + text);
    if (OnRun) OnRun(text);
  }
  EventLog& Log;
  std::function<void(const std::string&)> OnRun;
};

class RecordingTyping final : public ExternalTyping {
public:
  explicit RecordingTyping(EventLog& log) : Log(log) {}
  void TypeCellText(const TBox&, const std::string& text) override { Log.push_back("type:" + text); }
  EventLog& Log;
};

// Logs each wait, then lets the shared virtual clock run the timers that fall due inside it.
class LoggingClock final : public Clock {
public:
  LoggingClock(EventLog& log, VirtualClock& clock) : Log(log), Inner(clock) {}
  uint32_t TickCount() const override { return Inner.TickCount(); }
  std::unique_ptr<Timer> CreateTimer(int intervalMs) override { return Inner.CreateTimer(intervalMs); }
  void WaitWithMessages(int32_t milliseconds) override {
    Log.push_back("wait " + std::to_string(milliseconds));
    Inner.WaitWithMessages(milliseconds);
  }
  EventLog& Log;
  VirtualClock& Inner;
};

} // namespace nq::test
