#pragma once
// The middle of an import: boards already read from a set become .qdx files and the pictures and
// sounds they use, all in memory. Used by ObfImport; split out to keep each step small.
#include <map>
#include <set>
#include <string>
#include <vector>

#include "boards/Board.h"
#include "exchange/ObfBoard.h"
#include "exchange/ObfImport.h"
#include "exchange/SetFiles.h"

namespace nq::exchange {

struct LoadedBoard {
  std::string Path;       // where the set holds it (cleaned)
  std::string ManifestId; // its id in the manifest, which may differ from its own
  ObfBoard Source;
  std::string FileName; // the .qdx it becomes, relative to the output folder (UTF-8, "/")
};

struct ConvertedSet {
  std::map<std::string, std::string> Files; // output name (UTF-8, "/") -> bytes
  std::vector<std::string> Notes;
};

class SetConverter {
public:
  SetConverter(SetFiles& files, std::vector<LoadedBoard>& boards, PictureConverter* pictures);
  /// Converts every board; false with the reason when one cannot be converted without losing places.
  bool Convert(ConvertedSet& out, std::string& error);

private:
  bool ConvertBoard(const LoadedBoard& loaded, ConvertedSet& out, std::string& error);
  void FillCell(const LoadedBoard& loaded, const ObfButton& button, CellRecord& cell, ConvertedSet& out);
  std::string Localised(const ObfBoard& board, const std::string& text) const;
  std::string Fit(const std::string& text);
  std::string Picture(const LoadedBoard& loaded, const ObfButton& button, ConvertedSet& out);
  std::string Sound(const LoadedBoard& loaded, const ObfButton& button, ConvertedSet& out);
  bool ResourceBytes(const LoadedBoard& loaded, const ObfResource& resource, const std::string& kind,
                     std::string& bytes, std::string& mediaType, ConvertedSet& out);
  std::string StoreFile(const std::string& preferredName, const std::string& fallbackStem,
                        const std::string& extension, const std::string& bytes, ConvertedSet& out);
  std::string OwnName(const LoadedBoard& loaded, const std::string& original) const;
  std::string StoredName(const LoadedBoard& loaded, const std::string& original, const std::string& stored);
  std::string SpecialFunction(const LoadedBoard& loaded, const ObfButton& button, ConvertedSet& out);
  std::string Link(const LoadedBoard& loaded, const ObfButton& button, ConvertedSet& out);
  const LoadedBoard* FindTarget(const LoadedBoard& from, const ObfLoadBoard& link) const;

  SetFiles& Files;
  std::vector<LoadedBoard>& Boards;
  PictureConverter* Pictures;
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
