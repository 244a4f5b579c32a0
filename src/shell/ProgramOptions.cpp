#include "shell/ProgramOptions.h"

#include "settings/SettingsKeys.h"

namespace nq {
namespace {

// Quadrix.ini value by the lenient rule, or fallback when outside low..high.
int32_t LenientInRange(const SettingsStore& settings, std::string_view section, std::string_view key,
                       std::string_view def, int32_t low, int32_t high, int32_t fallback) {
  const int32_t value = ParseLenientNumber(settings.ReadSharedText(section, key, def));
  return value < low || value > high ? fallback : value;
}

int32_t StrictInRange(const SettingsStore& settings, std::string_view section, std::string_view key,
                      std::string_view def, int32_t low, int32_t high, int32_t fallback) {
  const std::optional<int32_t> value = ParseStrictNumber(settings.ReadSharedText(section, key, def));
  return !value || *value < low || *value > high ? fallback : *value;
}

} // namespace

void ProgramOptions::LoadProgramSettings() {
  SettingsStore& s = Ctx.Settings;
  ShellState& state = Ctx.State;
  if (s.ReadSettingInteger(SectionMenuControl, KeyTypeMouseDown, DefaultTypeMouseDown) != 0)
    MenuMouseDownClick();
  if (s.ReadSettingYes(SectionMenuControl, KeyMenuSenseEscaneigVerticalChecked, NoText)) {
    Ctx.Menu.SetChecked("MenuSenseEscaneigVertical", true);
    state.LinearScanning = true;
  }
  if (s.ReadSettingYes(SectionMenuControl, KeyMenuAlClicarNoIniciaPosicioMouseChecked, NoText)) {
    Ctx.Menu.SetChecked("MenuAlClicarNoIniciaPosicioMouse", true);
    state.KeepPlace = true;
  }
  if (s.ReadSettingFlag(SectionMenuControl, KeyMenuClicAutomaticAlEstarParatChecked, false))
    MenuClicAutomaticAlEstarParatClick();
  if (s.ReadSettingFlag(SectionMenuControl, KeyMenuClicAutomaticALEstarEnUnacasellaChecked, false))
    MenuClicAutomaticALEstarEnUnacasellaClick();
  if (s.ReadSettingFlag(SectionMenuControl, KeyMenuNoPermeteClicksChecked, false)) {
    Ctx.Menu.SetChecked("MenuNoPermeteClicks", true);
    state.NoClicks = true;
  }
  // Only the exact text "NO" switches speech off.
  if (s.ReadSettingText(SectionMenuOptions, KeyMenuSpeakChecked, YesText) == NoText) MenuSpeakClick();
  // The user's own menu and caption first: the external-window mode hides them only while it lasts.
  const bool noMenu = s.ReadSettingYes(SectionMenuOptions, KeyNoMenuNoCaption, NoText);
  if (noMenu && NoMenuNoCaptionOn) NoMenuNoCaptionOn();
  if (s.ReadSettingYes(SectionMenuOptions, KeyNonFocusable, NoText)) {
    if (Ctx.ExternalWindow)
      Ctx.ExternalWindow->SetExternalWindowMode(true);
    else if (!noMenu && NoMenuNoCaptionOn)
      NoMenuNoCaptionOn(); // until the external-window mode is wired, its hiding still applies
  }
  if (s.ReadSettingYes(SectionMenuOptions, KeyMenuSwapBarsChecked, NoText) && SwapBarsToggle)
    SwapBarsToggle();
  if (s.ReadSettingYes(SectionMenuOptions, KeyMenuCaptionDownChecked, NoText)) MenuCaptionDownClick();
  if (!s.ReadSettingFlag(SectionMenuOptions, KeyMenuEfecto3DChecked, DefaultMenuEfecto3DChecked)) {
    Ctx.Menu.SetChecked("MenuEfecto3D", false);
    state.View.Efecto3D = false;
  }
  if (s.ReadSettingFlag(SectionMenuOptions, KeyMenuTreureElCursorEnElsPlafonsChecked, false) &&
      CellCursorToggle)
    CellCursorToggle();
  ReadScanPromptOptions();

  const int32_t height = s.ReadSettingInteger(SectionPanelMesageBar, KeyHeight, DefaultMessageBarHeight);
  state.View.MessageBarHeight = height <= 100 ? DefaultMessageBarHeight : height;
  Ctx.Menu.SetVisible("MenuClicAutomaticAlEstarParat", false);
  Ctx.Menu.SetVisible("MenuBMPiPNGMesQualitat", false);

  state.ScanStepMs = LenientInRange(s, SectionQuadrix, KeyDecimesScan, DefaultDecimesScan, 1, 100, 15) * 100;
  state.View.VisibleMessageCells =
      LenientInRange(s, SectionQuadrix, KeyNumeroFitxesMissatges, DefaultNumeroFitxesMissatges, 1, 21, 6);
  const int32_t dwell = ParseLenientNumber(s.ReadSharedText(SectionQuadrix, KeyMilisegonsClicAutomatic, "0"));
  state.DwellTickMs = dwell > 0 ? dwell : 1000;
  // A dwell click restored above is already running: it takes the interval read now.
  if (state.DwellClick && Ctx.Scan) Ctx.Scan->SetDwellClick(true);
  state.View.FrameThickness = StrictInRange(s, SectionMarc, KeyGruixudaria, DefaultGruixudaria, 1, 100, 2);
  state.View.CellSeparation =
      StrictInRange(s, SectionMarc, KeySeparacioEntreCaselles, DefaultSeparacioEntreCaselles, 0, 100, 2);
  ReadMessageFont();
  Ctx.Layout.ArrangePanels();
}

void ProgramOptions::ReadMessageFont() {
  const SettingsStore& s = Ctx.Settings;
  FontSpec& font = Ctx.State.MessageFont;
  // A value that is not a number keeps the font's previous value for that field.
  auto integer = [&](std::string_view key, int32_t current) {
    const std::optional<int32_t> value =
        ParseStrictNumber(s.ReadSharedText(SectionFontMissatge, key, DefaultFontMissatgeValue));
    return value ? *value : current;
  };
  font.Charset = static_cast<uint8_t>(integer(KeyFontCharset, font.Charset));
  font.Colour = integer(KeyFontColor, font.Colour);
  font.Height = integer(KeyFontHeight, font.Height);
  font.Name = s.ReadSharedText(SectionFontMissatge, KeyFontName, DefaultFontMissatgeValue);
  font.Size = integer(KeyFontSize, font.Size);
  if (s.ReadSharedAccentedYes(SectionFontMissatge, KeyFontNegreta, DefaultFontMissatgeValue)) {
    // Bold replaces the style; the others add to it.
    font.Bold = true;
    font.Italic = font.Underline = font.StrikeOut = false;
  }
  if (s.ReadSharedAccentedYes(SectionFontMissatge, KeyFontItalica, DefaultFontMissatgeValue))
    font.Italic = true;
  if (s.ReadSharedAccentedYes(SectionFontMissatge, KeyFontSubrratllat, DefaultFontMissatgeValue))
    font.Underline = true;
  if (s.ReadSharedAccentedYes(SectionFontMissatge, KeyFontTatxat, DefaultFontMissatgeValue))
    font.StrikeOut = true;
}

void ProgramOptions::MenuMouseDownClick() {
  Ctx.Menu.SetChecked("MenuMouseDown", true);
  Ctx.Menu.SetChecked("MenuMouseUp", false);
  Ctx.State.SelectOnPress = true;
  Ctx.Settings.WriteSettingInteger(SectionMenuControl, KeyTypeMouseDown, 1);
  Ctx.Settings.WriteSettingFlag(SectionMenuControl, KeyMenuMouseDownChecked, true);
  Ctx.Settings.WriteSettingFlag(SectionMenuControl, KeyMenuMouseUpChecked, false);
}

void ProgramOptions::MenuMouseUpClick() {
  Ctx.Menu.SetChecked("MenuMouseDown", false);
  Ctx.Menu.SetChecked("MenuMouseUp", true);
  Ctx.State.SelectOnPress = false;
  Ctx.Settings.WriteSettingInteger(SectionMenuControl, KeyTypeMouseDown, 0);
  Ctx.Settings.WriteSettingFlag(SectionMenuControl, KeyMenuMouseDownChecked, false);
  Ctx.Settings.WriteSettingFlag(SectionMenuControl, KeyMenuMouseUpChecked, true);
}

void ProgramOptions::MenuSenseEscaneigVerticalClick() {
  Ctx.State.LinearScanning = Ctx.Menu.Toggle("MenuSenseEscaneigVertical");
  Ctx.Settings.WriteSettingYesNo(SectionMenuControl, KeyMenuSenseEscaneigVerticalChecked,
                                 Ctx.State.LinearScanning);
}

void ProgramOptions::MenuAlClicarNoIniciaPosicioMouseClick() {
  Ctx.State.KeepPlace = Ctx.Menu.Toggle("MenuAlClicarNoIniciaPosicioMouse");
  Ctx.Settings.WriteSettingYesNo(SectionMenuControl, KeyMenuAlClicarNoIniciaPosicioMouseChecked,
                                 Ctx.State.KeepPlace);
}

void ProgramOptions::MenuSpeakClick() {
  Ctx.State.SpeechOn = Ctx.Menu.Toggle("MenuSpeak");
  Ctx.Settings.WriteSettingYesNo(SectionMenuOptions, KeyMenuSpeakChecked, Ctx.State.SpeechOn);
  Ctx.Layout.Invalidate(); // the "Símbol" button shows the speech state
}

void ProgramOptions::MenuCaptionDownClick() {
  Ctx.State.View.CaptionsBelow = Ctx.Menu.Toggle("MenuCaptionDown");
  Ctx.Settings.WriteSettingYesNo(SectionMenuOptions, KeyMenuCaptionDownChecked, Ctx.State.View.CaptionsBelow);
  Ctx.Layout.LayoutCells();
}

void ProgramOptions::MenuEfecto3DClick() {
  Ctx.State.View.Efecto3D = Ctx.Menu.Toggle("MenuEfecto3D");
  Ctx.Settings.WriteSettingFlag(SectionMenuOptions, KeyMenuEfecto3DChecked, Ctx.State.View.Efecto3D);
}

void ProgramOptions::MenuClicAutomaticALEstarEnUnacasellaClick() {
  Ctx.StopScanning();
  Ctx.State.DwellClick = Ctx.Menu.Toggle("MenuClicAutomaticALEstarEnUnacasella");
  // The dwell click and the hidden automatic click exclude each other.
  if (Ctx.Menu.Checked("MenuClicAutomaticAlEstarParat")) {
    Ctx.Menu.SetChecked("MenuClicAutomaticAlEstarParat", false);
    Ctx.State.HiddenAutomaticClick = false;
  }
  if (Ctx.Scan) Ctx.Scan->SetDwellClick(Ctx.State.DwellClick);
  Ctx.Settings.WriteSettingFlag(SectionMenuControl, KeyMenuClicAutomaticALEstarEnUnacasellaChecked,
                                Ctx.State.DwellClick);
}

void ProgramOptions::MenuClicAutomaticAlEstarParatClick() {
  Ctx.StopScanning();
  Ctx.State.HiddenAutomaticClick = Ctx.Menu.Toggle("MenuClicAutomaticAlEstarParat");
  if (Ctx.Menu.Checked("MenuClicAutomaticALEstarEnUnacasella")) {
    Ctx.Menu.SetChecked("MenuClicAutomaticALEstarEnUnacasella", false);
    Ctx.State.DwellClick = false;
    if (Ctx.Scan) Ctx.Scan->SetDwellClick(false);
  }
  Ctx.Settings.WriteSettingFlag(SectionMenuControl, KeyMenuClicAutomaticAlEstarParatChecked,
                                Ctx.State.HiddenAutomaticClick);
}

void ProgramOptions::MenuNoPermeteClicksClick() {
  Ctx.StopScanning();
  Ctx.State.NoClicks = Ctx.Menu.Toggle("MenuNoPermeteClicks");
  Ctx.Settings.WriteSettingFlag(SectionMenuControl, KeyMenuNoPermeteClicksChecked, Ctx.State.NoClicks);
}

void ProgramOptions::ReadScanPromptOptions() {
  const SettingsStore& s = Ctx.Settings;
  Ctx.State.ScanPrompts =
      s.ReadSettingFlag(SectionMenuOptions, KeyMenuEscaneigAuditiuChecked, DefaultMenuEscaneigAuditiuChecked);
  Ctx.State.ScanPromptsStretch =
      s.ReadSettingFlag(SectionMenuOptions, KeyMenuEscaneigAuditiuAllargarPasChecked,
                        DefaultMenuEscaneigAuditiuAllargarPasChecked);
  Ctx.Menu.SetChecked("MenuEscaneigAuditiu", Ctx.State.ScanPrompts);
  Ctx.Menu.SetChecked("MenuEscaneigAuditiuAllargarPas", Ctx.State.ScanPromptsStretch);
  // The stretch waits for a prompt, so without prompts it has nothing to do.
  Ctx.Menu.SetEnabled("MenuEscaneigAuditiuAllargarPas", Ctx.State.ScanPrompts);
}

void ProgramOptions::MenuEscaneigAuditiuClick() {
  Ctx.State.ScanPrompts = Ctx.Menu.Toggle("MenuEscaneigAuditiu");
  Ctx.Menu.SetEnabled("MenuEscaneigAuditiuAllargarPas", Ctx.State.ScanPrompts);
  Ctx.Settings.WriteSettingFlag(SectionMenuOptions, KeyMenuEscaneigAuditiuChecked, Ctx.State.ScanPrompts);
}

void ProgramOptions::MenuEscaneigAuditiuAllargarPasClick() {
  Ctx.State.ScanPromptsStretch = Ctx.Menu.Toggle("MenuEscaneigAuditiuAllargarPas");
  Ctx.Settings.WriteSettingFlag(SectionMenuOptions, KeyMenuEscaneigAuditiuAllargarPasChecked,
                                Ctx.State.ScanPromptsStretch);
}

} // namespace nq
