#pragma once
// Where symbols come from: the built-in pictograms with their names from the Unicode CLDR
// annotations, and the user's own picture folders. Each reader is a pure function of files, so it can
// be tested on small samples.
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "symbols/SymbolIndex.h"
#include "text/CldrAnnotations.h"

namespace nq::symbols {

/// The file of regional annotations whose keywords the language's own file gains ("es_419.xml" for
/// "es"); empty when there is none.
std::string RegionalAnnotations(std::string_view languageCode);

struct BuiltInFiles {
  std::string PictogramFolder; // holds data/openmoji.json and color/svg/<HEX>.svg; may be empty
  std::string CldrFolder;      // holds common/annotations and common/annotationsDerived; may be empty
};

/// The built-in symbols: every pictogram with an SVG, named in the three languages (its own English
/// name where CLDR has none), and every emoji CLDR names that only the colour emoji font draws.
std::vector<Symbol> ReadBuiltInSymbols(const BuiltInFiles& files);

/// Every picture under folder (PNG, JPEG, BMP, GIF, SVG), named from its file name and keyed by the
/// names of the folders it lies in, plus the words a "keywords.txt" beside it gives
/// ("file<TAB>words" lines).
std::vector<Symbol> ReadPictureFolder(const std::string& folder);

/// A text that changes whenever a picture is added to, removed from or renamed in the folder tree,
/// or a keyword file changes: the stamps of the folders and keyword files.
std::string FolderSignature(const std::string& folder);

} // namespace nq::symbols
