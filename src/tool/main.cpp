// nexoquadrix-tool: a companion command line for board authors, teachers and support.
#include <cstdio>
#include <cstring>
#include <string>

#include "tool/ToolCommands.h"

namespace {

void PrintUsage(FILE* out = stderr) {
  std::fputs("usage: nexoquadrix-tool COMMAND [ARGS]\n"
             "  calc EXPR...                      print the calculator's result line\n"
             "  get FILE SECTION KEY              print a value as the player reads it\n"
             "  set FILE SECTION KEY VALUE        write a value as the player writes it\n"
             "  render BOARD --size WxH -o OUT    paint a board to a PNG picture\n"
             "  check PATH                        report problems in a board or a folder of boards,\n"
             "                                    and the cells that would reach outside the player\n"
             "  import [--keep-commands] SET.obz|BOARD.obf DIR\n"
             "                                    convert Open Board Format boards into boards in DIR,\n"
             "                                    leaving out commands that reach outside the player\n"
             "  export BOARD.qdx OUT.obz          write a board and the boards it links to as an .obz set\n"
             "  symbols QUERY [--lang ca|es|en] [--draw OUT.png]\n"
             "                                    find pictograms by name; --add-folder DIR adds your own\n"
             "  print BOARD|FOLDER|SET.obz -o OUT.pdf  print boards to PDF (--book, --paper, ...)\n"
             "  trust [--settings FILE] FOLDER    let the boards of FOLDER run commands that reach outside\n"
             "  untrust [--settings FILE] FOLDER  take that back\n"
             "  trusted [--settings FILE]         list the trusted folders\n"
             "  --help | --version\n",
             out);
}

} // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    PrintUsage();
    return 2;
  }
  const std::string command = argv[1];
  if (command == "--help" || command == "-h") {
    PrintUsage(stdout);
    return 0;
  }
  if (command == "--version") {
    std::printf("nexoquadrix-tool %s\n", NQ_VERSION);
    return 0;
  }
  const nq::tool::Arguments args(argv + 2, argv + argc);
  if (command == "calc") return nq::tool::RunCalc(args);
  if (command == "get") return nq::tool::RunGet(args);
  if (command == "set") return nq::tool::RunSet(args);
  if (command == "render") return nq::tool::RunRender(args);
  if (command == "check") return nq::tool::RunCheck(args);
  if (command == "import") return nq::tool::RunImport(args);
  if (command == "export") return nq::tool::RunExport(args);
  if (command == "symbols") return nq::tool::RunSymbols(args);
  if (command == "print") return nq::tool::RunPrint(args);
  if (command == "trust") return nq::tool::RunTrust(args);
  if (command == "untrust") return nq::tool::RunUntrust(args);
  if (command == "trusted") return nq::tool::RunTrusted(args);
  PrintUsage();
  return 2;
}
