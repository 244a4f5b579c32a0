// Boards written on Windows by hand or by other editors, with every oddity such a file can carry:
// opened and saved unchanged they keep every byte; a caption changed changes only its own bytes; a
// grid reshaped still opens in the player as the editor shows it.
#include <gtest/gtest.h>

#include <functional>

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

// A 3 x 2 board whose first cell says "Caf\xE9"; `odd` turns the plain CR LF file into one oddity.
std::string PlainBoard() {
  return "[Quadrix]\r\nName=Quadrix\r\nautor=Vellumor\r\n"
         "[Position]\r\nLeft=10\r\nTop=20\r\nWidth=800\r\nHeight=600\r\n"
         "[Grid]\r\nColumns=3\r\nRows=2\r\n"
         "[Menu Options 2]\r\nShow Button Bar=1\r\n"
         "[Cell 1]\r\nCaption=Caf\xE9\r\nPicture=p\\caf\xE9.png\r\n"
         "[Cell 2]\r\nCaption=aigua\r\nLink=dos.qdx\r\n"
         "[Cell 3]\r\nCaption=tres\r\n"
         "[Cell 4]\r\nCaption=quatre\r\nSpecial Function=<CASA>\r\n"
         "[Cell 5]\r\nCaption=cinc\r\n"
         "[Cell 6]\r\nCaption=sis\r\n";
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

struct Oddity {
  const char* Name;
  std::string Bytes;
};

std::vector<Oddity> Oddities() {
  const std::string plain = PlainBoard();
  const std::string longText(5000, 'x');
  return {
      {"plain", plain},
      {"no line break at the end", plain.substr(0, plain.size() - 2)},
      {"byte order mark before a comment", "\xEF\xBB\xBF; fet amb el Bloc de notes\r\n" + plain},
      {"byte order mark before a blank line", "\xEF\xBB\xBF\r\n" + plain},
      {"line feeds only", Replace(plain, "\r\n", "\n")},
      {"lone line feed and lone carriage return inside",
       Replace(Replace(plain, "Caption=aigua\r\n", "Caption=aigua\n"), "Caption=tres\r\n", "Caption=tres\r")},
      {"blank lines, comments and trailing blanks",
       Replace(Replace(plain, "[Cell 2]\r\n", "\r\n\r\n; segona\r\n[Cell 2]   \r\n"), "Caption=Caf\xE9\r\n",
               "Caption=Caf\xE9   \r\n\r\n")},
      {"unknown sections and keys",
       Replace(Replace(plain, "[Grid]\r\n", "[Extra]\r\nWhat=ever\r\n[Grid]\r\nVersion=7\r\n"),
               "[Cell 1]\r\n", "[Cell 1]\r\nSound Volume=3\r\n")},
      {"duplicate keys and sections",
       Replace(plain, "Caption=Caf\xE9\r\n", "Caption=Caf\xE9\r\nCaption=second\r\n") +
           "[Cell 1]\r\nCaption=ignored\r\n"},
      {"odd case and blanks around the equals sign",
       Replace(Replace(plain, "Caption=Caf\xE9", "  CAPTION  =  Caf\xE9"), "[Cell 2]", "[ cell 2 ]")},
      {"tabs", Replace(plain, "Caption=Caf\xE9", "Caption\t=\tCaf\xE9\t")},
      {"very long lines",
       Replace(plain, "Caption=aigua", "Caption=" + longText + "\r\n; " + longText + "\r\nZ=" + longText)},
      {"cells outside the grid", plain + "[Cell 7]\r\nCaption=set\r\n[Cell 40]\r\nCaption=quaranta\r\n"},
      {"empty values", Replace(Replace(plain, "Caption=tres", "Caption="), "Caption=cinc", "Caption=   ")},
      {"empty value on the last line", plain + "[Cell 9]\r\nRead="},
      {"quoted values", Replace(plain, "Caption=Caf\xE9", "Caption=\"Caf\xE9\"")},
  };
}

BoardDocument Opened(const std::string& path) {
  std::string refusal;
  std::optional<BoardDocument> document = BoardDocument::Open(path, refusal);
  EXPECT_TRUE(document) << path << ": " << refusal;
  return document ? std::move(*document) : BoardDocument::Create(1, 1);
}

TEST(WindowsBoards, OpenedAndSavedUnchangedKeepEveryByte) {
  TempFolder folder;
  for (const Oddity& odd : Oddities()) {
    const std::string path = folder.Write("b.qdx", odd.Bytes);
    BoardDocument document = Opened(path);
    ExpectSameGrid(document.Model(), PlayerReads(path), odd.Name);
    EXPECT_FALSE(document.Modified()) << odd.Name;
    ASSERT_EQ(document.Save(), SaveStatus::Saved) << odd.Name;
    EXPECT_EQ(ReadBytes(path), odd.Bytes) << odd.Name;
  }
}

TEST(WindowsBoards, AChangedCaptionChangesOnlyItsOwnBytes) {
  TempFolder folder;
  for (const Oddity& odd : Oddities()) {
    const std::string path = folder.Write("b.qdx", odd.Bytes);
    BoardDocument document = Opened(path);
    document.Change("caption", [](Board& b) { b.Cell(1, 1).Caption = "Te amb llet"; });
    ASSERT_EQ(document.Save(), SaveStatus::Saved) << odd.Name;
    const std::string saved = ReadBytes(path);
    std::size_t front = 0;
    while (front < saved.size() && front < odd.Bytes.size() && saved[front] == odd.Bytes[front])
      ++front;
    std::size_t back = 0;
    while (back < saved.size() - front && back < odd.Bytes.size() - front &&
           saved[saved.size() - 1 - back] == odd.Bytes[odd.Bytes.size() - 1 - back])
      ++back;
    // The old value goes whole, its quotes with it (the new one needs none).
    const std::string removed = odd.Bytes.substr(front, odd.Bytes.size() - front - back);
    EXPECT_TRUE(removed == "Caf\xE9" || removed == "\"Caf\xE9\"") << odd.Name << ": " << removed;
    EXPECT_EQ(saved.substr(front, saved.size() - front - back), "Te amb llet") << odd.Name;
    EXPECT_EQ(PlayerReads(path).Cell(1, 1).Caption, "Te amb llet") << odd.Name;
  }
}

TEST(WindowsBoards, AReshapedGridOpensInThePlayerAsTheEditorShowsIt) {
  TempFolder folder;
  struct Shape {
    const char* Name;
    std::function<void(Board&)> Edit;
  };
  const std::vector<Shape> shapes = {
      {"row inserted above", [](Board& b) { InsertRow(b, 1); }},
      {"row inserted below", [](Board& b) { InsertRow(b, 3); }},
      {"first row deleted", [](Board& b) { DeleteRow(b, 1); }},
      {"column inserted first", [](Board& b) { InsertColumn(b, 1); }},
      {"column inserted last", [](Board& b) { InsertColumn(b, 4); }},
      {"middle column deleted", [](Board& b) { DeleteColumn(b, 2); }},
      {"row and column inserted, then one deleted",
       [](Board& b) {
         InsertRow(b, 2);
         InsertColumn(b, 2);
         DeleteColumn(b, 1);
       }},
  };
  for (const Oddity& odd : Oddities())
    for (const Shape& shape : shapes) {
      const std::string name = std::string(odd.Name) + ", " + shape.Name;
      const std::string path = folder.Write("b.qdx", odd.Bytes);
      BoardDocument document = Opened(path);
      const Board before = document.Model();
      document.Change(shape.Name, shape.Edit);
      ASSERT_EQ(document.Save(), SaveStatus::Saved) << name;
      ExpectSameGrid(PlayerReads(path), document.Model(), name);
      // The editor reads its own file back as it left it, so a second save changes nothing.
      BoardDocument again = Opened(path);
      ExpectSameGrid(again.Model(), document.Model(), name);
      EXPECT_FALSE(again.Modified()) << name;
      // Everything outside the cells and the grid size is kept as it was.
      const std::string saved = ReadBytes(path);
      for (const char* kept : {"Left=10", "Width=800", "Show Button Bar=1"})
        EXPECT_NE(saved.find(kept), std::string::npos) << name << ": " << kept;
      (void)before;
    }
}

} // namespace
} // namespace nq::authoring
