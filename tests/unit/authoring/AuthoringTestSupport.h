#pragma once
// Boards for the authoring tests: a board as a Windows editor writes it, and a labelled grid.
#include <gtest/gtest.h>

#include <string>

#include "authoring/BoardDocument.h"
#include "authoring/BoardEdits.h"
#include "boards/BoardFile.h"
#include "support/FakeDialogs.h"
#include "support/TempFolder.h"

namespace nq::test {

// CR LF, a comment, unknown sections and keys, odd spacing and letter case, quotes, hexadecimal and
// "-1" flags, Windows-1252 accents, a stale section beyond the grid and no line break at the end.
inline std::string WindowsBoard() {
  return "; Tauler fet a Windows\r\n"
         "[Quadrix]\r\nName=Quadrix\r\nautor=Vellumor\r\nVersion=3\r\n\r\n"
         "[Position]\r\nLeft=10\r\nTop = 20 \r\nWidth=800\r\nHeight=600\r\n"
         "[grid]\r\ncolumns=$3\r\nRows=2\r\nFrame Color=255\r\n"
         "[Grid Font]\r\nName=Times New Roman\r\nSize=12\r\nfsBold=-1\r\n"
         "[Menu Options 2]\r\nShow Button Bar=1\r\nShow Message Bar=0\r\nMenuQdxPosition=4\r\n"
         "[Extra]\r\nWhatever=kept\r\n"
         "[Cell 1]\r\nCaption=Caf\xE9\r\nRead=\"  Vull un caf\xE9  \"\r\nPicture=imatges\\caf\xE9.png\r\n"
         "Font Size=14\r\nUnknown=; not a comment\r\n"
         "[Cell 2]\r\nCaption= aigua \r\nLink='..\\Inici.qdx#2'\r\nFrame cell color=0xFF\r\n"
         "[Cell 5]\r\nCaption=cinc\r\nSpecial Function=<CASA>\r\n"
         "[Cell 9]\r\nCaption=stale\r\n"
         "[Cell 6]\r\nCaption=sis\r\nFont fsItalic=1";
}

// A document of columns x rows whose cells are captioned with their own column and row ("c2r3").
inline authoring::BoardDocument LabelledBoard(int columns, int rows) {
  authoring::BoardDocument document = authoring::BoardDocument::Create(columns, rows);
  document.Change("label", [&](Board& board) {
    for (int c = 1; c <= columns; ++c)
      for (int r = 1; r <= rows; ++r)
        board.Cell(c, r).Caption = "c" + std::to_string(c) + "r" + std::to_string(r);
  });
  return document;
}

// What the player itself reads from a file.
inline Board PlayerReads(const std::string& path) {
  FakeDialogs dialogs;
  Board board;
  BoardFile reader(board, dialogs);
  EXPECT_TRUE(reader.ReadBoardFile(path)) << path;
  return board;
}

inline void ExpectSameGrid(const Board& a, const Board& b, const std::string& name = {}) {
  EXPECT_EQ(authoring::HeaderOf(a), authoring::HeaderOf(b)) << name;
  ASSERT_EQ(a.CellCount(), b.CellCount()) << name;
  for (int n = 1; n <= a.CellCount(); ++n) {
    const CellPosition at = CellNumberToPosition(n, a.Columns);
    EXPECT_EQ(a.Cell(at.Column, at.Row), b.Cell(at.Column, at.Row)) << name << ", cell " << n;
  }
}

} // namespace nq::test
