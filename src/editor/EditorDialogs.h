#pragma once
// The editor's two dialogs: a new board (size, name, folder) and the options the player reads from a board.
#include <QString>
#include <optional>

#include "authoring/BoardEdits.h"
#include "editor/EditorTexts.h"

class QWidget;

namespace nq {

struct NewBoardChoice {
  int Columns = 3;
  int Rows = 2;
  QString Path; // the new board's file
};

/// Asks for the size, name and folder of a new board; nothing when cancelled.
std::optional<NewBoardChoice> AskNewBoard(QWidget* parent, const EditorTexts& texts, const QString& folder,
                                          const QString& name = {}, int columns = 3, int rows = 2);

/// Shows the board's options for editing; the changed header, or nothing when cancelled.
std::optional<authoring::BoardHeader> AskBoardOptions(QWidget* parent, const EditorTexts& texts,
                                                      const authoring::BoardHeader& header);

} // namespace nq
