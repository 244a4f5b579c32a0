#include "actions/ExecutarCommand.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include <filesystem>
#include <vector>

#include "boards/PathResolver.h"
#include "settings/TrustedFolders.h"
#include "text/Encoding.h"
#include "text/TextUtilities.h"

namespace nq {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view ExeSuffix = ".exe";

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool IsExecutableFile(const std::string& utf8Path) {
  std::error_code error;
  return fs::is_regular_file(utf8Path, error) && ::access(utf8Path.c_str(), X_OK) == 0;
}

bool IsWebAddress(std::string_view path) {
  const std::string upper = UpperAscii(path.substr(0, 8));
  return upper.starts_with("HTTP://") || upper.starts_with("HTTPS://");
}

// A name relative to the board's folder needs that folder; a name from the root does not.
std::optional<std::string> FindInBoardFolder(const std::string& boardFolder, const std::string& name) {
  if (boardFolder.empty() && !name.starts_with('/')) return std::nullopt;
  if (name.find('\0') != std::string::npos) return std::nullopt;
  return FindBoardPath(Windows1252ToUtf8(boardFolder), name);
}

// The last component of a Windows or Linux path ("c:\windows\notepad" gives "notepad").
std::string BaseName(const std::string& name) {
  const size_t cut = name.find_last_of("\\/:");
  return cut == std::string::npos ? name : name.substr(cut + 1);
}

std::optional<std::string> FindOnSearchPath(const std::string& baseCp1252, const std::string& searchPath) {
  if (baseCp1252.empty() || baseCp1252 == "." || baseCp1252 == ".." ||
      baseCp1252.find('\0') != std::string::npos)
    return std::nullopt;
  for (const std::string& candidate : {baseCp1252, LowerAscii(baseCp1252)}) {
    const std::string utf8 = Windows1252ToUtf8(candidate);
    size_t start = 0;
    while (start <= searchPath.size()) {
      size_t end = searchPath.find(':', start);
      if (end == std::string::npos) end = searchPath.size();
      const std::string folder = searchPath.substr(start, end - start);
      start = end + 1;
      // Only full folders: an empty or relative entry would mean wherever the player happens to run.
      if (folder.empty() || folder.front() != '/') continue;
      const std::string path = folder + (folder.back() == '/' ? "" : "/") + utf8;
      if (IsExecutableFile(path)) return path;
    }
  }
  return std::nullopt;
}

// A drive letter or a leading "\" (left after the board's own "\calc.exe" lost its first one) names a
// folder of some Windows machine, which this board's folder is not.
bool IsWindowsFullPath(const std::string& path) {
  return path.find(':') != std::string::npos || path.starts_with('\\');
}

// The group the system makes for each user alone (named after the user, its primary group, with no
// other members): where new files get group write by default, that write is still the owner's own.
bool PrivateGroup(uid_t owner, gid_t group) {
  const passwd* user = ::getpwuid(owner);
  if (user == nullptr || user->pw_gid != group) return false;
  const std::string name = user->pw_name;
  const ::group* entry = ::getgrgid(group);
  if (entry == nullptr || name != entry->gr_name) return false;
  for (char** member = entry->gr_mem; member != nullptr && *member != nullptr; ++member)
    if (name != *member) return false;
  return true;
}

// The folders a name is looked up in as written, from the board's folder down (or from the root for a
// full name), the way the system walks it: a link or a folder on the way that others could have put
// there would choose what the name reaches, however safe that is itself. ".." names no entry anyone
// could put, so it only moves up.
bool NamedWayClosed(const std::string& utf8Path, const std::string& utf8BoardFolder) {
  std::string board = utf8BoardFolder;
  while (board.size() > 1 && board.back() == '/')
    board.pop_back();
  std::string folder;
  std::string rest;
  if (!board.empty() && board != "/" && utf8Path.starts_with(board + "/")) {
    folder = RealPath(board);
    rest = utf8Path.substr(board.size() + 1);
  } else if (utf8Path.starts_with('/')) {
    folder = "/";
    rest = utf8Path.substr(1);
  }
  std::vector<std::string> names;
  for (size_t start = 0; start <= rest.size();) {
    size_t end = rest.find('/', start);
    if (end == std::string::npos) end = rest.size();
    if (const std::string name = rest.substr(start, end - start); !name.empty() && name != ".")
      names.push_back(name);
    start = end + 1;
  }
  if (folder.empty() || names.empty()) return false;
  for (size_t i = 0; i < names.size(); ++i) {
    if (names[i] == "..") {
      const size_t cut = folder.rfind('/');
      folder = cut == 0 || cut == std::string::npos ? "/" : folder.substr(0, cut);
      continue;
    }
    if (!ClosedToOthers(folder)) return false;
    const std::string next = (folder == "/" ? "" : folder) + "/" + names[i];
    if (i + 1 == names.size()) {
      struct stat entry {};
      if (::lstat(next.c_str(), &entry) != 0) return false;
      return !S_ISLNK(entry.st_mode) || entry.st_uid == ::geteuid() || entry.st_uid == 0;
    }
    folder = RealPath(next);
    if (folder.empty()) return false;
  }
  return false; // the name ends in "..": a folder, never a program or document
}

LaunchPlan Refuse(const std::string& utf8Path) {
  return {LaunchKind::Refused, utf8Path, {}};
}

LaunchPlan PlanProgram(const ExecutarText& cut, const std::string& boardFolder,
                       const std::string& searchPath) {
  const std::string name = cut.Path.substr(0, cut.Path.size() - ExeSuffix.size());
  const std::string boardUtf8 = Windows1252ToUtf8(boardFolder);
  std::optional<std::string> program;
  if (!IsWindowsFullPath(cut.Path)) {
    for (const std::string& candidate : {cut.Path, name}) {
      const std::optional<std::string> found = FindInBoardFolder(boardFolder, candidate);
      if (!found || !IsExecutableFile(*found)) continue;
      if (!SafeFromOthers(*found, boardUtf8)) return Refuse(*found);
      program = found;
      break;
    }
  }
  if (!program) program = FindOnSearchPath(BaseName(name), searchPath);
  if (!program) return {};
  LaunchPlan plan{LaunchKind::Program, *program, {}};
  for (const std::string& argument : SplitArguments(cut.Arguments))
    plan.Arguments.push_back(Windows1252ToUtf8(argument));
  return plan;
}

LaunchPlan PlanDocument(const ExecutarText& cut, const std::string& boardFolder) {
  if (IsWebAddress(cut.Path)) {
    // An address is handed over whole; blanks or line ends in it mean it is no address.
    for (const char c : cut.Path)
      if (IsBlank(c) || c == '\0') return {};
    return {LaunchKind::Document, Windows1252ToUtf8(cut.Path), {}};
  }
  const std::optional<std::string> document = FindInBoardFolder(boardFolder, cut.Path);
  if (!document) return {};
  // The desktop's opener may run what it is given (a launcher file, a script): the same rule as programs.
  if (!SafeFromOthers(*document, Windows1252ToUtf8(boardFolder))) return Refuse(*document);
  return {LaunchKind::Document, *document, {}};
}

} // namespace

