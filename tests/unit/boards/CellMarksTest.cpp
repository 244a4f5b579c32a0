#include "boards/CellMarks.h"

#include <gtest/gtest.h>

#include "boards/CellBoxes.h"
#include "support/CellTestFakes.h"

namespace nq {
namespace {

using testing::FakeMarkSettings;

struct MarkRow {
  const char* token;
  const char* section;
  const char* key;
  const char* onValue;
  const char* offValue;
  bool markedWhenMissing;
};

// Every option token with the setting it reads, a stored value that marks it and one that does not.
const MarkRow MarkTable[] = {
    {"<NEXO_MENU_MenuSpeak>", "Menu Options", "MenuSpeak.Checked", "SI", "NO", true},
    {"<NEXO_MENU_NonFocusable>", "Menu Options", "NonFocusable", "SI", "NO", false},
    {"<NEXO_MENU_NoMenuNoCaption>", "Menu Options", "NoMenuNoCaption", "SI", "si", false},
    {"<NEXO_MENU_MenuSwapBars>", "Menu Options", "MenuSwapBars.Checked", "SI", "NO", false},
    {"<NEXO_MENU_MenuCaptionDown>", "Menu Options", "MenuCaptionDown.Checked", "SI", "S\xCD", false},
    {"<NEXO_MENU_MenuEfecto3D>", "Menu Options", "MenuEfecto3D.Checked", "1", "0", true},
    {"<NEXO_MENU_MenuEscaneigAutomatic>", "Menu Control", "MenuEscaneigAutomatic.Checked", "1", "0", false},
    {"<NEXO_MENU_MenuEscaneigDirigit>", "Menu Control", "MenuEscaneigDirigit.Checked", "7", "0", false},
    {"<NEXO_MENU_MenuEscaneigAutomaticActivatAmbClicDretPremut>", "Menu Control",
     "MenuEscaneigAutomaticActivatAmbClicDretPremut.Checked", "1", "0", false},
    {"<NEXO_MENU_MenuMouseDown>", "Menu Control", "MenuMouseDown.Checked", "1", "0", false},
    {"<NEXO_MENU_MenuMouseUp>", "Menu Control", "MenuMouseUp.Checked", "1", "0", true},
    {"<NEXO_MENU_MenuSenseEscaneigVertical>", "Menu Control", "MenuSenseEscaneigVertical.Checked", "SI", "1",
     false},
    {"<NEXO_MENU_MenuAlClicarNoIniciaPosicioMouse>", "Menu Control",
     "MenuAlClicarNoIniciaPosicioMouse.Checked", "SI", "NO", false},
    {"<NEXO_MENU_MenuClicAutomaticALEstarEnUnacasella>", "Menu Control",
     "MenuClicAutomaticALEstarEnUnacasella.Checked", "1", "0", false},
    {"<NEXO_MENU_MenuNoPermeteClicks>", "Menu Control", "MenuNoPermeteClicks.Checked", "1", "SI", false},
    {"<NEXO_MENU_MenuCentrarCaptions>", "Menu Options 2", "Center Captions", "1", "0", false},
    {"<NEXO_MENU_MenuVerBarraBotones>", "Menu Options 2", "Show Button Bar", "1", "0", false},
    {"<NEXO_MENU_MenuVerBarraMensaje>", "Menu Options 2", "Show Message Bar", "1", "0", false},
    {"<NEXO_MENU_MenuEscribirLetrasOPalabras>", "Menu Options 2", "Write only letters or words", "1", "0",
     false},
    {"<NEXO_MENU_MenuEscribirTextoALeer>", "Menu Options 2", "MenuEscriureTextALlegir", "1", "0", false},
    {"<NEXO_MENU_MenuPositionDefault>", "Menu Options 2", "MenuQdxPosition", "0", "1", true},
    {"<NEXO_MENU_MenuPositionMaximized>", "Menu Options 2", "MenuQdxPosition", "1", "0", false},
    {"<NEXO_MENU_MenuPositionScreenCenter>", "Menu Options 2", "MenuQdxPosition", "2", "3", false},
    {"<NEXO_MENU_MenuPositionBottomCenter>", "Menu Options 2", "MenuQdxPosition", "3", "2", false},
    {"<NEXO_MENU_MenuPositionTopCenter>", "Menu Options 2", "MenuQdxPosition", "4", "0", false},
    {"<NEXO_MENU_MenuPositionTopLeft>", "Menu Options 2", "MenuQdxPosition", "5", "0", false},
    {"<NEXO_MENU_MenuPositionBottomLeft>", "Menu Options 2", "MenuQdxPosition", "6", "0", false},
    {"<NEXO_MENU_MenuPositionTopRight>", "Menu Options 2", "MenuQdxPosition", "7", "0", false},
    {"<NEXO_MENU_MenuPositionBottomRight>", "Menu Options 2", "MenuQdxPosition", "8", "0", false},
};

TEST(MarkedCaption, EveryOptionTokenReadsItsOwnSetting) {
  for (const MarkRow& row : MarkTable) {
    FakeMarkSettings settings;
    EXPECT_EQ(MarkedCaption("Op", row.token, settings), row.markedWhenMissing ? "V - Op" : "Op") << row.token;
    settings.Set(row.section, row.key, row.onValue);
    EXPECT_EQ(MarkedCaption("Op", row.token, settings), "V - Op") << row.token;
    settings.Set(row.section, row.key, row.offValue);
    EXPECT_EQ(MarkedCaption("Op", row.token, settings), "Op") << row.token;
  }
}

TEST(MarkedCaption, OtherSpecialFunctionsAreNeverMarked) {
  FakeMarkSettings settings;
  const char* others[] = {"",
                          "<CASA>",
                          "<nexo_menu_menuspeak>",
                          "<NEXO_MENU_MenuSpeak> ",
                          "<NEXO_MENU_>",
                          "<NEXO_MENU_Unknown>",
                          "<NEXO_REPOSAR>"};
  for (const char* specialFunction : others) {
    EXPECT_EQ(MarkedCaption("Hablar", specialFunction, settings), "Hablar") << specialFunction;
  }
  EXPECT_EQ(settings.Reads, 0);
}

TEST(MarkedCaption, ShownCaptionFollowsTheSettingsAtEveryPaint) {
  testing::FakeTextMetrics metrics;
  testing::FakeScaler scaler;
  FakeMarkSettings settings;
  CellBoxes boxes(metrics, scaler, settings);
  TBox& box = *boxes.GridBox(1);
  box.Caption = "Hablar";
  box.SpecialFunction = "<NEXO_MENU_MenuSpeak>";
  box.Width = 100;
  box.Height = 80;
  boxes.ShowCell(box, {});
  EXPECT_EQ(box.CaptionLabel.Text, "V - Hablar");
  settings.Set("Menu Options", "MenuSpeak.Checked", "NO");
  boxes.ShowCell(box, {});
  EXPECT_EQ(box.CaptionLabel.Text, "Hablar");

  // A menu cell with no caption of its own still shows the mark.
  box.Caption.clear();
  settings.Set("Menu Options", "MenuSpeak.Checked", "SI");
  boxes.ShowCell(box, {});
  EXPECT_EQ(box.CaptionLabel.Text, "V - ");
  EXPECT_TRUE(box.CaptionLabel.Visible);
}

} // namespace
} // namespace nq
