// The sound detectors on synthetic blocks: levels, the latch that makes one sound one click, the left
// channel winning, the stopped flag after a close, a vanished source, reopening, the failure boxes
// and the level meter.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "actions/SoundInput.h"
#include "support/FakeAudioCapture.h"
#include "support/FakeDialogs.h"

namespace nq::test {
namespace {

class RecordingTarget final : public SoundClickTarget {
public:
  bool Single = true;
  bool StereoItem = false;
  bool Directed = false;
  std::string Calls;
  std::function<void()> DuringClick;
  bool SingleChannelItemChecked() const override { return Single; }
  bool StereoItemChecked() const override { return StereoItem; }
  bool DirectedScanningChecked() const override { return Directed; }
  void ClickAction() override {
    Calls += "C";
    if (DuringClick) DuringClick();
  }
  void ScanStep() override { Calls += "S"; }
};

struct Harness {
  FakeAudioCapture Mono;
  FakeAudioCapture Stereo;
  FakeDialogs Messages;
  RecordingTarget Target;
  SoundInput Input{Mono, Stereo, Messages, Target};

  void UseStereo() {
    Target.Single = false;
    Target.StereoItem = true;
    Target.Directed = true;
  }
};

TEST(SoundLevels, SingleChannelPeakAboveTheMidpoint) {
  struct Case {
    std::vector<uint8_t> Block;
    int32_t Level;
  };
  std::vector<uint8_t> low(512, 0);
  std::vector<uint8_t> ramp(512);
  for (size_t i = 0; i < ramp.size(); ++i)
    ramp[i] = static_cast<uint8_t>(i / 2);
  const Case cases[] = {
      {MonoBlock(128), 0},        // silence
      {low, 0},                   // under the midpoint counts as silence
      {MonoBlock(159), 31},       // one loud byte
      {MonoBlock(158), 30},       //
      {MonoBlock(255, 511), 127}, // the last byte of the block is measured too
      {MonoBlock(200, 0), 72},    // and the first
      {ramp, 255 - 128},
  };
  for (const Case& c : cases)
    EXPECT_EQ(SingleChannelBlockLevel(c.Block), c.Level);
}

TEST(SoundLevels, StereoChannelsApartAndOnlyPositiveExcursions) {
  struct Case {
    int Left, Right;
    int32_t WantLeft, WantRight;
  };
  const Case cases[] = {
      {0, 0, 0, 0},
      {11, 500, 11, 500},
      {-32768, -1, 0, 0},
      {32767, 256, 32767, 256},
      {255, 32767, 255, 32767},
      {-20000, 7741, 0, 7741},
  };
  for (const Case& c : cases) {
    const StereoLevels levels = StereoBlockLevels(StereoBlock(c.Left, c.Right));
    EXPECT_EQ(levels.Left, c.WantLeft) << c.Left << "," << c.Right;
    EXPECT_EQ(levels.Right, c.WantRight) << c.Left << "," << c.Right;
  }
}

TEST(SoundInput, OpensInTheExactFormatsAndBlockSizesEveryTime) {
  Harness h;
  for (int round = 0; round < 2; ++round) {
    ASSERT_EQ(h.Input.OpenSingleChannelDetector(), 0);
    EXPECT_EQ(h.Mono.Format.SampleRate, 11025);
    EXPECT_EQ(h.Mono.Format.Channels, 1);
    EXPECT_EQ(h.Mono.Format.BitsPerSample, 8);
    EXPECT_EQ(h.Mono.BlockBytes, 512u);
    ASSERT_EQ(h.Input.OpenStereoDetector(), 0);
    EXPECT_EQ(h.Stereo.Format.SampleRate, 22050);
    EXPECT_EQ(h.Stereo.Format.Channels, 2);
    EXPECT_EQ(h.Stereo.Format.BitsPerSample, 16);
    EXPECT_EQ(h.Stereo.BlockBytes, 2048u) << "opening " << round + 1;
    EXPECT_EQ(h.Input.StereoFramesPerBlock(), 512);
    h.Input.CloseSingleChannelDetector();
    h.Input.CloseStereoDetector();
  }
  // Opening an open detector opens nothing more.
  h.Input.OpenSingleChannelDetector();
  h.Input.OpenSingleChannelDetector();
  EXPECT_EQ(h.Mono.Opens, 3);
  EXPECT_EQ(StereoBlockFrames(44100), 1024);
}

// Peaks of successive single-channel blocks and the clicks they give (threshold 30).
TEST(SoundInput, SingleChannelLatchGivesOneClickPerSound) {
  struct Case {
    const char* Name;
    std::vector<int> Peaks;
    std::string Calls;
  };
  const Case cases[] = {
      {"silence", {128, 100, 0, 158}, ""},
      {"one loud byte", {159}, "C"},
      {"a long sound is one click", {159, 255, 200, 159}, "C"},
      {"30 clears the latch", {159, 158, 159}, "CC"},
      {"31 does not clear it", {200, 159, 200}, "C"},
      {"two sounds with a gap", {255, 128, 128, 255, 128}, "CC"},
  };
  for (const Case& c : cases) {
    Harness h;
    h.Input.OpenSingleChannelDetector();
    for (int peak : c.Peaks)
      h.Mono.Deliver(MonoBlock(peak));
    EXPECT_EQ(h.Target.Calls, c.Calls) << c.Name;
  }
}

// (left, right) of successive stereo blocks and what they do: C a click, S a scan step.
TEST(SoundInput, StereoLeftClicksRightStepsAndTheLatchHoldsBoth) {
  struct Case {
    const char* Name;
    int32_t Threshold;
    std::vector<std::pair<int, int>> Levels;
    std::string Calls;
    bool Directed = true;
  };
  const Case cases[] = {
      {"ignored outside directed scanning", 10, {{30000, 30000}, {0, 0}}, "", false},
      {"left wins in one block", 10, {{11, 500}, {0, 500}, {11, 0}}, "C"},
      {"both must fall to clear", 10, {{11, 0}, {10, 11}, {10, 10}, {0, 11}}, "CS"},
      {"right alone steps", 10, {{0, 11}, {0, 0}, {0, 11}}, "SS"},
      {"hiss under the default threshold", DefaultStereoThreshold, {{2000, 3000}, {7740, 7740}}, ""},
      {"a clap over the default threshold", DefaultStereoThreshold, {{7741, 0}, {0, 0}, {0, 20000}}, "CS"},
  };
  for (const Case& c : cases) {
    Harness h;
    h.UseStereo();
    h.Target.Directed = c.Directed;
    h.Input.Thresholds.Stereo = c.Threshold;
    h.Input.OpenStereoDetector();
    for (auto [left, right] : c.Levels)
      h.Stereo.Deliver(StereoBlock(left, right));
    EXPECT_EQ(h.Target.Calls, c.Calls) << c.Name;
  }
}

TEST(SoundInput, NotificationsAfterACloseDoNothing) {
  for (bool stereo : {false, true}) {
    Harness h;
    if (stereo) h.UseStereo();
    stereo ? h.Input.OpenStereoDetector() : h.Input.OpenSingleChannelDetector();
    stereo ? h.Input.CloseStereoDetector() : h.Input.CloseSingleChannelDetector();
    EXPECT_TRUE(stereo ? h.Input.StereoStopped() : h.Input.SingleChannelStopped());
    EXPECT_EQ((stereo ? h.Stereo : h.Mono).Closes, 1);
    h.Mono.Deliver(MonoBlock(255));
    h.Stereo.Deliver(StereoBlock(30000, 30000));
    EXPECT_EQ(h.Target.Calls, "") << "stereo " << stereo;
    EXPECT_EQ(h.Input.ReadSingleChannelLevel(), 0);
    EXPECT_EQ(h.Input.ReadStereoLevels().Left, 0);
  }
}

TEST(SoundInput, ReopeningHearsAgainAndTheLatchSurvives) {
  Harness h;
  h.Input.OpenSingleChannelDetector();
  h.Mono.Deliver(MonoBlock(255));
  h.Input.CloseSingleChannelDetector();
  h.Input.OpenSingleChannelDetector();
  EXPECT_EQ(h.Mono.Opens, 2);
  h.Mono.Deliver(MonoBlock(255)); // still latched from before the close
  h.Mono.Deliver(MonoBlock(128));
  h.Mono.Deliver(MonoBlock(255));
  EXPECT_EQ(h.Target.Calls, "CC");
}

TEST(SoundInput, AClickThatClosesTheDetectorEndsTheBlockCleanly) {
  Harness h;
  h.Target.DuringClick = [&h] { h.Input.CloseSingleChannelDetector(); };
  h.Input.OpenSingleChannelDetector();
  h.Mono.Deliver(MonoBlock(255));
  h.Mono.Deliver(MonoBlock(128));
  h.Mono.Deliver(MonoBlock(255));
  EXPECT_EQ(h.Target.Calls, "C");
  EXPECT_FALSE(h.Mono.IsOpen);
}

TEST(SoundInput, FailureBoxShowsOncePerRunPerDetector) {
  Harness h;
  h.Mono.FailWith = 2;
  h.Stereo.FailWith = 4;
  for (int start = 0; start < 3; ++start) {
    EXPECT_EQ(h.Input.OpenSingleChannelDetector(), 2);
    EXPECT_EQ(h.Input.OpenStereoDetector(), 4);
  }
  EXPECT_FALSE(h.Input.SingleChannelOpen());
  EXPECT_EQ(h.Mono.Attempts, 3) << "every start tries again";
  ASSERT_EQ(h.Messages.Boxes.size(), 2u);
  EXPECT_EQ(h.Messages.Boxes[0].Caption, "Control del valor m\xE0xim detectat en el micr\xF2"
                                         "fon");
  EXPECT_EQ(
      h.Messages.Boxes[0].Text,
      "No \xE9s possible obrir el dispositiu d'entrada de so. O no hi ha tarja de so o hi ha una altre "
      "aplicaci\xF3 que la fa servir. Si \xE9s aix\xED pareu aquesta aplicaci\xF3 i torneu-ho a provar.");
  EXPECT_EQ(h.Messages.Boxes[0].Icon, MessageIcon::Warning);
  EXPECT_EQ(h.Messages.Boxes[1].Caption, "Captura so del micr\xF2"
                                         "fon");
  EXPECT_EQ(h.Messages.Boxes[1].Text, "NO puc obrir els dispositiu d'entrada");
  EXPECT_EQ(h.Messages.Boxes[1].Icon, MessageIcon::Error);
  h.Mono.FailWith = 0;
  EXPECT_EQ(h.Input.OpenSingleChannelDetector(), 0);
  EXPECT_TRUE(h.Input.SingleChannelOpen());
}

TEST(SoundInput, AVanishedSourceClosesTheDetectorQuietlyAndTheNextStartTriesAgain) {
  for (bool stereo : {false, true}) {
    Harness h;
    if (stereo) h.UseStereo();
    FakeAudioCapture& capture = stereo ? h.Stereo : h.Mono;
    stereo ? h.Input.OpenStereoDetector() : h.Input.OpenSingleChannelDetector();
    capture.Lose();
    EXPECT_FALSE(capture.IsOpen);
    EXPECT_FALSE(stereo ? h.Input.StereoOpen() : h.Input.SingleChannelOpen());
    EXPECT_TRUE(h.Messages.Boxes.empty());
    h.Mono.Deliver(MonoBlock(255));
    h.Stereo.Deliver(StereoBlock(30000, 0));
    EXPECT_EQ(h.Target.Calls, "");
    EXPECT_EQ(stereo ? h.Input.OpenStereoDetector() : h.Input.OpenSingleChannelDetector(), 0);
    EXPECT_EQ(capture.Opens, 2);
  }
}

TEST(SoundInput, MeterListensWithoutClickingAndFollowsTheDetectors) {
  Harness h;
  h.Input.SetMeterListening(true);
  EXPECT_TRUE(h.Mono.IsOpen);
  h.Mono.Deliver(MonoBlock(200));
  EXPECT_EQ(h.Target.Calls, "") << "the meter alone never clicks";
  SoundMeterReading reading = h.Input.MeterReading();
  EXPECT_TRUE(reading.Listening);
  EXPECT_FALSE(reading.Stereo);
  EXPECT_EQ(reading.Level, 72);
  EXPECT_EQ(reading.Threshold, 30);
  EXPECT_EQ(reading.FullScale, 127);
  // Scanning takes the same capture over, and clicks.
  h.Input.OpenSingleChannelDetector();
  EXPECT_EQ(h.Mono.Opens, 1);
  h.Mono.Deliver(MonoBlock(200));
  EXPECT_EQ(h.Target.Calls, "C");
  // Scanning stops: the meter keeps hearing.
  h.Input.CloseSingleChannelDetector();
  EXPECT_TRUE(h.Mono.IsOpen);
  h.Input.SetMeterListening(false);
  EXPECT_FALSE(h.Mono.IsOpen);
  // With the stereo item on the meter hears in stereo, and a failed opening shows no box.
  h.UseStereo();
  h.Stereo.FailWith = 1;
  h.Input.SetMeterListening(true);
  EXPECT_TRUE(h.Messages.Boxes.empty());
  h.Stereo.FailWith = 0;
  h.Input.SetMeterListening(true);
  h.Stereo.Deliver(StereoBlock(300, 9000));
  reading = h.Input.MeterReading();
  EXPECT_TRUE(reading.Stereo);
  EXPECT_EQ(reading.Levels.Right, 9000);
  EXPECT_EQ(reading.Threshold, DefaultStereoThreshold);
  EXPECT_EQ(h.Target.Calls, "C");
}

} // namespace
} // namespace nq::test
