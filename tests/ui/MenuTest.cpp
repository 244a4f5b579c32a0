// The menu bar built from the menu model: captions as the program has always had them, live marks.
#include <QMenuBar>
#include <gtest/gtest.h>

#include "support/WindowedPlayer.h"

namespace nq {
namespace {

QAction* FindAction(QWidget* root, const QString& text) {
  for (QAction* action : root->findChildren<QAction*>())
    if (action->text() == text) return action;
  return nullptr;
}

TEST(MenuTest, MenuBarShowsEveryTopMenuAndFollowsTheModel) {
  test::WindowedPlayer<> windowed;
  MainWindow& window = windowed.Window;
  Player& player = windowed.Start();

  QStringList titles;
  for (QAction* action : window.menuBar()->actions())
    titles << action->text();
  EXPECT_EQ(titles, (QStringList{"Archivo", QString::fromUtf8("Edición"), "Control", "Opciones",
                                 QString::fromUtf8("Opciones de plafón"), "Ayuda"}));

  QAction* speak = FindAction(&window, "Hablar");
  ASSERT_NE(speak, nullptr);
  EXPECT_TRUE(speak->isChecked());
  player.MenuClick("MenuSpeak");
  window.Refresh();
  EXPECT_FALSE(speak->isChecked());

  QAction* hidden =
      FindAction(&window, QString::fromUtf8("Clic automàtic a l'estar parat el \"mouse\" en una posició"));
  ASSERT_NE(hidden, nullptr);
  EXPECT_FALSE(hidden->isVisible());
  ASSERT_NE(FindAction(&window, QString::fromUtf8("Barrido automático activado con el clic derecho pulsado")),
            nullptr);
  ASSERT_NE(FindAction(&window, "Screen center"), nullptr);
}

// Every shown mark against the model's state.
void ExpectMarksFollowTheModel(const MainWindow& window, const Player& player, const std::string& after) {
  for (const char* name :
       {"MenuMouseDown", "MenuMouseUp", "MenuSpeak", "MenuCaptionDown", "MenuEfecto3D", "MenuPositionDefault",
        "MenuPlafoMAXIMIZED", "MenuPositionTopLeft", "MenuPositionBottomRight"}) {
    const QAction* action = window.MenuAction(name);
    ASSERT_NE(action, nullptr) << name;
    EXPECT_EQ(action->isChecked(), player.Menu().Checked(name)) << name << " after " << after;
  }
}

TEST(MenuTest, OnlyOptionsCarryAMarkAndItIsTheModelsStateAfterEveryClick) {
  test::WindowedPlayer<> windowed;
  MainWindow& window = windowed.Window;
  Player& player = windowed.Start();

  for (const char* command : {"About...", "&Abrir...", "Menú", "Tutorial...", "Synthesizer TTS", "Salir"}) {
    const QAction* action = FindAction(&window, QString::fromUtf8(command));
    ASSERT_NE(action, nullptr) << command;
    EXPECT_FALSE(action->isCheckable()) << command;
  }
  // An item that opens a window ("...") is a command and never shows a mark.
  for (const QAction* action : window.findChildren<QAction*>()) {
    if (action->text().endsWith("...")) {
      EXPECT_FALSE(action->isCheckable()) << action->text().toStdString();
    }
  }
  // Clicking an option that is already on, twice in a row, and moving between choices.
  for (const char* name : {"MenuMouseUp", "MenuMouseUp", "MenuMouseDown", "MenuMouseDown", "MenuMouseUp",
                           "MenuSpeak", "MenuSpeak", "MenuCaptionDown", "MenuPositionTopLeft",
                           "MenuPositionTopLeft", "MenuPositionBottomRight", "MenuPositionDefault"}) {
    window.MenuAction(name)->trigger();
    ExpectMarksFollowTheModel(window, player, name);
  }
  EXPECT_TRUE(window.MenuAction("MenuMouseUp")->isChecked());
  EXPECT_TRUE(window.MenuAction("MenuPositionDefault")->isChecked());
  EXPECT_NE(window.MenuAction("MenuMouseUp")->actionGroup(), nullptr);
}

} // namespace
} // namespace nq
