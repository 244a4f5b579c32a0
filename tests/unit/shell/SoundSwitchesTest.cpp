// The sound items of the Control menu inside the player: their settings and exclusions, the detectors
// following the scanning modes, sounds reaching the scan, the thresholds from Quadrix.ini, and the
// order of things at close.
#include <gtest/gtest.h>

#include "ShellFakes.h"
#include "support/FakeAudioCapture.h"

namespace nq::test {
namespace {

constexpr const char* Single = "MenuClicActivatPerUnSo";
constexpr const char* Stereo = "MenuEnEscaneigDirigitSActivaPerCadascunDelsCanalsEstereoDeSo";

struct SoundHarness {
  SoundHarness() {
    h.WriteShared(shared);
    const std::string board = h.WriteBoard("b.qdx", {.Columns = 2, .Rows = 2});
    h.Started({board});
    h.ThePlayer->AttachSound(Mono, Two);
  }
  Player& P() { return *h.ThePlayer; }
  // The microphones outlive the player, as in the program.
  FakeAudioCapture Mono;
  FakeAudioCapture Two;
  std::string shared = "[quadrix]\r\n";
  ShellHarness h;
};

TEST(SoundSwitches, ItemsWriteTheirKeysAndExcludeEachOther) {
  struct Case {
    std::vector<const char*> Clicks;
    bool SingleOn, StereoOn;
    const char* SingleKey;
    const char* StereoKey;
  };
  const Case cases[] = {
      {{Single}, true, false, "S\xCD", "NO"},
      {{Single, Single}, false, false, "NO", "NO"},
      {{Stereo}, false, true, "NO", "SI"},
      {{Stereo, Stereo}, false, false, "NO", "NO"},
      {{Stereo, Single}, true, false, "S\xCD", "NO"},
      {{Single, Stereo}, false, true, "NO", "SI"},
  };
  for (const Case& c : cases) {
    SoundHarness s;
    for (const char* item : c.Clicks)
      s.P().MenuClick(item);
    EXPECT_EQ(s.P().Menu().Checked(Single), c.SingleOn);
    EXPECT_EQ(s.P().Menu().Checked(Stereo), c.StereoOn);
    EXPECT_EQ(s.h.Setting("Clic", "Activar per so"), c.SingleKey);
    EXPECT_EQ(s.h.Setting("Clic", "Activar per so escaneig dirigit"), c.StereoKey);
    EXPECT_EQ(s.Mono.Attempts + s.Two.Attempts, 0) << "checking an item opens no device";
  }
}

TEST(SoundSwitches, AutomaticScanningOpensTheSingleChannelDetectorAndASoundSelects) {
  SoundHarness s;
  s.P().MenuClick(Single);
  s.P().MenuClick("MenuEscaneigAutomatic");
  ASSERT_TRUE(s.Mono.IsOpen);
  EXPECT_FALSE(s.Two.IsOpen);
  s.h.Clock.Advance(1500); // the first row is highlighted
  const int32_t row = s.P().Modes().Scan().Position.ScanRow;
  ASSERT_TRUE(s.P().Modes().Scan().Position.RowPhase);
  s.Mono.Deliver(MonoBlock(255));
  s.Mono.Deliver(MonoBlock(250));
  EXPECT_FALSE(s.P().Modes().Scan().Position.RowPhase) << "one sound chose the row";
  EXPECT_EQ(s.P().Modes().Scan().Position.ScanRow, row);
  EXPECT_TRUE(s.P().Modes().TimerEscaneig().Enabled());
  s.P().MenuOpened("MenuControl"); // opening a menu stops scanning
  EXPECT_FALSE(s.Mono.IsOpen);
  // Directed scanning does not open the single-channel detector.
  s.P().MenuClick("MenuEscaneigDirigit");
  EXPECT_FALSE(s.Mono.IsOpen);
  EXPECT_FALSE(s.Two.IsOpen);
}

TEST(SoundSwitches, DirectedScanningRightChannelStepsLeftChannelSelects) {
  SoundHarness s;
  s.P().MenuClick(Stereo);
  s.P().MenuClick("MenuEscaneigDirigit");
  ASSERT_TRUE(s.Two.IsOpen);
  const int32_t first = s.P().Modes().Scan().Position.ScanRow;
  s.Two.Deliver(StereoBlock(0, 20000));
  s.Two.Deliver(StereoBlock(0, 0));
  EXPECT_EQ(s.P().Modes().Scan().Position.ScanRow, first + 1);
  EXPECT_TRUE(s.P().Modes().Scan().Position.RowPhase);
  s.Two.Deliver(StereoBlock(20000, 0));
  EXPECT_FALSE(s.P().Modes().Scan().Position.RowPhase);
  // Checking the single-channel item closes the stereo device at once.
  s.P().MenuClick(Single);
  EXPECT_FALSE(s.Two.IsOpen);
}

TEST(SoundSwitches, ScanningStartsWithoutSoundWhenTheMicrophoneFailsAndTheBoxShowsOnce) {
  SoundHarness s;
  s.Mono.FailWith = 3;
  s.P().MenuClick(Single);
  for (int start = 0; start < 2; ++start) {
    s.P().MenuClick("MenuEscaneigAutomatic");
    EXPECT_EQ(s.P().State().View.ScanMode, 1);
    EXPECT_TRUE(s.P().Modes().TimerEscaneig().Enabled());
  }
  EXPECT_EQ(s.Mono.Attempts, 2);
  EXPECT_EQ(s.h.Messages.Messages.size(), 1u);
}

TEST(SoundSwitches, ThresholdsComeFromQuadrixIni) {
  struct Case {
    const char* Ini;
    int32_t SingleWant, StereoWant;
  };
  const Case cases[] = {
      {"", 30, 7740},
      {"Llindar so=12\r\nLlindar so estereo=3000\r\n", 12, 3000},
      {"Llindar so=0\r\nLlindar so estereo=32767\r\n", 30, 7740},
      {"Llindar so=127\r\nLlindar so estereo=-5\r\n", 30, 7740},
      {"Llindar so=loud\r\nLlindar so estereo=12000\r\n", 30, 12000},
  };
  for (const Case& c : cases) {
    SoundHarness s;
    s.h.WriteShared(std::string("[quadrix]\r\n") + c.Ini);
    s.P().Sound()->LoadThresholds();
    EXPECT_EQ(s.P().Sound()->Input().Thresholds.SingleChannel, c.SingleWant) << c.Ini;
    EXPECT_EQ(s.P().Sound()->Input().Thresholds.Stereo, c.StereoWant) << c.Ini;
  }
}

TEST(SoundSwitches, ClosingStopsTheHookAndTimersBeforeTheDetectors) {
  SoundHarness s;
  s.P().MenuClick(Single);
  s.P().MenuClick("MenuEscaneigAutomatic");
  bool hookAtClose = true;
  bool timerAtClose = true;
  s.Mono.OnClose = [&] {
    hookAtClose = s.h.Window.HookInstalled;
    timerAtClose = s.P().Modes().TimerEscaneig().Enabled();
  };
  const size_t waits = s.h.Clock.Waits.size();
  s.P().FormClose();
  EXPECT_FALSE(s.Mono.IsOpen);
  EXPECT_FALSE(hookAtClose);
  EXPECT_FALSE(timerAtClose);
  EXPECT_EQ(s.h.Clock.Waits.size(), waits) << "closing no longer waits with events running";
}

} // namespace
} // namespace nq::test
