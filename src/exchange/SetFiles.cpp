#include "exchange/SetFiles.h"

#include <sys/stat.h>
#include <zip.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include "exchange/ExchangeLimits.h"
#include "exchange/TextFit.h"

namespace nq::exchange {
namespace {

namespace fs = std::filesystem;

std::string Megabytes(uint64_t bytes) {
  return std::to_string((bytes + (1u << 20) - 1) >> 20) + " MB";
}

bool EndsWithObf(const std::string& name) {
  if (name.size() < 4) return false;
  std::string tail = name.substr(name.size() - 4);
  for (char& c : tail)
    c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return tail == ".obf";
}

class ArchiveSet : public SetFiles {
public:
  explicit ArchiveSet(zip_t* archive) : Archive(archive) {}
  ~ArchiveSet() override { zip_discard(Archive); }
  ArchiveSet(const ArchiveSet&) = delete;
  ArchiveSet& operator=(const ArchiveSet&) = delete;

  bool Index(std::string& error) {
    const zip_int64_t count = zip_get_num_entries(Archive, 0);
    if (count < 0 || static_cast<uint64_t>(count) > MaxArchiveEntries) {
      error = "the archive lists " + std::to_string(count) + " files; at most " +
              std::to_string(MaxArchiveEntries) + " are accepted";
      return false;
    }
    for (zip_int64_t i = 0; i < count; ++i) {
      const char* raw = zip_get_name(Archive, static_cast<zip_uint64_t>(i), ZIP_FL_ENC_GUESS);
      if (!raw) continue;
      const std::string name = raw;
      if (name.empty() || name.back() == '/') continue; // a folder entry
      zip_uint8_t system = 0;
      zip_uint32_t attributes = 0;
      if (zip_file_get_external_attributes(Archive, static_cast<zip_uint64_t>(i), 0, &system, &attributes) ==
              0 &&
          system == ZIP_OPSYS_UNIX && ((attributes >> 16) & S_IFMT) == S_IFLNK) {
        Warnings.push_back("entrada \"" + name + "\" del archivo no usada: es un enlace");
        continue;
      }
      const std::optional<std::string> clean = CleanSetPath(name);
      if (!clean) {
        Warnings.push_back("entrada \"" + name +
                           "\" del archivo no usada: su nombre sale del conjunto o tiene un "
                           "salto de línea");
        continue;
      }
      if (!Entries.emplace(*clean, static_cast<zip_uint64_t>(i)).second)
        Warnings.push_back("entrada \"" + name + "\" del archivo no usada: el archivo la tiene dos veces");
    }
    return true;
  }

  bool Has(const std::string& path) const override { return Entries.count(path) != 0; }

  std::vector<std::string> BoardFiles() const override {
    std::vector<std::string> boards;
    for (const auto& [name, index] : Entries) {
      if (EndsWithObf(name)) boards.push_back(name);
    }
    return boards;
  }

  bool Read(const std::string& path, std::string& bytes, std::string& error) override {
    const auto found = Entries.find(path);
    if (found == Entries.end()) {
      error = "\"" + path + "\" no está en el archivo";
      return false;
    }
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(Archive, found->second, 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE)) {
      error = "\"" + path + "\" no se puede leer del archivo";
      return false;
    }
    // Sizes are checked before anything is unpacked, so a few kilobytes cannot claim gigabytes of memory.
    if (stat.size > MaxEntryBytes) {
      error = "\"" + path + "\" ocupa " + Megabytes(stat.size) + " descomprimido, más de los " +
              Megabytes(MaxEntryBytes) + " aceptados para un archivo (un archivo dañado u hostil)";
      return false;
    }
    // A board is read twice (found, then converted); each file counts once.
    const bool counted = Counted.count(found->second) != 0;
    if (!counted && Unpacked + stat.size > MaxSetBytes) {
      error = "el conjunto ocupa más de " + Megabytes(MaxSetBytes) +
              " descomprimido (un archivo dañado u hostil)";
      return false;
    }
    zip_file_t* file = zip_fopen_index(Archive, found->second, 0);
    if (!file) {
      error = "\"" + path + "\" no se puede descomprimir (" + zip_strerror(Archive) + ")";
      return false;
    }
    bytes.assign(static_cast<std::size_t>(stat.size), '\0');
    zip_int64_t got = stat.size == 0 ? 0 : zip_fread(file, bytes.data(), stat.size);
    char extra = 0;
    // The stored size can lie; one byte more than it promised is refused as well.
    const zip_int64_t more = got == static_cast<zip_int64_t>(stat.size) ? zip_fread(file, &extra, 1) : 0;
    zip_fclose(file);
    if (got != static_cast<zip_int64_t>(stat.size) || more != 0) {
      error = "\"" + path + "\" está dañado en el archivo";
      bytes.clear();
      return false;
    }
    if (!counted) {
      Unpacked += stat.size;
      Counted.insert(found->second);
    }
    return true;
  }

private:
  zip_t* Archive;
  std::map<std::string, zip_uint64_t> Entries;
  uint64_t Unpacked = 0;
  std::set<zip_uint64_t> Counted;
};

class FolderSet : public SetFiles {
public:
  explicit FolderSet(const std::string& folder) {
    std::error_code ec;
    Root = fs::weakly_canonical(fs::path(folder.empty() ? "." : folder), ec);
  }

  bool Has(const std::string& path) const override { return Inside(path).has_value(); }
  std::vector<std::string> BoardFiles() const override { return {}; }

  bool Read(const std::string& path, std::string& bytes, std::string& error) override {
    const std::optional<fs::path> file = Inside(path);
    if (!file) {
      error = "\"" + path + "\" no está junto al tablero";
      return false;
    }
    std::error_code ec;
    const uintmax_t size = fs::file_size(*file, ec);
    if (ec || size > MaxEntryBytes) {
      error = "\"" + path + "\" ocupa más de " + Megabytes(MaxEntryBytes);
      return false;
    }
    std::ifstream in(*file, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (!in && !in.eof()) {
      error = "\"" + path + "\" no se puede leer";
      return false;
    }
    return true;
  }

private:
  // The regular file at the path, when it really lies below the folder (links resolved).
  std::optional<fs::path> Inside(const std::string& path) const {
    // A lone board lies in an ordinary folder, often the home folder: its hidden files and folders
    // (keys, settings) are never taken as pictures or sounds.
    for (const auto& part : fs::path(path)) {
      if (!part.empty() && part.string()[0] == '.') return std::nullopt;
    }
    std::error_code ec;
    const fs::path file = fs::weakly_canonical(Root / path, ec);
    if (ec || !fs::is_regular_file(file, ec)) return std::nullopt;
    const std::string root = Root.string() + "/";
    if (file.string().rfind(root, 0) != 0) return std::nullopt;
    return file;
  }

  fs::path Root;
};

} // namespace

std::unique_ptr<SetFiles> OpenArchiveSet(const std::string& archivePathUtf8, std::string& error) {
  int code = 0;
  zip_t* archive = zip_open(archivePathUtf8.c_str(), ZIP_RDONLY, &code);
  if (!archive) {
    zip_error_t details;
    zip_error_init_with_code(&details, code);
    error = "not a readable .obz archive (" + std::string(zip_error_strerror(&details)) + ")";
    zip_error_fini(&details);
    return nullptr;
  }
  auto set = std::make_unique<ArchiveSet>(archive);
  if (!set->Index(error)) return nullptr;
  return set;
}

std::unique_ptr<SetFiles> OpenFolderSet(const std::string& folderUtf8) {
  return std::make_unique<FolderSet>(folderUtf8);
}

} // namespace nq::exchange
