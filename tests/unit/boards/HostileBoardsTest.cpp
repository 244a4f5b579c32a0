// The board reader, its write-backs and the picture loader on every board of the hostile corpus
// (tests/hostile/make_hostile_boards.py, generated here into a temporary folder): each board is
// refused or read, a refused board is never written, an accepted one stays a board that reads back
// after a write-back, and no picture it names crashes the decoders or asks for a giant image.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "boards/BoardFile.h"
#include "boards/PathResolver.h"
#include "boards/PictureLoader.h"
#include "settings/ProfileFile.h"
#include "support/FakeDialogs.h"
#include "support/PictureTestFiles.h"
#include "support/TempFolder.h"
#include "text/Encoding.h"

namespace nq {
namespace {

namespace fs = std::filesystem;

struct CorpusBoard {
  std::string Name; // bytes of the file name
  std::string Expect;
  std::string What;
};

// Undoes the manifest's backslash escapes (\xNN) of names that are not printable ASCII.
std::string Unescape(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x') {
      out += static_cast<char>(std::stoi(text.substr(i + 2, 2), nullptr, 16));
      i += 3;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class HostileBoardsTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    Folder = new test::TempFolder();
    const std::string command = "python3 '" + std::string(NQ_SOURCE_DIR) +
                                "/tests/hostile/make_hostile_boards.py' '" + Folder->Root() + "' > /dev/null";
    Made = std::system(command.c_str()) == 0;
    std::ifstream manifest(Folder->Path("manifest.tsv"));
    for (std::string line; std::getline(manifest, line);) {
      std::istringstream fields(line);
      CorpusBoard board;
      std::getline(fields, board.Name, '\t');
      std::getline(fields, board.Expect, '\t');
      std::getline(fields, board.What);
      board.Name = Unescape(board.Name);
      Boards.push_back(board);
    }
  }
  static void TearDownTestSuite() {
    delete Folder;
    Folder = nullptr;
    Boards.clear();
  }

  static test::TempFolder* Folder;
  static bool Made;
  static std::vector<CorpusBoard> Boards;
};

test::TempFolder* HostileBoardsTest::Folder = nullptr;
bool HostileBoardsTest::Made = false;
std::vector<CorpusBoard> HostileBoardsTest::Boards;

// The grid a "grid-C-R.qdx" board of the corpus declares, when both are plain numbers.
std::optional<std::pair<int, int>> DeclaredGrid(const std::string& name) {
  int columns = 0;
  int rows = 0;
  char end = 0;
  if (std::sscanf(name.c_str(), "grid-%d-%d.qd%c", &columns, &rows, &end) != 3 || end != 'x')
    return std::nullopt;
  if (name != "grid-" + std::to_string(columns) + "-" + std::to_string(rows) + ".qdx") return std::nullopt;
  return std::make_pair(columns, rows);
}

TEST_F(HostileBoardsTest, EachBoardIsReadOrRefusedAsExpectedAndRefusedBoardsAreNeverWritten) {
  ASSERT_TRUE(Made && !Boards.empty()) << "the corpus script failed";
  for (const CorpusBoard& entry : Boards) {
    const std::string path = Folder->Path(entry.Name);
    std::error_code error;
    const bool regular = fs::is_regular_file(path, error);
    const std::string before = regular ? ReadBytes(path) : std::string();
    Board board;
    test::FakeDialogs dialogs;
    BoardFile reader(board, dialogs);
    // Board names given to the reader are Windows-1252; the corpus's non-UTF-8 names already are.
    const std::string converted = Utf8ToWindows1252(path);
    const bool read = reader.ReadBoardFile(Windows1252ToUtf8(converted) == path ? converted : path);
    reader.WriteBoardFlag("Menu Options 2", "Show Button Bar", true);
    reader.WriteBoardInteger("Position", "Left", 7);
    if (entry.Expect == "refuse") {
      EXPECT_FALSE(read) << entry.Name << ": " << entry.What;
    } else if (entry.Expect != "any") {
      EXPECT_TRUE(read) << entry.Name << ": " << entry.What;
    }
    if (!read) {
      if (regular) {
        EXPECT_EQ(ReadBytes(path), before) << entry.Name << " was written although refused";
      }
      continue;
    }
    // What was read is a grid the window can show, and no value is held beyond what a board keeps.
    EXPECT_LE(board.Columns, MaxGridColumns) << entry.Name;
    EXPECT_LE(board.Rows, MaxGridRows) << entry.Name;
    if (const auto grid = DeclaredGrid(entry.Name); grid && entry.Expect == "open") {
      EXPECT_EQ(board.Columns, grid->first) << entry.Name;
      EXPECT_EQ(board.Rows, grid->second) << entry.Name;
    }
    for (const CellRecord& cell : board.Cells) {
      for (const std::string* value :
           {&cell.Caption, &cell.Read, &cell.Picture, &cell.Link, &cell.SpecialFunction})
        EXPECT_LE(value->size(), MaxProfileText) << entry.Name;
    }
    // The write-back kept it a board, with both values in place.
    Board again;
    BoardFile second(again, dialogs);
    ASSERT_TRUE(second.ReadBoardFile(reader.FileName()))
        << entry.Name << " no longer reads after a write-back";
    EXPECT_TRUE(again.ShowButtonBar) << entry.Name;
    EXPECT_EQ(again.WindowLeft, 7) << entry.Name;
    EXPECT_EQ(again.Columns, board.Columns) << entry.Name;
  }
}

TEST_F(HostileBoardsTest, NoPictureOfTheCorpusCrashesTheDecodersOrComesOutHuge) {
  size_t refused = 0;
  for (const fs::directory_entry& file : fs::directory_iterator(Folder->Path("pics"))) {
    const std::string name = file.path().filename().string();
    const std::optional<LoadedPicture> picture = LoadPictureFile(file.path().string(), name, {64, nullptr});
    if (!picture) {
      ++refused;
      continue;
    }
    EXPECT_LE(picture->Pixels.Width, 64) << name;
    EXPECT_LE(picture->Pixels.Height, 64) << name;
  }
  EXPECT_GE(refused, 25u);
  for (const char* device : {"/dev/zero", "/dev/urandom", "/dev/null"})
    EXPECT_FALSE(LoadPictureFile(device, "x.png", {64, nullptr})) << device;
}

} // namespace
} // namespace nq
