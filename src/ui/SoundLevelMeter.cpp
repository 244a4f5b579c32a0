#include "ui/SoundLevelMeter.h"

#include <QPainter>

namespace nq {
namespace {

constexpr int PollMs = 50;
constexpr int BarHeight = 28;
constexpr int Margin = 12;
constexpr qint64 HoldMs = 1500;

} // namespace

SoundLevelMeter::SoundLevelMeter(SoundInput& input, QWidget* parent) : QDialog(parent), Input(input) {
  setWindowTitle(QString::fromUtf8("Nivel del sonido del micrófono"));
  setObjectName("SoundLevelMeter");
  setModal(false);
  resize(420, 3 * Margin + 2 * BarHeight + 40);
  Poll.setInterval(PollMs);
  Clock.start();
  connect(&Poll, &QTimer::timeout, this, [this] {
    Reading = Input.MeterReading();
    if (Reading.Stereo) {
      Hold(0, Reading.Levels.Left);
      Hold(1, Reading.Levels.Right);
    } else {
      Hold(0, Reading.Level);
    }
    update();
  });
}

void SoundLevelMeter::Hold(int channel, int level) {
  const qint64 now = Clock.elapsed();
  if (level >= HeldLevel[channel] || now - HeldSince[channel] > HoldMs) {
    HeldLevel[channel] = level;
    HeldSince[channel] = now;
  }
}

void SoundLevelMeter::showEvent(QShowEvent* event) {
  HeldLevel[0] = HeldLevel[1] = 0;
  Input.SetMeterListening(true);
  Poll.start();
  QDialog::showEvent(event);
}

void SoundLevelMeter::hideEvent(QHideEvent* event) {
  Poll.stop();
  Input.SetMeterListening(false);
  QDialog::hideEvent(event);
}

void SoundLevelMeter::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().window());
  const int width = this->width() - 2 * Margin;
  const int full = std::max(1, Reading.FullScale);
  auto bar = [&](int top, int level, const QString& name) {
    const QRect frame(Margin, top, width, BarHeight);
    painter.fillRect(frame, QColor(40, 40, 40));
    const bool over = level > Reading.Threshold;
    painter.fillRect(QRect(frame.left(), frame.top(), width * std::min(level, full) / full, BarHeight),
                     over ? QColor(255, 0, 0) : QColor(0, 170, 0));
    const int mark = frame.left() + width * Reading.Threshold / full;
    painter.setPen(QPen(Qt::yellow, 3));
    painter.drawLine(mark, frame.top(), mark, frame.bottom());
    painter.setPen(Qt::white);
    painter.drawText(frame.adjusted(6, 0, -6, 0), Qt::AlignVCenter | Qt::AlignLeft,
                     QString("%1 %2 / %3").arg(name).arg(level).arg(Reading.Threshold));
  };
  if (Reading.Stereo) {
    bar(Margin, HeldLevel[0], "L");
    bar(2 * Margin + BarHeight, HeldLevel[1], "R");
  } else {
    bar(Margin, HeldLevel[0], "");
  }
  painter.setPen(palette().windowText().color());
  const QString state =
      Reading.Listening ? QString::fromUtf8("Escuchando") : QString::fromUtf8("Sin micrófono");
  painter.drawText(QRect(Margin, height() - 32, width, 24), Qt::AlignVCenter | Qt::AlignLeft, state);
}

} // namespace nq
