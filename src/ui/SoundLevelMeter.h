#pragma once
// A small window that shows what the microphone hears: the peak of the last block of each channel
// against the threshold a sound must pass to click, so whoever sets it up can see the margin.
#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>

#include "actions/SoundInput.h"

namespace nq {

class SoundLevelMeter final : public QDialog {
  Q_OBJECT
public:
  SoundLevelMeter(SoundInput& input, QWidget* parent);

protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

private:
  SoundInput& Input;
  QTimer Poll;
  QElapsedTimer Clock;
  SoundMeterReading Reading;
  // The highest level of the last moments, so a short clap stays readable on the bar.
  int HeldLevel[2] = {0, 0};
  qint64 HeldSince[2] = {0, 0};
  void Hold(int channel, int level);
};

} // namespace nq
