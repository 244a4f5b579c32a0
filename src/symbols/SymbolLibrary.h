#pragma once
// The symbol index as the editor and the tool use it: loaded from a compact file in the user's cache
// when its sources have not changed, built again (in the background) when they have.
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "symbols/SymbolSources.h"

namespace nq::symbols {

struct LibraryFiles {
  BuiltInFiles BuiltIn;
  std::vector<std::string> UserFolders; // the user's picture folders, UTF-8
  std::string CacheFile;                // the saved index; empty: none is kept
};

/// A number that changes whenever a source of the index changes (the built-in data files, a folder's
/// pictures or keyword files, the list of folders).
uint64_t SourcesSignature(const LibraryFiles& files);

/// Writes the symbols with the signature; false when the file could not be written.
bool SaveIndexFile(const std::string& path, uint64_t signature, const std::vector<Symbol>& symbols);

/// The symbols of a saved index whose signature matches; nothing for a missing, stale or damaged file.
std::optional<std::vector<Symbol>> LoadIndexFile(const std::string& path, uint64_t signature);

/// Every symbol of the sources, read from the files (slow: the built-in data and every folder).
std::vector<Symbol> ReadAllSymbols(const LibraryFiles& files);

/// Start, Wait, RefreshIfChanged and SetUserFolders belong to one thread (the editor's UI thread);
/// Current may be asked from any.
class SymbolLibrary {
public:
  explicit SymbolLibrary(LibraryFiles files);
  ~SymbolLibrary();
  SymbolLibrary(const SymbolLibrary&) = delete;
  SymbolLibrary& operator=(const SymbolLibrary&) = delete;

  /// Starts loading (or building) the index on a thread of its own, unless it is already under way.
  void Start();
  /// The index, waiting for the load to end; never null (empty when there are no sources).
  std::shared_ptr<const SymbolIndex> Wait();
  /// The index when it is ready, null while it is being built.
  std::shared_ptr<const SymbolIndex> Current() const;
  /// Checks whether a source changed since the index was made and, if so, builds it again in the
  /// background; the old index answers meanwhile.
  void RefreshIfChanged();
  /// Replaces the list of the user's folders and rebuilds in the background.
  void SetUserFolders(std::vector<std::string> folders);

private:
  void Load(LibraryFiles files);
  void JoinWorker();

  LibraryFiles Files;
  mutable std::mutex Lock;
  std::shared_ptr<const SymbolIndex> Index;
  uint64_t IndexSignature = 0;
  std::atomic<bool> Busy{false};
  std::thread Worker;
};

} // namespace nq::symbols
