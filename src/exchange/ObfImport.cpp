#include "exchange/ObfImport.h"

#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>

#include "exchange/CountedJson.h"
#include "exchange/ExchangeLimits.h"
#include "exchange/ObfConvert.h"
#include "exchange/ObfReader.h"
#include "exchange/TextFit.h"

namespace nq::exchange {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;

bool HasExtension(const std::string& name, const std::string& extension) {
  if (name.size() < extension.size()) return false;
  std::string tail = name.substr(name.size() - extension.size());
  for (char& c : tail)
    c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return tail == extension;
}

bool StartsLikeZip(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  char head[4] = {};
  in.read(head, 4);
  return in.gcount() == 4 && head[0] == 'P' && head[1] == 'K' && head[2] == 3 && head[3] == 4;
}

// Finds the boards of a set: the root, every board the manifest lists, and any board a button's
// load_board path reaches. Each is read once, however many links lead to it, and only a summary of
// it is kept: the boards are converted one by one afterwards, never all held at once.
class SetLoader {
public:
  SetLoader(SetFiles& files, JsonBudget& budget, ImportProgress* progress)
      : Files(files), Budget(budget), Progress(progress) {}

  bool Load(const std::string& root, const std::map<std::string, std::string>& manifestBoards,
            ImportFailure& failure) {
    if (!Add(root, "", failure)) return false;
    for (const auto& [id, path] : manifestBoards) {
      if (!Add(path, id, failure)) return false;
    }
    for (std::size_t next = 0; next < Boards.size(); ++next) {
      if (Progress && Progress->Cancel) {
        failure = {ImportProblem::Cancelled, "the import was cancelled", {}};
        return false;
      }
      // Moved out: Add grows both lists.
      const std::vector<std::string> links = std::move(Links[next]);
      for (const std::string& path : links) {
        if (!Add(path, "", failure)) return false;
      }
    }
    return CheckIds(failure);
  }

  std::vector<SetBoard> Boards;
  std::vector<std::string> Warnings;

private:
  bool Add(const std::string& path, const std::string& manifestId, ImportFailure& failure) {
    for (SetBoard& board : Boards) {
      if (board.Path == path) {
        if (board.ManifestId.empty()) board.ManifestId = manifestId;
        return true;
      }
    }
    if (Boards.size() >= MaxBoardsPerSet) {
      failure = {ImportProblem::TooLarge,
                 "the set has more than " + std::to_string(MaxBoardsPerSet) + " boards",
                 {}};
      return false;
    }
    std::string bytes;
    if (!Files.Read(path, bytes, failure.Error)) {
      failure.Problem = ImportProblem::Broken;
      failure.Where = path;
      return false;
    }
    ObfParse parsed = ParseObfBoard(bytes, path, &Budget);
    if (!parsed.Board) {
      failure = {parsed.Problem, parsed.Error, path};
      return false;
    }
    Warnings.insert(Warnings.end(), parsed.Warnings.begin(), parsed.Warnings.end());
    const ObfBoard& board = *parsed.Board;
    Boards.push_back({path, manifestId, board.Id, board.Url, board.DataUrl, board.ExtFile, {}});
    Links.push_back(LinkedPaths(path, board));
    if (Progress) {
      Progress->Total += 2; // read now, converted later
      Progress->Done += 1;
    }
    return true;
  }

  // The boards of the set that the board's buttons load by path, in the order of its buttons.
  std::vector<std::string> LinkedPaths(const std::string& path, const ObfBoard& board) const {
    std::vector<std::string> paths;
    const std::string folder = path.substr(0, path.rfind('/') + 1);
    for (const ObfButton& button : board.Buttons) {
      if (!button.LoadBoard || button.LoadBoard->Path.empty()) continue;
      for (const std::string& base : {std::string(), folder}) {
        const std::optional<std::string> linked = CleanSetPath(base + button.LoadBoard->Path);
        if (linked && Files.Has(*linked)) {
          paths.push_back(*linked);
          break;
        }
      }
    }
    return paths;
  }

  // A link by id must lead to one board only.
  bool CheckIds(ImportFailure& failure) const {
    std::map<std::string, std::string> owner;
    for (const SetBoard& board : Boards) {
      const auto [at, inserted] = owner.emplace(board.Id, board.Path);
      if (!inserted) {
        failure = {ImportProblem::Broken,
                   "two boards have the id \"" + board.Id + "\" (" + at->second + " and " + board.Path +
                       "), so links by id are ambiguous",
                   board.Path};
        return false;
      }
    }
    return true;
  }

