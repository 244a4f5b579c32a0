#include "exchange/ObfExport.h"

#include <unistd.h>
#include <zip.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>

#include "boards/BoardFile.h"
#include "boards/PathResolver.h"
#include "exchange/ExchangeLimits.h"
#include "exchange/ObfConvert.h"
#include "exchange/ObfImport.h"
#include "exchange/QdxFormat.h"
#include "exchange/TextFit.h"
#include "platform/Dialogs.h"
#include "text/Encoding.h"

namespace nq::exchange {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;

// The board reader's boxes become the export's error text.
class RecordingDialogs : public Dialogs {
public:
  void ShowMessage(const std::string& text, MessageIcon, const std::string&) override { Last = text; }
  std::optional<std::string> ChooseFileToOpen(const std::string&, const std::string&, const std::string&,
                                              const std::string&, const std::string&) override {
    return std::nullopt;
  }
  std::string Last;
};

// The format's actions for our commands that have one.
std::string ActionFor(const std::string& token) {
  if (token == "<ESBORRAR TOT>") return ":clear";
  if (token == "<ESBORRAR ULTIM>") return ":backspace";
  if (token == "<CASA>") return ":home";
  if (token == "<LLEGIR MISSATGE>") return ":speak";
  if (token == "<NEXO_QDX_ANTERIOR>" || token == "<TORNAR PLAFO ANTERIOR>") return ":back";
  return {};
}

bool EndsWithWave(const std::string& text) {
  if (text.size() < 4) return false;
  std::string tail = text.substr(text.size() - 4);
  for (char& c : tail)
    c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
  return tail == ".WAV";
}

std::string WithoutHashes(std::string link) {
  for (int i = 0; i < 2; ++i) {
    if (const std::size_t hash = link.find('#'); hash != std::string::npos) link.erase(hash, 1);
  }
  return link;
}

std::string ContentType(const std::string& format) {
  if (format == "png") return "image/png";
  if (format == "jpg") return "image/jpeg";
  if (format == "bmp") return "image/bmp";
  return "application/octet-stream";
}

struct ExportedBoard {
  fs::path File; // canonical
  std::string Id;
  Board Content;
};

class SetExporter {
public:
  bool Run(const std::string& boardUtf8, const std::string& archiveUtf8, ExportResult& result) {
    std::error_code ec;
    const fs::path root = fs::weakly_canonical(boardUtf8, ec);
    RootFolder = root.parent_path();
    if (!Enqueue(root, result.Error)) return false;
    for (std::size_t next = 0; next < Boards.size(); ++next) {
      if (!FollowLinks(next, result)) return false;
    }
    FindCommonFolder();
    for (std::size_t i = 0; i < Boards.size(); ++i)
      BoardJson(i, result);
    Json manifest = {{"format", "open-board-0.1"}, {"root", "boards/" + Boards.front().Id + ".obf"}};
    Json boards = Json::object();
    for (const ExportedBoard& board : Boards)
      boards[board.Id] = "boards/" + board.Id + ".obf";
    manifest["paths"] = {{"boards", boards}, {"images", ImagePaths}, {"sounds", SoundPaths}};
    Files["manifest.json"] = manifest.dump(2);
    result.Boards = static_cast<int>(Boards.size());
    return WriteArchive(archiveUtf8, result.Error);
  }

private:
  bool Enqueue(const fs::path& file, std::string& error) {
    for (const ExportedBoard& board : Boards) {
      if (board.File == file) return true;
    }
    if (Boards.size() >= MaxBoardsPerSet) {
      error = "more than " + std::to_string(MaxBoardsPerSet) + " linked boards";
      return false;
    }
    ExportedBoard exported{file, "b" + std::to_string(Boards.size() + 1), Board{}};
    RecordingDialogs dialogs;
    BoardFile reader(exported.Content, dialogs);
    if (!reader.ReadBoardFile(Utf8ToWindows1252(file.string()))) {
      error = file.string() + ": " +
              (dialogs.Last.empty() ? "not a board of this program" : Windows1252ToUtf8(dialogs.Last));
      return false;
    }
    Boards.push_back(std::move(exported));
    return true;
  }

  bool FollowLinks(std::size_t index, ExportResult& result) {
    const Board content = Boards[index].Content;
    const fs::path folder = Boards[index].File.parent_path();
    for (int n = 1; n <= content.CellCount(); ++n) {
      const CellPosition at = CellNumberToPosition(n, content.Columns);
      const std::string& link = content.Cell(at.Column, at.Row).Link;
      if (link.empty()) continue;
      const std::optional<std::string> found = FindBoardPath(folder.string(), WithoutHashes(link));
      std::error_code ec;
      if (!found || !fs::is_regular_file(*found, ec)) {
        result.Notes.push_back(Boards[index].File.string() + ": cell " + std::to_string(n) + " links to \"" +
                               Windows1252ToUtf8(link) + "\", which does not exist");
        continue;
      }
      // A board that fails to read is left out like a missing one; the rest of the set still goes.
      std::string error;
      if (!Enqueue(fs::weakly_canonical(*found, ec), error)) {
        if (Boards.size() >= MaxBoardsPerSet) {
          result.Error = error;
          return false;
        }
        result.Notes.push_back(error);
      }
    }
    return true;
  }

