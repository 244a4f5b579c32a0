#include "boards/BoardFile.h"

#include <filesystem>
#include <optional>
#include <system_error>

#include "boards/PathResolver.h"
#include "platform/Dialogs.h"
#include "settings/ProfileFile.h"

namespace nq {
namespace {

namespace fs = std::filesystem;

bool IsRegularFile(const std::string& path) {
  std::error_code error;
  return fs::is_regular_file(fs::path(path), error);
}

std::string AbsolutePath(const std::string& path) {
  std::error_code error;
  fs::path absolute = fs::absolute(fs::path(path), error);
  return error ? path : absolute.string();
}

// Reads one font description; size is read after height because it is what sets the final height.
FontSpec ReadFont(const ProfileFile& file, const std::string& section, const std::string& prefix) {
  FontSpec font;
  font.Charset = static_cast<uint8_t>(file.ReadInteger(section, prefix + "Charset", 0));
  font.Colour = file.ReadInteger(section, prefix + "Color", 0);
  font.Height = file.ReadInteger(section, prefix + "Height", 0);
  font.Name = file.ReadText(section, prefix + "Name", "Arial");
  font.Size = file.ReadInteger(section, prefix + "Size", 0);
  font.Bold = file.ReadFlag(section, prefix + "fsBold", false);
  font.Italic = file.ReadFlag(section, prefix + "fsItalic", false);
  font.Underline = file.ReadFlag(section, prefix + "fsUnderline", false);
  font.StrikeOut = file.ReadFlag(section, prefix + "fsStrikeOut", false);
  return font;
}

} // namespace

BoardFile::BoardFile(Board& board, Dialogs& dialogs) : TheBoard(board), Messages(dialogs) {}

BoardFile::~BoardFile() = default;

bool BoardFile::ReadBoardFile(const std::string& fileName) {
  if (fileName.empty()) return false;
  const std::optional<std::string> path = FindBoardPath({}, fileName);
  if (!path || !IsRegularFile(*path)) {
    Messages.ShowMessage("No existe el archivo: " + fileName);
    return false;
  }
  if (!IsBoardFileName(fileName)) {
    Messages.ShowMessage("No es un archivo .qdx");
    return false;
  }
  // One parse of the file (the profile engine reads it when it is opened) serves every lookup.
  auto file = std::make_unique<ProfileFile>(*path);
  // Files of other programs share the extension; they are passed over without a word.
  if (file->ReadText("Quadrix", "Name", "") != "Quadrix" ||
      file->ReadText("Quadrix", "autor", "") != "Vellumor") {
    return false;
  }
  // The grid size decides whether the board fits the cell table at all, so it is checked before
  // anything of the board on screen is overwritten.
  if (!GridFits(file->ReadInteger("Grid", "Columns", 1), file->ReadInteger("Grid", "Rows", 1))) return false;
  ReadBoardSettings(*file);
  ReadCells(*file);
  Target = std::move(file);
  AcceptedName = fileName;
  AcceptedPath = AbsolutePath(*path);
  return true;
}

bool BoardFile::IsBoardFileName(const std::string& fileName) const {
  const std::size_t dot = fileName.rfind('.');
  std::string extension = dot == std::string::npos ? std::string() : fileName.substr(dot + 1);
  for (char& c : extension) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return extension == "QDX";
}

// Boards wider or taller than the table of 21 x 21 cells, or with no columns or rows, are refused
// whole: showing a part of them would put cells in the wrong places. Negative sizes are kept and
// give a board with no cells.
bool BoardFile::GridFits(int32_t columns, int32_t rows) {
  std::string problem;
  if (columns > MaxGridColumns) {
    problem = std::to_string(columns) + " columnas; el m\xE1ximo es " + std::to_string(MaxGridColumns) + ".";
  } else if (rows > MaxGridRows) {
    problem = std::to_string(rows) + " filas; el m\xE1ximo es " + std::to_string(MaxGridRows) + ".";
  } else if (columns == 0) {
    problem = "0 columnas; debe tener al menos una.";
  } else if (rows == 0) {
    problem = "0 filas; debe tener al menos una.";
  } else {
    return true;
  }
  Messages.ShowMessage("El tablero tiene " + problem);
  return false;
}

void BoardFile::ReadBoardSettings(const ProfileFile& file) {
  Board& board = TheBoard;
  board.WindowLeft = file.ReadInteger("Position", "Left", 305);
  board.WindowTop = file.ReadInteger("Position", "Top", 117);
  board.WindowWidth = file.ReadInteger("Position", "Width", 632);
  board.WindowHeight = file.ReadInteger("Position", "Height", 452);
  board.Columns = file.ReadInteger("Grid", "Columns", 1);
  board.Rows = file.ReadInteger("Grid", "Rows", 1);
  board.GridFrameColour = file.ReadInteger("Grid", "Frame Color", 0);
  board.GridFont = ReadFont(file, "Grid Font", "");
  const std::string options = "Menu Options 2";
  board.CenterCaptions = file.ReadFlag(options, "Center Captions", false);
  board.WordWrap = file.ReadFlag(options, "WordWrap", false);
  board.ShowButtonBar = file.ReadFlag(options, "Show Button Bar", false);
  board.ShowMessageBar = file.ReadFlag(options, "Show Message Bar", false);
  board.WriteOnlyLettersOrWords = file.ReadFlag(options, "Write only letters or words", false);
  board.EscriureTextALlegir = file.ReadFlag(options, "MenuEscriureTextALlegir", false);
  board.AlwaysVisible = file.ReadFlag(options, "Always visible", false);
  board.SendToExternWindow = file.ReadFlag(options, "Send to extern window", false);
  board.ForcingBeOnTop = file.ReadFlag(options, "MenuQdxForcingBeOnTop", false);
  board.Position = file.ReadInteger(options, "MenuQdxPosition", 0);
}

// Texts of every cell are emptied so that a smaller board shows nothing of the one before; frame
// colour and font are overwritten only for the cells the board has, as only those are shown.
void BoardFile::ReadCells(const ProfileFile& file) {
  for (CellRecord& cell : TheBoard.Cells) {
    cell.Picture.clear();
    cell.Caption.clear();
    cell.Read.clear();
    cell.SpecialFunction.clear();
    cell.Link.clear();
  }
  const int count = TheBoard.CellCount();
  for (int n = 1; n <= count; ++n) {
    const CellPosition position = CellNumberToPosition(n, TheBoard.Columns);
    CellRecord& cell = TheBoard.Cell(position.Column, position.Row);
    const std::string section = "Cell " + std::to_string(n);
    cell.Picture = file.ReadText(section, "Picture", "");
    cell.Caption = file.ReadText(section, "Caption", "");
    cell.Read = file.ReadText(section, "Read", "");
    cell.SpecialFunction = file.ReadText(section, "Special Function", "");
    cell.Link = file.ReadText(section, "Link", "");
    cell.FrameCellColour = file.ReadInteger(section, "Frame cell color", 0);
    cell.Font = ReadFont(file, section, "Font ");
  }
}

void BoardFile::WriteBoardFlag(const std::string& section, const std::string& key, bool value) {
  if (Target) Target->WriteFlag(section, key, value);
}

void BoardFile::WriteBoardInteger(const std::string& section, const std::string& key, int32_t value) {
  if (Target) Target->WriteInteger(section, key, value);
}

std::string BoardFile::Folder() const {
  const std::size_t separator = AcceptedName.find_last_of("/\\");
  return separator == std::string::npos ? std::string() : AcceptedName.substr(0, separator + 1);
}

std::string BoardFile::FolderOnDisk() const {
  if (AcceptedPath.empty()) return {};
  const std::size_t separator = AcceptedPath.rfind('/');
  return separator == std::string::npos ? std::string() : AcceptedPath.substr(0, separator + 1);
}

} // namespace nq