  SetFiles& Files;
  JsonBudget& Budget;
  ImportProgress* Progress;
  std::vector<std::vector<std::string>> Links; // per board, until its links are followed
};

bool ReadManifest(SetFiles& files, JsonBudget& budget, std::string& root,
                  std::map<std::string, std::string>& boards, ImportFailure& failure) {
  failure.Problem = ImportProblem::NotASet;
  std::string& error = failure.Error;
  std::string bytes;
  if (!files.Read("manifest.json", bytes, error)) return false;
  if (JsonNestingDepth(bytes) > MaxJsonDepth) {
    error = "manifest.json is nested deeper than any manifest needs";
    return false;
  }
  try {
    const Json manifest = ParseCountedJson(bytes, MaxJsonValuesPerBoard, &budget);
    if (!manifest.is_object() || !manifest.contains("root") || !manifest["root"].is_string()) {
      error = "manifest.json has no \"root\" text naming the first board";
      return false;
    }
    const std::optional<std::string> clean = CleanSetPath(manifest["root"].get<std::string>());
    if (!clean || !files.Has(*clean)) {
      error = "manifest.json names the root board \"" + manifest["root"].get<std::string>() +
              "\", which the set does not hold";
      return false;
    }
    root = *clean;
    const auto paths = manifest.find("paths");
    if (paths != manifest.end() && paths->is_object()) {
      const auto list = paths->find("boards");
      if (list != paths->end() && list->is_object()) {
        for (const auto& [id, path] : list->items()) {
          if (!path.is_string()) continue;
          const std::optional<std::string> board = CleanSetPath(path.get<std::string>());
          if (board && files.Has(*board)) boards.emplace(id, *board);
        }
      }
    }
    return true;
  } catch (const JsonOverBudget& over) {
    failure.Problem = ImportProblem::TooLarge;
    error = std::string("manifest.json: ") + over.what() + "; far more than any manifest holds";
    return false;
  } catch (const std::exception&) {
    error = "manifest.json is not valid JSON";
    return false;
  }
}

// The .qdx names: our own exported names when they are safe, else the set's file names.
void NameBoards(std::vector<SetBoard>& boards) {
  std::set<std::string> used;
  for (SetBoard& board : boards) {
    const std::optional<std::string> own = CleanSetPath(board.ExtFile);
    if (own && HasExtension(*own, ".qdx")) {
      board.FileName = UniqueName(*own, used);
      continue;
    }
    std::string stem = board.Path.substr(board.Path.rfind('/') + 1);
    if (HasExtension(stem, ".obf")) stem.resize(stem.size() - 4);
    board.FileName = UniqueName(SafeFileStem(stem) + ".qdx", used);
  }
}

// A temporary folder beside the destination that receives the files as they are made and is renamed
// into place at the end, so a refused or cancelled set leaves nothing behind and a large one is never
// held in memory whole.
class OutputFolder {
public:
  ~OutputFolder() {
    std::error_code ec;
    if (!Temporary.empty()) fs::remove_all(Temporary, ec);
  }

  bool Create(const std::string& folderUtf8, std::string& error) {
    Target = fs::path(folderUtf8).lexically_normal();
    const fs::path parent = Target.has_parent_path() ? Target.parent_path() : fs::path(".");
    std::error_code ec;
    fs::create_directories(parent, ec);
    std::string pattern = (parent / ("." + Target.filename().string() + ".import-XXXXXX")).string();
    if (!mkdtemp(pattern.data())) {
      error = "cannot create a folder beside " + Target.string();
      return false;
    }
    Temporary = pattern;
    return true;
  }

  /// Writes the files and empties the map.
  bool Write(std::map<std::string, std::string>& files, std::string& error) {
    for (const auto& [name, bytes] : files) {
      const fs::path path = Temporary / name;
      std::error_code ec;
      fs::create_directories(path.parent_path(), ec);
      std::ofstream out(path, std::ios::binary | std::ios::trunc);
      out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
      out.close();
      if (!out) {
        error = "cannot write " + path.string();
        return false;
      }
    }
    files.clear();
    return true;
  }

