#include "linux/QtSoundPlayer.h"

#include <QEventLoop>
#include <QSoundEffect>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <cstdint>
#include <fstream>

namespace nq {
namespace {

uint32_t Le32(const unsigned char* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

} // namespace

QtSoundPlayer::QtSoundPlayer() = default;
QtSoundPlayer::~QtSoundPlayer() = default;

int QtSoundPlayer::WavDurationMs(const std::string& utf8Path) {
  std::ifstream in(utf8Path, std::ios::binary);
  unsigned char header[12];
  if (!in.read(reinterpret_cast<char*>(header), 12) ||
      std::string(reinterpret_cast<char*>(header), 4) != "RIFF" ||
      std::string(reinterpret_cast<char*>(header) + 8, 4) != "WAVE")
    return -1;
  uint32_t byteRate = 0;
  for (int chunks = 0; chunks < 64; ++chunks) {
    unsigned char chunk[8];
    if (!in.read(reinterpret_cast<char*>(chunk), 8)) return -1;
    const std::string id(reinterpret_cast<char*>(chunk), 4);
    const uint32_t size = Le32(chunk + 4);
    if (id == "fmt " && size >= 16) {
      unsigned char fmt[16];
      if (!in.read(reinterpret_cast<char*>(fmt), 16)) return -1;
      byteRate = Le32(fmt + 8);
      in.seekg(size - 16 + (size & 1), std::ios::cur);
    } else if (id == "data") {
      if (byteRate == 0) return -1;
      return static_cast<int>(uint64_t{size} * 1000 / byteRate);
    } else {
      in.seekg(size + (size & 1), std::ios::cur);
    }
  }
  return -1;
}

bool QtSoundPlayer::Start(const std::string& utf8Path) {
  if (WavDurationMs(utf8Path) < 0) return false; // missing or unplayable: play nothing, say nothing
  Effect = std::make_unique<QSoundEffect>();
  Effect->setSource(QUrl::fromLocalFile(QString::fromStdString(utf8Path)));
  Effect->play();
  return true;
}

void QtSoundPlayer::Play(const std::string& utf8Path) {
  Start(utf8Path);
}

void QtSoundPlayer::PlayAndWait(const std::string& utf8Path) {
  const int duration = WavDurationMs(utf8Path);
  if (!Start(utf8Path)) return;
  // Wait in a nested loop until playing stops, never longer than the file plus a margin.
  QEventLoop loop;
  QSoundEffect* effect = Effect.get();
  QObject::connect(effect, &QSoundEffect::playingChanged, &loop, [&loop, effect] {
    if (!effect->isPlaying() && effect->status() != QSoundEffect::Loading) loop.quit();
  });
  QObject::connect(effect, &QSoundEffect::statusChanged, &loop, [&loop, effect] {
    if (effect->status() == QSoundEffect::Error) loop.quit();
  });
  // Never longer than the file plus a margin, and never more than ten minutes whatever the header says.
  QTimer::singleShot(std::min(duration, 600000) + 1500, &loop, &QEventLoop::quit);
  loop.exec();
}

} // namespace nq
