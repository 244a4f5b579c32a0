// Feeds arbitrary bytes to the board reader as a .qdx file and checks the board it leaves behind.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "boards/BoardFile.h"
#include "support/FakeDialogs.h"

namespace {

void RemoveInputFile();

// One file per process, rewritten for every input, so parallel fuzzing jobs never share it.
const std::string& InputPath() {
  static const std::string path =
      (std::filesystem::temp_directory_path() / ("nq_board_fuzz_" + std::to_string(getpid()) + ".qdx"))
          .string();
  // Registered after the path exists, so it runs before the path is destroyed at exit.
  [[maybe_unused]] static const int removal = std::atexit(RemoveInputFile);
  return path;
}

void RemoveInputFile() {
  std::error_code error;
  std::filesystem::remove(InputPath(), error);
}

void Check(bool condition) {
  if (!condition) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  {
    std::ofstream out(InputPath(), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  static nq::Board board;
  static nq::test::FakeDialogs dialogs;
  static nq::BoardFile reader(board, dialogs);
  dialogs.Messages.clear(); // the boxes of earlier inputs would pile up over a long run
  dialogs.Boxes.clear();
  const nq::Board before = board;
  if (reader.ReadBoardFile(InputPath())) {
    Check(board.Columns <= nq::MaxGridColumns && board.Rows <= nq::MaxGridRows);
    Check(board.Columns != 0 && board.Rows != 0);
    Check(board.CellCount() >= 0 && board.CellCount() <= nq::MaxGridCells);
    Check(reader.HasBoard());
    // A write-back goes to the accepted file and a second read of it still opens.
    reader.WriteBoardFlag("Menu Options 2", "Show Button Bar", !board.ShowButtonBar);
    Check(reader.ReadBoardFile(InputPath()));
  } else {
    Check(board == before);
  }
  return 0;
}
