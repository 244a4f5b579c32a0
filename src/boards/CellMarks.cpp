#include "boards/CellMarks.h"

#include <array>

namespace nq {
namespace {

enum class MarkRead {
  TextSi,  // marked when the text is exactly "SI"
  Flag,    // marked when the flag is true
  Integer, // marked when the integer equals the expected value
};

struct OptionMark {
  std::string_view Token;
  std::string_view Section;
  std::string_view Key;
  MarkRead Read;
  std::string_view DefaultText; // TextSi
  int32_t Default;              // Flag (0/1) and Integer
  int32_t Expected;             // Integer
};

constexpr std::string_view MenuOptions = "Menu Options";
constexpr std::string_view MenuControl = "Menu Control";
constexpr std::string_view MenuOptions2 = "Menu Options 2";
constexpr std::string_view QdxPosition = "MenuQdxPosition";

constexpr std::array<OptionMark, 29> OptionMarks{{
    {"<NEXO_MENU_MenuSpeak>", MenuOptions, "MenuSpeak.Checked", MarkRead::TextSi, "SI", 0, 0},
    {"<NEXO_MENU_NonFocusable>", MenuOptions, "NonFocusable", MarkRead::TextSi, "NO", 0, 0},
    {"<NEXO_MENU_NoMenuNoCaption>", MenuOptions, "NoMenuNoCaption", MarkRead::TextSi, "NO", 0, 0},
    {"<NEXO_MENU_MenuSwapBars>", MenuOptions, "MenuSwapBars.Checked", MarkRead::TextSi, "NO", 0, 0},
    {"<NEXO_MENU_MenuCaptionDown>", MenuOptions, "MenuCaptionDown.Checked", MarkRead::TextSi, "NO", 0, 0},
    {"<NEXO_MENU_MenuEfecto3D>", MenuOptions, "MenuEfecto3D.Checked", MarkRead::Flag, "", 1, 0},
    {"<NEXO_MENU_MenuEscaneigAutomatic>", MenuControl, "MenuEscaneigAutomatic.Checked", MarkRead::Flag, "", 0,
     0},
    {"<NEXO_MENU_MenuEscaneigDirigit>", MenuControl, "MenuEscaneigDirigit.Checked", MarkRead::Flag, "", 0, 0},
    {"<NEXO_MENU_MenuEscaneigAutomaticActivatAmbClicDretPremut>", MenuControl,
     "MenuEscaneigAutomaticActivatAmbClicDretPremut.Checked", MarkRead::Flag, "", 0, 0},
    {"<NEXO_MENU_MenuMouseDown>", MenuControl, "MenuMouseDown.Checked", MarkRead::Flag, "", 0, 0},
    {"<NEXO_MENU_MenuMouseUp>", MenuControl, "MenuMouseUp.Checked", MarkRead::Flag, "", 1, 0},
    {"<NEXO_MENU_MenuSenseEscaneigVertical>", MenuControl, "MenuSenseEscaneigVertical.Checked",
     MarkRead::TextSi, "NO", 0, 0},
    {"<NEXO_MENU_MenuAlClicarNoIniciaPosicioMouse>", MenuControl, "MenuAlClicarNoIniciaPosicioMouse.Checked",
     MarkRead::TextSi, "NO", 0, 0},
    {"<NEXO_MENU_MenuClicAutomaticALEstarEnUnacasella>", MenuControl,
     "MenuClicAutomaticALEstarEnUnacasella.Checked", MarkRead::Flag, "", 0, 0},
    {"<NEXO_MENU_MenuNoPermeteClicks>", MenuControl, "MenuNoPermeteClicks.Checked", MarkRead::Flag, "", 0, 0},
    {"<NEXO_MENU_MenuCentrarCaptions>", MenuOptions2, "Center Captions", MarkRead::Flag, "", 0, 0},
    {"<NEXO_MENU_MenuVerBarraBotones>", MenuOptions2, "Show Button Bar", MarkRead::Flag, "", 0, 0},
    {"<NEXO_MENU_MenuVerBarraMensaje>", MenuOptions2, "Show Message Bar", MarkRead::Flag, "", 0, 0},
    {"<NEXO_MENU_MenuEscribirLetrasOPalabras>", MenuOptions2, "Write only letters or words", MarkRead::Flag,
     "", 0, 0},
    {"<NEXO_MENU_MenuEscribirTextoALeer>", MenuOptions2, "MenuEscriureTextALlegir", MarkRead::Flag, "", 0, 0},
    {"<NEXO_MENU_MenuPositionDefault>", MenuOptions2, QdxPosition, MarkRead::Integer, "", 0, 0},
    {"<NEXO_MENU_MenuPositionMaximized>", MenuOptions2, QdxPosition, MarkRead::Integer, "", 0, 1},
    {"<NEXO_MENU_MenuPositionScreenCenter>", MenuOptions2, QdxPosition, MarkRead::Integer, "", 0, 2},
    {"<NEXO_MENU_MenuPositionBottomCenter>", MenuOptions2, QdxPosition, MarkRead::Integer, "", 0, 3},
    {"<NEXO_MENU_MenuPositionTopCenter>", MenuOptions2, QdxPosition, MarkRead::Integer, "", 0, 4},
    {"<NEXO_MENU_MenuPositionTopLeft>", MenuOptions2, QdxPosition, MarkRead::Integer, "", 0, 5},
    {"<NEXO_MENU_MenuPositionBottomLeft>", MenuOptions2, QdxPosition, MarkRead::Integer, "", 0, 6},
    {"<NEXO_MENU_MenuPositionTopRight>", MenuOptions2, QdxPosition, MarkRead::Integer, "", 0, 7},
    {"<NEXO_MENU_MenuPositionBottomRight>", MenuOptions2, QdxPosition, MarkRead::Integer, "", 0, 8},
}};

constexpr std::string_view TokenPrefix = "<NEXO_MENU_";

bool IsOn(const OptionMark& mark, CellMarkSettings& settings) {
  switch (mark.Read) {
  case MarkRead::TextSi:
    return settings.ReadSettingText(mark.Section, mark.Key, mark.DefaultText) == "SI";
  case MarkRead::Flag:
    return settings.ReadSettingFlag(mark.Section, mark.Key, mark.Default != 0);
  case MarkRead::Integer:
    return settings.ReadSettingInteger(mark.Section, mark.Key, mark.Default) == mark.Expected;
  }
  return false;
}

} // namespace

bool IsMarkedOption(const std::string& specialFunction, CellMarkSettings& settings) {
  // Most cells carry no menu token; skip the table (and the settings) for them, which keeps hovering cheap.
  if (!std::string_view(specialFunction).starts_with(TokenPrefix)) return false;
  for (const OptionMark& mark : OptionMarks) {
    if (mark.Token == specialFunction) return IsOn(mark, settings);
  }
  return false;
}

std::string MarkedCaption(const std::string& caption, const std::string& specialFunction,
                          CellMarkSettings& settings) {
  if (IsMarkedOption(specialFunction, settings)) return "V - " + caption;
  return caption;
}

} // namespace nq
