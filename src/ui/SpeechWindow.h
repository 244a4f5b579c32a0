#pragma once
// TFormTTS: the speech window, a view of the speech front end. It shows the engine list, the rate
// slider and the dictionary check box, and hands every change to the front end's handlers.
#include <QDialog>
#include <functional>
#include <vector>

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;
class QSlider;

namespace nq {

class SpeechFrontEnd;

inline constexpr int SpeechWindowWidth = 694;
inline constexpr int SpeechWindowHeight = 385;

class SpeechWindow : public QDialog {
  Q_OBJECT
public:
  SpeechWindow(SpeechFrontEnd& frontEnd, QWidget* parent = nullptr);

  /// Shows the front end's list, selection, rate and check box state.
  void SyncFromFrontEnd();

  QListWidget* ListBoxMotorsDeVeu() { return List; }
  QSlider* tbRate() { return Rate; }
  QLabel* lblRate() { return RateText; }
  QLabel* LabelVelocitat() { return RateCaption; }
  QPushButton* BitBtnTancar() { return Close; }
  QCheckBox* CheckBoxDicExc() { return DictionaryBox; }
  /// "Mostra totes les llengües": without it the list shows the Catalan and Spanish voices only.
  QCheckBox* CheckBoxTotesLesLlengues() { return EveryLanguageBox; }
  /// The front end's list index of each row shown.
  const std::vector<int>& RowEntries() const { return Rows; }

  /// Closes the window as its OK button does.
  void BitBtnTancarClick();

protected:
  void showEvent(QShowEvent* event) override;
  void done(int result) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void BuildControls();
  void ListBoxMotorsDeVeuClick(int row);
  void tbRateChange(int value);
  void CheckBoxDicExcMouseUp();
  void CheckBoxDicExcClick(bool checked);
  void CentreOnScreen();

  SpeechFrontEnd& Front;
  QListWidget* List = nullptr;
  QLabel* RateCaption = nullptr;
  QSlider* Rate = nullptr;
  QLabel* RateText = nullptr;
  QPushButton* Close = nullptr;
  QCheckBox* DictionaryBox = nullptr;
  QCheckBox* EveryLanguageBox = nullptr;
  std::vector<int> Rows;        // the front end's list index of each row
  bool MouseDownOnList = false; // a press moves the selection; the choice is made on release
  bool Syncing = false;         // the window is being set from the front end: no handler runs
};

} // namespace nq
