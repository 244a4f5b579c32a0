// The low-vision highlight in the core: what the scan and the pointer give the highlighted frames and
// bar panels, what they give back when the highlight moves on, the ring width on cells of every size,
// and the options kept across a restart.
#include <gtest/gtest.h>

#include "ShellFakes.h"
#include "shell/VisualAccess.h"

namespace nq::test {
namespace {

struct StyledBoard {
  ScanHarness H;
  VisualAccessOptions Visual{H.Ctx, H.Modes.Progress()};
  StyledBoard() { H.Fill({"xxx", "xxx"}); }
  // Cells whose frame shows a low-vision highlight (a ring or inverted colours).
  std::vector<int32_t> Styled() const {
    std::vector<int32_t> cells;
    for (int32_t k = 1; k <= 6; ++k) {
      const CellFrame& f = H.Boxes.GridBox(k)->Frame;
      if (f.RingWidth > 0 || f.Inverted) cells.push_back(k);
    }
    return cells;
  }
};

TEST(VisualAccess, TheDefaultHighlightIsTheBoardsOwnFrameInRed) {
  StyledBoard b;
  b.H.Modes.MenuEscaneigAutomaticClick();
  for (int step = 0; step < 6; ++step) {
    b.H.Clock.Advance(100);
    EXPECT_TRUE(b.Styled().empty()) << "step " << step;
  }
  EXPECT_EQ(b.H.Shown(), "R1") << "scan steps run as always";
  for (int32_t k = 1; k <= 3; ++k)
    EXPECT_EQ(b.H.Boxes.GridBox(k)->Frame.PenColour, HighlightColour);
}

TEST(VisualAccess, ScanStepsMoveTheStyledHighlightAndGiveTheFramesBackPlain) {
  StyledBoard b;
  b.Visual.SetHighlightWidth(12);
  b.Visual.SetHighlightColour(HighlightColours[1]);
  b.Visual.MenuInvertirResaltadoClick();
  b.H.Modes.MenuEscaneigAutomaticClick();
  b.H.Clock.Advance(100); // the button bar
  EXPECT_TRUE(b.Styled().empty());
  EXPECT_EQ(b.H.Layout.Buttons()[0].Colour, HighlightColours[1]);
  b.H.Clock.Advance(100);
  EXPECT_EQ(b.Styled(), (std::vector<int32_t>{1, 2, 3}));
  b.H.Clock.Advance(100);
  EXPECT_EQ(b.Styled(), (std::vector<int32_t>{4, 5, 6}));
  for (int32_t k = 1; k <= 3; ++k) {
    const TBox& box = *b.H.Boxes.GridBox(k);
    EXPECT_EQ(box.Frame.PenColour, box.FrameColour);
    EXPECT_EQ(box.Frame.PenWidth, b.H.State.View.FrameThickness);
  }
  const CellFrame& lit = b.H.Boxes.GridBox(5)->Frame;
  EXPECT_EQ(lit.PenColour, HighlightColours[1]);
  EXPECT_EQ(lit.RingWidth, 12);
  EXPECT_TRUE(lit.Inverted);
  b.H.Modes.StopScanning();
  EXPECT_TRUE(b.Styled().empty());
}

TEST(VisualAccess, TheHoveredCellTakesTheStyleAndLeavesItBehind) {
  StyledBoard b;
  b.Visual.SetHighlightWidth(6);
  auto [x, y] = b.H.CellCentre(2);
  b.H.Modes.HandleMouseEvent(PointerEventKind::Move, x, y);
  EXPECT_EQ(b.Styled(), std::vector<int32_t>{2});
  std::tie(x, y) = b.H.CellCentre(6);
  b.H.Modes.HandleMouseEvent(PointerEventKind::Move, x, y);
  EXPECT_EQ(b.Styled(), std::vector<int32_t>{6});
  // Back to the board's frame: nothing styled, the pen alone shows the highlight.
  b.Visual.SetHighlightWidth(0);
  EXPECT_TRUE(b.Styled().empty());
  EXPECT_EQ(b.H.Boxes.GridBox(6)->Frame.PenColour, HighlightColour);
}

TEST(VisualAccess, RingWidthFollowsTheChoiceScaledDownToSmallCells) {
  for (int32_t chosen = 1; chosen <= MaxHighlightWidth; ++chosen)
    for (int32_t side : {4, 9, 20, 37, 50, 99, 100, 101, 250, 800}) {
      const int32_t w = HighlightRingWidth({chosen, HighlightColour, false}, {0, 0, side, side + 40});
      SCOPED_TRACE(std::to_string(chosen) + " on " + std::to_string(side));
      EXPECT_GE(w, 1);
      EXPECT_LE(w, chosen);
      EXPECT_LE(w, std::max(1, side / 4)) << "a ring must leave the middle of the cell";
      if (side >= 100) {
        EXPECT_EQ(w, std::min(chosen, side / 4));
      }
      // A larger cell never gets a thinner ring.
      EXPECT_LE(w, HighlightRingWidth({chosen, HighlightColour, false}, {0, 0, side * 2, side * 2}));
    }
  EXPECT_EQ(HighlightRingWidth({}, {0, 0, 300, 300}), 0);
}

TEST(VisualAccess, OptionsAreStoredAndComeBackAtStartWithTheirMarks) {
  ShellHarness h;
  Player& first = h.Started();
  EXPECT_FALSE(first.Menu().Checked(std::string(DwellProgressItemName)));
  EXPECT_TRUE(first.Menu().Checked(HighlightWidthItemName(0)));
  EXPECT_TRUE(first.Menu().Checked(HighlightColourItemName(0)));
  for (const std::string& item : {std::string(DwellProgressItemName), HighlightWidthItemName(15),
                                  HighlightColourItemName(2), std::string(InvertHighlightItemName)})
    ASSERT_TRUE(first.MenuClick(item)) << item;
  Player& second = h.Started();
  const HighlightStyle& style = second.State().View.Highlight;
  EXPECT_EQ(style, (HighlightStyle{15, HighlightColours[2], true}));
  EXPECT_TRUE(second.Modes().Progress().Enabled());
  for (const std::string& item : {std::string(DwellProgressItemName), HighlightWidthItemName(15),
                                  HighlightColourItemName(2), std::string(InvertHighlightItemName)})
    EXPECT_TRUE(second.Menu().Checked(item)) << item;
  EXPECT_FALSE(second.Menu().Checked(HighlightWidthItemName(0)));
  EXPECT_FALSE(second.Menu().Checked(HighlightColourItemName(0)));
}

TEST(VisualAccess, HandEditedValuesOutsideTheChoicesFallBackToTheUsualHighlight) {
  ShellHarness h;
  h.WriteSettings("[tts]\r\nNumero sintetitzador=0\r\n[Visual Access]\r\nHighlight Width=21\r\n"
                  "Highlight Colour=12345\r\n");
  const HighlightStyle& style = h.Started().State().View.Highlight;
  EXPECT_EQ(style.Width, 0);
  EXPECT_EQ(style.Colour, HighlightColour);
}

} // namespace
} // namespace nq::test