  // The folder that holds every board, picture and sound of the set, so that names like
  // "..\pictures\a.png" keep their meaning when the set is imported again.
  void FindCommonFolder() {
    auto common = [](const fs::path& a, const fs::path& b) {
      fs::path shared;
      for (auto i = a.begin(), j = b.begin(); i != a.end() && j != b.end() && *i == *j; ++i, ++j)
        shared /= *i;
      return shared;
    };
    for (const ExportedBoard& board : Boards) {
      const fs::path folder = board.File.parent_path();
      RootFolder = common(RootFolder, folder);
      for (int n = 1; n <= board.Content.CellCount(); ++n) {
        const CellPosition at = CellNumberToPosition(n, board.Content.Columns);
        const CellRecord& cell = board.Content.Cell(at.Column, at.Row);
        for (const std::string& name : {cell.Picture, EndsWithWave(cell.Read) ? cell.Read : std::string()}) {
          if (name.empty()) continue;
          std::error_code ec;
          if (const std::optional<std::string> found = FindBoardPath(folder.string(), name))
            RootFolder = common(RootFolder, fs::weakly_canonical(*found, ec).parent_path());
        }
      }
    }
  }

  const ExportedBoard* BoardAt(const fs::path& folder, const std::string& link) const {
    const std::optional<std::string> found = FindBoardPath(folder.string(), WithoutHashes(link));
    if (!found) return nullptr;
    std::error_code ec;
    const fs::path file = fs::weakly_canonical(*found, ec);
    for (const ExportedBoard& board : Boards) {
      if (board.File == file) return &board;
    }
    return nullptr;
  }

  // The board's name relative to the exported board's folder, when it lies inside it.
  std::string OwnFileName(const fs::path& file) {
    const fs::path relative = file.lexically_relative(RootFolder);
    std::string name = relative.generic_string();
    if (name.empty() || name.rfind("..", 0) == 0) name = file.filename().string();
    return UniqueName(name, UsedBoardNames);
  }

