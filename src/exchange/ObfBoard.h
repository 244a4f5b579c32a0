#pragma once
// One board of the Open Board Format as the importer uses it: only the fields it reads, already
// checked for type, with every id as text (some systems write numbers).
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace nq::exchange {

// Why a set was not imported, for a message in the user's language; the detail stays in the text.
enum class ImportProblem {
  None,
  NotFound,        // the file is not there
  NotASet,         // not a readable archive, or no board to start from
  Broken,          // a board or the manifest does not follow the format
  DuplicateButton, // two different buttons share an id
  TooLarge,        // over a limit that guards memory and time
  GridTooLarge,    // buttons in use beyond the largest grid shown here
  NotWritable,     // the destination cannot take the boards
  Cancelled,       // the user stopped it
};

// Our own fields travel as ext_nexoquadrix_* members: flat lists of (key, value) texts.
using ExtValues = std::vector<std::pair<std::string, std::string>>;

// An image or a sound: inline data: URI, a path inside the set, or a URL we never fetch.
struct ObfResource {
  std::string Id;
  std::string Data;
  std::string Path;
  std::string Url;
  std::string ContentType;
  std::string SymbolSet;    // a licensed symbol set we cannot draw from
  std::string OriginalName; // ext_nexoquadrix_file: the picture's or sound's name in our board
};

struct ObfLoadBoard {
  std::string Id;
  std::string Name;
  std::string Path;
  std::string Url;
  std::string DataUrl;
};

struct ObfButton {
  std::string Id;
  std::string Label;
  std::optional<std::string> Vocalization;
  std::string ImageId;
  std::string SoundId;
  std::string BackgroundColor;
  std::string BorderColor;
  std::vector<std::string> Actions; // "action" first, then the members of "actions" not already listed
  std::optional<ObfLoadBoard> LoadBoard;
  std::string Url; // a web page the button opens elsewhere
  // Our own cell fields: the exact texts and the options the standard fields cannot carry.
  std::optional<std::string> ExtRead;
  std::optional<std::string> ExtSpecialFunction;
  std::optional<std::string> ExtLink;
  std::optional<std::string> ExtPicture; // the cell's own picture name, which may differ per board
  ExtValues ExtCell;
};

struct ObfBoard {
  std::string Id;
  std::string Name;
  std::string Url;
  std::string DataUrl;
  std::string Locale;
  int Rows = 0;
  int Columns = 0;
  // Button ids by row and column; an absent id is an empty cell.
  std::vector<std::vector<std::optional<std::string>>> Order;
  std::vector<ObfButton> Buttons;
  std::vector<ObfResource> Images;
  std::vector<ObfResource> Sounds;
  // The locale's string list, when the board has one: label and vocalization texts to replace.
  std::vector<std::pair<std::string, std::string>> Strings;
  std::string ExtFile; // ext_nexoquadrix_file: the board's file name in our set
  ExtValues ExtBoard;  // ext_nexoquadrix_board: the board's window, grid and option keys
};

} // namespace nq::exchange
