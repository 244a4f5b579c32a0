#pragma once
// The program settings applied at start and the menu toggles whose job is to flip an option and
// store it at once.
#include <functional>

#include "shell/ShellContext.h"

namespace nq {

class ProgramOptions {
public:
  explicit ProgramOptions(ShellContext& context) : Ctx(context) {}

  /// Applies the program settings and Quadrix.ini, once, before the first board opens.
  void LoadProgramSettings();

  void MenuMouseDownClick();
  void MenuMouseUpClick();
  void MenuSenseEscaneigVerticalClick();
  void MenuAlClicarNoIniciaPosicioMouseClick();
  void MenuSpeakClick();
  void MenuCaptionDownClick();
  void MenuEfecto3DClick();
  void MenuClicAutomaticALEstarEnUnacasellaClick();
  void MenuClicAutomaticAlEstarParatClick();
  void MenuNoPermeteClicksClick();
  // Auditory scanning.
  void MenuEscaneigAuditiuClick();
  void MenuEscaneigAuditiuAllargarPasClick();

  // Toggles owned by other components that the start-up runs (set by the Player).
  std::function<void()> NoMenuNoCaptionOn;
  std::function<void()> SwapBarsToggle;
  std::function<void()> CellCursorToggle;

private:
  void ReadMessageFont();
  void ReadScanPromptOptions();
  ShellContext& Ctx;
};

} // namespace nq
