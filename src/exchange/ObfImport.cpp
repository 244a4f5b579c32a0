#include "exchange/ObfImport.h"

#include <stdlib.h>
#include <sys/stat.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>

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

// Reads the boards of a set: the root, every board the manifest lists, and any board a button's
// load_board path reaches. Each is read once, however many links lead to it.
class SetLoader {
public:
  explicit SetLoader(SetFiles& files) : Files(files) {}

  bool Load(const std::string& root, const std::map<std::string, std::string>& manifestBoards,
            std::string& error) {
    if (!Add(root, "", error)) return false;
    for (const auto& [id, path] : manifestBoards) {
      if (!Add(path, id, error)) return false;
    }
    for (std::size_t next = 0; next < Boards.size(); ++next) {
      // Copied: Add grows the list the reference would point into.
      const std::vector<ObfButton> buttons = Boards[next].Source.Buttons;
      const std::string folder = Boards[next].Path.substr(0, Boards[next].Path.rfind('/') + 1);
      for (const ObfButton& button : buttons) {
        if (!button.LoadBoard || button.LoadBoard->Path.empty()) continue;
        for (const std::string& base : {std::string(), folder}) {
          const std::optional<std::string> path = CleanSetPath(base + button.LoadBoard->Path);
          if (path && Files.Has(*path)) {
            if (!Add(*path, "", error)) return false;
            break;
          }
        }
      }
    }
    return CheckIds(error);
  }

  std::vector<LoadedBoard> Boards;
  std::vector<std::string> Warnings;

private:
  bool Add(const std::string& path, const std::string& manifestId, std::string& error) {
    for (LoadedBoard& board : Boards) {
      if (board.Path == path) {
        if (board.ManifestId.empty()) board.ManifestId = manifestId;
        return true;
      }
    }
    if (Boards.size() >= MaxBoardsPerSet) {
      error = "the set has more than " + std::to_string(MaxBoardsPerSet) + " boards";
      return false;
    }
    std::string bytes;
    if (!Files.Read(path, bytes, error)) return false;
    ObfParse parsed = ParseObfBoard(bytes, path);
    if (!parsed.Board) {
      error = parsed.Error;
      return false;
    }
    Warnings.insert(Warnings.end(), parsed.Warnings.begin(), parsed.Warnings.end());
    Boards.push_back({path, manifestId, std::move(*parsed.Board), {}});
    return true;
  }

  // A link by id must lead to one board only.
  bool CheckIds(std::string& error) const {
    std::map<std::string, std::string> owner;
    for (const LoadedBoard& board : Boards) {
      const auto [at, inserted] = owner.emplace(board.Source.Id, board.Path);
      if (!inserted) {
        error = "two boards have the id \"" + board.Source.Id + "\" (" + at->second + " and " + board.Path +
                "), so links by id are ambiguous";
        return false;
      }
    }
    return true;
  }

  SetFiles& Files;
};

bool ReadManifest(SetFiles& files, std::string& root, std::map<std::string, std::string>& boards,
                  std::string& error) {
  std::string bytes;
  if (!files.Read("manifest.json", bytes, error)) return false;
  if (JsonNestingDepth(bytes) > MaxJsonDepth) {
    error = "manifest.json is nested deeper than any manifest needs";
    return false;
  }
  try {
    const Json manifest = Json::parse(bytes);
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
  } catch (const std::exception&) {
    error = "manifest.json is not valid JSON";
    return false;
  }
}

// The .qdx names: our own exported names when they are safe, else the set's file names.
void NameBoards(std::vector<LoadedBoard>& boards) {
  std::set<std::string> used;
  for (LoadedBoard& board : boards) {
    const std::optional<std::string> own = CleanSetPath(board.Source.ExtFile);
    if (own && HasExtension(*own, ".qdx")) {
      board.FileName = UniqueName(*own, used);
      continue;
    }
    std::string stem = board.Path.substr(board.Path.rfind('/') + 1);
    if (HasExtension(stem, ".obf")) stem.resize(stem.size() - 4);
    board.FileName = UniqueName(SafeFileStem(stem) + ".qdx", used);
  }
}

