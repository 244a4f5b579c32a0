#pragma once
#include <string>

namespace nq {

class SoundPlayer {
public:
  virtual ~SoundPlayer() = default;
  /// Starts playing a sound file and returns at once; a missing or unplayable file plays nothing.
  virtual void Play(const std::string& utf8Path) = 0;
  /// Plays a sound file and returns when it has ended (the UI keeps processing events meanwhile).
  virtual void PlayAndWait(const std::string& utf8Path) = 0;
};

} // namespace nq
