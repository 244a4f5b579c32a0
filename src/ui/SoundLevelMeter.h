#pragma once
// A small window that shows what the microphone hears: the peak of the last block of each channel
// against the threshold a sound must pass to click, so whoever sets it up can see the margin.
#include <QDialog>
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
  SoundMeterReading Reading;
};

} // namespace nq