bool WriteFiles(const fs::path& folder, const std::map<std::string, std::string>& files, std::string& error) {
  for (const auto& [name, bytes] : files) {
    const fs::path path = folder / name;
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
  return true;
}

// Writes everything into a temporary folder beside the destination and renames it into place.
bool Publish(const std::string& folderUtf8, const std::map<std::string, std::string>& files,
             std::string& error) {
  const fs::path target = fs::path(folderUtf8).lexically_normal();
  const fs::path parent = target.has_parent_path() ? target.parent_path() : fs::path(".");
  std::error_code ec;
  fs::create_directories(parent, ec);
  std::string pattern = (parent / ("." + target.filename().string() + ".import-XXXXXX")).string();
  if (!mkdtemp(pattern.data())) {
    error = "cannot create a folder beside " + target.string();
    return false;
  }
  const fs::path temporary = pattern;
  if (!WriteFiles(temporary, files, error)) {
    fs::remove_all(temporary, ec);
    return false;
  }
  // mkdtemp makes the folder private; the boards are for everyone who may read the user's files.
  const mode_t mask = umask(0);
  umask(mask);
  fs::permissions(temporary, static_cast<fs::perms>(0777 & ~mask), ec);
  if (fs::is_directory(target, ec) && fs::is_empty(target, ec)) fs::remove(target, ec);
  fs::rename(temporary, target, ec);
  if (ec) {
    fs::remove_all(temporary, ec);
    error = target.string() + " exists already and is not empty; nothing was written";
    return false;
  }
  return true;
}

ImportResult Import(const std::string& sourceUtf8, const std::string& folderUtf8,
                    PictureConverter* pictures) {
  ImportResult result;
  std::error_code ec;
  if (!fs::is_regular_file(sourceUtf8, ec)) {
    result.Error = sourceUtf8 + " does not exist";
    return result;
  }
  if (fs::exists(folderUtf8, ec) && !(fs::is_directory(folderUtf8, ec) && fs::is_empty(folderUtf8, ec))) {
    result.Error = folderUtf8 + " exists already and is not empty; nothing was written";
    return result;
  }
  std::unique_ptr<SetFiles> files;
  std::string root;
  std::map<std::string, std::string> manifestBoards;
  if (HasExtension(sourceUtf8, ".obz") || StartsLikeZip(sourceUtf8)) {
    files = OpenArchiveSet(sourceUtf8, result.Error);
    if (!files) return result;
    if (files->Has("manifest.json")) {
      if (!ReadManifest(*files, root, manifestBoards, result.Error)) return result;
    } else {
      const std::vector<std::string> boards = files->BoardFiles();
      if (boards.size() != 1) {
        result.Error = boards.empty()
                           ? "the archive holds no .obf board"
                           : "the archive holds several boards but no manifest.json naming the first";
        return result;
      }
      root = boards.front();
    }
  } else {
    const fs::path source(sourceUtf8);
    files = OpenFolderSet(source.parent_path().string());
    root = source.filename().string();
  }
  SetLoader loader(*files);
  if (!loader.Load(root, manifestBoards, result.Error)) return result;
  NameBoards(loader.Boards);
  ConvertedSet converted;
  SetConverter converter(*files, loader.Boards, pictures);
  if (!converter.Convert(converted, result.Error)) return result;
  std::vector<std::string> notes = files->Warnings;
  notes.insert(notes.end(), loader.Warnings.begin(), loader.Warnings.end());
  notes.insert(notes.end(), converted.Notes.begin(), converted.Notes.end());
  // Beside the boards, for whoever opens the folder later: which board comes first, and what was lost.
  converted.Files[std::string(RootBoardListFile)] = loader.Boards.front().FileName + "\n";
  std::string report;
  for (const std::string& note : notes)
    report += note + "\n";
  if (!report.empty()) converted.Files[std::string(ImportReportFile)] = report;
  if (!Publish(folderUtf8, converted.Files, result.Error)) return result;
  result.Notes = std::move(notes);
  result.RootBoard = loader.Boards.front().FileName;
  result.Boards = static_cast<int>(loader.Boards.size());
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
                            PictureConverter* pictures) {
  try {
    return Import(sourceUtf8, folderUtf8, pictures);
  } catch (const std::exception& error) {
    ImportResult result;
    result.Error = std::string("the import stopped: ") + error.what();
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
