#include "shell/BoardOpening.h"

#include <algorithm>
#include <filesystem>

#include "boards/BoardPictureLoader.h"
#include "boards/PathResolver.h"
#include "platform/Dialogs.h"
#include "settings/SettingsKeys.h"
#include "text/Encoding.h"
#include "text/TextUtilities.h"

namespace nq {
bool FileExists(const std::string& cp1252Path) {
  std::error_code error;
  return !cp1252Path.empty() && std::filesystem::is_regular_file(Windows1252ToUtf8(cp1252Path), error);
}

bool InMenuCorner(int32_t x, int32_t y, int32_t width) {
  return width - 100 < x && x < width && 0 < y && y < 100;
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

namespace {

bool IsWindowsFullPath(const std::string& path) {
  const bool drive = path.size() >= 2 && path[1] == ':' &&
                     ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
  return drive || path.starts_with('\\');
}

} // namespace

std::string NormalBoardPath(const std::string& path, const std::string& workingFolder) {
  if (path.empty() || IsWindowsFullPath(path)) return path;
  const std::string full = path.starts_with('/') ? path : workingFolder + "/" + path;
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= full.size()) {
    size_t end = full.find_first_of("/\\", start);
    if (end == std::string::npos) end = full.size();
    const std::string part = full.substr(start, end - start);
    if (part == "..") {
      // Above the root there is only the root.
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    start = end + 1;
  }
  std::string normal;
  for (const std::string& part : parts)
    normal += "/" + part;
  return normal.empty() ? "/" : normal;
}

std::string NormalBoardPath(const std::string& path) {
  std::error_code error;
  const std::filesystem::path here = std::filesystem::current_path(error);
  return NormalBoardPath(path, error ? std::string("/") : Utf8ToWindows1252(here.string()));
}

BoardOpening::BoardOpening(ShellContext& context, WindowPlacement& placement, BarOptions& bars,
                           PictureCache& pictures, ImageScaler& scaler)
    : Ctx(context), Placement(placement), Bars(bars), Pictures(pictures), Scaler(scaler) {}

void BoardOpening::SaveLeftBoardOptions() {
  // The menu board's marks read this copy, so it shows the options of the board it was opened from.
  const Board& b = Ctx.TheBoard;
  SettingsStore& s = Ctx.Settings;
  s.WriteSettingFlag(SectionMenuOptions2, KeyCenterCaptions, b.CenterCaptions);
  s.WriteSettingFlag(SectionMenuOptions2, KeyShowButtonBar, b.ShowButtonBar);
  s.WriteSettingFlag(SectionMenuOptions2, KeyShowMessageBar, b.ShowMessageBar);
  s.WriteSettingFlag(SectionMenuOptions2, KeyWriteOnlyLettersOrWords, b.WriteOnlyLettersOrWords);
  s.WriteSettingFlag(SectionMenuOptions2, KeyMenuEscriureTextALlegir, b.EscriureTextALlegir);
  s.WriteSettingInteger(SectionMenuOptions2, KeyMenuQdxPosition, b.Position);
}

void BoardOpening::TransferCells() {
  const Board& b = Ctx.TheBoard;
  const bool centre = Ctx.Menu.Checked("MenuCentrarCaptions");
  const std::string folder = Ctx.File.FolderOnDisk();
  std::vector<PictureRequest> requests;
  std::vector<int32_t> owners;
  int32_t k = 0;
  for (int32_t r = 1; r <= b.Rows; ++r) {
    for (int32_t c = 1; c <= b.Columns; ++c) {
      const CellRecord& record = b.Cell(c, r);
      Ctx.Boxes.AssignCellRecord(++k, record, centre);
      if (!record.Picture.empty()) {
        requests.push_back({ResolveBoardPath(folder, record.Picture), record.Picture});
        owners.push_back(k);
      }
    }
  }
  // A picture never needs more pixels than the largest cell this board can get on the screen; a
  // message cell that shows it larger loads its own copy (MessagePicture), so 441 pictures stay small.
  PictureLoadOptions options;
  options.MaxSide =
      BoardPictureCap(Ctx.Window.ScreenWidth(), Ctx.Window.ScreenHeight(), b.Columns, b.Rows, 0);
  if (Background != nullptr) {
    // Frames and captions go on screen now; each picture is placed when it arrives.
    Background->Start(
        requests, options,
        [this, owners](std::size_t i, const PictureRef& picture) {
          ShowPicture(owners[i], picture);
          ArrivedCells.push_back(owners[i]);
        },
        [this] {
          for (const int32_t number : ArrivedCells)
            Ctx.Layout.ShowArrivedPicture(number);
          ArrivedCells.clear();
          Ctx.Window.Refresh();
        });
    ArrivedCells.clear(); // the ones memory held are placed by the layout that follows
    return;
  }
  const std::vector<PictureRef> pictures = Pictures.LoadAll(requests, options, PictureWorkers);
  for (size_t i = 0; i < owners.size(); ++i)
    ShowPicture(owners[i], pictures[i]);
}

void BoardOpening::ShowPicture(int32_t number, const PictureRef& picture) {
  TBox& box = *Ctx.Boxes.GridBox(number);
  if (picture)
    box.SetPicture(std::shared_ptr<const Image>(picture, &picture->Pixels), picture->IsBitmap(),
                   picture->SourceWidth, picture->SourceHeight);
  else
    box.DropPicture();
}

PictureRef BoardOpening::MessagePicture(const TBox& cell) {
  if (cell.Picture.empty()) return nullptr;
  const Board& b = Ctx.TheBoard;
  PictureLoadOptions options;
  options.MaxSide = BoardPictureCap(Ctx.Window.ScreenWidth(), Ctx.Window.ScreenHeight(), b.Columns, b.Rows,
                                    Ctx.State.View.MessageBarHeight);
  return Pictures.Load({ResolveBoardPath(Ctx.File.FolderOnDisk(), cell.Picture), cell.Picture}, options);
}

void BoardOpening::ApplyMenuBoardOverrides(const std::string& path) {
  if (path.find(MenuBoardMarker) == std::string::npos) return;
  if (Ctx.Menu.Checked("MenuCentrarCaptions")) Placement.MenuCentrarCaptionsClick();
  Ctx.TheBoard.ShowButtonBar = false;
  Ctx.TheBoard.ShowMessageBar = false;
  Ctx.TheBoard.EscriureTextALlegir = false;
  Ctx.TheBoard.Position = 1;
}

void BoardOpening::BringBarsInLine() {
  const Board& b = Ctx.TheBoard;
  if (b.ShowButtonBar != Ctx.Menu.Checked("MenuVerBarraDeBotones")) Bars.MenuVerBarraDeBotonesClick();
  if (b.ShowMessageBar != Ctx.Menu.Checked("MenuVerBarraDeEscribirMensaje"))
    Bars.MenuVerBarraDeEscribirMensajeClick();
  if (b.WriteOnlyLettersOrWords != Ctx.Menu.Checked("MenuEscribirletrasOPalabras"))
    Bars.MenuEscribirletrasOPalabrasClick();
  Ctx.Menu.SetChecked("MenuEscriureTextALlegir", b.EscriureTextALlegir);
}

bool BoardOpening::OpenBoard(const std::string& requested) {
  // Callers pass PreviousBoardFile, HomeBoardFile or CurrentBoardFile themselves, which this function
  // overwrites on the way; a copy keeps "back" from opening the board it just left.
  // One board has one name however it was reached, so "back" and the menu-board test compare like with
  // like, and the board's folder is absolute for the programs and documents it names.
  std::string path = NormalBoardPath(requested);
  if (IsForeignBoardName(path)) {
    const std::optional<std::string> imported = Importer ? Importer->ImportedRootBoard(path) : std::nullopt;
    if (!imported) return false;
    // The boards of an imported set live in a folder the user never chose; "Abrir..." starts where
    // the set itself was while one of its boards is on screen.
    ImportedSetFolder = FolderOf(path);
    ImportedBoardsFolder = FolderOf(*imported);
    path = *imported;
  }
  Ctx.Layout.HoveredItem = NoItem;
  SaveLeftBoardOptions();
  const bool read = Ctx.File.ReadBoardFile(path);
  if (read) {
    Ctx.State.DirectoriActual = FolderOf(path);
    Ctx.Menu.SetChecked("MenuCentrarCaptions", Ctx.TheBoard.CenterCaptions);
    Ctx.Boxes.HideAllGridCells();
    Ctx.State.View.Columns = Ctx.TheBoard.Columns;
    Ctx.State.View.Rows = Ctx.TheBoard.Rows;
    Ctx.State.CellCount = Ctx.TheBoard.CellCount();
    TransferCells();
    // The menu board is never recorded as the previous board, so "back" leaves it.
    if (Ctx.State.CurrentBoardFile.find(MenuBoardMarker) == std::string::npos)
      Ctx.State.PreviousBoardFile = Ctx.State.CurrentBoardFile;
    ApplyMenuBoardOverrides(path);
    Ctx.State.CurrentBoardFile = path;
    Placement.ApplyWindowPlacement();
    BringBarsInLine();
    Ctx.ResetScan();
  }
  Ctx.Layout.ArrangePanels();
  Ctx.Layout.LayoutCells();
  return read;
}

bool BoardOpening::OpenLinkedBoard(const std::string& name) {
  return OpenBoard(Ctx.State.DirectoriActual + name);
}

void BoardOpening::DroppedFile(const std::string& name) {
  Ctx.Window.SetCaption("WMDragDrop");
  if ((name.size() < 3 || UpperAscii(name.substr(name.size() - 3)) != "QDX") && !IsForeignBoardName(name))
    return;
  OpenBoard(name);
  Ctx.State.HomeBoardFile = Ctx.State.CurrentBoardFile;
  Ctx.State.PreviousBoardFile.clear();
}

void BoardOpening::MenuOpenFileClick() {
  Ctx.Window.SetMouseHook(false);
  // Nothing is preselected: a suggested name that does not exist would only be opened by mistake.
  const std::optional<std::string> chosen = Ctx.Messages.ChooseFileToOpen(
      "QUADRIX - Obrir",
      "Quadrix (*.qdx)|*.qdx|Open Board (*.obf *.obz)|*.obf;*.obz|Tot tipus de fitxers (*.*)|*.*", "qdx",
      DialogFolder(), "");
  if (chosen) {
    OpenBoard(*chosen);
    Ctx.State.HomeBoardFile = Ctx.State.CurrentBoardFile;
    Ctx.State.PreviousBoardFile.clear();
  }
  Ctx.Window.SetMouseHook(true);
}

std::string BoardOpening::DialogFolder() const {
  const std::string& folder = Ctx.State.DirectoriActual;
  if (!ImportedBoardsFolder.empty() && folder.starts_with(ImportedBoardsFolder)) return ImportedSetFolder;
  return folder;
}

std::string BoardOpening::MenuBoardPath() const {
  for (const std::string& folder : {Ctx.State.ProgramFolder, DataFolder}) {
    if (folder.empty()) continue;
    // In the form the board on screen is named, so the two can be compared.
    const std::string path = NormalBoardPath(folder + std::string(MenuBoardName));
    if (FileExists(path)) return path;
  }
  return {};
}

void BoardOpening::MenuMenuClick() {
  if (const std::string path = MenuBoardPath(); !path.empty()) OpenBoard(path);
}

void BoardOpening::MenuCornerHeld(int32_t x, int32_t y) {
  Ctx.State.View.RestMode = false;
  int32_t width = 0;
  int32_t height = 0;
  Ctx.Window.ClientSize(width, height);
  if (!InMenuCorner(x, y, width)) return;
  if (const std::string path = MenuBoardPath(); path.empty()) {
    Placement.MenuNoMenuNoCaptionClick();
  } else if (OpenBoard(path)) {
    // The button that held the corner is still down: its release must not also choose a cell of the
    // menu board. Every other way in (the menu bar, a cell, a scan) has no release still to come.
    Ctx.State.MenuCornerLatch = false;
  }
}

} // namespace nq
