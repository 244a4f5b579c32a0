// Auditory scanning on a virtual clock: what each step says, that the next step or a choice cuts it,
// that a choice is never cut, and how the stretch holds an automatic step for a prompt, within bounds.
#include <gtest/gtest.h>

#include "ShellFakes.h"
#include "settings/SettingsKeys.h"

namespace nq::test {
namespace {

// Records prompts, cuts and chosen items in one log; a prompt is said for PromptMs of virtual time
// (negative: a voice that never reports the end).
class PromptSpeech final : public SpeechOutput {
public:
  explicit PromptSpeech(VirtualClock& clock) : ClockRef(clock) {}
  void SpeakOrPlay(const std::string& text) override { Log.push_back("say:" + text); }
  void SpeakOrPlayAndWait(const std::string& text) override { Log.push_back("say:" + text); }
  void SpeakPrompt(const std::string& text) override {
    Log.push_back("prompt:" + text);
    PromptTimes.push_back(ClockRef.Now);
    EndsAt = PromptMs < 0 ? UINT64_MAX : ClockRef.Now + static_cast<uint64_t>(PromptMs);
  }
  void CutPrompt() override {
    Log.push_back("cut");
    EndsAt = 0;
  }
  bool PromptSpeaking() override { return ClockRef.Now < EndsAt; }

