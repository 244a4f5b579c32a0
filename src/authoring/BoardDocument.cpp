#include "authoring/BoardDocument.h"

#include <algorithm>
#include <filesystem>

#include "authoring/BoardKeys.h"
#include "authoring/BoardText.h"
#include "settings/AtomicFile.h"

namespace nq::authoring {
namespace {

namespace fs = std::filesystem;

const char* const NewBoardHeader = "[Quadrix]\r\nName=Quadrix\r\nautor=Vellumor\r\n";

bool HasPlayerHeader(const ProfileDocument& document) {
  return document.Find("Quadrix", "Name").value_or("") == "Quadrix" &&
         document.Find("Quadrix", "autor").value_or("") == "Vellumor";
}

// The player refuses grids wider or taller than its table, and grids without columns or rows.
std::string GridRefusal(const Board& board) {
  if (board.Columns > MaxGridColumns) return std::to_string(board.Columns) + " columnas; el m\xE1ximo es 21.";
  if (board.Rows > MaxGridRows) return std::to_string(board.Rows) + " filas; el m\xE1ximo es 21.";
  if (board.Columns == 0) return "0 columnas; debe tener al menos una.";
  if (board.Rows == 0) return "0 filas; debe tener al menos una.";
  return {};
}

} // namespace

bool IsBoardFileName(const std::string& pathUtf8) {
  std::string extension = fs::path(pathUtf8).extension().string();
  for (char& c : extension)
    c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return extension == ".qdx";
}

BoardDocument BoardDocument::Create(int columns, int rows) {
  BoardDocument document;
  document.Base = ProfileDocument(NewBoardHeader);
  document.WriteEveryKey = true;
  Board& board = document.Current;
  board.WindowLeft = 305;
  board.WindowTop = 117;
  board.WindowWidth = 632;
  board.WindowHeight = 452;
  board.Columns = std::clamp(columns, 1, MaxGridColumns);
  board.Rows = std::clamp(rows, 1, MaxGridRows);
  board.GridFont.Name = "Arial";
  board.ShowButtonBar = true;
  board.ShowMessageBar = true;
  for (CellRecord& cell : board.Cells) {
    cell.Font.Name = "Arial";
    cell.Font.Size = 14;
  }
  return document;
}

std::optional<BoardDocument> BoardDocument::Open(const std::string& pathUtf8, std::string& refusal) {
  refusal.clear();
  std::string bytes;
  FileStamp stamp;
  std::error_code error;
  if (pathUtf8.empty() || !fs::is_regular_file(pathUtf8, error) ||
      ReadWholeFile(pathUtf8, bytes, stamp) != ReadResult::Read) {
    refusal = "No existe el archivo: " + pathUtf8;
    return std::nullopt;
  }
  if (!IsBoardFileName(pathUtf8)) {
    refusal = "No es un archivo .qdx";
    return std::nullopt;
  }
  BoardDocument document;
  document.Base = ProfileDocument(std::move(bytes));
  if (!HasPlayerHeader(document.Base)) return std::nullopt;
  document.Current = ReadBoard(document.Base);
  if (const std::string grid = GridRefusal(document.Current); !grid.empty()) {
    refusal = "El tablero tiene " + grid;
    return std::nullopt;
  }
  document.PathUtf8 = fs::absolute(pathUtf8, error).string();
  if (error) document.PathUtf8 = pathUtf8;
  return document;
}

std::optional<BoardDocument> BoardDocument::Restore(const std::string& pathUtf8,
                                                    const std::string& autosaveBytes) {
  const ProfileDocument copy(autosaveBytes);
  if (!HasPlayerHeader(copy)) return std::nullopt;
  std::string refusal;
  std::optional<BoardDocument> document = Open(pathUtf8, refusal);
  if (!document) {
    // The board itself is gone or was never saved: the copy is all there is.
    document = Create(1, 1);
    document->PathUtf8 = pathUtf8;
  }
  Board restored = ReadBoard(copy);
  if (!GridRefusal(restored).empty() || restored.CellCount() == 0) return std::nullopt;
  document->Current = restored;
  ++document->Revisions;
  return document;
}

std::string BoardDocument::Folder() const {
  if (PathUtf8.empty()) return {};
  return fs::path(PathUtf8).parent_path().string() + "/";
}

bool BoardDocument::Change(const std::string& label, const std::function<void(Board&)>& mutate) {
  Board next = Current;
  mutate(next);
  BoardEdit edit;
  edit.Label = label;
  edit.HeaderBefore = HeaderOf(Current);
  edit.HeaderAfter = HeaderOf(next);
  for (int column = 1; column <= MaxGridColumns; ++column)
    for (int row = 1; row <= MaxGridRows; ++row)
      if (!(Current.Cell(column, row) == next.Cell(column, row)))
        edit.Cells.push_back({{column, row}, Current.Cell(column, row), next.Cell(column, row)});
  if (edit.Cells.empty() && edit.HeaderBefore == edit.HeaderAfter) return false;
  History.resize(Done);
  History.push_back(std::move(edit));
  Apply(History.back(), true);
  Done = History.size();
  return true;
}

void BoardDocument::Apply(const BoardEdit& edit, bool forward) {
  SetHeader(Current, forward ? edit.HeaderAfter : edit.HeaderBefore);
  for (const CellChange& change : edit.Cells)
    Current.Cell(change.At.Column, change.At.Row) = forward ? change.After : change.Before;
  ++Revisions;
}

const std::string& BoardDocument::UndoLabel() const {
  static const std::string none;
  return Done > 0 ? History[Done - 1].Label : none;
}

const std::string& BoardDocument::RedoLabel() const {
  static const std::string none;
  return Done < History.size() ? History[Done].Label : none;
}

bool BoardDocument::Undo(std::vector<CellPosition>* touched) {
  if (Done == 0) return false;
  const BoardEdit& edit = History[--Done];
  Apply(edit, false);
  if (touched) {
    touched->clear();
    for (const CellChange& change : edit.Cells)
      if (InGrid(Current, change.At)) touched->push_back(change.At);
  }
  return true;
}

bool BoardDocument::Redo(std::vector<CellPosition>* touched) {
  if (Done >= History.size()) return false;
  const BoardEdit& edit = History[Done++];
  Apply(edit, true);
  if (touched) {
    touched->clear();
    for (const CellChange& change : edit.Cells)
      if (InGrid(Current, change.At)) touched->push_back(change.At);
  }
  return true;
}

std::string BoardDocument::Bytes() const {
  if (CachedBytes && CachedRevision == Revisions) return *CachedBytes;
  const int stored = ReadBoard(Base).CellCount();
  const int now = Current.CellCount();
  const ProfileDocument* base = &Base;
  ProfileDocument trimmed;
  if (now < stored && !WriteEveryKey) {
    trimmed = ProfileDocument(WithoutCells(Base.Content(), now + 1, stored));
    base = &trimmed;
  }
  std::optional<std::string> bytes = base->WithValues(WritesFor(*base, Current, WriteEveryKey));
  // Values never hold line breaks (the fields refuse them), so the writes are never refused; if one
  // were, the unchanged base is safer than a half-written board.
  CachedBytes = bytes ? std::move(*bytes) : base->Content();
  CachedRevision = Revisions;
  return *CachedBytes;
}

bool BoardDocument::Modified() const {
  return PathUtf8.empty() || WriteEveryKey || Bytes() != Base.Content();
}

bool BoardDocument::ChangedOnDisk() const {
  if (PathUtf8.empty() || WriteEveryKey) return false;
  std::string bytes;
  FileStamp stamp;
  return ReadWholeFile(PathUtf8, bytes, stamp) == ReadResult::Read && bytes != Base.Content();
}

SaveStatus BoardDocument::Save() {
  if (PathUtf8.empty()) return SaveStatus::NoPath;
  const std::string bytes = Bytes();
  FileStamp stamp;
  if (!ReplaceFile(PathUtf8, bytes, stamp)) return SaveStatus::WriteFailed;
  Base = ProfileDocument(bytes);
  WriteEveryKey = false;
  CachedBytes.reset();
  std::error_code error;
  fs::remove(AutosavePath(PathUtf8), error);
  return SaveStatus::Saved;
}

SaveStatus BoardDocument::SaveAs(const std::string& pathUtf8) {
  if (pathUtf8.empty()) return SaveStatus::NoPath;
  const std::string previous = PathUtf8;
  const std::string previousFolder = Folder();
  std::error_code error;
  PathUtf8 = fs::absolute(pathUtf8, error).string();
  if (error) PathUtf8 = pathUtf8;
  const SaveStatus status = Save();
  if (status != SaveStatus::Saved) {
    PathUtf8 = previous;
    return status;
  }
  // The board names its pictures and sounds relative to its folder: they go with it.
  CopyCellFiles(Current, previousFolder, Folder());
  // The changes the old name's copy held are saved now, under the new name.
  if (!previous.empty() && previous != PathUtf8) fs::remove(AutosavePath(previous), error);
  return status;
}

std::string BoardDocument::AutosavePath(const std::string& pathUtf8) {
  return pathUtf8 + ".autosave";
}

} // namespace nq::authoring
