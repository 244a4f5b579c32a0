// print BOARD.qdx|FOLDER|SET.obz -o OUT.pdf: boards on paper, painted as the player shows them.
#include <QGuiApplication>
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "boards/PrintPlan.h"
#include "exchange/ObfImport.h"
#include "settings/ConfigLocation.h"
#include "tool/ToolCommands.h"
#include "tool/ToolPictures.h"
#include "tool/ToolSupport.h"
#include "ui/DataFolder.h"
#include "ui/PrintBoards.h"

namespace nq::tool {
namespace {

namespace fs = std::filesystem;

constexpr const char* PrintUsage =
    "usage: print BOARD.qdx|FOLDER|SET.obz -o OUT.pdf [--paper A4|A3|Letter] [--landscape]\n"
    "             [--margins MM] [--cell-size MM] [--no-bars] [--book] [--cut-lines]";

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

bool ParseMillimetres(const std::string& text, double low, double high, double& value) {
  char* end = nullptr;
  value = std::strtod(text.c_str(), &end);
  return end != text.c_str() && *end == '\0' && value >= low && value <= high;
}

bool ParsePaper(const std::string& text, QPageSize::PageSizeId& paper) {
  const std::string name = Lower(text);
  if (name == "a4")
    paper = QPageSize::A4;
  else if (name == "a3")
    paper = QPageSize::A3;
  else if (name == "letter")
    paper = QPageSize::Letter;
  else
    return false;
  return true;
}

// The boards a folder prints: all of them by name, or for a book its home board first.
std::vector<std::string> BoardsOfFolder(const std::string& folder, bool book) {
  std::vector<std::string> boards = FolderBoards(folder);
  if (!book || boards.empty()) return boards;
  const std::string home = FolderHomeBoard(folder);
  boards.erase(std::remove(boards.begin(), boards.end(), home), boards.end());
  boards.insert(boards.begin(), home);
  return boards;
}

bool IsBoardSet(const std::string& path) {
  const std::string extension = Lower(fs::path(path).extension().string());
  return extension == ".obz" || extension == ".obf";
}

} // namespace

int RunPrint(const Arguments& args) {
  std::string input, output;
  PrintOptions options;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (a == "-o" && hasValue) {
      output = args[++i];
    } else if (a == "--paper" && hasValue) {
      if (!ParsePaper(args[++i], options.Paper)) return Usage("print: --paper takes A4, A3 or Letter");
    } else if (a == "--margins" && hasValue) {
      if (!ParseMillimetres(args[++i], 0, 50, options.MarginsMm))
        return Usage("print: --margins takes millimetres from 0 to 50");
    } else if (a == "--cell-size" && hasValue) {
      if (!ParseMillimetres(args[++i], 5, 250, options.CellSizeMm))
        return Usage("print: --cell-size takes millimetres from 5 to 250");
    } else if (a == "--landscape") {
      options.Landscape = true;
    } else if (a == "--no-bars") {
      options.Bars = false;
    } else if (a == "--book") {
      options.Book = true;
    } else if (a == "--cut-lines") {
      options.CutLines = true;
    } else if (input.empty() && (a.empty() || a[0] != '-')) {
      input = a;
    } else {
      return Usage("print: unexpected argument " + a + "\n" + PrintUsage);
    }
  }
  if (input.empty() || output.empty()) return Usage(PrintUsage);

  qputenv("QT_QPA_PLATFORM", "offscreen");
  int argc = 1;
  char name[] = "nexoquadrix-tool";
  char* argv[] = {name, nullptr};
  QGuiApplication app(argc, argv);
  const std::string programFolder = ProgramFolder();
  options.DataFolder = FindDataFolder(programFolder);
  options.SharedFile =
      LocateConfigFiles(programFolder, options.DataFolder, SystemConfigEnvironment()).SharedFile;
  // A smaller picture budget lets a test reach the letting go of pictures with a small book.
  if (const char* megabytes = std::getenv("NEXOQUADRIX_PRINT_PICTURE_MEMORY_MB"))
    options.PictureMemoryBytes = static_cast<std::size_t>(std::strtoul(megabytes, nullptr, 10)) << 20;

  std::error_code error;
  if (!fs::exists(input, error)) {
    std::fprintf(stderr, "print: %s does not exist\n", input.c_str());
    return 1;
  }
  TemporaryFolder scratch;
  std::vector<std::string> boards;
  if (fs::is_directory(input, error)) {
    boards = BoardsOfFolder(input, options.Book);
  } else if (IsBoardSet(input)) {
    if (scratch.Path().empty()) {
      std::fprintf(stderr, "print: could not make a temporary folder\n");
      return 1;
    }
    const std::string folder = scratch.Path() + "/set";
    const std::unique_ptr<exchange::PictureConverter> pictures = MakePictureConverter();
    const exchange::ImportResult imported = exchange::ImportBoardSet(input, folder, pictures.get());
    if (!imported.Ok) {
      std::fprintf(stderr, "print: %s: %s\n", input.c_str(), imported.Error.c_str());
      return 1;
    }
    boards = BoardsOfFolder(folder, options.Book);
    if (options.Book && !imported.RootBoard.empty()) {
      const std::string root = (fs::path(folder) / imported.RootBoard).string();
      boards.erase(std::remove(boards.begin(), boards.end(), root), boards.end());
      boards.insert(boards.begin(), root);
    }
  } else {
    boards = {input};
  }
  if (boards.empty()) {
    std::fprintf(stderr, "print: there are no boards in %s\n", input.c_str());
    return 1;
  }

  const PrintReport report = PrintBoards(boards, output, options);
  for (const std::string& note : report.Notes)
    std::fprintf(stderr, "note: %s\n", note.c_str());
  if (!report.Ok) {
    std::fprintf(stderr, "print: %s\n", report.Error.c_str());
    return 1;
  }
  std::printf("printed %zu board(s) on %d page(s) into %s\n", report.Boards.size(), report.Pages,
              output.c_str());
  for (size_t i = 0; i < report.Boards.size(); ++i)
    std::printf("  p. %d  %s\n", report.FirstPages[i], report.Boards[i].c_str());
  return 0;
}

} // namespace nq::tool