  bool Publish(std::string& error) {
    std::error_code ec;
    // mkdtemp makes the folder private; the boards are for everyone who may read the user's files.
    const mode_t mask = umask(0);
    umask(mask);
    fs::permissions(Temporary, static_cast<fs::perms>(0777 & ~mask), ec);
    if (fs::is_directory(Target, ec) && fs::is_empty(Target, ec)) fs::remove(Target, ec);
    fs::rename(Temporary, Target, ec);
    if (ec) {
      error = Target.string() + " exists already and is not empty; nothing was written";
      return false;
    }
    Temporary.clear();
    return true;
  }

private:
  fs::path Target;
  fs::path Temporary;
};

bool Cancelled(ImportProgress* progress, ImportFailure& failure) {
  if (!progress || !progress->Cancel) return false;
  failure = {ImportProblem::Cancelled, "the import was cancelled", {}};
  return true;
}

// Converts the boards one at a time: each is read again, converted and written before the next.
bool ConvertBoards(SetFiles& files, const std::vector<SetBoard>& boards, PictureConverter* pictures,
                   const ImportOptions& options, OutputFolder& output, ConvertedSet& converted,
                   ImportFailure& failure) {
  ImportProgress* const progress = options.Progress;
  SetConverter converter(files, boards, pictures, progress ? &progress->Cancel : nullptr);
  converter.KeepCommands = options.KeepCommands;
  for (const SetBoard& board : boards) {
    if (Cancelled(progress, failure)) return false;
    std::string bytes;
    if (!files.Read(board.Path, bytes, failure.Error)) {
      failure.Problem = ImportProblem::Broken;
      failure.Where = board.Path;
      return false;
    }
    ObfParse parsed = ParseObfBoard(bytes, board.Path);
    if (!parsed.Board) {
      failure = {parsed.Problem, parsed.Error, board.Path};
      return false;
    }
    bytes.clear();
    bytes.shrink_to_fit();
    const LoadedBoard loaded{board.Path, board.ManifestId, std::move(*parsed.Board), board.FileName};
    if (!converter.ConvertBoard(loaded, converted, failure.Error)) {
      failure.Problem = ImportProblem::GridTooLarge;
      failure.Where = board.Path;
      return false;
    }
    if (Cancelled(progress, failure)) return false;
    if (!output.Write(converted.Files, failure.Error)) {
      failure.Problem = ImportProblem::NotWritable;
      return false;
    }
    if (progress) progress->Done += 1;
  }
  converter.Finish(converted);
  return true;
}

bool OpenSet(const std::string& sourceUtf8, std::unique_ptr<SetFiles>& files, JsonBudget& budget,
             std::string& root, std::map<std::string, std::string>& manifestBoards, ImportFailure& failure) {
  if (!HasExtension(sourceUtf8, ".obz") && !StartsLikeZip(sourceUtf8)) {
    const fs::path source(sourceUtf8);
    files = OpenFolderSet(source.parent_path().string());
    root = source.filename().string();
    return true;
  }
  files = OpenArchiveSet(sourceUtf8, failure.Error);
  if (!files) {
    failure.Problem = ImportProblem::NotASet;
    return false;
  }
  if (files->Has("manifest.json")) return ReadManifest(*files, budget, root, manifestBoards, failure);
  const std::vector<std::string> boards = files->BoardFiles();
  if (boards.size() != 1) {
    failure.Problem = ImportProblem::NotASet;
    failure.Error = boards.empty() ? "the archive holds no .obf board"
                                   : "the archive holds several boards but no manifest.json naming the first";
    return false;
  }
  root = boards.front();
  return true;
}

ImportResult Import(const std::string& sourceUtf8, const std::string& folderUtf8, PictureConverter* pictures,
                    const ImportOptions& options) {
  ImportProgress* const progress = options.Progress;
  ImportResult result;
  ImportFailure failure;
  const auto fail = [&result, &failure] {
    result.Error = failure.Error;
    result.Problem = failure.Problem;
    result.Where = failure.Where;
    return result;
  };
  std::error_code ec;
  if (!fs::is_regular_file(sourceUtf8, ec)) {
    failure = {ImportProblem::NotFound, sourceUtf8 + " does not exist", {}};
    return fail();
  }
  if (fs::exists(folderUtf8, ec) && !(fs::is_directory(folderUtf8, ec) && fs::is_empty(folderUtf8, ec))) {
    failure = {
        ImportProblem::NotWritable, folderUtf8 + " exists already and is not empty; nothing was written", {}};
    return fail();
  }
  std::unique_ptr<SetFiles> files;
  std::string root;
  std::map<std::string, std::string> manifestBoards;
  JsonBudget budget{options.JsonValues};
  if (!OpenSet(sourceUtf8, files, budget, root, manifestBoards, failure)) return fail();
  SetLoader loader(*files, budget, progress);
  if (!loader.Load(root, manifestBoards, failure)) return fail();
  NameBoards(loader.Boards);
  OutputFolder output;
  if (!output.Create(folderUtf8, failure.Error)) {
    failure.Problem = ImportProblem::NotWritable;
    return fail();
  }
  ConvertedSet converted;
  if (!ConvertBoards(*files, loader.Boards, pictures, options, output, converted, failure)) return fail();
  std::vector<std::string> notes = files->Warnings;
  notes.insert(notes.end(), loader.Warnings.begin(), loader.Warnings.end());
  notes.insert(notes.end(), converted.Notes.begin(), converted.Notes.end());
  // Beside the boards, for whoever opens the folder later: which board comes first, and what was lost.
  converted.Files[std::string(RootBoardListFile)] = loader.Boards.front().FileName + "\n";
  std::string report;
  for (std::string& note : notes) {
    // One note a line: names from the set may hold line breaks that would forge lines of the report.
    std::replace_if(
        note.begin(), note.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; }, ' ');
    report += note + "\n";
  }
  if (!report.empty()) converted.Files[std::string(ImportReportFile)] = report;
  if (!output.Write(converted.Files, failure.Error) || !output.Publish(failure.Error)) {
    failure.Problem = ImportProblem::NotWritable;
    return fail();
  }
  result.Notes = std::move(notes);
  result.RootBoard = loader.Boards.front().FileName;
  result.Boards = static_cast<int>(loader.Boards.size());
  result.DroppedCommands = converted.DroppedCommands;
  result.KeptCommands = converted.KeptCommands;
  result.Ok = true;
  return result;
}

