#pragma once
// The board being edited: the Board as the player will read it, the bytes it was read from, and the
// history of changes. Every change goes through Change(), which records exactly the cells and options
// it altered, so any sequence undoes and redoes without limit. Saving writes only the values that
// differ from the bytes on disk, through the profile engine, so a board made elsewhere keeps its
// comments, unknown keys, order and line endings, and an unchanged board is written back byte for byte.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "authoring/BoardEdits.h"
#include "boards/Board.h"
#include "settings/ProfileDocument.h"

namespace nq::authoring {

struct CellChange {
  CellPosition At;
  CellRecord Before;
  CellRecord After;
};

// One undoable step: what it was called, and the state of everything it touched before and after.
struct BoardEdit {
  std::string Label;
  BoardHeader HeaderBefore;
  BoardHeader HeaderAfter;
  std::vector<CellChange> Cells;
};

enum class SaveStatus { Saved, NoPath, WriteFailed };

class BoardDocument {
public:
  /// A new board of columns x rows (each clamped to 1..21) with empty cells, not yet on disk.
  static BoardDocument Create(int columns, int rows);
  /// The board file at pathUtf8, read as the player reads it; nothing (and the reason, in Spanish
  /// Windows-1252 as the player words it, or empty for a file of another program) when it is refused.
  static std::optional<BoardDocument> Open(const std::string& pathUtf8, std::string& refusal);
  /// A document over given bytes, as if read from pathUtf8 (an autosave copy being restored); the
  /// bytes of the board file itself stay the base that saving compares with.
  static std::optional<BoardDocument> Restore(const std::string& pathUtf8, const std::string& autosaveBytes);

  const Board& Model() const { return Current; }
  const std::string& Path() const { return PathUtf8; }
  /// The board's folder with a trailing "/", or empty for a board never saved.
  std::string Folder() const;
  /// True when saving would change the file (or the board was never saved).
  bool Modified() const;
  /// Changes with every change, undo and redo.
  uint64_t Revision() const { return Revisions; }

  /// Runs mutate on a copy of the board and records what it changed as one step; false (and no
  /// step) when nothing changed.
  bool Change(const std::string& label, const std::function<void(Board&)>& mutate);

  bool CanUndo() const { return Done > 0; }
  bool CanRedo() const { return Done < History.size(); }
  const std::string& UndoLabel() const;
  const std::string& RedoLabel() const;
  /// The cells the last undone or redone step touched, to select them again.
  bool Undo(std::vector<CellPosition>* touched = nullptr);
  bool Redo(std::vector<CellPosition>* touched = nullptr);
  std::size_t HistorySize() const { return History.size(); }

  /// True when the file no longer holds the bytes this document was read from or last saved, so
  /// another program (the player's own write-backs, a second editor) wrote it meanwhile and a save
  /// would replace that; false for a board never saved, a file gone or one that cannot be read.
  bool ChangedOnDisk() const;

  /// The bytes a save writes now.
  std::string Bytes() const;
  /// Writes the board atomically to its path; afterwards those bytes are the new base.
  SaveStatus Save();
  /// Writes to another path, which becomes the document's path; the pictures and sounds its cells
  /// name are copied into the new folder when they are not there yet.
  SaveStatus SaveAs(const std::string& pathUtf8);

  /// Where the autosave copy of a board lives: beside it, under a name that is not a board.
  static std::string AutosavePath(const std::string& pathUtf8);

private:
  BoardDocument() = default;
  void Apply(const BoardEdit& edit, bool forward);

  std::string PathUtf8;
  ProfileDocument Base; // the bytes on disk (or the new board's header)
  bool WriteEveryKey = false;
  Board Current;
  std::vector<BoardEdit> History;
  std::size_t Done = 0;
  uint64_t Revisions = 0;
  mutable std::optional<std::string> CachedBytes;
  mutable uint64_t CachedRevision = 0;
};

/// True when the name's extension is ".qdx" in any letter case.
bool IsBoardFileName(const std::string& pathUtf8);

} // namespace nq::authoring
