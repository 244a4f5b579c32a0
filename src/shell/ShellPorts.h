#pragma once
// Narrow doors from the shell to the parts that come later (scanning, sound detectors, the
// external-window mode). The player calls them where the start-up and board opening must; until a
// part is wired, its door is empty and the call does nothing.
#include <string>

namespace nq {

class TBox;

class ScanControl {
public:
  virtual ~ScanControl() = default;
  /// Starts or stops the dwell click's timer (the option itself is already flipped and stored).
  virtual void SetDwellClick(bool on) = 0;
  /// Puts the scan back at its start for the board on screen.
  virtual void ResetScan() = 0;
  /// Stops any scanning mode and clears its highlights.
  virtual void StopScanning() = 0;
};

class SoundDetectorControl {
public:
  virtual ~SoundDetectorControl() = default;
  /// Stops both microphone detectors and releases their buffers (may wait while events run).
  virtual void StopSoundDetectors() = 0;
};

class ExternalWindowControl {
public:
  virtual ~ExternalWindowControl() = default;
  /// Switches the mode in which the window never takes the focus and types into other windows.
  virtual void SetExternalWindowMode(bool on) = 0;
};

class SpecialFunctionRunner {
public:
  virtual ~SpecialFunctionRunner() = default;
  /// Runs a cell's special-function text (a command token, a key token, a program to start...).
  virtual void RunSpecialFunction(const std::string& text) = 0;
};

class ExternalTyping {
public:
  virtual ~ExternalTyping() = default;
  /// Types a chosen cell into the foreground application: its text, or a picture of the cell.
  virtual void TypeCellText(const TBox& cell, const std::string& text) = 0;
};

// The memo of the message bar in the letters-or-words mode.
class MessageMemo {
public:
  virtual ~MessageMemo() = default;
  /// Inserts text at the caret, replacing any selection, as a paste would.
  virtual void PasteText(const std::string& text) = 0;
  /// The whole text of the memo (Windows-1252).
  virtual std::string Text() const = 0;
  /// Empties the memo.
  virtual void Clear() = 0;
};

// Saying a text, or playing it when it names a ".wav" file beside the board.
class SpeechOutput {
public:
  virtual ~SpeechOutput() = default;
  /// Plays or speaks the text and returns at once.
  virtual void SpeakOrPlay(const std::string& text) = 0;
  /// Plays or speaks the text and returns when it has ended (events keep running meanwhile).
  virtual void SpeakOrPlayAndWait(const std::string& text) = 0;
  /// Says a scan prompt quietly and returns at once. It never starts over a text given above (it waits
  /// behind it, or is dropped), and the next prompt or CutPrompt ends it.
  virtual void SpeakPrompt(const std::string& text) { (void)text; }
  /// Ends the prompt being said or waiting; a text given above is never cut.
  virtual void CutPrompt() {}
  /// True while a prompt is being said or waits its turn.
  virtual bool PromptSpeaking() { return false; }
};

} // namespace nq
