#include "exchange/ImportedBoards.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string_view>

#include "exchange/TextFit.h"
#include "platform/Dialogs.h"
#include "text/Encoding.h"

namespace nq::exchange {
namespace {

namespace fs = std::filesystem;

// Raised when imports change what they let through: a set imported by an earlier version (whose
// boards could carry commands in a line break of a name) is imported again instead of reused.
constexpr std::string_view ImportVersion = "2";

// FNV-1a over the import version and the whole file, read in blocks; a different content gets a
// different folder.
std::optional<std::string> ContentDigest(const std::string& fileUtf8) {
  std::ifstream in(fileUtf8, std::ios::binary);
  if (!in) return std::nullopt;
  uint64_t hash = 1469598103934665603ull;
  for (const char c : ImportVersion)
    hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
  std::string block(1 << 16, '\0');
  while (in) {
    in.read(block.data(), static_cast<std::streamsize>(block.size()));
    for (std::streamsize i = 0; i < in.gcount(); ++i)
      hash = (hash ^ static_cast<unsigned char>(block[static_cast<std::size_t>(i)])) * 1099511628211ull;
  }
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
  return std::string(text);
}

std::string FirstLine(const fs::path& file) {
  std::ifstream in(file);
  std::string line;
  std::getline(in, line);
  return line;
}

} // namespace

ImportedBoards::ImportedBoards(Dialogs& dialogs, PictureConverter* pictures, std::string baseFolderUtf8,
                               ImportRunner* runner)
    : Messages(dialogs), Pictures(pictures), Runner(runner), BaseFolder(std::move(baseFolderUtf8)) {}

std::string ImportedBoards::FolderFor(const std::string& fileUtf8) const {
  const std::optional<std::string> digest = ContentDigest(fileUtf8);
  if (!digest) return {};
  return (fs::path(BaseFolder) / (SafeFileStem(fs::path(fileUtf8).stem().string()) + "-" + *digest)).string();
}

std::optional<std::string> ImportedBoards::ImportedRootBoard(const std::string& cp1252Path) {
  const std::string file = Windows1252ToUtf8(cp1252Path);
  std::error_code ec;
  const uintmax_t size = fs::file_size(file, ec);
  const fs::file_time_type time = fs::last_write_time(file, ec);
  if (const auto seen = Seen.find(file); !ec && seen != Seen.end() && seen->second.Size == size &&
                                         seen->second.Time == time &&
                                         fs::is_regular_file(seen->second.Root, ec))
    return Utf8ToWindows1252(seen->second.Root);
  std::optional<std::string> root = Import(cp1252Path, file);
  if (root && !ec) Seen[file] = {size, time, Windows1252ToUtf8(*root)};
  return root;
}

std::optional<std::string> ImportedBoards::Import(const std::string& cp1252Path, const std::string& file) {
  const std::string folder = FolderFor(file);
  if (folder.empty()) {
    Messages.ShowMessage("No existe el archivo: " + cp1252Path);
    return std::nullopt;
  }
  std::error_code ec;
  // The folder appears whole or not at all, so a root list in it means the import was complete.
  const fs::path list = fs::path(folder) / std::string(RootBoardListFile);
  if (!fs::is_regular_file(list, ec)) {
    fs::create_directories(BaseFolder, ec);
    ImportResult result;
    ImportProgress progress;
    const std::function<void()> work = [&] {
      ImportOptions options;
      options.Progress = &progress;
      result = ImportBoardSet(file, folder, Pictures, options);
    };
    if (Runner)
      Runner->Run(fs::path(file).filename().string(), progress, work);
    else
      work();
    if (!result.Ok) {
      if (const std::string message = ImportFailureMessage(cp1252Path, result); !message.empty())
        Messages.ShowMessage(message);
      return std::nullopt;
    }
    if (result.DroppedCommands > 0)
      Messages.ShowMessage(Utf8ToWindows1252(
          (result.DroppedCommands == 1
               ? std::string("Se ha quitado una orden del conjunto importado que ejecutaba programas, abría "
                             "documentos o enviaba teclas a otros programas.")
               : "Se han quitado " + std::to_string(result.DroppedCommands) +
                     " órdenes del conjunto importado que ejecutaban programas, abrían documentos o enviaban "
                     "teclas a otros programas.") +
          " La lista está en " + (fs::path(folder) / std::string(ImportReportFile)).string()));
  }
  const std::string root = FirstLine(list);
  const std::optional<std::string> clean = CleanSetPath(root);
  if (!clean || !fs::is_regular_file(fs::path(folder) / *clean, ec)) {
    Messages.ShowMessage("No se ha podido importar " + cp1252Path);
    return std::nullopt;
  }
  return Utf8ToWindows1252((fs::path(folder) / *clean).string());
}

std::string ImportFailureMessage(const std::string& cp1252Path, const ImportResult& result) {
  const std::string board = "el tablero \"" + result.Where + "\"";
  std::string reason;
  switch (result.Problem) {
  case ImportProblem::Cancelled:
    return {};
  case ImportProblem::NotFound:
    return "No existe el archivo: " + cp1252Path;
  case ImportProblem::NotASet:
    reason = "no es un conjunto de tableros que se pueda leer.";
    break;
  case ImportProblem::DuplicateButton:
    reason = "en " + board +
             " dos botones distintos tienen el mismo identificador, y no se sabe cuál va en "
             "cada casilla.";
    break;
  case ImportProblem::TooLarge:
    reason = "es mucho más grande que cualquier conjunto de tableros (un archivo dañado o hecho para agotar "
             "la memoria).";
    break;
  case ImportProblem::GridTooLarge:
    reason = board + " usa más filas o columnas de las que se pueden mostrar, y dividirlo movería los "
                     "botones de su sitio.";
    break;
  case ImportProblem::NotWritable:
    reason = "no se puede escribir en la carpeta de los tableros importados.";
    break;
  case ImportProblem::None:
  case ImportProblem::Broken:
    reason = result.Where.empty() ? "el archivo está dañado o no sigue el formato Open Board."
                                  : board + " está dañado o no sigue el formato Open Board.";
    break;
  }
  return "No se ha podido importar " + cp1252Path + ":\n" + Utf8ToWindows1252(reason);
}

std::string DefaultImportFolder() {
  const char* data = std::getenv("XDG_DATA_HOME");
  std::string base;
  if (data && *data == '/') {
    base = data;
  } else {
    const char* home = std::getenv("HOME");
    base = std::string(home ? home : ".") + "/.local/share";
  }
  return base + "/nexoquadrix/imported";
}

} // namespace nq::exchange
