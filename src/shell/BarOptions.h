#pragma once
// The menu items that show, hide and swap the button bar and the message bar, and choose what a
// cell writes. Each board option is written back into the board on screen.
#include "shell/ShellContext.h"

namespace nq {

class BarOptions {
public:
  explicit BarOptions(ShellContext& context) : Ctx(context) {}

  void MenuVerBarraDeBotonesClick();
  void MenuVerBarraDeEscribirMensajeClick();
  void MenuEscribirletrasOPalabrasClick();
  void MenuEscriureTextALlegirClick();
  void MenuSwapBarsClick();

private:
  void WriteBoardOption(std::string_view key, bool value);
  ShellContext& Ctx;
};

} // namespace nq
