// import and export: boards in the Open Board Format, the exchange format of other AAC systems.
#include <cstdio>

#include "exchange/ObfExport.h"
#include "exchange/ObfImport.h"
#include "tool/ToolCommands.h"
#include "tool/ToolPictures.h"
#include "tool/ToolSupport.h"

namespace nq::tool {
namespace {

void PrintNotes(const std::vector<std::string>& notes) {
  for (const std::string& note : notes)
    std::fprintf(stderr, "note: %s\n", note.c_str());
}

} // namespace

int RunImport(const Arguments& args) {
  const char* const usage = "import [--keep-commands] SET.obz|BOARD.obf DIR";
  exchange::ImportOptions options;
  Arguments paths;
  for (const std::string& arg : args) {
    if (arg == "--help" || arg == "-h") {
      std::printf("usage: nexoquadrix-tool %s\n"
                  "Converts an Open Board Format set or board into boards in DIR (new or empty).\n"
                  "Commands that reach outside the player (start programs, open documents, send keys\n"
                  "to other programs, close their windows, start the editor) are left out and named\n"
                  "in DIR/%s.\n"
                  "  --keep-commands  keep them, for a set you exported yourself; they still run only\n"
                  "                   after someone trusts DIR (the player asks, or: trust DIR)\n",
                  usage, std::string(exchange::ImportReportFile).c_str());
      return 0;
    }
    if (arg == "--keep-commands")
      options.KeepCommands = true;
    else if (arg.size() > 1 && arg[0] == '-')
      return Usage("unknown option " + arg + "; " + usage); // a mistyped option is no file name
    else
      paths.push_back(arg);
  }
  if (paths.size() != 2) return Usage(usage);
  const std::unique_ptr<exchange::PictureConverter> pictures = MakePictureConverter();
  const exchange::ImportResult result = exchange::ImportBoardSet(paths[0], paths[1], pictures.get(), options);
  if (!result.Ok) {
    std::fprintf(stderr, "import: %s\n", result.Error.c_str());
    return 1;
  }
  PrintNotes(result.Notes);
  std::printf("imported %d board(s) into %s; the first board is %s\n", result.Boards, paths[1].c_str(),
              result.RootBoard.c_str());
  const std::string report = paths[1] + "/" + std::string(exchange::ImportReportFile);
  if (result.DroppedCommands > 0)
    std::printf("%d command(s) that reach outside the player were left out; see %s\n", result.DroppedCommands,
                report.c_str());
  if (result.KeptCommands > 0) {
    std::printf("%d command(s) that reach outside the player were kept (listed in %s)\n", result.KeptCommands,
                report.c_str());
    // Kept commands are meant to wait for a person's yes; a folder already trusted would not ask.
    if (const std::string trusted = TrustingFolder(paths[1]); !trusted.empty())
      std::fprintf(stderr,
                   "warning: %s lies in the trusted folder %s: these commands will run without asking\n",
                   paths[1].c_str(), trusted.c_str());
    else
      std::printf("they run only after someone trusts %s (the player asks, or: nexoquadrix-tool trust)\n",
                  paths[1].c_str());
  }
  return 0;
}

int RunExport(const Arguments& args) {
  if (args.size() != 2) return Usage("export BOARD.qdx OUT.obz");
  const exchange::ExportResult result = exchange::ExportBoardSet(args[0], args[1]);
  if (!result.Ok) {
    std::fprintf(stderr, "export: %s\n", result.Error.c_str());
    return 1;
  }
  PrintNotes(result.Notes);
  std::printf("exported %d board(s) into %s\n", result.Boards, args[1].c_str());
  return 0;
}

} // namespace nq::tool
