#include "ui/SpeechWindow.h"

#include <QCheckBox>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QStyle>
#include <algorithm>

#include "linux/QtText.h"
#include "speech/SpeechFrontEnd.h"

namespace nq {
namespace {

constexpr int ListDesignedHeight = 193;
constexpr int ListExtraHeight = 100; // the list is made taller when the window is created
constexpr int ListItemHeight = 25;

// The dictionary box acts on the release of the left button, after the click has toggled it; a
// change made with the keyboard must change only the box, so the release is reported apart.
class MouseUpCheckBox : public QCheckBox {
public:
  using QCheckBox::QCheckBox;
  std::function<void()> OnLeftMouseUp;

protected:
  void mouseReleaseEvent(QMouseEvent* event) override {
    QCheckBox::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && OnLeftMouseUp) OnLeftMouseUp();
  }
};

QFont PixelFont(const QString& family, int pixels, bool bold = false) {
  QFont font(family);
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}

} // namespace

SpeechWindow::SpeechWindow(SpeechFrontEnd& frontEnd, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint |
                          Qt::WindowStaysOnTopHint), // above the main window, which stays on top
      Front(frontEnd) {
  setWindowTitle(QStringLiteral("TTS - Motor de veu"));
  setFont(PixelFont(QStringLiteral("MS Sans Serif"), 11));
  setFixedSize(SpeechWindowWidth, SpeechWindowHeight);
  setModal(true);
  BuildControls();
}

void SpeechWindow::BuildControls() {
  List = new QListWidget(this);
  List->setObjectName(QStringLiteral("ListBoxMotorsDeVeu"));
  List->setGeometry(8, 24, 632, ListDesignedHeight + ListExtraHeight);
  List->setFont(PixelFont(QStringLiteral("Segoe UI Semibold"), 19));
  List->setUniformItemSizes(true);
  // The keyboard chooses on moving; the mouse on release (see eventFilter).
  // Only a selection counts: the view also moves its current row when it merely takes the focus.
  connect(List, &QListWidget::itemSelectionChanged, this, [this] {
    const QList<QListWidgetItem*> chosen = List->selectedItems();
    if (!MouseDownOnList && chosen.size() == 1) ListBoxMotorsDeVeuClick(List->row(chosen.front()));
  });
  List->viewport()->installEventFilter(this);

  RateCaption = new QLabel(QStringLiteral("Speed:"), this);
  RateCaption->setObjectName(QStringLiteral("LabelVelocitat"));
  RateCaption->move(643, 12);
  RateCaption->adjustSize();

  Rate = new QSlider(Qt::Vertical, this);
  Rate->setObjectName(QStringLiteral("tbRate"));
  Rate->setGeometry(648, 32, 33, 209);
  Rate->setRange(MinSpeechRate, MaxSpeechRate);
  Rate->setSingleStep(1);
  Rate->setPageStep(2);
  Rate->setTickPosition(QSlider::TicksRight);
  Rate->setTickInterval(1);
  // The slowest rate sits at the top, and the arrow keys move the handle the way they point.
  Rate->setInvertedAppearance(true);
  Rate->setInvertedControls(true);
  connect(Rate, &QSlider::valueChanged, this, [this](int value) { tbRateChange(value); });

  RateText = new QLabel(QStringLiteral("0"), this);
  RateText->setObjectName(QStringLiteral("lblRate"));
  RateText->move(664, 252);
  RateText->adjustSize();

  Close = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("D'acord"), this);
  Close->setObjectName(QStringLiteral("BitBtnTancar"));
  Close->setGeometry(80, 336, 121, 41);
  Close->setDefault(true);
  connect(Close, &QPushButton::clicked, this, [this] { BitBtnTancarClick(); });

  auto* box = new MouseUpCheckBox(QStringLiteral("Utilitzar diccionari d'excepcions"), this);
  box->setObjectName(QStringLiteral("CheckBoxDicExc"));
  box->setGeometry(296, 352, 329, 17);
  box->setFont(PixelFont(QStringLiteral("Segoe UI Semibold"), 16, true));
  box->OnLeftMouseUp = [this] { CheckBoxDicExcMouseUp(); };
  connect(box, &QCheckBox::clicked, this, [this](bool checked) { CheckBoxDicExcClick(checked); });
  DictionaryBox = box;

  EveryLanguageBox = new QCheckBox(QString::fromUtf8("Mostra totes les llengües"), this);
  EveryLanguageBox->setObjectName(QStringLiteral("CheckBoxTotesLesLlengues"));
  EveryLanguageBox->setGeometry(296, 327, 329, 20);
  connect(EveryLanguageBox, &QCheckBox::toggled, this, [this] {
    if (!Syncing) SyncFromFrontEnd();
  });

  List->setFocus();
}