int Base64Value(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+' || c == '-') return 62;
  if (c == '/' || c == '_') return 63;
  return -1;
}

} // namespace

ImportResult ImportBoardSet(const std::string& sourceUtf8, const std::string& folderUtf8,
                            PictureConverter* pictures, const ImportOptions& options) {
  try {
    return Import(sourceUtf8, folderUtf8, pictures, options);
  } catch (const std::exception& error) {
    ImportResult result;
    result.Error = std::string("the import stopped: ") + error.what();
    result.Problem = ImportProblem::Broken;
    return result;
  }
}

std::optional<std::string> DecodeDataUri(const std::string& uri, std::string& mediaType) {
  if (uri.compare(0, 5, "data:") != 0) return std::nullopt;
  const std::size_t comma = uri.find(',');
  if (comma == std::string::npos) return std::nullopt;
  const std::string header = uri.substr(5, comma - 5);
  const bool base64 = header.size() >= 7 && header.compare(header.size() - 7, 7, ";base64") == 0;
  mediaType = header.substr(0, header.find(';'));
  std::string out;
  if (base64) {
    uint32_t buffer = 0;
    int bits = 0;
    for (std::size_t i = comma + 1; i < uri.size(); ++i) {
      const char c = uri[i];
      if (c == '=' || c == ' ' || c == '\n' || c == '\r' || c == '\t') continue;
      const int value = Base64Value(c);
      if (value < 0) return std::nullopt;
      buffer = (buffer << 6) | static_cast<uint32_t>(value);
      bits += 6;
      if (bits >= 8) {
        bits -= 8;
        out += static_cast<char>((buffer >> bits) & 0xFF);
      }
    }
    return out;
  }
  for (std::size_t i = comma + 1; i < uri.size(); ++i) {
    if (uri[i] == '%' && i + 2 < uri.size() && std::isxdigit(static_cast<unsigned char>(uri[i + 1])) &&
        std::isxdigit(static_cast<unsigned char>(uri[i + 2]))) {
      out += static_cast<char>(std::stoi(uri.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      out += uri[i];
    }
  }
  return out;
}

std::string PlayerPictureFormat(const std::string& bytes) {
  if (bytes.size() >= 8 && bytes.compare(0, 8, "\x89PNG\r\n\x1A\n") == 0) return "png";
  if (bytes.size() >= 3 && bytes.compare(0, 3, "\xFF\xD8\xFF") == 0) return "jpg";
  if (bytes.size() >= 2 && bytes.compare(0, 2, "BM") == 0) return "bmp";
  return {};
}

} // namespace nq::exchange
