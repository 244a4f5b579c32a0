#include "boards/CellMarks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "boards/CellBoxes.h"
#include "support/CellTestFakes.h"
#include "support/TempFolder.h"

namespace nq {
namespace {

using test::FakeMarkSettings;

struct MarkRow {
  const char* token;
  const char* section;
  const char* key;
  const char* onValue;
  const char* offValue;
  bool markedWhenMissing;
};

// One option of each way of reading a setting, with a stored value that marks it and a near miss that
// does not, and the board options, whose keys the player's round trip in the shell tests does not reach.
const MarkRow MarkTable[] = {
    {"<NEXO_MENU_MenuSpeak>", "Menu Options", "MenuSpeak.Checked", "SI", "NO", true},
    {"<NEXO_MENU_NonFocusable>", "Menu Options", "NonFocusable", "SI", "NO", false},
    {"<NEXO_MENU_NoMenuNoCaption>", "Menu Options", "NoMenuNoCaption", "SI", "si", false},
    {"<NEXO_MENU_MenuCaptionDown>", "Menu Options", "MenuCaptionDown.Checked", "SI", "S\xCD", false},
    {"<NEXO_MENU_MenuEfecto3D>", "Menu Options", "MenuEfecto3D.Checked", "1", "0", true},
    {"<NEXO_MENU_MenuEscaneigDirigit>", "Menu Control", "MenuEscaneigDirigit.Checked", "7", "0", false},
    {"<NEXO_MENU_MenuMouseUp>", "Menu Control", "MenuMouseUp.Checked", "1", "0", true},
    {"<NEXO_MENU_MenuSenseEscaneigVertical>", "Menu Control", "MenuSenseEscaneigVertical.Checked", "SI", "1",
     false},
    {"<NEXO_MENU_MenuNoPermeteClicks>", "Menu Control", "MenuNoPermeteClicks.Checked", "1", "SI", false},
    {"<NEXO_MENU_MenuCentrarCaptions>", "Menu Options 2", "Center Captions", "1", "0", false},
    {"<NEXO_MENU_MenuVerBarraBotones>", "Menu Options 2", "Show Button Bar", "1", "0", false},
    {"<NEXO_MENU_MenuVerBarraMensaje>", "Menu Options 2", "Show Message Bar", "1", "0", false},
    {"<NEXO_MENU_MenuEscribirLetrasOPalabras>", "Menu Options 2", "Write only letters or words", "1", "0",
     false},
    {"<NEXO_MENU_MenuEscribirTextoALeer>", "Menu Options 2", "MenuEscriureTextALlegir", "1", "0", false},
    {"<NEXO_MENU_MenuPositionDefault>", "Menu Options 2", "MenuQdxPosition", "0", "1", true},
};

TEST(MarkedCaption, EachOptionReadsItsOwnSetting) {
  for (const MarkRow& row : MarkTable) {
    FakeMarkSettings settings;
    EXPECT_EQ(MarkedCaption("Op", row.token, settings), row.markedWhenMissing ? "V - Op" : "Op") << row.token;
    settings.Set(row.section, row.key, row.onValue);
    EXPECT_EQ(MarkedCaption("Op", row.token, settings), "V - Op") << row.token;
    settings.Set(row.section, row.key, row.offValue);
    EXPECT_EQ(MarkedCaption("Op", row.token, settings), "Op") << row.token;
  }
}

// Each stored window placement marks exactly one placement cell of the bundled menu board, a different
// one for each.
TEST(MarkedCaption, EachPlacementMarksItsOwnMenuCell) {
  const std::string menuBoard = test::ReadBytes(std::string(NQ_SOURCE_DIR) + "/data/Nexo_quadrix_menu.qdx");
  const std::regex placementToken("<NEXO_MENU_MenuPosition[A-Za-z]+>");
  std::vector<std::string> tokens;
  for (std::sregex_iterator it(menuBoard.begin(), menuBoard.end(), placementToken), end; it != end; ++it)
    tokens.push_back(it->str());
  std::set<std::string> marked;
  for (int32_t position = 0; position <= 8; ++position) {
    FakeMarkSettings settings;
    settings.Set("Menu Options 2", "MenuQdxPosition", std::to_string(position));
    std::vector<std::string> shown;
    std::copy_if(tokens.begin(), tokens.end(), std::back_inserter(shown),
                 [&](const std::string& token) { return IsMarkedOption(token, settings); });
    ASSERT_EQ(shown.size(), 1u) << "placement " << position;
    marked.insert(shown[0]);
  }
  EXPECT_EQ(marked.size(), 9u);
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
  test::FakeTextMetrics metrics;
  test::FakeScaler scaler;
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