void SpeechWindow::SyncFromFrontEnd() {
  Syncing = true;
  const int selected = Front.SelectedIndex();
  const std::vector<int> rows = ShownVoiceOrder(Front.Voices(), EveryLanguageBox->isChecked(), selected);
  if (rows != Rows) {
    Rows = rows;
    List->clear();
    for (const int entry : Rows) {
      auto* item = new QListWidgetItem(ToQString(Front.Entries()[static_cast<size_t>(entry)]), List);
      item->setSizeHint(QSize(0, ListItemHeight));
    }
  }
  const auto row = std::find(Rows.begin(), Rows.end(), selected);
  if (row != Rows.end()) {
    List->setCurrentRow(static_cast<int>(row - Rows.begin()));
    List->scrollToItem(List->currentItem());
  } else {
    List->clearSelection();
  }
  Rate->setValue(Front.RatePosition());
  RateText->setText(ToQString(Front.LblRateText()));
  RateText->adjustSize();
  DictionaryBox->setChecked(Front.CheckBoxDicExc());
  Syncing = false;
}

void SpeechWindow::ListBoxMotorsDeVeuClick(int row) {
  if (Syncing || row < 0 || row >= static_cast<int>(Rows.size())) return;
  Front.SelectVoiceToHear(Rows[static_cast<size_t>(row)]);
  SyncFromFrontEnd();
}

void SpeechWindow::tbRateChange(int value) {
  if (Syncing) return;
  Front.tbRateChange(value);
  Front.HearChosenVoiceSoon();
  RateText->setText(ToQString(Front.LblRateText()));
  RateText->adjustSize();
}

void SpeechWindow::CheckBoxDicExcClick(bool checked) {
  if (!Syncing) Front.CheckBoxDicExcClick(checked);
}

void SpeechWindow::CheckBoxDicExcMouseUp() {
  if (Syncing) return;
  const bool on = Front.CheckBoxDicExcMouseUp(DictionaryBox->isChecked());
  Syncing = true;
  DictionaryBox->setChecked(on);
  Syncing = false;
}

// A mouse press moves the selection and a drag may move it further; the entry is chosen once, when
// the left button is released, also when it is the entry already chosen. Other buttons choose nothing.
bool SpeechWindow::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (watched != List->viewport() ||
      (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick &&
       type != QEvent::MouseButtonRelease))
    return QDialog::eventFilter(watched, event);
  if (static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton) return true;
  MouseDownOnList = type != QEvent::MouseButtonRelease;
  if (type == QEvent::MouseButtonRelease) {
    const QList<QListWidgetItem*> chosen = List->selectedItems();
    if (chosen.size() == 1) ListBoxMotorsDeVeuClick(List->row(chosen.front()));
  }
  return false;
}

void SpeechWindow::BitBtnTancarClick() {
  accept();
}

void SpeechWindow::showEvent(QShowEvent* event) {
  Front.FormShow();
  SyncFromFrontEnd();
  CentreOnScreen();
  List->setFocus();
  QDialog::showEvent(event);
}

void SpeechWindow::done(int result) {
  // Every way of closing (the button, Escape, the title bar) stores the choice.
  Front.FormClose();
  QDialog::done(result);
}

void SpeechWindow::CentreOnScreen() {
  QScreen* screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect area = screen->geometry();
  move(area.center() - QPoint(width() / 2, height() / 2));
}

} // namespace nq
