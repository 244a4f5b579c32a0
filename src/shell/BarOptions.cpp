#include "shell/BarOptions.h"

#include "settings/SettingsKeys.h"

namespace nq {

void BarOptions::WriteBoardOption(std::string_view key, bool value) {
  if (Ctx.BoardOpen()) Ctx.File.WriteBoardFlag(std::string(SectionMenuOptions2), std::string(key), value);
}

void BarOptions::MenuVerBarraDeBotonesClick() {
  const bool shown = Ctx.Menu.Toggle("MenuVerBarraDeBotones");
  Ctx.State.View.ShowButtonBar = shown;
  Ctx.TheBoard.ShowButtonBar = shown;
  WriteBoardOption(KeyShowButtonBar, shown);
  Ctx.Layout.ArrangePanels();
}

void BarOptions::MenuVerBarraDeEscribirMensajeClick() {
  const bool shown = Ctx.Menu.Toggle("MenuVerBarraDeEscribirMensaje");
  Ctx.State.View.ShowMessageBar = shown;
  Ctx.TheBoard.ShowMessageBar = shown;
  WriteBoardOption(KeyShowMessageBar, shown);
  Ctx.Layout.ArrangePanels();
}

void BarOptions::MenuEscribirletrasOPalabrasClick() {
  const bool on = Ctx.Menu.Toggle("MenuEscribirletrasOPalabras");
  Ctx.State.View.WriteLettersOrWordsMode = on;
  Ctx.TheBoard.WriteOnlyLettersOrWords = on;
  if (Ctx.State.View.ShowMessageBar && on) Ctx.Window.FocusMessageMemo();
  WriteBoardOption(KeyWriteOnlyLettersOrWords, on);
  Ctx.Layout.LayoutCells();
}

void BarOptions::MenuEscriureTextALlegirClick() {
  const bool on = Ctx.Menu.Toggle("MenuEscriureTextALlegir");
  Ctx.TheBoard.EscriureTextALlegir = on;
  WriteBoardOption(KeyMenuEscriureTextALlegir, on);
}

void BarOptions::MenuSwapBarsClick() {
  const bool swapped = Ctx.Menu.Toggle("MenuSwapBars");
  Ctx.State.View.SwapBars = swapped;
  Ctx.Settings.WriteSettingYesNo(SectionMenuOptions, KeyMenuSwapBarsChecked, swapped);
  Ctx.Layout.ArrangePanels();
}

} // namespace nq
