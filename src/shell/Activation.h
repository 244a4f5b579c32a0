#pragma once
// What choosing a grid cell does: speak it or play its sound, write it into the message cells, the
// memo or another program's window, run its special function and follow its link. Also the rest
// cell, which puts the whole board to sleep and wakes it, and the cell that keeps the scan in place.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "boards/CellBoxes.h"
#include "boards/GridLayout.h"
#include "platform/Clock.h"
#include "shell/BoardOpening.h"
#include "shell/MenuModel.h"
#include "shell/ShellPorts.h"
#include "shell/ShellState.h"
#include "shell/WindowView.h"
#include "speech/SoundOrSpeech.h"

namespace nq {

class Clipboard;

// The cell whose choice keeps scanning on it for one more step.
inline constexpr std::string_view StayInPlaceToken = "<NO HE DE CANVIAR DE LLOC>";
// How long after an activation the highlight follows the pointer again.
inline constexpr int BoxActionDelayMs = 200;
// How long the message bar shows its frame when a cell found it full.
inline constexpr int MessageBarFlashMs = 300;

/// The speech output over the player's sound-or-speech primitive.
class SoundOrSpeechOutput final : public SpeechOutput {
public:
  explicit SoundOrSpeechOutput(SoundOrSpeech& output) : Output(output) {}
  void SpeakOrPlay(const std::string& text) override { Output.SpeakOrPlay(text); }
  void SpeakOrPlayAndWait(const std::string& text) override { Output.SpeakOrPlayAndWait(text); }
  void SpeakPrompt(const std::string& text) override { Output.SpeakPrompt(text); }
  void CutPrompt() override { Output.CutPrompt(); }
  bool PromptSpeaking() override { return Output.PromptSpeaking(); }

private:
  SoundOrSpeech& Output;
};

// Parts wired later; an empty door skips its step.
struct ActivationDoors {
  SpeechOutput* Speech = nullptr;
  SpecialFunctionRunner* Functions = nullptr;
  ExternalTyping* Typing = nullptr;
  MessageMemo* Memo = nullptr;
  Clipboard* TheClipboard = nullptr;
};

class Activation {
public:
  Activation(ShellState& state, const MenuModel& menu, CellBoxes& boxes, GridLayout& layout,
             WindowView& window, Clock& clock, BoardOpening& boards);

  /// Does what choosing grid cell k of the board on screen does; any other number does nothing.
  void ActivateCell(int32_t k);

  /// The one-shot timer that lets the highlight follow the pointer after an activation.
  Timer& BoxActionTimer() { return *TimerBoxAction; }
  /// The one-shot timer that ends the message bar's flash.
  const Timer& FlashTimer() const { return *TimerFlash; }

  ActivationDoors Doors;

private:
  void TimerBoxActionTimer();
  void StartActivation();
  void ActHere(const TBox& cell, const TBox& liveBox, const std::string& text, bool stayInPlace);
  void PasteIntoMemo(const std::string& text);
  void AppendMessageCell(const TBox& cell);
  void FlashMessageBar(bool on);
  void FollowLink(std::string link, const std::string& specialFunction);
  void RunSpecialFunction(const std::string& text);

  ShellState& State;
  const MenuModel& Menu;
  CellBoxes& Boxes;
  GridLayout& Layout;
  WindowView& Window;
  BoardOpening& Boards;
  std::unique_ptr<Timer> TimerBoxAction;
  std::unique_ptr<Timer> TimerFlash;
};

/// Removes the first "#" of text; false when it has none.
bool RemoveFirstHash(std::string& text);

} // namespace nq