std::optional<ExecutarText> CutExecutar(std::string_view text) {
  const size_t token = UpperAscii(text).find(ExecutarToken);
  if (token == std::string::npos) return std::nullopt;
  size_t start = token + ExecutarToken.size();
  const size_t close = text.find('>', start);
  if (close == std::string_view::npos) return std::nullopt;
  while (start < close && text[start] == ' ')
    ++start;
  std::string_view path = text.substr(start, close - start);
  if (path.empty()) return std::nullopt;
  ExecutarText cut;
  const size_t exe = path.find(ExeSuffix);
  if (exe != std::string_view::npos) {
    cut.IsProgram = true;
    cut.Arguments = std::string(path.substr(exe + ExeSuffix.size()));
    path = path.substr(0, exe + ExeSuffix.size());
  }
  cut.Path = std::string(path);
  return cut;
}

std::vector<std::string> SplitArguments(std::string_view arguments) {
  std::vector<std::string> result;
  std::string current;
  bool inArgument = false;
  bool quoted = false;
  for (const char c : arguments) {
    if (c == '"') {
      quoted = !quoted;
      inArgument = true;
    } else if (IsBlank(c) && !quoted) {
      if (inArgument) result.push_back(current);
      current.clear();
      inArgument = false;
    } else if (c != '\0') {
      current += c;
      inArgument = true;
    }
  }
  if (inArgument) result.push_back(current);
  return result;
}

LaunchPlan PlanExecutar(std::string_view text, const std::string& boardFolder,
                        const std::string& searchPath) {
  const std::optional<ExecutarText> cut = CutExecutar(text);
  if (!cut) return {};
  // A path without a drive is the board's own: a leading "\" means the board's folder, not the root.
  ExecutarText named = *cut;
  if (named.Path.find(':') == std::string::npos && named.Path.starts_with('\\')) named.Path.erase(0, 1);
  if (named.Path.empty()) return {};
  return named.IsProgram ? PlanProgram(named, boardFolder, searchPath) : PlanDocument(named, boardFolder);
}

std::optional<std::string> FindProgramOnSearchPath(const std::string& nameCp1252,
                                                   const std::string& searchPath) {
  return FindOnSearchPath(nameCp1252, searchPath);
}

std::string RealPath(const std::string& utf8Path) {
  char* real = ::realpath(utf8Path.c_str(), nullptr);
  if (real == nullptr) return {};
  std::string result(real);
  std::free(real);
  return result;
}

bool ClosedToOthers(const std::string& utf8Path) {
  struct stat info {};
  if (::stat(utf8Path.c_str(), &info) != 0) return false;
  const bool owner = info.st_uid == ::geteuid() || info.st_uid == 0;
  if (!owner || (info.st_mode & S_IWOTH) != 0) return false;
  return (info.st_mode & S_IWGRP) == 0 || PrivateGroup(info.st_uid, info.st_gid);
}

bool FoldersClosedToOthers(const std::string& canonicalFolder, const std::string& canonicalTop) {
  if (!FolderWithin(canonicalFolder, canonicalTop)) return false;
  std::string folder = canonicalFolder;
  for (;;) {
    if (!ClosedToOthers(folder)) return false;
    if (folder == canonicalTop || folder == "/") return true;
    const size_t cut = folder.rfind('/');
    if (cut == std::string::npos) return false;
    folder = cut == 0 ? "/" : folder.substr(0, cut);
  }
}

bool SafeFromOthers(const std::string& utf8Path, const std::string& utf8BoardFolder) {
  const std::string file = RealPath(utf8Path);
  if (file.empty() || !ClosedToOthers(file) || !NamedWayClosed(utf8Path, utf8BoardFolder)) return false;
  const std::string board = utf8BoardFolder.empty() ? std::string() : RealPath(utf8BoardFolder);
  // Inside the board's folder the walk ends there; a file outside it answers for the whole way up.
  const bool inside = !board.empty() && (board == "/" || file.starts_with(board + "/"));
  std::string folder = file;
  while (folder != "/" && !(inside && folder == board)) {
    const size_t cut = folder.rfind('/');
    folder = cut == 0 || cut == std::string::npos ? "/" : folder.substr(0, cut);
    if (!ClosedToOthers(folder)) return false;
  }
  return true;
}

} // namespace nq
