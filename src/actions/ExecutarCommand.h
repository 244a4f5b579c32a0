#pragma once
// "<EXECUTAR path [arguments]>": a board starts a program or opens a document. Boards made on Windows
// name programs as "notepad.exe" or "c:\tools\x.exe -a"; here the program is found in the board's
// folder as written, then without its ".exe", then by its base name on the search path, and it is
// started with an argument list (never through a shell), so nothing in a board's text can run anything
// the board did not name. A file that someone else could have put or changed is never started.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nq {

inline constexpr std::string_view ExecutarToken = "<EXECUTAR";

/// The parts of the command as written (Windows-1252): path and arguments are never accent-folded.
struct ExecutarText {
  std::string Path;       // "c:\tools\x.exe", "calc.exe", "docs\a.txt"
  std::string Arguments;  // what followed ".exe", leading blank included; empty for a document
  bool IsProgram = false; // the path held ".exe" (that letter case only)
  bool operator==(const ExecutarText&) const = default;
};

/// Cuts the text after the token (found in any letter case) and its blanks, up to the first ">" after
/// it; the first ".exe" ends a program's path. Nothing when there is no token, no ">" or no path.
std::optional<ExecutarText> CutExecutar(std::string_view text);

/// Splits an argument text into arguments the way Windows programs read their command line: blanks,
/// tabs and line ends separate, double quotes group blanks into one argument and are dropped.
std::vector<std::string> SplitArguments(std::string_view arguments);

enum class LaunchKind { Nothing, Program, Document, Refused };

/// What the command starts: a program with its arguments or a document, as UTF-8 for the launcher.
struct LaunchPlan {
  LaunchKind Kind = LaunchKind::Nothing;
  // An existing executable, an existing file or folder, or a web address; for Refused, the file found
  // that someone else may have put or changed.
  std::string Target;
  std::vector<std::string> Arguments;
  bool operator==(const LaunchPlan&) const = default;
};

/// Finds what the command names. A program: in the board's folder (Windows-1252, letter case ignored
/// as for pictures and links) as written, then without its ".exe", then by its base name on the search
/// path (a list of folders separated by ":"; empty and relative entries are skipped), as written and in
/// lower case; a Windows full path ("c:\x\y.exe", "\\server\y.exe") only by its base name on the
/// search path. A document: in the board's folder or at a full path; a web address as it is. A program
/// or document found in or beside the board's folder that fails SafeFromOthers gives Refused, never
/// another file. Nothing that does not exist is ever named.
LaunchPlan PlanExecutar(std::string_view text, const std::string& boardFolder, const std::string& searchPath);

/// The program of that name (Windows-1252) on the search path, looked for as PlanExecutar does.
std::optional<std::string> FindProgramOnSearchPath(const std::string& nameCp1252,
                                                   const std::string& searchPath);

/// True when the file (UTF-8, symbolic links followed) and every folder above it are owned by this user
/// or root and writable by no one else: up to boardFolder (UTF-8) when the file lies inside it, else up
/// to the root; the same for every folder the path passes through as written, and a link on the way
/// is this user's or root's. False when the file does not exist.
bool SafeFromOthers(const std::string& utf8Path, const std::string& utf8BoardFolder);

/// True when the file or folder (UTF-8, links followed) is owned by this user or root and writable by
/// no one else (group write counts only for a group other than the owner's private one).
bool ClosedToOthers(const std::string& utf8Path);

/// True when canonicalFolder lies in canonicalTop (or is it) and it and every folder up to
/// canonicalTop are ClosedToOthers.
bool FoldersClosedToOthers(const std::string& canonicalFolder, const std::string& canonicalTop);

/// The path with every link, "." and ".." resolved; empty when it does not exist.
std::string RealPath(const std::string& utf8Path);

} // namespace nq
