#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <random>

#include "authoring/BoardDocument.h"
#include "authoring/BoardKeys.h"
#include "unit/authoring/AuthoringTestSupport.h"

namespace nq::authoring {
namespace {

using test::ExpectSameGrid;
using test::PlayerReads;
using test::ReadBytes;
using test::TempFolder;
using test::WriteBytes;

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  const std::size_t at = text.find(from);
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

BoardDocument OpenOrFail(const std::string& path) {
  std::string refusal;
  std::optional<BoardDocument> document = BoardDocument::Open(path, refusal);
  EXPECT_TRUE(document) << refusal;
  return document ? std::move(*document) : BoardDocument::Create(1, 1);
}

TEST(BoardDocument, ReadsWhatThePlayerReads) {
  TempFolder folder;
  const std::string windows = folder.Path("windows.qdx");
  WriteBytes(windows, test::WindowsBoard());
  for (const std::string& path : {windows, std::string(NQ_FIXTURES) + "/boards/full.qdx",
                                  std::string(NQ_FIXTURES) + "/settings/board_windows.qdx"})
    ExpectSameGrid(OpenOrFail(path).Model(), PlayerReads(path));
}

TEST(BoardDocument, UnchangedBoardsSaveByteForByte) {
  TempFolder folder;
  const std::string windows = folder.Path("windows.qdx");
  WriteBytes(windows, test::WindowsBoard());
  for (const std::string& path : {windows, std::string(NQ_FIXTURES) + "/boards/full.qdx"}) {
    const std::string copy = folder.Path("copy.qdx");
    WriteBytes(copy, ReadBytes(path));
    BoardDocument document = OpenOrFail(copy);
    EXPECT_FALSE(document.Modified());
    ASSERT_EQ(document.Save(), SaveStatus::Saved);
    EXPECT_EQ(ReadBytes(copy), ReadBytes(path));
  }
}

TEST(BoardDocument, AChangedValueChangesOnlyItsOwnBytes) {
  TempFolder folder;
  const std::string path = folder.Path("b.qdx");
  WriteBytes(path, test::WindowsBoard());
  BoardDocument document = OpenOrFail(path);
  struct Case {
    const char* Name;
    std::function<void(Board&)> Edit;
    std::string Before;
    std::string After;
  };
  const std::vector<Case> cases = {
      {"caption", [](Board& b) { b.Cell(1, 1).Caption = "T\xE9"; }, "Caption=Caf\xE9\r\n",
       "Caption=T\xE9\r\n"},
      {"quoted read keeps its blanks", [](Board& b) { b.Cell(1, 1).Read = " hola "; },
       "Read=\"  Vull un caf\xE9  \"", "Read=\" hola \""},
      {"spaced value", [](Board& b) { b.WindowTop = 7; }, "Top = 20 ", "Top = 7 "},
      {"hexadecimal", [](Board& b) { b.Cell(2, 1).FrameCellColour = 16; }, "color=0xFF", "color=16"},
      {"new key at the end of its section", [](Board& b) { b.Cell(2, 2).Link = "x.qdx"; },
       "Special Function=<CASA>\r\n", "Special Function=<CASA>\r\nLink=x.qdx\r\n"},
      {"file without final line break", [](Board& b) { b.Cell(3, 2).Read = "6"; }, "Font fsItalic=1",
       "Font fsItalic=1\r\nRead=6"},
  };
  for (const Case& c : cases) {
    BoardDocument edited = document;
    edited.Change(c.Name, c.Edit);
    std::string expected = test::WindowsBoard();
    const std::size_t at = expected.find(c.Before);
    ASSERT_NE(at, std::string::npos) << c.Name;
    expected.replace(at, c.Before.size(), c.After);
    EXPECT_EQ(edited.Bytes(), expected) << c.Name;
  }
}

TEST(BoardDocument, AFlagOrNumberThatReadsTheSameIsNotRewritten) {
  TempFolder folder;
  const std::string path = folder.Path("b.qdx");
  WriteBytes(path, test::WindowsBoard());
  BoardDocument document = OpenOrFail(path);
  // "-1" is true and "$3" is 3: setting the same values must leave the file alone.
  document.Change("same", [](Board& b) {
    b.GridFont.Bold = true;
    b.Columns = 3;
  });
  EXPECT_EQ(document.Bytes(), test::WindowsBoard());
}

TEST(BoardDocument, ANewBoardOpensInThePlayerAsMade) {
  TempFolder folder;
  BoardDocument document = test::LabelledBoard(3, 2);
  document.Change("more", [](Board& b) {
    b.Cell(2, 2).Read = "\"quoted\"";
    b.Cell(3, 1).SpecialFunction = "<CASA>";
    b.Cell(1, 2).Font.Bold = true;
  });
  const std::string path = folder.Path("nou.qdx");
  ASSERT_EQ(document.SaveAs(path), SaveStatus::Saved);
  const std::string bytes = ReadBytes(path);
  for (std::size_t i = 0; i < bytes.size(); ++i)
    if (bytes[i] == '\n') {
      ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << "bare LF at " << i;
    }
  ExpectSameGrid(PlayerReads(path), document.Model());
  EXPECT_FALSE(document.Modified());
}

struct LineCase {
  const char* Name;
  std::function<bool(Board&)> Edit;
  int Columns;
  int Rows;
  // The caption expected at each cell of the new grid, row by row ("" for a new blank cell).
  std::vector<std::string> Captions;
};

TEST(BoardEdits, RowsAndColumnsMoveExactlyTheRightCells) {
  const std::vector<LineCase> cases = {
      {"insert row 2",
       [](Board& b) { return InsertRow(b, 2); },
       3,
       3,
       {"c1r1", "c2r1", "c3r1", "", "", "", "c1r2", "c2r2", "c3r2"}},
      {"insert row at the end",
       [](Board& b) { return InsertRow(b, 3); },
       3,
       3,
       {"c1r1", "c2r1", "c3r1", "c1r2", "c2r2", "c3r2", "", "", ""}},
      {"insert row first",
       [](Board& b) { return InsertRow(b, 1); },
       3,
       3,
       {"", "", "", "c1r1", "c2r1", "c3r1", "c1r2", "c2r2", "c3r2"}},
      {"delete row 1", [](Board& b) { return DeleteRow(b, 1); }, 3, 1, {"c1r2", "c2r2", "c3r2"}},
      {"insert column 2",
       [](Board& b) { return InsertColumn(b, 2); },
       4,
       2,
       {"c1r1", "", "c2r1", "c3r1", "c1r2", "", "c2r2", "c3r2"}},
      {"insert column at the end",
       [](Board& b) { return InsertColumn(b, 4); },
       4,
       2,
       {"c1r1", "c2r1", "c3r1", "", "c1r2", "c2r2", "c3r2", ""}},
      {"delete column 2",
       [](Board& b) { return DeleteColumn(b, 2); },
       2,
       2,
       {"c1r1", "c3r1", "c1r2", "c3r2"}},
      {"delete column 3",
       [](Board& b) { return DeleteColumn(b, 3); },
       2,
       2,
       {"c1r1", "c2r1", "c1r2", "c2r2"}},
  };
  for (const LineCase& c : cases) {
    BoardDocument document = test::LabelledBoard(3, 2);
    document.Change("pictures", [](Board& b) { b.Cell(2, 2).Picture = "p.png"; });
    ASSERT_TRUE(document.Change(c.Name, [&](Board& b) { EXPECT_TRUE(c.Edit(b)); })) << c.Name;
    const Board& board = document.Model();
    ASSERT_EQ(board.Columns, c.Columns) << c.Name;
    ASSERT_EQ(board.Rows, c.Rows) << c.Name;
    for (int n = 1; n <= board.CellCount(); ++n) {
      const CellPosition at = CellNumberToPosition(n, board.Columns);
      const CellRecord& cell = board.Cell(at.Column, at.Row);
      EXPECT_EQ(cell.Caption, c.Captions[static_cast<std::size_t>(n - 1)]) << c.Name << ", cell " << n;
      // The picture travels with its caption; a new cell is blank but keeps the font.
      EXPECT_EQ(cell.Picture, cell.Caption == "c2r2" ? "p.png" : "") << c.Name << ", cell " << n;
      EXPECT_EQ(cell.Font.Name, "Arial") << c.Name << ", cell " << n;
    }
  }
}

TEST(BoardEdits, TheSpokenTextFollowsTheCaptionUntilWrittenApart) {
  Board board = BoardDocument::Create(2, 1).Model();
  auto set = [&](std::optional<std::string> caption, std::optional<std::string> read) {
    CellFields fields;
    fields.Caption = caption;
    fields.Read = read;
    SetCellFields(board, {{1, 1}}, fields);
    return std::make_pair(board.Cell(1, 1).Caption, board.Cell(1, 1).Read);
  };
  using Pair = std::pair<std::string, std::string>;
  EXPECT_EQ(set("Hola", std::nullopt), (Pair{"Hola", "Hola"}));
  EXPECT_EQ(set("Bon dia", std::nullopt), (Pair{"Bon dia", "Bon dia"}));
  EXPECT_EQ(set(std::nullopt, "bon dia a tothom"), (Pair{"Bon dia", "bon dia a tothom"}));
  EXPECT_EQ(set("Dia", std::nullopt), (Pair{"Dia", "bon dia a tothom"}));
  EXPECT_EQ(set(std::nullopt, ""), (Pair{"Dia", "Dia"}));
  CellFields hide;
  hide.HideCaption = true;
  SetCellFields(board, {{1, 1}}, hide);
  EXPECT_EQ(board.Cell(1, 1).Caption, "");
  EXPECT_EQ(board.Cell(1, 1).Read, "Dia");
  hide.HideCaption = false;
  SetCellFields(board, {{1, 1}}, hide);
  EXPECT_EQ(board.Cell(1, 1).Caption, "Dia");
}

TEST(BoardEdits, PastingKeepsTheShapeLeavesHolesAloneAndDropsWhatFallsOutside) {
  const Board source = test::LabelledBoard(3, 3).Model();
  // Two cells on a diagonal: the block is 2 x 2 with two holes.
  const CellBlock block = CopyCells(source, {{1, 1}, {2, 2}}, "/");
  ASSERT_EQ(block.Columns, 2);
  ASSERT_EQ(block.Rows, 2);
  struct Case {
    CellPosition At;
    std::vector<CellPosition> Pasted;
  };
  const std::vector<Case> cases = {
      {{2, 2}, {{2, 2}, {3, 3}}},
      {{3, 3}, {{3, 3}}}, // the second cell would fall outside the grid
      {{1, 2}, {{1, 2}, {2, 3}}},
  };
  for (const Case& c : cases) {
    Board target = test::LabelledBoard(3, 3).Model();
    EXPECT_EQ(PasteCells(target, block, c.At), c.Pasted);
    EXPECT_EQ(target.Cell(c.At.Column, c.At.Row).Caption, "c1r1");
    // A hole of the block leaves the cell under it as it was.
    if (c.At.Column + 1 <= 3) {
      EXPECT_EQ(target.Cell(c.At.Column + 1, c.At.Row).Caption,
                "c" + std::to_string(c.At.Column + 1) + "r" + std::to_string(c.At.Row));
    }
  }
}

TEST(BoardEdits, GridLimitsAreKept) {
  Board board = BoardDocument::Create(21, 1).Model();
  EXPECT_FALSE(InsertColumn(board, 1));
  EXPECT_FALSE(DeleteRow(board, 1));
  EXPECT_FALSE(InsertRow(board, 3));
  EXPECT_FALSE(DeleteColumn(board, 22));
  EXPECT_FALSE(SwapCells(board, {1, 1}, {1, 2}));
}

TEST(BoardDocument, ASmallerGridLeavesNoStaleCellsAndReadsBackAsEdited) {
  TempFolder folder;
  const std::string path = folder.Path("b.qdx");
  BoardDocument made = test::LabelledBoard(3, 3);
  ASSERT_EQ(made.SaveAs(path), SaveStatus::Saved);
  BoardDocument document = OpenOrFail(path);
  document.Change("delete", [](Board& b) { DeleteRow(b, 1); });
  document.Change("delete", [](Board& b) { DeleteColumn(b, 2); });
  ASSERT_EQ(document.Save(), SaveStatus::Saved);
  EXPECT_EQ(ReadBytes(path).find("[Cell 5]"), std::string::npos);
  ExpectSameGrid(PlayerReads(path), document.Model());
  // Growing again shows blank cells, not what the file held before.
  document.Change("insert", [](Board& b) { InsertRow(b, 3); });
  ASSERT_EQ(document.Save(), SaveStatus::Saved);
  const Board read = PlayerReads(path);
  EXPECT_EQ(read.Cell(1, 3).Caption, "");
  EXPECT_EQ(read.Cell(2, 2).Caption, "c3r3");
}

// Every kind of change the editor makes, on random cells: the shape of the grid, swaps, clears,
// pastes (from the same board and from a block made elsewhere), the cell panel's fields on one or
// many cells, and the board options dialog (grid size included).
using Pick = std::function<int(int, int)>;
struct RandomEdit {
  const char* Name;
  std::function<void(Board&, const Pick&)> Apply;
};

std::vector<CellPosition> SomeCells(const Board& b, const Pick& pick) {
  std::vector<CellPosition> cells;
  for (int i = pick(1, 4); i > 0; --i)
    cells.push_back({pick(1, b.Columns), pick(1, b.Rows)});
  return cells;
}

std::optional<std::string> SomeText(const Pick& pick, const char* stem) {
  if (pick(0, 4) == 0) return std::string();
  return std::string(stem) + std::to_string(pick(0, 5)) + (pick(0, 1) ? " \xE0" : "");
}

const std::vector<RandomEdit>& RandomEdits() {
  static const std::vector<RandomEdit> edits = {
      {"insert row", [](Board& b, const Pick& p) { InsertRow(b, p(1, b.Rows + 1)); }},
      {"delete row", [](Board& b, const Pick& p) { DeleteRow(b, p(1, b.Rows)); }},
      {"insert column", [](Board& b, const Pick& p) { InsertColumn(b, p(1, b.Columns + 1)); }},
      {"delete column", [](Board& b, const Pick& p) { DeleteColumn(b, p(1, b.Columns)); }},
      {"swap",
       [](Board& b, const Pick& p) {
         SwapCells(b, {p(1, b.Columns), p(1, b.Rows)}, {p(1, b.Columns), p(1, b.Rows)});
       }},
      {"clear", [](Board& b, const Pick& p) { ClearCells(b, SomeCells(b, p)); }},
      {"copy and paste",
       [](Board& b, const Pick& p) {
         PasteCells(b, CopyCells(b, SomeCells(b, p), "/"), {p(1, b.Columns), p(1, b.Rows)});
       }},
      {"paste from another board",
       [](Board& b, const Pick& p) {
         BoardDocument other = test::LabelledBoard(p(1, 3), p(1, 3));
         std::vector<CellPosition> all;
         for (int c = 1; c <= other.Model().Columns; ++c)
           for (int r = 1; r <= other.Model().Rows; ++r)
             if (p(0, 3) > 0) all.push_back({c, r});
         PasteCells(b, CopyCells(other.Model(), all, "/other/"), {p(1, b.Columns), p(1, b.Rows)});
       }},
      {"texts",
       [](Board& b, const Pick& p) {
         CellFields f;
         if (p(0, 1)) f.Caption = SomeText(p, "w");
         if (p(0, 2) == 0) f.Read = SomeText(p, "r");
         if (p(0, 2) == 0) f.Picture = SomeText(p, "pictures\\p");
         if (p(0, 3) == 0) f.Link = SomeText(p, "l.qdx#");
         if (p(0, 3) == 0) f.SpecialFunction = p(0, 1) ? "<CASA>" : "";
         SetCellFields(b, SomeCells(b, p), f);
       }},
      {"look",
       [](Board& b, const Pick& p) {
         CellFields f;
         if (p(0, 1)) f.FrameCellColour = p(0, 1) ? 16777215 : p(0, 255);
         if (p(0, 1)) f.FontName = p(0, 1) ? "Verdana" : "Arial";
         if (p(0, 1)) f.FontSize = p(0, 30);
         if (p(0, 2) == 0) f.FontColour = p(0, 65535);
         if (p(0, 1)) f.Bold = p(0, 1) == 1;
         if (p(0, 2) == 0) f.Italic = p(0, 1) == 1;
         if (p(0, 2) == 0) f.Underline = p(0, 1) == 1;
         if (p(0, 2) == 0) f.HideCaption = p(0, 1) == 1;
         SetCellFields(b, SomeCells(b, p), f);
       }},
      {"board options",
       [](Board& b, const Pick& p) {
         BoardHeader h = HeaderOf(b);
         const BoardHeader before = h;
         h.Columns = std::clamp(h.Columns + p(-1, 1), 1, MaxGridColumns);
         h.Rows = std::clamp(h.Rows + p(-1, 1), 1, MaxGridRows);
         if (p(0, 1)) h.WindowWidth = p(300, 1000);
         if (p(0, 2) == 0) h.WindowLeft = p(-10, 500);
         h.ShowMessageBar = p(0, 1) == 1;
         h.ShowButtonBar = p(0, 1) == 1;
         h.CenterCaptions = p(0, 1) == 1;
         h.WriteOnlyLettersOrWords = p(0, 1) == 1;
         h.EscriureTextALlegir = p(0, 1) == 1;
         h.Position = p(0, 8);
         h.GridFrameColour = p(0, 3);
         if (p(0, 2) == 0) h.GridFont.Name = p(0, 1) ? "Courier New" : "Arial";
         // As the options dialog does: a larger grid gets blank cells in its neighbours' style.
         for (int c = 1; c <= h.Columns; ++c)
           for (int r = 1; r <= h.Rows; ++r)
             if (c > before.Columns || r > before.Rows)
               b.Cell(c, r) = BlankCell(b.Cell(std::min(c, before.Columns), std::min(r, before.Rows)));
         SetHeader(b, h);
       }},
  };
  return edits;
}

// Long random sequences of every kind of edit: each step undone and redone at once leaves the same
// board; the whole history undone gives back the file's bytes, and redone gives back the bytes it had.
TEST(BoardDocument, EveryEditUndoesAndRedoesExactly) {
  TempFolder folder;
  const std::string path = folder.Path("b.qdx");
  WriteBytes(path, test::WindowsBoard());
  std::vector<int> used(RandomEdits().size(), 0);
  for (unsigned seed = 1; seed <= 25; ++seed) {
    std::mt19937 random(seed);
    const Pick pick = [&](int low, int high) {
      return std::uniform_int_distribution<int>(low, high)(random);
    };
    BoardDocument document = OpenOrFail(path);
    std::vector<Board> states{document.Model()};
    for (int step = 0; step < 150; ++step) {
      const Board before = document.Model();
      const std::size_t kind = static_cast<std::size_t>(pick(0, static_cast<int>(RandomEdits().size()) - 1));
      const RandomEdit& edit = RandomEdits()[kind];
      if (!document.Change(edit.Name, [&](Board& b) { edit.Apply(b, pick); })) {
        EXPECT_EQ(document.Model(), before);
        continue;
      }
      ++used[kind];
      ASSERT_TRUE(document.Undo());
      ASSERT_EQ(document.Model(), before) << "seed " << seed << " step " << step << ": " << edit.Name;
      ASSERT_TRUE(document.Redo());
      states.push_back(document.Model());
    }
    const std::string edited = document.Bytes();
    for (std::size_t i = states.size() - 1; i > 0; --i) {
      ASSERT_TRUE(document.Undo());
      ASSERT_EQ(document.Model(), states[i - 1]) << "seed " << seed;
    }
    EXPECT_FALSE(document.CanUndo());
    EXPECT_EQ(document.Bytes(), test::WindowsBoard()) << "seed " << seed;
    EXPECT_FALSE(document.Modified());
    while (document.Redo()) {
    }
    EXPECT_EQ(document.Model(), states.back());
    EXPECT_EQ(document.Bytes(), edited) << "seed " << seed;
    // Saved, the edited board is what the player reads; undone and saved again, the original is.
    ASSERT_EQ(document.Save(), SaveStatus::Saved);
    ExpectSameGrid(PlayerReads(path), document.Model());
    while (document.Undo()) {
    }
    ASSERT_EQ(document.Save(), SaveStatus::Saved);
    ExpectSameGrid(PlayerReads(path), states.front());
    WriteBytes(path, test::WindowsBoard());
  }
  for (std::size_t kind = 0; kind < used.size(); ++kind)
    EXPECT_GT(used[kind], 20) << RandomEdits()[kind].Name << " was hardly tried";
}

TEST(BoardDocument, ANewEditAfterUndoDropsTheRedoneBranch) {
  BoardDocument document = test::LabelledBoard(2, 2);
  document.Change("a", [](Board& b) { b.Cell(1, 1).Caption = "a"; });
  document.Undo();
  document.Change("b", [](Board& b) { b.Cell(1, 1).Caption = "b"; });
  EXPECT_FALSE(document.CanRedo());
  EXPECT_EQ(document.UndoLabel(), "b");
}

TEST(BoardDocument, SavingOverAReadOnlyFolderFailsAndKeepsTheFile) {
  TempFolder folder;
  const std::string path = folder.Path("b.qdx");
  WriteBytes(path, test::WindowsBoard());
  BoardDocument document = OpenOrFail(path);
  document.Change("edit", [](Board& b) { b.Cell(1, 1).Caption = "x"; });
  chmod(folder.Root().c_str(), 0500);
  EXPECT_EQ(document.Save(), SaveStatus::WriteFailed);
  chmod(folder.Root().c_str(), 0700);
  EXPECT_EQ(ReadBytes(path), test::WindowsBoard());
  EXPECT_TRUE(document.Modified());
}

TEST(BoardDocument, RefusedFilesSayWhy) {
  TempFolder folder;
  struct Case {
    const char* Name;
    std::string FileName;
    std::string Bytes;
    bool Opens;
    std::string Refusal; // the start of it
  };
  const std::vector<Case> cases = {
      {"missing", "none.qdx", "", false, "No existe el archivo"},
      {"other extension", "b.txt", test::WindowsBoard(), false, "No es un archivo .qdx"},
      {"other program", "o.qdx", "[Quadrix]\r\nName=quadrix\r\nautor=Vellumor\r\n", false, ""},
      {"too wide", "w.qdx", "[Quadrix]\r\nName=Quadrix\r\nautor=Vellumor\r\n[Grid]\r\nColumns=22\r\n", false,
       "El tablero tiene 22 columnas"},
      {"upper-case extension", "U.QDX", test::WindowsBoard(), true, ""},
  };
  for (const Case& c : cases) {
    if (c.Name != std::string("missing")) WriteBytes(folder.Path(c.FileName), c.Bytes);
    std::string refusal = "stale";
    const bool opened = BoardDocument::Open(folder.Path(c.FileName), refusal).has_value();
    EXPECT_EQ(opened, c.Opens) << c.Name;
    EXPECT_EQ(refusal.rfind(c.Refusal, 0), 0u) << c.Name << ": " << refusal;
    if (c.Refusal.empty()) {
      EXPECT_EQ(refusal, "") << c.Name;
    }
  }
}

TEST(BoardDocument, AnAutosaveCopyRestoresTheEditsOverTheBoardOnDisk) {
  TempFolder folder;
  const std::string path = folder.Path("b.qdx");
  WriteBytes(path, test::WindowsBoard());
  BoardDocument document = OpenOrFail(path);
  document.Change("edit", [](Board& b) { b.Cell(3, 2).Caption = "set"; });
  WriteBytes(BoardDocument::AutosavePath(path), document.Bytes());
  std::optional<BoardDocument> restored =
      BoardDocument::Restore(path, ReadBytes(BoardDocument::AutosavePath(path)));
  ASSERT_TRUE(restored);
  EXPECT_EQ(restored->Model(), document.Model());
  EXPECT_TRUE(restored->Modified());
  // Saving the restored board is the same minimal change to the original.
  EXPECT_EQ(restored->Bytes(), document.Bytes());
  ASSERT_EQ(restored->Save(), SaveStatus::Saved);
  EXPECT_FALSE(test::Exists(BoardDocument::AutosavePath(path)));
  EXPECT_FALSE(BoardDocument::Restore(path, "not a board"));
}

TEST(BoardDocument, KnowsWhenAnotherProgramWroteTheFile) {
  TempFolder folder;
  const std::string path = folder.Path("b.qdx");
  struct Case {
    const char* Name;
    std::function<void(BoardDocument&)> Meanwhile;
    bool Changed;
  };
  const std::vector<Case> cases = {
      {"nobody", [](BoardDocument&) {}, false},
      {"saved here",
       [](BoardDocument& d) {
         d.Change("e", [](Board& b) { b.Cell(1, 1).Caption = "x"; });
         d.Save();
       },
       false},
      {"a write-back of the player",
       [&](BoardDocument&) { WriteBytes(path, Replace(test::WindowsBoard(), "Left=10", "Left=11")); }, true},
      {"the same bytes written again", [&](BoardDocument&) { WriteBytes(path, test::WindowsBoard()); },
       false},
      {"removed", [&](BoardDocument&) { std::filesystem::remove(path); }, false},
  };
  for (const Case& c : cases) {
    WriteBytes(path, test::WindowsBoard());
    BoardDocument document = OpenOrFail(path);
    c.Meanwhile(document);
    EXPECT_EQ(document.ChangedOnDisk(), c.Changed) << c.Name;
  }
  EXPECT_FALSE(BoardDocument::Create(2, 2).ChangedOnDisk());
}

TEST(BoardDocument, SavedIntoAnotherFolderTheBoardTakesItsPicturesAndSoundsAlong) {
  TempFolder folder;
  std::filesystem::create_directories(folder.Path("a/pictures"));
  std::filesystem::create_directories(folder.Path("b"));
  WriteBytes(folder.Path("a/pictures/gos.png"), "gos");
  WriteBytes(folder.Path("a/gat.png"), "gat");
  WriteBytes(folder.Path("a/hola.wav"), "so");
  WriteBytes(folder.Path("fora.png"), "fora");
  const std::string path = folder.Path("a/t.qdx");
  WriteBytes(path, "[Quadrix]\r\nName=Quadrix\r\nautor=Vellumor\r\n[Grid]\r\nColumns=2\r\nRows=2\r\n"
                   "[Cell 1]\r\nPicture=pictures\\gos.png\r\n[Cell 2]\r\nPicture=GAT.png\r\nRead=Hola.WAV\r\n"
                   "[Cell 3]\r\nPicture=..\\fora.png\r\n[Cell 4]\r\nPicture=falta.png\r\n");
  BoardDocument document = OpenOrFail(path);
  ASSERT_EQ(document.SaveAs(folder.Path("b/t.qdx")), SaveStatus::Saved);
  EXPECT_EQ(ReadBytes(folder.Path("b/pictures/gos.png")), "gos");
  // Named as the board names them, so they are found without a case-blind search.
  EXPECT_EQ(ReadBytes(folder.Path("b/GAT.png")), "gat");
  EXPECT_EQ(ReadBytes(folder.Path("b/Hola.WAV")), "so");
  // Names that leave the folder, and files that were missing already, are not made up.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path("b")),
                          std::filesystem::directory_iterator()),
            4);
  EXPECT_EQ(ReadBytes(folder.Path("a/t.qdx")), ReadBytes(folder.Path("b/t.qdx")));
  // A copy of unsaved changes under the old name is not offered again once they are saved elsewhere.
  document.Change("edit", [](Board& b) { b.Cell(1, 1).Caption = "nou"; });
  WriteBytes(BoardDocument::AutosavePath(folder.Path("b/t.qdx")), document.Bytes());
  ASSERT_EQ(document.SaveAs(folder.Path("b/u.qdx")), SaveStatus::Saved);
  EXPECT_FALSE(test::Exists(BoardDocument::AutosavePath(folder.Path("b/t.qdx"))));
}

} // namespace
} // namespace nq::authoring
