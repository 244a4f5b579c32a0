#pragma once
// The middle of an import: one board read from a set becomes a .qdx file and the pictures and sounds
// it uses, in memory until the importer writes them. Boards are converted one at a time; what links
// need of the others is kept in a small summary of each. Used by ObfImport.
#include <atomic>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "boards/Board.h"
#include "exchange/LabelEmoji.h"
#include "exchange/ObfBoard.h"
#include "exchange/ObfImport.h"
#include "exchange/SetFiles.h"

namespace nq::exchange {

// What the whole import keeps of each board of the set: enough to name it and to find it by a link.
struct SetBoard {
  std::string Path;       // where the set holds it (cleaned)
  std::string ManifestId; // its id in the manifest, which may differ from its own
  std::string Id;
  std::string Url;
  std::string DataUrl;
  std::string ExtFile;  // the file name our own exports gave it
  std::string FileName; // the .qdx it becomes, relative to the output folder (UTF-8, "/")
};

// The one board being converted.
struct LoadedBoard {
  std::string Path;
  std::string ManifestId;
  ObfBoard Source;
  std::string FileName;
};

struct ConvertedSet {
  std::map<std::string, std::string> Files; // output name (UTF-8, "/") -> bytes
  std::vector<std::string> Notes;
  int DroppedCommands = 0; // commands left out because they reach outside the player
  int KeptCommands = 0;    // such commands kept because the converter was asked to
};

class SetConverter {
public:
  /// `boards` names every board of the set, for links; `cancel`, when given, stops picture conversion.
  SetConverter(SetFiles& files, const std::vector<SetBoard>& boards, PictureConverter* pictures,
               const std::atomic<bool>* cancel = nullptr);
  /// Converts one board into `out`; false with the reason when it cannot be without losing places.
  bool ConvertBoard(const LoadedBoard& loaded, ConvertedSet& out, std::string& error);
  /// Adds the notes about the whole set, once every board is converted.
  void Finish(ConvertedSet& out);
  /// Keeps commands that reach outside the player (a set the user exported themselves).
  bool KeepCommands = false;

private:
  void FillCell(const LoadedBoard& loaded, const ObfButton& button, CellRecord& cell, ConvertedSet& out);
  std::string Localised(const ObfBoard& board, const std::string& text) const;
  std::string Fit(const std::string& text);
  std::string Picture(const LoadedBoard& loaded, const ObfButton& button, ConvertedSet& out);
  std::string Sound(const LoadedBoard& loaded, const ObfButton& button, ConvertedSet& out);
  std::string EmojiPicture(const LoadedBoard& loaded, const ObfButton& button, const SplitLabel& label,
                           ConvertedSet& out);
  bool ResourceBytes(const LoadedBoard& loaded, const ObfResource& resource, const std::string& kind,
                     std::string& bytes, std::string& mediaType, ConvertedSet& out);
  /// Stores the bytes under the preferred name when it is safe and ends in `extension` or one of
  /// `ownExtensions`, else under a new name from the stem; the same bytes are stored once.
  std::string StoreFile(const std::string& preferredName, const std::string& fallbackStem,
                        const std::string& extension, const std::string& bytes, ConvertedSet& out,
                        const std::vector<std::string_view>& ownExtensions = {});
  std::string OwnName(const LoadedBoard& loaded, const std::string& original) const;
  std::string StoredName(const LoadedBoard& loaded, const std::string& original, const std::string& stored);
  std::string SpecialFunction(const LoadedBoard& loaded, const ObfButton& button, ConvertedSet& out);
  std::string Link(const LoadedBoard& loaded, const ObfButton& button, ConvertedSet& out);
  const SetBoard* FindTarget(const LoadedBoard& from, const ObfLoadBoard& link) const;

  SetFiles& Files;
  const std::vector<SetBoard>& Boards;
  PictureConverter* Pictures;
  const std::atomic<bool>* Cancel;
  std::set<std::string> MissingCharacters;
  std::set<std::string> UnknownOptions;
  std::map<std::string, std::string> StoredByContent; // content key -> output name
  std::set<std::string> UsedNames;                    // lower-cased output names
  bool SawBackground = false;
};

/// The name of `target` as a link from a board stored at `from` (both relative to one folder, "/").
std::string RelativeLink(const std::string& from, const std::string& target);

/// Adds a name to `used` (compared without letter case) and returns it, or a variant "name_2.ext"...
std::string UniqueName(const std::string& name, std::set<std::string>& used);

} // namespace nq::exchange