  VirtualClock& ClockRef;
  std::vector<std::string> Log;
  std::vector<uint64_t> PromptTimes;
  int64_t PromptMs = 10;
  uint64_t EndsAt = 0;
};

struct PromptHarness : ScanHarness {
  PromptHarness() : Speech(Clock) {
    Modes.SetPromptSpeech(&Speech);
    State.ScanPrompts = true;
    Actions.During = [this](int32_t k) { Speech.Log.push_back("run:" + std::to_string(k)); };
  }
  void Tick() { Clock.Advance(static_cast<uint64_t>(State.ScanStepMs)); }
  // A switch press in directed scanning: the left half selects, the right half steps.
  void Select() { Modes.HandleMouseEvent(PointerEventKind::LeftRelease, 100, 300); }
  void Step() { Modes.HandleMouseEvent(PointerEventKind::LeftRelease, 700, 300); }
  std::string Button(int32_t item) const {
    for (const ButtonPanel& panel : Layout.Buttons())
      if (panel.Item == item) return std::string(panel.Caption);
    return "?";
  }
  PromptSpeech Speech;
};

// ---- What a step says ----

struct SaysCase {
  const char* Name;
  std::vector<std::string> Grid;
  bool Linear;
  bool ButtonBar;
  bool MessageBar;
  int Ticks;
  std::vector<std::string> Expected; // "Bn" stands for the caption of button -n
};

class ScanPromptsSay : public ::testing::TestWithParam<SaysCase> {};

TEST_P(ScanPromptsSay, EachStepSaysItsHighlightAndCutsTheOneBefore) {
  const SaysCase& c = GetParam();
  PromptHarness h;
  h.State.LinearScanning = c.Linear;
  h.Bars(c.ButtonBar, c.MessageBar, false);
  h.Fill(c.Grid);
  h.Modes.MenuEscaneigAutomaticClick();
  for (int i = 0; i < c.Ticks; ++i)
    h.Tick();
  std::vector<std::string> expected;
  for (const std::string& e : c.Expected) {
    const std::string said = e[0] == 'B' ? "prompt:" + h.Button(-std::stoi(e.substr(1))) : e;
    // Every prompt after the first is preceded by the cut of the one before.
    if (!expected.empty()) expected.push_back("cut");
    expected.push_back(said);
  }
  EXPECT_EQ(h.Speech.Log, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, ScanPromptsSay,
    ::testing::Values(
        // Rows say their first cell; a row whose first cells say nothing says its first that does.
        SaysCase{"RowsSayTheirFirstCell",
                 {"xx", "xx"},
                 false,
                 false,
                 false,
                 3,
                 {"prompt:c1", "prompt:c3", "prompt:c1"}},
        SaysCase{
            "RowPassesSilentCells", {".px", "rxx"}, false, false, false, 2, {"prompt:c3", "prompt:hola"}},
        SaysCase{"LinearSaysEachCell",
                 {"x.", "rx"},
                 true,
                 false,
                 false,
                 4,
                 {"prompt:c1", "prompt:hola", "prompt:c4", "prompt:c1"}},
        // Bars: the button bar as its first button, buttons by name, the message bar as its first cell.
        SaysCase{"BarsByTheirNames", {"xx"}, false, true, true, 3, {"B1", "prompt:c1", "prompt:m"}},
        SaysCase{"ButtonsByName", {"xx"}, true, true, false, 3, {"B1", "B2", "B3"}}),
    [](const auto& info) { return info.param.Name; });

TEST(ScanPrompts, ASoundFileIsNotSaidAndTheStepStillCutsThePromptBefore) {
  PromptHarness h;
  h.State.LinearScanning = true;
  h.Bars(false, false, false);
  h.Fill({"xx"});
  h.Boxes.GridBox(2)->Caption.clear();
  h.Boxes.GridBox(2)->Read = "hola.WAV";
  h.Modes.MenuEscaneigAutomaticClick();
  h.Tick();
  h.Tick();
  h.Tick();
  EXPECT_EQ(h.Speech.Log, (std::vector<std::string>{"prompt:c1", "cut", "prompt:c1"}));
}

TEST(ScanPrompts, OffSaysNothingAndCutsNothing) {
  PromptHarness h;
  h.State.ScanPrompts = false;
  h.State.ScanPromptsStretch = true;
  h.Bars(true, true, false);
  h.Fill({"xx", "xx"});
  h.Modes.MenuEscaneigDirigitClick();
  h.Step();
  h.Select();
  h.Select();
  h.Modes.StopScanning();
  EXPECT_EQ(h.Speech.Log, (std::vector<std::string>{"run:1"}));
}

// ---- Choices ----

TEST(ScanPrompts, AChoiceCutsThePromptFirstAndIsNeverCutAfterwards) {
  PromptHarness h;
  h.Bars(false, false, false);
  h.Fill({"xx", "xx"});
  h.Modes.MenuEscaneigDirigitClick(); // row 1
  h.Select();                         // into row 1: c1 shown
  h.Select();                         // c1 chosen, then the step after it shows c2
  h.Step();                           // c2 -> restart -> row 1... as the scan goes
  const std::vector<std::string> expected = {"prompt:c1", "cut", "prompt:c1", "cut", "run:1", "prompt:c1"};
  ASSERT_GE(h.Speech.Log.size(), expected.size());
  EXPECT_EQ(std::vector<std::string>(h.Speech.Log.begin(), h.Speech.Log.begin() + 6), expected);
  // Between the choice and the next prompt nothing is cut: the choice is heard in full.
  const auto chosen = std::find(h.Speech.Log.begin(), h.Speech.Log.end(), "run:1");
  const auto nextPrompt = std::find_if(chosen, h.Speech.Log.end(),
                                       [](const std::string& e) { return e.rfind("prompt:", 0) == 0; });
  EXPECT_EQ(std::find(chosen, nextPrompt, "cut"), nextPrompt);
}

TEST(ScanPrompts, AChoiceInAutomaticScanningGetsAWholeIntervalBeforeTheNextPrompt) {
  PromptHarness h;
  h.State.ScanPromptsStretch = true;
  h.Speech.PromptMs = 250;
  h.State.LinearScanning = true;
  h.Bars(false, false, false);
  h.Fill({"xxx"});
  h.Modes.MenuEscaneigAutomaticClick();
  h.Tick(); // c1 said at 100; the step due at 200 is held for it
  h.Tick(); // 200: held
  h.Modes.ClickAction();
  const uint64_t chosenAt = h.Clock.Now;
  h.Clock.Advance(static_cast<uint64_t>(h.State.ScanStepMs) - 1);
  EXPECT_EQ(h.Speech.PromptTimes.size(), 1U) << "no step before a whole interval after the choice";
  h.Clock.Advance(1);
  ASSERT_EQ(h.Speech.PromptTimes.size(), 2U);
  EXPECT_EQ(h.Speech.PromptTimes[1], chosenAt + static_cast<uint64_t>(h.State.ScanStepMs));
}

TEST(ScanPrompts, StoppingTheScanCutsThePrompt) {
  PromptHarness h;
  h.Bars(false, false, false);
  h.Fill({"xx"});
  h.Modes.MenuEscaneigAutomaticClick();
  h.Tick();
  h.Modes.StopScanning();
  EXPECT_EQ(h.Speech.Log, (std::vector<std::string>{"prompt:c1", "cut"}));
}

// ---- The stretch ----

struct StretchCase {
  const char* Name;
  bool Stretch;
  int64_t PromptMs; // negative: never ends
  std::vector<uint64_t> Steps;
};

class ScanPromptsStretch : public ::testing::TestWithParam<StretchCase> {};

TEST_P(ScanPromptsStretch, TheNextStepWaitsForThePromptWithinBounds) {
  const StretchCase& c = GetParam();
  PromptHarness h; // a step every 100 ms
  h.State.ScanPromptsStretch = c.Stretch;
  h.Speech.PromptMs = c.PromptMs;
  h.State.LinearScanning = true;
  h.Bars(false, false, false);
  h.Fill({"xxxxxxx"});
  h.Modes.MenuEscaneigAutomaticClick();
  h.Clock.Advance(c.Steps.back());
  EXPECT_EQ(h.Speech.PromptTimes, c.Steps);
}

INSTANTIATE_TEST_SUITE_P(
    Stretch, ScanPromptsStretch,
    ::testing::Values(StretchCase{"OffKeepsTheInterval", false, 250, {100, 200, 300, 400}},
                      StretchCase{"AShortPromptKeepsTheInterval", true, 60, {100, 200, 300, 400}},
                      StretchCase{"ALongPromptIsWaitedFor", true, 250, {100, 350, 600, 850}},
                      StretchCase{"AStalledVoiceHoldsAtMostThreeIntervals", true, -1, {100, 400, 700, 1000}}),
    [](const auto& info) { return info.param.Name; });

TEST(ScanPrompts, StretchWithoutPromptsWaitsForNothing) {
  PromptHarness h;
  h.State.ScanPrompts = false;
  h.State.ScanPromptsStretch = true;
  h.Speech.PromptMs = -1;
  h.Bars(false, false, false);
  h.State.LinearScanning = true;
  h.Fill({"xxx"});
  h.Modes.MenuEscaneigAutomaticClick();
  h.Clock.Advance(300);
  EXPECT_EQ(h.Shown(), "c3");
}

// ---- The options ----

TEST(ScanPromptOptions, OffByDefaultAndTheStretchNeedsThePrompts) {
  ShellHarness h;
  Player& player = h.Started();
  EXPECT_FALSE(h.State().ScanPrompts);
  EXPECT_FALSE(h.State().ScanPromptsStretch);
  EXPECT_FALSE(player.Menu().Checked("MenuEscaneigAuditiu"));
  EXPECT_FALSE(player.Menu().Find("MenuEscaneigAuditiuAllargarPas")->Enabled);
  player.MenuClick("MenuEscaneigAuditiu");
  EXPECT_TRUE(player.Menu().Find("MenuEscaneigAuditiuAllargarPas")->Enabled);
}

TEST(ScanPromptOptions, ToggledOptionsAreStoredAndComeBackAtTheNextStart) {
  {
    ShellHarness h;
    Player& player = h.Started();
    player.MenuClick("MenuEscaneigAuditiu");
    player.MenuClick("MenuEscaneigAuditiuAllargarPas");
    EXPECT_TRUE(h.State().ScanPrompts);
    EXPECT_TRUE(h.State().ScanPromptsStretch);
    const std::string settings = ShellHarness::Stored(h.SettingsPath(), std::string(SectionMenuOptions),
                                                      std::string(KeyMenuEscaneigAuditiuChecked));
    EXPECT_NE(settings, "<missing>");
    // The same folder, started again.
    h.ThePlayer.reset();
    Player& again = h.Started();
    EXPECT_TRUE(again.State().ScanPrompts);
    EXPECT_TRUE(again.State().ScanPromptsStretch);
    EXPECT_TRUE(again.Menu().Checked("MenuEscaneigAuditiu"));
    EXPECT_TRUE(again.Menu().Checked("MenuEscaneigAuditiuAllargarPas"));
    again.MenuClick("MenuEscaneigAuditiu");
    h.ThePlayer.reset();
    Player& third = h.Started();
    EXPECT_FALSE(third.State().ScanPrompts);
    EXPECT_TRUE(third.Menu().Checked("MenuEscaneigAuditiuAllargarPas"));
    EXPECT_FALSE(third.Menu().Find("MenuEscaneigAuditiuAllargarPas")->Enabled);
  }
}

} // namespace
} // namespace nq::test
