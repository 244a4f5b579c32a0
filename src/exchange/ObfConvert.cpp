#include "exchange/ObfConvert.h"

#include <algorithm>
#include <array>

#include "actions/CellCommands.h"
#include "actions/ExecutarCommand.h"
#include "actions/OutsideCommands.h"
#include "exchange/ExchangeLimits.h"
#include "exchange/LabelEmoji.h"
#include "exchange/QdxFormat.h"
#include "exchange/TextFit.h"
#include "text/Encoding.h"
#include "text/TextUtilities.h"

namespace nq::exchange {
namespace {

// The format's actions that have a command of our own.
constexpr std::array<std::pair<std::string_view, std::string_view>, 5> ActionTokens = {{
    {":clear", "<ESBORRAR TOT>"},
    {":backspace", "<ESBORRAR ULTIM>"},
    {":home", "<CASA>"},
    {":speak", "<LLEGIR MISSATGE>"},
    {":back", "<NEXO_QDX_ANTERIOR>"},
}};

constexpr int ConvertedPictureSide = 512;

std::string Lower(std::string text) {
  for (char& c : text)
    c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return text;
}

std::string FolderPart(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

uint64_t ContentHash(const std::string& bytes) {
  uint64_t hash = 1469598103934665603ull;
  for (unsigned char c : bytes)
    hash = (hash ^ c) * 1099511628211ull;
  return hash;
}

// The extension of a file name, lower-cased, with its dot; empty when it has none.
std::string ExtensionOf(const std::string& name) {
  const std::size_t dot = name.rfind('.');
  if (dot == std::string::npos || name.find('/', dot) != std::string::npos) return {};
  return Lower(name.substr(dot));
}

// Sounds this player cannot play, kept under their own names for whoever converts them.
constexpr std::array<std::string_view, 9> KeptSoundExtensions = {".mp3", ".ogg",  ".oga", ".opus", ".m4a",
                                                                 ".aac", ".flac", ".wma", ".mid"};

// What a command that reaches outside would do, for the report (UTF-8).
std::string OutsideEffect(const std::string& command, const std::string& boardFile) {
  if (ContainsIgnoringCase(ExecutarToken, command)) return "iniciaría un programa o abriría un documento";
  return Windows1252ToUtf8(CellCommands::DescribeOutside(command, nullptr, Utf8ToWindows1252(boardFile)));
}

// A read text the player plays as a file rather than speaks.
bool IsSoundName(const std::string& text) {
  const std::string extension = ExtensionOf(text);
  return extension == ".wav";
}

bool IsWave(const std::string& bytes) {
  return bytes.size() >= 12 && bytes.compare(0, 4, "RIFF") == 0 && bytes.compare(8, 4, "WAVE") == 0;
}

// A link as the board file names it, without the "#" marks (at most two) that make it also write.
std::string WithoutHashes(std::string link) {
  for (int i = 0; i < 2; ++i) {
    if (const std::size_t hash = link.find('#'); hash != std::string::npos) link.erase(hash, 1);
  }
  return link;
}

std::string ButtonName(const LoadedBoard& loaded, const ObfButton& button) {
  return loaded.Path + ": botón \"" + button.Id + "\"" +
         (button.Label.empty() ? "" : " (" + button.Label + ")");
}

} // namespace

std::string UniqueName(const std::string& name, std::set<std::string>& used) {
  if (used.insert(Lower(name)).second) return name;
  const std::size_t dot = name.rfind('.');
  const std::size_t slash = name.rfind('/');
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  const std::string stem = hasExtension ? name.substr(0, dot) : name;
  const std::string extension = hasExtension ? name.substr(dot) : std::string();
  for (int n = 2;; ++n) {
    const std::string candidate = stem + "_" + std::to_string(n) + extension;
    if (used.insert(Lower(candidate)).second) return candidate;
  }
}

std::string RelativeLink(const std::string& from, const std::string& target) {
  std::string fromFolder = FolderPart(from);
  std::string rest = target;
  // Drop the folders both share, then climb out of what is left of the source's folder.
  while (!fromFolder.empty()) {
    const std::size_t slash = fromFolder.find('/');
    const std::string head = fromFolder.substr(0, slash + 1);
    if (rest.compare(0, head.size(), head) != 0) break;
    fromFolder.erase(0, head.size());
    rest.erase(0, head.size());
  }
  std::string climb;
  for (char c : fromFolder) {
    if (c == '/') climb += "../";
  }
  return climb + rest;
}

SetConverter::SetConverter(SetFiles& files, const std::vector<SetBoard>& boards, PictureConverter* pictures,
                           const std::atomic<bool>* cancel)
    : Files(files), Boards(boards), Pictures(pictures), Cancel(cancel) {
  for (const SetBoard& board : Boards)
    UsedNames.insert(Lower(board.FileName));
}

void SetConverter::Finish(ConvertedSet& out) {
  if (!MissingCharacters.empty()) {
    std::string list;
    for (const std::string& c : MissingCharacters)
      list += (list.empty() ? "" : " ") + c;
    out.Notes.push_back(
        "caracteres sin forma en Windows-1252, cambiados por una letra parecida o por \"?\": " + list);
  }
  if (SawBackground)
    out.Notes.push_back(
        "este programa no muestra colores de fondo: el marco de cada casilla ha tomado el color "
        "del borde, o si no el del fondo");
  for (const std::string& key : UnknownOptions)
    out.Notes.push_back("opción desconocida \"" + key + "\": no se ha usado");
}

bool SetConverter::ConvertBoard(const LoadedBoard& loaded, ConvertedSet& out, std::string& error) {
  const ObfBoard& source = loaded.Source;
  // Only a grid too large to show is cut down, and only by the empty rows and columns at its end,
  // so that no button moves from the place its users know.
  int rows = source.Rows;
  int columns = source.Columns;
  if (rows > MaxGridRows || columns > MaxGridColumns) {
    int lastRow = 0;
    int lastColumn = 0;
    for (int r = 0; r < std::min<int>(rows, static_cast<int>(source.Order.size())); ++r) {
      for (int c = 0; c < std::min<int>(columns, static_cast<int>(source.Order[r].size())); ++c) {
        if (source.Order[r][c]) {
          lastRow = std::max(lastRow, r + 1);
          lastColumn = std::max(lastColumn, c + 1);
        }
      }
    }
    // Only the dimension that does not fit is cut, so the other keeps its cell size.
    if (rows > MaxGridRows) rows = std::max(1, lastRow);
    if (columns > MaxGridColumns) columns = std::max(1, lastColumn);
  }
  if (rows > MaxGridRows || columns > MaxGridColumns) {
    error =
        loaded.Path + ": its grid is " + std::to_string(source.Columns) + " columns by " +
        std::to_string(source.Rows) + " rows, and a board here holds at most " +
        std::to_string(MaxGridColumns) + " by " + std::to_string(MaxGridRows) +
        ". The set is refused rather than split, because splitting would move buttons away from the places "
        "their users know.";
    return false;
  }
  Board board = ImportedBoardDefaults();
  board.Columns = columns;
  board.Rows = rows;
  ApplyBoardOptionValues(source.ExtBoard, board, UnknownOptions);
  std::set<std::string> placed;
  std::map<std::string_view, const ObfButton*> byId;
  for (const ObfButton& button : source.Buttons)
    byId.emplace(button.Id, &button);
  for (std::size_t r = 0; r < source.Order.size(); ++r) {
    for (std::size_t c = 0; c < source.Order[r].size(); ++c) {
      const std::optional<std::string>& id = source.Order[r][c];
      // Places beyond a cut grid are empty (the reader refuses any beyond the declared grid).
      if (!id || static_cast<int>(r) >= rows || static_cast<int>(c) >= columns) continue;
      const auto found = byId.find(*id);
      if (found == byId.end()) {
        out.Notes.push_back(loaded.Path + ": la cuadrícula nombra el botón \"" + *id +
                            "\", que el tablero no tiene");
        continue;
      }
      placed.insert(*id);
      FillCell(loaded, *found->second, board.Cell(static_cast<int>(c) + 1, static_cast<int>(r) + 1), out);
    }
  }
  const std::size_t unplaced = source.Buttons.size() - placed.size();
  if (unplaced > 0)
    out.Notes.push_back(loaded.Path + ": " + std::to_string(unplaced) +
                        " botón(es) sin sitio en la cuadrícula, no importados");
  out.Files[loaded.FileName] = WriteQdx(board);
  return true;
}

std::string SetConverter::Fit(const std::string& text) {
  return FitText(text, MissingCharacters);
}

std::string SetConverter::Localised(const ObfBoard& board, const std::string& text) const {
  for (const auto& [from, to] : board.Strings) {
    if (from == text) return to;
  }
  return text;
}

void SetConverter::FillCell(const LoadedBoard& loaded, const ObfButton& button, CellRecord& cell,
                            ConvertedSet& out) {
  const ObfBoard& board = loaded.Source;
  // An emoji in the label is no word to show or to say: it may become the picture instead.
  const SplitLabel label = SplitEmoji(Localised(board, button.Label));
  cell.Caption = Fit(label.Words);
  // A sound named by our own read text must be one of the set's: the player plays it from the board's
  // folder, and a path that climbs out of the set would reach any sound of this computer.
  const bool readOutside = button.ExtRead && IsSoundName(*button.ExtRead) &&
                           !CleanSetPath(FolderPart(loaded.FileName) + *button.ExtRead);
  if (readOutside)
    out.Notes.push_back(ButtonName(loaded, button) + ": el sonido \"" + *button.ExtRead +
                        "\" está fuera del conjunto y no se ha usado; la casilla dice su texto");
  if (button.ExtRead && !readOutside)
    cell.Read = Fit(*button.ExtRead);
  else if (button.Vocalization)
    cell.Read = Fit(SplitEmoji(Localised(board, *button.Vocalization)).Words);
  else
    cell.Read = Fit(label.Words);
  // Our cells have a frame colour only; a background colour without a border colour becomes the
  // frame, so that colour coding (nouns orange, verbs green...) stays visible.
  const std::string& colourText = button.BorderColor.empty() ? button.BackgroundColor : button.BorderColor;
  if (!colourText.empty()) {
    if (std::optional<int32_t> colour = ParseColour(colourText))
      cell.FrameCellColour = *colour;
    else
      out.Notes.push_back(ButtonName(loaded, button) + ": color \"" + colourText + "\" no reconocido");
  }
  if (!button.BackgroundColor.empty()) SawBackground = true;
  ApplyCellOptionValues(button.ExtCell, cell, UnknownOptions);
  cell.Picture = Picture(loaded, button, out);
  if (!label.Emoji.empty()) {
    if (cell.Picture.empty()) {
      cell.Picture = EmojiPicture(loaded, button, label, out);
    } else {
      out.Notes.push_back(ButtonName(loaded, button) + ": el emoji " + label.Emoji +
                          " no se ha puesto en el texto; el botón conserva su propia imagen");
    }
  }
  if (!label.Others.empty())
    out.Notes.push_back(ButtonName(loaded, button) + ": el emoji " + label.Others +
                        " tampoco se ha puesto en el texto; una celda tiene una sola imagen");
  // A label that was only an emoji shows the picture alone, as the board did, and says the emoji's
  // name, as a voice reading the label would have.
  if (label.Words.empty() && !label.Emoji.empty() && !button.ExtRead && !button.Vocalization && Pictures) {
    cell.Read = Fit(Pictures->EmojiName(label.Emoji, board.Locale));
    if (cell.Read.empty())
      out.Notes.push_back(ButtonName(loaded, button) + ": el texto era solo el emoji " + label.Emoji +
                          "; la celda lo muestra y no dice nada hasta que se le den palabras");
  }
  const std::string sound = Sound(loaded, button, out);
  if (!sound.empty() && (!button.ExtRead || readOutside)) cell.Read = sound;
  cell.SpecialFunction = SpecialFunction(loaded, button, out);
  // A set from elsewhere never brings a program to start or keys for other programs, whichever field
  // carried the command; the report names each so that whoever exported the set can keep them.
  if (!KeepCommands && ReachesOutside(cell.SpecialFunction)) {
    out.Notes.push_back(
        ButtonName(loaded, button) + ": se ha quitado la orden \"" + Windows1252ToUtf8(cell.SpecialFunction) +
        "\" (" + OutsideEffect(cell.SpecialFunction, loaded.FileName) +
        "), porque un conjunto de otro sitio no ejecuta nada en este ordenador; si lo exportó "
        "usted, impórtelo con --keep-commands");
    ++out.DroppedCommands;
    cell.SpecialFunction.clear();
  } else if (ReachesOutside(cell.SpecialFunction)) {
    out.Notes.push_back(ButtonName(loaded, button) + ": se ha conservado la orden \"" +
                        Windows1252ToUtf8(cell.SpecialFunction) + "\" (" +
                        OutsideEffect(cell.SpecialFunction, loaded.FileName) +
                        "), como se pidió; solo se ejecuta después de que alguien confíe en la carpeta de "
                        "estos tableros");
    ++out.KeptCommands;
  }
  if (!button.Url.empty())
    out.Notes.push_back(ButtonName(loaded, button) + ": no se ha conservado la página \"" + button.Url +
                        "\" que abría, porque un tablero de aquí no abre páginas ni documentos por sí solo");
  cell.Link = Link(loaded, button, out);
}

bool SetConverter::ResourceBytes(const LoadedBoard& loaded, const ObfResource& resource,
                                 const std::string& kind, std::string& bytes, std::string& mediaType,
                                 ConvertedSet& out) {
  const std::string what =
      loaded.Path + ": " + (kind == "image" ? "imagen" : "sonido") + " \"" + resource.Id + "\"";
  mediaType = resource.ContentType;
  // The format's order of preference: inline data, then a file of the set, then a URL.
  if (!resource.Data.empty()) {
    std::string type;
    if (std::optional<std::string> decoded = DecodeDataUri(resource.Data, type)) {
      bytes = std::move(*decoded);
      if (!type.empty()) mediaType = type;
      return true;
    }
    out.Notes.push_back(what + ": sus datos incluidos están dañados");
  }
  if (!resource.Path.empty()) {
    std::string error;
    const std::optional<std::string> clean = CleanSetPath(resource.Path);
    if (clean && Files.Read(*clean, bytes, error)) return true;
    out.Notes.push_back(what + ": " +
                        (clean ? error : "la ruta \"" + resource.Path + "\" sale del conjunto"));
  }
  if (!resource.Url.empty()) {
    out.Notes.push_back(what + ": solo está en la web (" + resource.Url + "); no se ha descargado");
  } else if (!resource.SymbolSet.empty()) {
    out.Notes.push_back(what + ": es del conjunto de símbolos \"" + resource.SymbolSet +
                        "\", que no está aquí");
  }
  return false;
}

std::string SetConverter::StoreFile(const std::string& preferredName, const std::string& fallbackStem,
                                    const std::string& extension, const std::string& bytes, ConvertedSet& out,
                                    const std::vector<std::string_view>& ownExtensions) {
  const std::string key = std::to_string(ContentHash(bytes)) + ":" + std::to_string(bytes.size()) + extension;
  if (const auto stored = StoredByContent.find(key); stored != StoredByContent.end()) return stored->second;
  // Our own exported boards carry each file's original name, which keeps links and pictures as they were;
  // only with an extension that says what the file is, so that a "sound" never becomes a board that opens
  // (with commands nobody checked) or a note beside the boards.
  const std::string ownExtension = ExtensionOf(preferredName);
  const bool ownKind = ownExtension == extension || std::find(ownExtensions.begin(), ownExtensions.end(),
                                                              ownExtension) != ownExtensions.end();
  std::string name;
  if (const std::optional<std::string> clean = CleanSetPath(preferredName);
      clean && ownKind && !UsedNames.count(Lower(*clean)))
    name = *clean;
  else
    name = UniqueName(fallbackStem + extension, UsedNames);
  UsedNames.insert(Lower(name));
  out.Files[name] = bytes;
  StoredByContent[key] = name;
  return name;
}

// Our own boards name pictures and sounds relative to the board's folder.
std::string SetConverter::OwnName(const LoadedBoard& loaded, const std::string& original) const {
  return original.empty() ? std::string() : FolderPart(loaded.FileName) + original;
}

// The name a cell gives a stored file: its own text when the file kept it, else the path from the board's
// folder.
std::string SetConverter::StoredName(const LoadedBoard& loaded, const std::string& original,
                                     const std::string& stored) {
  // Compared without letter case, as the player finds files.
  if (!original.empty() && Lower(CleanSetPath(OwnName(loaded, original)).value_or("")) == Lower(stored))
    return Fit(original);
  return Utf8ToWindows1252(RelativeLink(loaded.FileName, stored));
}

std::string SetConverter::Picture(const LoadedBoard& loaded, const ObfButton& button, ConvertedSet& out) {
  if (button.ImageId.empty()) return {};
  const auto image = std::find_if(loaded.Source.Images.begin(), loaded.Source.Images.end(),
                                  [&](const ObfResource& r) { return r.Id == button.ImageId; });
  if (image == loaded.Source.Images.end()) {
    out.Notes.push_back(ButtonName(loaded, button) + ": la imagen \"" + button.ImageId +
                        "\" no está en el tablero");
    return {};
  }
  std::string bytes;
  std::string mediaType;
  if (!ResourceBytes(loaded, *image, "image", bytes, mediaType, out)) return {};
  std::string format = PlayerPictureFormat(bytes);
  // Drawing pictures is the slow part of an import; a cancelled one stops here.
  if (Cancel && Cancel->load()) return {};
  if (format.empty()) {
    std::optional<std::string> png =
        Pictures ? Pictures->ToPng(bytes, mediaType, ConvertedPictureSide) : std::nullopt;
    if (!png) {
      out.Notes.push_back(loaded.Path + ": la imagen \"" + image->Id + "\" (" +
                          (mediaType.empty() ? "tipo desconocido" : mediaType) +
                          ") no se ha podido convertir en una imagen que este programa muestre");
      return {};
    }
    bytes = std::move(*png);
    format = "png";
  }
  const std::string stem = FolderPart(loaded.FileName) + SafeFileStem("img_" + image->Id);
  const std::string stored =
      StoreFile(OwnName(loaded, image->OriginalName), stem, "." + format, bytes, out,
                format == "jpg" ? std::vector<std::string_view>{".jpeg"} : std::vector<std::string_view>{});
  return StoredName(loaded, button.ExtPicture.value_or(image->OriginalName), stored);
}

std::string SetConverter::EmojiPicture(const LoadedBoard& loaded, const ObfButton& button,
                                       const SplitLabel& label, ConvertedSet& out) {
  const std::string& emoji = label.Emoji;
  std::optional<std::string> png =
      Pictures ? Pictures->EmojiToPng(emoji, ConvertedPictureSide) : std::nullopt;
  if (!png) {
    out.Notes.push_back(ButtonName(loaded, button) + ": el emoji " + emoji +
                        " no se ha puesto en el texto; aquí no se ha podido dibujar");
    return {};
  }
  out.Notes.push_back(ButtonName(loaded, button) + ": el emoji " + emoji +
                      " es ahora la imagen de la casilla");
  // Named after the words of the label, as a picture chosen for a caption is.
  const std::string stem =
      FolderPart(loaded.FileName) + SafeFileStem(label.Words.empty() ? "emoji" : label.Words);
  return StoredName(loaded, {}, StoreFile({}, stem, ".png", *png, out));
}

std::string SetConverter::Sound(const LoadedBoard& loaded, const ObfButton& button, ConvertedSet& out) {
  if (button.SoundId.empty()) return {};
  const auto sound = std::find_if(loaded.Source.Sounds.begin(), loaded.Source.Sounds.end(),
                                  [&](const ObfResource& r) { return r.Id == button.SoundId; });
  if (sound == loaded.Source.Sounds.end()) {
    out.Notes.push_back(ButtonName(loaded, button) + ": el sonido \"" + button.SoundId +
                        "\" no está en el tablero");
    return {};
  }
  std::string bytes;
  std::string mediaType;
  if (!ResourceBytes(loaded, *sound, "sound", bytes, mediaType, out)) return {};
  const std::string stem = FolderPart(loaded.FileName) + SafeFileStem("snd_" + sound->Id);
  if (!IsWave(bytes)) {
    // Kept beside the boards for whoever converts it; the cell speaks its text meanwhile.
    // Named by its type only when that names a sound: a type "audio/qdx" must not make a board.
    std::string extension = ".sound";
    if (const std::size_t slash = mediaType.find('/'); slash != std::string::npos) {
      const std::string subtype = Lower(mediaType.substr(slash + 1));
      const std::string named = subtype == "mpeg" ? ".mp3" : "." + subtype;
      if (std::find(KeptSoundExtensions.begin(), KeptSoundExtensions.end(), named) !=
          KeptSoundExtensions.end())
        extension = named;
    }
    const std::string name =
        StoreFile(OwnName(loaded, sound->OriginalName), stem, extension, bytes, out,
                  std::vector<std::string_view>(KeptSoundExtensions.begin(), KeptSoundExtensions.end()));
    out.Notes.push_back(ButtonName(loaded, button) + ": sonido guardado como \"" + name +
                        "\", pero aquí solo suenan los .wav; la casilla dice su texto");
    return {};
  }
  return StoredName(loaded, sound->OriginalName,
                    StoreFile(OwnName(loaded, sound->OriginalName), stem, ".wav", bytes, out));
}

std::string SetConverter::SpecialFunction(const LoadedBoard& loaded, const ObfButton& button,
                                          ConvertedSet& out) {
  if (button.ExtSpecialFunction) return Fit(*button.ExtSpecialFunction);
  std::string token;
  for (const std::string& action : button.Actions) {
    const auto known = std::find_if(ActionTokens.begin(), ActionTokens.end(),
                                    [&](const auto& pair) { return pair.first == action; });
    if (known != ActionTokens.end() && token.empty()) {
      token = known->second;
    } else if (known != ActionTokens.end()) {
      out.Notes.push_back(ButtonName(loaded, button) + ": acción \"" + action +
                          "\" no usada; una casilla ejecuta una sola orden");
    } else {
      out.Notes.push_back(ButtonName(loaded, button) + ": la acción \"" + action +
                          "\" no tiene equivalente aquí");
    }
  }
  return token;
}

const SetBoard* SetConverter::FindTarget(const LoadedBoard& from, const ObfLoadBoard& link) const {
  if (!link.Path.empty()) {
    for (const std::string& base : {std::string(), FolderPart(from.Path)}) {
      if (const std::optional<std::string> clean = CleanSetPath(base + link.Path)) {
        for (const SetBoard& board : Boards) {
          if (board.Path == *clean) return &board;
        }
      }
    }
  }
  if (!link.Id.empty()) {
    for (const SetBoard& board : Boards) {
      if (board.ManifestId == link.Id || board.Id == link.Id) return &board;
    }
  }
  for (const std::string& url : {link.DataUrl, link.Url}) {
    if (url.empty()) continue;
    for (const SetBoard& board : Boards) {
      if (board.Url == url || board.DataUrl == url) return &board;
    }
  }
  return nullptr;
}

std::string SetConverter::Link(const LoadedBoard& loaded, const ObfButton& button, ConvertedSet& out) {
  if (!button.LoadBoard) {
    // Our own link to a board that was already missing when the set was made stays as it was.
    if (!button.ExtLink) return {};
    if (CleanSetPath(FolderPart(loaded.FileName) + WithoutHashes(*button.ExtLink)))
      return Fit(*button.ExtLink);
    out.Notes.push_back(ButtonName(loaded, button) + ": enlace a un tablero de fuera del conjunto (" +
                        *button.ExtLink + "); no se ha conservado");
    return {};
  }
  const SetBoard* target = FindTarget(loaded, *button.LoadBoard);
  if (!target) {
    const ObfLoadBoard& link = *button.LoadBoard;
    const std::string where = !link.Url.empty()       ? link.Url
                              : !link.DataUrl.empty() ? link.DataUrl
                                                      : link.Path + link.Id;
    out.Notes.push_back(ButtonName(loaded, button) + ": enlace a un tablero de fuera del conjunto (" + where +
                        "); no se ha conservado");
    return {};
  }
  const std::string relative = RelativeLink(loaded.FileName, target->FileName);
  // Our own link text (perhaps with its "#", which also writes the cell) is kept when it still names the
  // target.
  if (button.ExtLink) {
    const std::string plain = WithoutHashes(*button.ExtLink);
    if (Lower(CleanSetPath(FolderPart(loaded.FileName) + plain).value_or("")) == Lower(target->FileName))
      return Fit(*button.ExtLink);
  }
  return Utf8ToWindows1252(relative);
}

} // namespace nq::exchange
