#include "symbols/SymbolLibrary.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "settings/AtomicFile.h"

namespace nq::symbols {
namespace fs = std::filesystem;
namespace {

constexpr std::string_view Magic = "NQSYMBOLS2\n";

uint64_t Fnv1a(uint64_t hash, std::string_view text) {
  for (unsigned char c : text) {
    hash ^= c;
    hash *= 1099511628211ull;
  }
  return hash;
}

std::string FileStampText(const std::string& path) {
  const FileStamp stamp = StampFile(path);
  return path + ":" + std::to_string(stamp.Size) + ":" + std::to_string(stamp.ModifiedSeconds) + "." +
         std::to_string(stamp.ModifiedNanoseconds) + "\n";
}

void PutNumber(std::string& out, uint64_t value, int bytes) {
  for (int k = 0; k < bytes; ++k)
    out += static_cast<char>((value >> (8 * k)) & 0xFF);
}

void PutText(std::string& out, const std::string& text) {
  PutNumber(out, text.size(), 4);
  out += text;
}

// Reads the saved index with bounds checks: a damaged file reads as none.
class Reader {
public:
  explicit Reader(std::string_view bytes) : Bytes(bytes) {}
  bool Number(uint64_t& value, int bytes) {
    if (Bytes.size() - At < static_cast<size_t>(bytes)) return false;
    value = 0;
    for (int k = 0; k < bytes; ++k)
      value |= static_cast<uint64_t>(static_cast<unsigned char>(Bytes[At + k])) << (8 * k);
    At += bytes;
    return true;
  }
  bool Text(std::string& text) {
    uint64_t size = 0;
    if (!Number(size, 4) || Bytes.size() - At < size) return false;
    text.assign(Bytes.substr(At, size));
    At += size;
    return true;
  }
  bool AtEnd() const { return At == Bytes.size(); }

private:
  std::string_view Bytes;
  size_t At = 0;
};

} // namespace

uint64_t SourcesSignature(const LibraryFiles& files) {
  uint64_t hash = 1469598103934665603ull;
  hash = Fnv1a(hash, Magic);
  const BuiltInFiles& builtIn = files.BuiltIn;
  if (!builtIn.PictogramFolder.empty())
    hash =
        Fnv1a(hash, FileStampText((fs::path(builtIn.PictogramFolder) / "data" / "openmoji.json").string()));
  if (!builtIn.CldrFolder.empty()) {
    const fs::path common = fs::path(builtIn.CldrFolder) / "common";
    for (const char* kind : {"annotations", "annotationsDerived"})
      for (const char* language : {"ca.xml", "es.xml", "en.xml"})
        hash = Fnv1a(hash, FileStampText((common / kind / language).string()));
    for (const char* language : {"ca", "es", "en"})
      if (const std::string regional = RegionalAnnotations(language); !regional.empty())
        hash = Fnv1a(hash, FileStampText((common / "annotations" / regional).string()));
  }
  for (const std::string& folder : files.UserFolders)
    hash = Fnv1a(hash, FolderSignature(folder) + "\x1f");
  return hash;
}

bool SaveIndexFile(const std::string& path, uint64_t signature, const std::vector<Symbol>& symbols) {
  std::string out(Magic);
  PutNumber(out, signature, 8);
  PutNumber(out, symbols.size(), 4);
  for (const Symbol& symbol : symbols) {
    PutNumber(out, static_cast<uint64_t>(symbol.Source), 1);
    PutNumber(out, (symbol.Untranslated[0] ? 1 : 0) | (symbol.Untranslated[1] ? 2 : 0), 1);
    PutText(out, symbol.Text);
    PutText(out, symbol.Picture);
    for (size_t k = 0; k < 3; ++k) {
      PutText(out, symbol.Names[k]);
      PutText(out, symbol.Keywords[k]);
    }
  }
  std::error_code error;
  fs::create_directories(fs::path(path).parent_path(), error);
  FileStamp stamp;
  return ReplaceFile(path, out, stamp);
}

std::optional<std::vector<Symbol>> LoadIndexFile(const std::string& path, uint64_t signature) {
  std::string bytes;
  FileStamp stamp;
  if (path.empty() || ReadWholeFile(path, bytes, stamp) != ReadResult::Read) return std::nullopt;
  if (bytes.compare(0, Magic.size(), Magic) != 0) return std::nullopt;
  Reader reader(std::string_view(bytes).substr(Magic.size()));
  uint64_t saved = 0, count = 0;
  if (!reader.Number(saved, 8) || saved != signature || !reader.Number(count, 4)) return std::nullopt;
  std::vector<Symbol> symbols;
  // Each symbol takes at least 34 bytes, so a damaged count cannot make a huge reservation.
  symbols.reserve(std::min<uint64_t>(count, bytes.size() / 34));
  for (uint64_t k = 0; k < count; ++k) {
    Symbol symbol;
    uint64_t source = 0;
    if (!reader.Number(source, 1) || source > static_cast<uint64_t>(SymbolSource::UserFolder))
      return std::nullopt;
    symbol.Source = static_cast<SymbolSource>(source);
    uint64_t untranslated = 0;
    if (!reader.Number(untranslated, 1) || untranslated > 3) return std::nullopt;
    symbol.Untranslated = {(untranslated & 1) != 0, (untranslated & 2) != 0, false};
    if (!reader.Text(symbol.Text) || !reader.Text(symbol.Picture)) return std::nullopt;
    for (size_t n = 0; n < 3; ++n)
      if (!reader.Text(symbol.Names[n]) || !reader.Text(symbol.Keywords[n])) return std::nullopt;
    symbols.push_back(std::move(symbol));
  }
  if (!reader.AtEnd()) return std::nullopt;
  return symbols;
}

std::vector<Symbol> ReadAllSymbols(const LibraryFiles& files) {
  std::vector<Symbol> symbols = ReadBuiltInSymbols(files.BuiltIn);
  for (const std::string& folder : files.UserFolders) {
    std::vector<Symbol> own = ReadPictureFolder(folder);
    symbols.insert(symbols.end(), std::make_move_iterator(own.begin()), std::make_move_iterator(own.end()));
  }
  return symbols;
}

SymbolLibrary::SymbolLibrary(LibraryFiles files) : Files(std::move(files)) {}

SymbolLibrary::~SymbolLibrary() {
  JoinWorker();
}

void SymbolLibrary::JoinWorker() {
  if (Worker.joinable()) Worker.join();
}

void SymbolLibrary::Load(LibraryFiles files) {
  const uint64_t signature = SourcesSignature(files);
  {
    std::lock_guard<std::mutex> guard(Lock);
    if (Index && IndexSignature == signature) return;
  }
  std::optional<std::vector<Symbol>> symbols = LoadIndexFile(files.CacheFile, signature);
  if (!symbols) {
    symbols = ReadAllSymbols(files);
    if (!files.CacheFile.empty()) SaveIndexFile(files.CacheFile, signature, *symbols);
  }
  auto index = std::make_shared<const SymbolIndex>(std::move(*symbols));
  std::lock_guard<std::mutex> guard(Lock);
  Index = std::move(index);
  IndexSignature = signature;
}

void SymbolLibrary::Start() {
  if (Busy) return;
  JoinWorker(); // a finished load: joining returns at once
  Busy = true;
  Worker = std::thread([this, files = Files] {
    Load(files);
    Busy = false;
  });
}

std::shared_ptr<const SymbolIndex> SymbolLibrary::Wait() {
  if (!Current()) Start();
  JoinWorker();
  std::lock_guard<std::mutex> guard(Lock);
  if (!Index) Index = std::make_shared<const SymbolIndex>(std::vector<Symbol>{});
  return Index;
}

std::shared_ptr<const SymbolIndex> SymbolLibrary::Current() const {
  std::lock_guard<std::mutex> guard(Lock);
  return Index;
}

void SymbolLibrary::RefreshIfChanged() {
  Start();
}

void SymbolLibrary::SetUserFolders(std::vector<std::string> folders) {
  JoinWorker();
  Files.UserFolders = std::move(folders);
  Start();
}

} // namespace nq::symbols
