#pragma once
// The subcommands of nexoquadrix-tool; each returns the process exit status.
// Arguments arrive as UTF-8 from the command line, without the subcommand's own name.
#include <string>
#include <vector>

namespace nq::tool {

using Arguments = std::vector<std::string>;

int RunCalc(const Arguments& args);    // calc EXPR...
int RunGet(const Arguments& args);     // get FILE SECTION KEY
int RunSet(const Arguments& args);     // set FILE SECTION KEY VALUE
int RunRender(const Arguments& args);  // render BOARD --size WxH -o OUT.png
int RunCheck(const Arguments& args);   // check PATH
int RunImport(const Arguments& args);  // import [--keep-commands] SET.obz|BOARD.obf DIR
int RunExport(const Arguments& args);  // export BOARD.qdx OUT.obz
int RunSymbols(const Arguments& args); // symbols QUERY [--lang L] [--limit N] [--draw OUT.png]
int RunPrint(const Arguments& args);   // print BOARD.qdx|FOLDER|SET.obz -o OUT.pdf

// The trusted folders: trust [--settings FILE] FOLDER, untrust [--settings FILE] FOLDER,
// trusted [--settings FILE].
int RunTrust(const Arguments& args);
int RunUntrust(const Arguments& args);
int RunTrusted(const Arguments& args);

/// The folder of the player's settings that trusts `folder` (itself or one above it); empty when none.
std::string TrustingFolder(const std::string& folder);

} // namespace nq::tool
