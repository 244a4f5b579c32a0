#pragma once
#include <memory>

#include "platform/SoundPlayer.h"

class QSoundEffect;

namespace nq {

// Cell sounds through Qt Multimedia (PulseAudio). One sound at a time: a new one replaces the last.
class QtSoundPlayer : public SoundPlayer {
public:
  QtSoundPlayer();
  ~QtSoundPlayer() override;
  void Play(const std::string& utf8Path) override;
  void PlayAndWait(const std::string& utf8Path) override;

  /// The length of a WAV file in milliseconds from its header, or -1 when it is not a readable WAV.
  static int WavDurationMs(const std::string& utf8Path);

private:
  bool Start(const std::string& utf8Path);
  std::unique_ptr<QSoundEffect> Effect;
};

} // namespace nq
