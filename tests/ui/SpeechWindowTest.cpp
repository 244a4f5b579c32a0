// The speech window on the offscreen platform, over the real speech front end with fake engines:
// its controls where the users have always found them, and every way of using them.
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <gtest/gtest.h>

#include "settings/ProfileFile.h"
#include "settings/SettingsStore.h"
#include "speech/ExceptionsDictionary.h"
#include "speech/SpeechFrontEnd.h"
#include "speech/SpeechLibrary.h"
#include "support/VirtualClock.h"
#include "ui/SpeechWindow.h"
#include "unit/speech/SpeechFakes.h"

namespace nq::test {
namespace {

void Click(QWidget* widget, QPoint at) {
  QMouseEvent press(QEvent::MouseButtonPress, at, widget->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QApplication::sendEvent(widget, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, at, widget->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  QApplication::sendEvent(widget, &release);
}

int SelectedRow(SpeechWindow& window) {
  const QList<QListWidgetItem*> selected = window.ListBoxMotorsDeVeu()->selectedItems();
  return selected.size() == 1 ? window.ListBoxMotorsDeVeu()->row(selected.front()) : -1;
}

void Key(QWidget* widget, int key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QApplication::sendEvent(widget, &press);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
  QApplication::sendEvent(widget, &release);
}

class SpeechWindowTest : public ::testing::Test {
protected:
  SpeechWindowTest() { CurrentLibraryLog = &Log; }
  ~SpeechWindowTest() override { CurrentLibraryLog = nullptr; }

  // Creates the front end from stored values and shows the window as start-up does.
  void Open(const char* engineNumber = nullptr, const char* rate = nullptr) {
    if (engineNumber) Settings.WriteSettingText("tts", "Numero sintetitzador", engineNumber);
    if (rate) Settings.WriteSettingText("tts", "velocitat", rate);
    Front.FormCreate();
    Window.show();
  }
  std::string Tts(const char* key) { return Settings.ReadSettingText("tts", key, "<none>"); }
  std::string ToWav(const char* key) {
    return ProfileFile(Folder.Path("parlartts.ini")).ReadText("tts to Wav", key, "<none>");
  }
  void ClickRow(int row) {
    QListWidget* list = Window.ListBoxMotorsDeVeu();
    Click(list->viewport(), list->visualItemRect(list->item(row)).center());
  }

  TempFolder Folder;
  SettingsStore Settings{Folder.Path("nexoquadrix.ini"), Folder.Path("Quadrix.ini")};
  LibraryLog Log;
  FakeLibraryLoader Loader;
  VirtualClock Clock;
  FakeDialogs DialogsFake;
  FakeVoiceEngine Desktop{{"Desktop A", "Desktop B"}};
  FakeVoiceEngine InProcess{{"Catal\xC3\xA0 (ca)"}};
  SpeechLibrary Library{Loader, Clock};
  ExceptionsDictionary Dictionary{Settings, DialogsFake, "/prog/"};
  SpeechFrontEnd Front{
      Settings, Folder.Path("parlartts.ini"), Desktop, InProcess, Library, Dictionary, DialogsFake, Clock};
  SpeechWindow Window{Front};
};

TEST_F(SpeechWindowTest, ControlsKeepTheirPlacesSizesAndTexts) {
  Open();
  EXPECT_EQ(Window.size(), QSize(694, 385));
  EXPECT_EQ(Window.minimumSize(), Window.maximumSize()) << "the dialog border does not resize";
  EXPECT_TRUE(Window.windowTitle().startsWith("TTS - "));
  EXPECT_EQ(Window.font().pixelSize(), 11);

  const struct {
    QWidget* Control;
    QRect Geometry;
  } places[] = {
      {Window.ListBoxMotorsDeVeu(), QRect(8, 24, 632, 293)},
      {Window.tbRate(), QRect(648, 32, 33, 209)},
      {Window.BitBtnTancar(), QRect(80, 336, 121, 41)},
      {Window.CheckBoxDicExc(), QRect(296, 352, 329, 17)},
  };
  for (const auto& place : places)
    EXPECT_EQ(place.Control->geometry(), place.Geometry) << place.Control->objectName().toStdString();
  EXPECT_EQ(Window.LabelVelocitat()->pos(), QPoint(643, 12));
  EXPECT_EQ(Window.lblRate()->pos(), QPoint(664, 252));

  EXPECT_EQ(Window.LabelVelocitat()->text(), "Speed:");
  EXPECT_EQ(Window.BitBtnTancar()->text(), "D'acord");
  EXPECT_TRUE(Window.BitBtnTancar()->isDefault()) << "Enter closes the window";
  EXPECT_EQ(Window.CheckBoxDicExc()->text(), "Utilitzar diccionari d'excepcions");
  EXPECT_TRUE(Window.CheckBoxDicExc()->font().bold());
  EXPECT_EQ(Window.CheckBoxDicExc()->font().pixelSize(), 16);
  EXPECT_EQ(Window.ListBoxMotorsDeVeu()->font().pixelSize(), 19);
  EXPECT_EQ(Window.ListBoxMotorsDeVeu()->visualItemRect(Window.ListBoxMotorsDeVeu()->item(0)).height(), 25);

  QSlider* rate = Window.tbRate();
  EXPECT_EQ(rate->orientation(), Qt::Vertical);
  EXPECT_EQ(rate->minimum(), -10);
  EXPECT_EQ(rate->maximum(), 10);
  EXPECT_TRUE(rate->invertedAppearance()) << "-10 is at the top";
  EXPECT_EQ(rate->tickPosition(), QSlider::TicksRight);
}

TEST_F(SpeechWindowTest, ShowsTheEngineListAndTheStoredChoice) {
  const struct {
    const char* Stored;
    int Row;
    const char* Label;
  } cases[] = {
      {"-1", 0, "0"}, // first run: the first entry, no voice chosen yet
      {"2", 2, "-3"}, // the in-process voice
      {"x", -1, "0"}, // an unreadable number selects nothing
  };
  for (const auto& c : cases) {
    TempFolder folder;
    SettingsStore settings{folder.Path("nexoquadrix.ini"), folder.Path("Quadrix.ini")};
    settings.WriteSettingText("tts", "Numero sintetitzador", c.Stored);
    if (c.Row == 2) settings.WriteSettingText("tts", "velocitat", "-3");
    SpeechFrontEnd front{
        settings, folder.Path("parlartts.ini"), Desktop, InProcess, Library, Dictionary, DialogsFake, Clock};
    front.FormCreate();
    SpeechWindow window(front);
    window.show();
    QListWidget* list = window.ListBoxMotorsDeVeu();
    ASSERT_EQ(list->count(), 7) << c.Stored;
    EXPECT_EQ(list->item(2)->text(), QString::fromUtf8("SAPI - Catal\u00E0 (ca)"));
    EXPECT_EQ(list->item(4)->text(), QString::fromUtf8("UPCTV - Dona - Catal\u00E0"));
    EXPECT_EQ(list->item(5)->text(), QString::fromUtf8("UPCTV - Hombre - Espa\u00F1ol"));
    QApplication::processEvents(); // the list takes the focus, which must choose nothing
    EXPECT_EQ(SelectedRow(window), c.Row) << c.Stored;
    EXPECT_EQ(front.SelectedIndex(), c.Row) << c.Stored;
    EXPECT_EQ(window.lblRate()->text().toStdString(), c.Label) << c.Stored;
    EXPECT_EQ(window.tbRate()->value(), std::stoi(c.Label)) << c.Stored;
    window.close();
  }
}

TEST_F(SpeechWindowTest, ChoosingWithTheKeyboardOrTheMouseSetsUpTheVoice) {
  Open("-1");
  EXPECT_TRUE(Desktop.Chosen.empty()) << "showing the window chooses nothing";
  Key(Window.ListBoxMotorsDeVeu(), Qt::Key_Down);
  EXPECT_EQ(Desktop.Chosen, std::vector<int>{1});
  Key(Window.ListBoxMotorsDeVeu(), Qt::Key_Down);
  EXPECT_EQ(InProcess.Chosen, std::vector<int>{0});
  EXPECT_EQ(ToWav("Tipus de sintetitzador"), "SAPI");
  EXPECT_EQ(ToWav("Sintetitzador"), "0");

  // A mouse click chooses once, also when it moves the selection.
  ClickRow(0);
  EXPECT_EQ(Desktop.Chosen, (std::vector<int>{1, 0}));
  EXPECT_EQ(SelectedRow(Window), 0);

  // A right click chooses nothing; a drag chooses where the button is released.
  const std::size_t chosenBefore = Desktop.Chosen.size();
  QListWidget* list = Window.ListBoxMotorsDeVeu();
  const QPoint row1 = list->visualItemRect(list->item(1)).center();
  QMouseEvent right(QEvent::MouseButtonPress, row1, list->viewport()->mapToGlobal(row1), Qt::RightButton,
                    Qt::RightButton, Qt::NoModifier);
  QApplication::sendEvent(list->viewport(), &right);
  EXPECT_EQ(SelectedRow(Window), 0);
  EXPECT_EQ(Desktop.Chosen.size(), chosenBefore);
  const QPoint row0 = list->visualItemRect(list->item(0)).center();
  QMouseEvent press(QEvent::MouseButtonPress, row0, list->viewport()->mapToGlobal(row0), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(list->viewport(), &press);
  QMouseEvent move(QEvent::MouseMove, row1, list->viewport()->mapToGlobal(row1), Qt::NoButton, Qt::LeftButton,
                   Qt::NoModifier);
  QApplication::sendEvent(list->viewport(), &move);
  QMouseEvent release(QEvent::MouseButtonRelease, row1, list->viewport()->mapToGlobal(row1), Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(list->viewport(), &release);
  EXPECT_EQ(SelectedRow(Window), 1);
  EXPECT_EQ(Front.SelectedIndex(), 1);

  // The same library voice clicked twice is set up once.
  Log.Calls.clear();
  ClickRow(4);
  ClickRow(4);
  const auto count = [this](const std::string& call) {
    return std::count(Log.Calls.begin(), Log.Calls.end(), call);
  };
  EXPECT_EQ(count("Speaker:1") + count("Speaker:2") + count("Speaker:0"), 1);
  EXPECT_EQ(ToWav("Tipus de sintetitzador"), "UPCTV");
}

TEST_F(SpeechWindowTest, OtherLanguagesWaitBehindTheirSwitchAndAClickedVoiceSpeaks) {
  InProcess.Voices = {"English (en)", "Catal\xC3\xA0 (ca)"};
  InProcess.Languages = {"en", "ca"};
  Open("0");
  QListWidget* list = Window.ListBoxMotorsDeVeu();
  QCheckBox* every = Window.CheckBoxTotesLesLlengues();
  ASSERT_NE(every, nullptr);
  EXPECT_FALSE(every->isChecked());
  EXPECT_TRUE(every->isVisible());
  EXPECT_FALSE(every->geometry().intersects(Window.CheckBoxDicExc()->geometry()));
  EXPECT_EQ(list->count(), 7) << "the English voice is hidden";
  EXPECT_EQ(list->item(2)->text(), "SAPI - Catal\u00e0 (ca)") << "the Catalan voice moved up";
  EXPECT_TRUE(list->findItems("SAPI - English (en)", Qt::MatchExactly).isEmpty());

  every->click();
  ASSERT_EQ(list->count(), 8);
  EXPECT_EQ(list->item(7)->text(), "SAPI - English (en)");
  ClickRow(7);
  EXPECT_EQ(Front.SelectedIndex(), 2);
  EXPECT_EQ(InProcess.Chosen.back(), 0);
  Clock.Advance(VoiceSampleDelayMs);
  EXPECT_EQ(InProcess.Spoken.size(), 1u) << "the clicked voice says its sample";

  every->click();
  EXPECT_EQ(list->count(), 8) << "the chosen voice stays in the list";
  EXPECT_EQ(SelectedRow(Window), 7);
}

TEST_F(SpeechWindowTest, SliderAppliesTheRateAndShowsIt) {
  Open("0", "15");
  EXPECT_EQ(Window.tbRate()->value(), 10);
  EXPECT_EQ(Window.lblRate()->text(), "10");
  const std::pair<int, const char*> moves[] = {{-10, "-10"}, {4, "4"}, {0, "0"}};
  for (const auto& [value, label] : moves) {
    Window.tbRate()->setValue(value);
    EXPECT_EQ(Window.lblRate()->text(), label);
    EXPECT_EQ(Desktop.Rates.back(), value);
    EXPECT_EQ(ToWav("SPEED"), label);
  }
  // The keyboard moves the handle the way the arrow points: down is faster.
  Key(Window.tbRate(), Qt::Key_Down);
  EXPECT_EQ(Window.tbRate()->value(), 1);
}

TEST_F(SpeechWindowTest, EveryWayOfClosingStoresTheChoice) {
  const std::function<void(SpeechWindow&)> closings[] = {
      [](SpeechWindow& w) { w.BitBtnTancar()->click(); },
      [](SpeechWindow& w) { Key(w.ListBoxMotorsDeVeu(), Qt::Key_Return); },
      [](SpeechWindow& w) { Key(w.ListBoxMotorsDeVeu(), Qt::Key_Escape); },
      [](SpeechWindow& w) { w.close(); },
  };
  int way = 0;
  for (const auto& close : closings) {
    TempFolder folder;
    SettingsStore settings{folder.Path("nexoquadrix.ini"), folder.Path("Quadrix.ini")};
    SpeechFrontEnd front{
        settings, folder.Path("parlartts.ini"), Desktop, InProcess, Library, Dictionary, DialogsFake, Clock};
    front.FormCreate();
    SpeechWindow window(front);
    window.show();
    EXPECT_EQ(settings.ReadSettingText("tts", "Numero sintetitzador", "<none>"), "<none>");
    Key(window.ListBoxMotorsDeVeu(), Qt::Key_End);
    window.tbRate()->setValue(-2);
    close(window);
    EXPECT_FALSE(window.isVisible()) << way;
    EXPECT_EQ(settings.ReadSettingText("tts", "Numero sintetitzador", "<none>"), "6") << way;
    EXPECT_EQ(settings.ReadSettingText("tts", "velocitat", "<none>"), "-2") << way;
    ++way;
  }
}

TEST_F(SpeechWindowTest, ModalWindowReturnsWhenConfirmed) {
  Front.FormCreate();
  QTimer::singleShot(0, &Window, [this] {
    Key(Window.ListBoxMotorsDeVeu(), Qt::Key_Down);
    Window.BitBtnTancar()->click();
  });
  EXPECT_EQ(Window.exec(), QDialog::Accepted);
  EXPECT_EQ(Tts("Numero sintetitzador"), "1");
}

TEST_F(SpeechWindowTest, DictionaryBoxAsksForAFileOnlyWhenClicked) {
  const std::string good = Folder.Write("dic.txt", "sr senyor\r\n");
  const std::string empty = Folder.Write("buit.txt", "no-separator\r\n");
  Open("0");
  QCheckBox* box = Window.CheckBoxDicExc();
  EXPECT_FALSE(box->isChecked());

  // The keyboard changes only the box.
  box->setFocus();
  Key(box, Qt::Key_Space);
  EXPECT_TRUE(box->isChecked());
  EXPECT_TRUE(DialogsFake.FileQuestions.empty());
  EXPECT_FALSE(Dictionary.IsOn());
  Key(box, Qt::Key_Space);

  const struct {
    std::optional<std::string> Answer;
    bool Checked;
  } clicks[] = {{good, true}, {std::nullopt, false}, {std::nullopt, false}, {empty, false}, {good, true}};
  std::size_t asked = 0;
  for (const auto& c : clicks) {
    const bool wasChecked = box->isChecked();
    DialogsFake.FileChoice = c.Answer;
    Click(box, box->rect().center());
    if (!wasChecked) ++asked; // unchecking only switches the dictionary off
    EXPECT_EQ(DialogsFake.FileQuestions.size(), asked);
    EXPECT_EQ(box->isChecked(), c.Checked);
    EXPECT_EQ(Dictionary.IsOn(), c.Checked);
  }
  ASSERT_FALSE(DialogsFake.FileQuestions.empty());
  EXPECT_EQ(DialogsFake.FileQuestions.front().Title, "QUADRIX - Obrir diccionari d'excepcions");

  // Showing the window again shows the dictionary's state.
  Window.close();
  Dictionary.SwitchOff();
  Window.show();
  EXPECT_FALSE(box->isChecked());
}

} // namespace
} // namespace nq::test