  // Adds the file once to the archive; its id, or empty when it cannot be read.
  std::string AddFile(const fs::path& folder, const std::string& name, bool sound, ExportResult& result,
                      const std::string& where) {
    const std::optional<std::string> found = FindBoardPath(folder.string(), name);
    std::error_code ec;
    if (!found || !fs::is_regular_file(*found, ec) || fs::file_size(*found, ec) > MaxEntryBytes) {
      result.Notes.push_back(where + ": \"" + Windows1252ToUtf8(name) +
                             "\" is missing or too large; left out");
      return {};
    }
    const fs::path file = fs::weakly_canonical(*found, ec);
    auto& known = sound ? Sounds : Images;
    if (const auto id = known.find(file); id != known.end()) return id->second;
    std::ifstream in(file, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string id = (sound ? "s" : "i") + std::to_string(known.size() + 1);
    std::string format = sound ? "wav" : PlayerPictureFormat(bytes);
    if (format.empty())
      format = SafeFileStem(file.extension().string().substr(file.extension().empty() ? 0 : 1));
    const std::string path = (sound ? "sounds/" : "images/") + id + "." + format;
    Files[path] = std::move(bytes);
    known[file] = id;
    Json record = {{"id", id},
                   {"path", path},
                   {"content_type", sound ? "audio/wav" : ContentType(format)},
                   {"ext_nexoquadrix_file", Windows1252ToUtf8(name)}};
    (sound ? SoundRecords : ImageRecords)[id] = record;
    (sound ? SoundPaths : ImagePaths)[id] = path;
    return id;
  }

  static bool WorthAButton(const CellRecord& cell) {
    static const CellRecord plain = ImportedBoardDefaults().Cells[0];
    return !cell.Caption.empty() || !cell.Read.empty() || !cell.Picture.empty() ||
           !cell.SpecialFunction.empty() || !cell.Link.empty() ||
           cell.FrameCellColour != plain.FrameCellColour || !(cell.Font == plain.Font);
  }

  Json ButtonJson(const ExportedBoard& board, int n, const CellRecord& cell, Json& images, Json& sounds,
                  ExportResult& result) {
    const fs::path folder = board.File.parent_path();
    const std::string where = board.File.string() + ": cell " + std::to_string(n);
    Json button = {{"id", std::to_string(n)}, {"label", Windows1252ToUtf8(cell.Caption)}};
    if (EndsWithWave(cell.Read)) {
      if (const std::string id = AddFile(folder, cell.Read, true, result, where); !id.empty()) {
        button["sound_id"] = id;
        sounds[id] = SoundRecords[id];
      }
    } else {
      button["vocalization"] = Windows1252ToUtf8(cell.Read);
    }
    if (!cell.Picture.empty()) {
      if (const std::string id = AddFile(folder, cell.Picture, false, result, where); !id.empty()) {
        button["image_id"] = id;
        images[id] = ImageRecords[id];
      }
      button["ext_nexoquadrix_picture"] = Windows1252ToUtf8(cell.Picture);
    }
    button["border_color"] = ColourText(cell.FrameCellColour);
    if (!cell.SpecialFunction.empty()) {
      if (const std::string action = ActionFor(cell.SpecialFunction); !action.empty())
        button["action"] = action;
      button["ext_nexoquadrix_special_function"] = Windows1252ToUtf8(cell.SpecialFunction);
    }
    if (!cell.Link.empty()) {
      if (const ExportedBoard* target = BoardAt(folder, cell.Link))
        button["load_board"] = {{"id", target->Id}, {"path", "boards/" + target->Id + ".obf"}};
      button["ext_nexoquadrix_link"] = Windows1252ToUtf8(cell.Link);
    }
    button["ext_nexoquadrix_read"] = Windows1252ToUtf8(cell.Read);
    Json options = Json::object();
    for (const auto& [key, value] : CellOptionValues(cell))
      options[key] = value;
    button["ext_nexoquadrix_cell"] = options;
    return button;
  }

  void BoardJson(std::size_t index, ExportResult& result) {
    const ExportedBoard& board = Boards[index];
    const Board& content = board.Content;
    const int columns = std::max(1, content.Columns);
    const int rows = std::max(1, content.Rows);
    Json buttons = Json::array();
    Json order = Json::array();
    Json images = Json::object();
    Json sounds = Json::object();
    for (int r = 1; r <= rows; ++r) {
      Json line = Json::array();
      for (int c = 1; c <= columns; ++c) {
        const CellRecord& cell = content.Cell(c, r);
        if (content.CellCount() == 0 || !WorthAButton(cell)) {
          line.push_back(nullptr);
          continue;
        }
        const int n = CellNumber(c, r, columns);
        buttons.push_back(ButtonJson(board, n, cell, images, sounds, result));
        line.push_back(std::to_string(n));
      }
      order.push_back(line);
    }
    Json options = Json::object();
    for (const auto& [key, value] : BoardOptionValues(content))
      options[key] = value;
    Json json = {{"format", "open-board-0.1"},
                 {"id", board.Id},
                 {"name", board.File.stem().string()},
                 {"ext_nexoquadrix_file", OwnFileName(board.File)},
                 {"ext_nexoquadrix_board", options},
                 {"grid", {{"rows", rows}, {"columns", columns}, {"order", order}}},
                 {"buttons", buttons}};
    Json imageList = Json::array();
    for (auto& [id, record] : images.items())
      imageList.push_back(record);
    Json soundList = Json::array();
    for (auto& [id, record] : sounds.items())
      soundList.push_back(record);
    json["images"] = imageList;
    json["sounds"] = soundList;
    Files["boards/" + board.Id + ".obf"] = json.dump(2);
  }

  bool WriteArchive(const std::string& archiveUtf8, std::string& error) {
    const fs::path target = fs::absolute(archiveUtf8);
    std::string temporary = (target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string();
    const int descriptor = mkstemp(temporary.data());
    if (descriptor < 0) {
      error = "cannot write beside " + target.string();
      return false;
    }
    close(descriptor);
    int code = 0;
    zip_t* archive = zip_open(temporary.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    bool written = archive != nullptr;
    for (const auto& [name, bytes] : Files) {
      if (!written) break;
      zip_source_t* source = zip_source_buffer(archive, bytes.data(), bytes.size(), 0);
      written = source && zip_file_add(archive, name.c_str(), source, ZIP_FL_ENC_UTF_8) >= 0;
      if (!written && source) zip_source_free(source);
    }
    if (archive && (!written || zip_close(archive) != 0)) {
      zip_discard(archive);
      written = false;
    }
    std::error_code ec;
    if (written) fs::permissions(temporary, fs::perms(0644), ec);
    if (written) fs::rename(temporary, target, ec);
    if (!written || ec) {
      fs::remove(temporary, ec);
      error = "cannot write " + target.string();
      return false;
    }
    return true;
  }

  fs::path RootFolder;
  std::vector<ExportedBoard> Boards;
  std::set<std::string> UsedBoardNames;
  std::map<fs::path, std::string> Images;
  std::map<fs::path, std::string> Sounds;
  std::map<std::string, Json> ImageRecords;
  std::map<std::string, Json> SoundRecords;
  Json ImagePaths = Json::object();
  Json SoundPaths = Json::object();
  std::map<std::string, std::string> Files;
};

} // namespace

ExportResult ExportBoardSet(const std::string& boardUtf8, const std::string& archiveUtf8) {
  ExportResult result;
  try {
    SetExporter exporter;
    result.Ok = exporter.Run(boardUtf8, archiveUtf8, result);
  } catch (const std::exception& error) {
    result.Ok = false;
    result.Error = std::string("the export stopped: ") + error.what();
  }
  return result;
}

} // namespace nq::exchange
