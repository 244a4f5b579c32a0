// The bundled boards on a small laptop screen: every window fits with its bars, every caption is whole.
#include <QGuiApplication>
#include <filesystem>
#include <gtest/gtest.h>

#include "linux/QtImageScaler.h"
#include "linux/QtTextMetrics.h"
#include "shell/Player.h"
#include "support/VirtualClock.h"
#include "text/Encoding.h"
#include "ui/HeadlessWindow.h"
#include "ui/UiFakes.h"

namespace nq {
namespace {

namespace fs = std::filesystem;

// A 1366 x 768 screen with a 40 px panel; the frame and menu bar take this much of the window.
constexpr WindowRect SmallWorkArea{0, 0, 1366, 728};
constexpr int FrameWidth = 10;
constexpr int FrameAndMenuHeight = 60;

TEST(DemoBoardsTest, FitA1366x768ScreenWithWholeCaptions) {
  const fs::path copy = fs::temp_directory_path() / "nq-ui-demo-boards";
  fs::remove_all(copy);
  // The player writes options back into the boards it shows, so it works on a copy.
  fs::copy(fs::path(NQ_SOURCE_DIR) / "data", copy, fs::copy_options::recursive);
  std::vector<fs::path> boards;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(copy / "boards"))
    if (entry.path().extension() == ".qdx") boards.push_back(entry.path());
  ASSERT_GE(boards.size(), 12u);
  for (const fs::path& board : boards) {
    const std::string name = board.filename().string();
    test::VirtualClock clock;
    test::SilentDialogs dialogs;
    QtTextMetrics metrics;
    QtImageScaler scaler;
    test::NoLauncher programs;
    HeadlessWindow window(1, 1);
    PlayerPaths paths;
    paths.DataFolder = Utf8ToWindows1252(copy.string() + "/");
    paths.SettingsFile = (copy / "nexoquadrix.ini").string();
    paths.SharedFile = (copy / "Quadrix.ini").string();
    Player player({clock, dialogs, metrics, scaler, window, programs}, paths);
    player.FormCreate();
    player.Boards().OpenBoard(Utf8ToWindows1252(board.string()));
    WindowRect rect = window.CurrentWindowRect();
    if (rect == WindowRect{0, 0, window.ScreenWidth(), window.ScreenHeight()})
      rect = SmallWorkArea; // maximized
    EXPECT_GE(rect.Left, SmallWorkArea.Left) << name;
    EXPECT_GE(rect.Top, SmallWorkArea.Top) << name;
    EXPECT_LE(rect.Left + rect.Width, SmallWorkArea.Left + SmallWorkArea.Width) << name;
    EXPECT_LE(rect.Top + rect.Height, SmallWorkArea.Top + SmallWorkArea.Height) << name;
    player.ClientResized(rect.Width - FrameWidth, rect.Height - FrameAndMenuHeight);
    player.Layout().LayoutCells();
    for (int32_t k = 1; k <= player.State().CellCount; ++k) {
      const TBox& cell = *player.Boxes().GridBox(k);
      if (!cell.CaptionLabel.Visible || cell.CaptionLabel.Text.empty()) continue;
      EXPECT_LE(metrics.TextWidth(cell.CaptionFont(), cell.CaptionLabel.Text), cell.CaptionLabel.Bounds.Width)
          << name << " cell " << k << " \"" << Windows1252ToUtf8(cell.CaptionLabel.Text) << "\"";
    }
  }
  fs::remove_all(copy);
}

} // namespace
} // namespace nq
