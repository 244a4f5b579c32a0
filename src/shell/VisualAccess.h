#pragma once
// The visual access options of "Opciones": the dwell progress bar and the low-vision highlight (ring
// width, colour, inverted cell). Each is stored in the program settings at once and restored at start;
// all are off by default, so boards look and behave as they always did.
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "shell/DwellProgress.h"
#include "shell/ShellContext.h"

namespace nq {

class VisualAccessOptions {
public:
  VisualAccessOptions(ShellContext& context, DwellProgress& progress) : Ctx(context), Progress(progress) {}

  /// Applies the stored options, once at start.
  void LoadVisualAccessSettings();
  /// The handlers of this block's menu items, by item name.
  std::vector<std::pair<std::string, std::function<void()>>> MenuHandlers();

  void MenuProgresoClicAutomaticoClick();
  void MenuInvertirResaltadoClick();
  /// Width 0 keeps the board's frame; 1..20 pixels otherwise.
  void SetHighlightWidth(int32_t width);
  void SetHighlightColour(int32_t colour);

private:
  void ShowHighlightStyle();

  ShellContext& Ctx;
  DwellProgress& Progress;
};

} // namespace nq
