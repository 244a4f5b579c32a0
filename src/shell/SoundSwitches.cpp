#include "shell/SoundSwitches.h"

#include "settings/ProfileFile.h"
#include "settings/SettingsKeys.h"

namespace nq {
namespace {

int32_t ThresholdFrom(const SettingsStore& settings, std::string_view key, int32_t def, int32_t fullScale) {
  const std::optional<int32_t> value = ParseStrictNumber(settings.ReadSharedText(SectionQuadrix, key, ""));
  // Zero would click on silence and full scale never: both are kept out.
  if (!value || *value < 1 || *value >= fullScale) return def;
  return *value;
}

} // namespace

SoundSwitches::SoundSwitches(ShellContext& context, AccessModes& modes, AudioCapture& singleChannel,
                             AudioCapture& stereo)
    : Ctx(context), Modes(modes), Detectors(singleChannel, stereo, context.Messages, *this) {
  LoadThresholds();
}

void SoundSwitches::LoadThresholds() {
  Detectors.Thresholds.SingleChannel =
      ThresholdFrom(Ctx.Settings, KeyLlindarSo, DefaultSingleChannelThreshold, SingleChannelFullScale);
  Detectors.Thresholds.Stereo =
      ThresholdFrom(Ctx.Settings, KeyLlindarSoEstereo, DefaultStereoThreshold, StereoFullScale);
}

void SoundSwitches::SetSingleChannelDetector(bool open) {
  if (open)
    Detectors.OpenSingleChannelDetector();
  else
    Detectors.CloseSingleChannelDetector();
}

void SoundSwitches::SetStereoDetector(bool open) {
  if (open)
    Detectors.OpenStereoDetector();
  else
    Detectors.CloseStereoDetector();
}

void SoundSwitches::StopSoundDetectors() {
  Detectors.SetMeterListening(false);
  Detectors.CloseStereoDetector();
  Detectors.CloseSingleChannelDetector();
}

void SoundSwitches::MenuClicActivatPerUnSoClick() {
  // Checking an item opens nothing: the detector opens when its scanning mode next starts.
  if (Ctx.Menu.Toggle(SingleChannelSoundItemName)) {
    Ctx.Settings.WriteSettingYesNo(SectionClic, KeyActivarPerSoEscaneigDirigit, false);
    Detectors.CloseStereoDetector();
    Ctx.Menu.SetChecked(StereoSoundItemName, false);
    Ctx.Settings.WriteSettingAccentedYesNo(SectionClic, KeyActivarPerSo, true);
  } else {
    Detectors.CloseSingleChannelDetector();
    Ctx.Settings.WriteSettingAccentedYesNo(SectionClic, KeyActivarPerSo, false);
  }
}

void SoundSwitches::MenuEnEscaneigDirigitSActivaPerCadascunDelsCanalsEstereoDeSoClick() {
  if (Ctx.Menu.Toggle(StereoSoundItemName)) {
    Detectors.CloseSingleChannelDetector();
    Ctx.Settings.WriteSettingAccentedYesNo(SectionClic, KeyActivarPerSo, false);
    Ctx.Menu.SetChecked(SingleChannelSoundItemName, false);
    Ctx.Settings.WriteSettingYesNo(SectionClic, KeyActivarPerSoEscaneigDirigit, true);
  } else {
    Detectors.CloseStereoDetector();
    Ctx.Settings.WriteSettingYesNo(SectionClic, KeyActivarPerSoEscaneigDirigit, false);
  }
}

void SoundSwitches::MenuNivellSoClick() {
  if (ShowLevelMeter) ShowLevelMeter();
}

bool SoundSwitches::SingleChannelItemChecked() const {
  return Ctx.Menu.Checked(SingleChannelSoundItemName);
}

bool SoundSwitches::StereoItemChecked() const {
  return Ctx.Menu.Checked(StereoSoundItemName);
}

bool SoundSwitches::DirectedScanningChecked() const {
  return Ctx.Menu.Checked("MenuEscaneigDirigit");
}

void SoundSwitches::ClickAction() {
  Modes.ClickAction();
  Ctx.Window.Refresh();
}

void SoundSwitches::ScanStep() {
  Modes.ScanStep();
  Ctx.Window.Refresh();
}

} // namespace nq
