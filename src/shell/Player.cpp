#include "shell/Player.h"

#include <filesystem>

#include "boards/BoardPictureLoader.h"
#include "boards/PathResolver.h"
#include "platform/Dialogs.h"
#include "platform/Launcher.h"
#include "settings/SettingsKeys.h"
#include "text/Encoding.h"

namespace nq {
namespace {

// The start-up board as written or in another letter case; a folder of that name is no board.
bool StartBoardExists(const std::string& cp1252Path) {
  if (FileExists(cp1252Path)) return true;
  const std::optional<std::string> found = FindBoardPath("", cp1252Path);
  std::error_code error;
  return found && std::filesystem::is_regular_file(*found, error);
}

// All arguments joined with one blank each, then trailing control characters and blanks removed, so a
// path with a blank that arrived split in two comes back whole.
std::string JoinCommandLine(const std::vector<std::string>& arguments) {
  std::string text;
  for (const std::string& argument : arguments)
    text += argument + " ";
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32)
    text.pop_back();
  return text;
}

} // namespace

Player::Player(const PlayerServices& services, const PlayerPaths& paths)
    : Services(services), Paths(paths),
      TheSettings(paths.SettingsFile, paths.SharedFile, paths.CreateSettingsFolder),
      TheBoardFile(TheBoard, services.Messages), MarkSettings(TheSettings),
      TheBoxes(services.Metrics, services.Scaler, MarkSettings),
      TheLayout(TheBoxes, TheState.View), Ctx{TheState,  TheMenu,         TheSettings,
                                              TheBoard,  TheBoardFile,    TheBoxes,
                                              TheLayout, services.Window, services.Messages},
      TheOptions(Ctx), ThePlacement(Ctx), TheBars(Ctx),
      Opening(Ctx, ThePlacement, TheBars, ThePictures, services.Scaler),
      TheActivation(TheState, TheMenu, TheBoxes, TheLayout, services.Window, services.TheClock, Opening),
      TheButtons(TheState, TheBoxes, TheLayout, services.TheClock, Opening, TheOptions),
      TimerMenu(services.TheClock.CreateTimer(1000)), TheTrust(TheSettings, services.Messages),
      Functions(*this, services.Programs, services.Messages, services.TheClock, "") {
  TheState.ProgramFolder = paths.ProgramFolder;
  TheState.ProgramTitle = std::string(ProgramTitleText);
  Opening.DataFolder = paths.DataFolder;
  // Shrunk copies live in the picture cache, so a board opened again recently needs no scaling.
  TheBoxes.SetScaledSource(&ThePictures);
  TimerMenu->SetHandler([this] { TimerMenuTimer(); });
  Access =
      std::make_unique<AccessModes>(Ctx, services.TheClock, *TimerMenu, static_cast<ItemActions&>(*this));
  Ctx.Scan = Access.get();
  VisualAccess = std::make_unique<VisualAccessOptions>(Ctx, Access->Progress());
  TheOptions.NoMenuNoCaptionOn = [this] { ThePlacement.SetNoMenuNoCaption(true); };
  TheOptions.SwapBarsToggle = [this] { TheBars.MenuSwapBarsClick(); };
  TheOptions.CellCursorToggle = [this] { ThePlacement.MenuTreureElCursorEnElsPlafonsClick(); };
  TheActivation.Doors.Functions = this;
  // The bundled boards and a program folder that holds the menu board are the player's own.
  TheTrust.AddOwnFolder(Windows1252ToUtf8(paths.DataFolder));
  if (FileExists(paths.ProgramFolder + std::string(MenuBoardName)))
    TheTrust.AddOwnFolder(Windows1252ToUtf8(paths.ProgramFolder));
  TheTrust.BeforeAsking = [this] { Ctx.StopScanning(); };
  Functions.Gate = &TheTrust;
  BuildMenuHandlers();
}

Player::~Player() = default;

void Player::LoadPicturesInBackground(UiQueue& ui, int workers) {
  Opening.Background = nullptr;
  PictureLoader = std::make_unique<BoardPictureLoader>(ThePictures, ui, workers);
  Opening.Background = PictureLoader.get();
}

std::size_t Player::PicturesPending() const {
  return PictureLoader ? PictureLoader->Pending() : 0;
}

void Player::FormCreate() {
  Services.Window.SetCaption(TheState.ProgramTitle);
  TheState.View.MessageCellCount = 0;
  for (int32_t i = 1; i <= MessageBoxCount; ++i) {
    TBox& box = *TheBoxes.MessageBox(i);
    box.Picture.clear();
    box.Caption.clear();
    box.Read.clear();
    box.Number = -1;
  }
  TheState.View.Columns = 1;
  TheState.View.Rows = 1;
  TheState.CellCount = 1;
  ShowStartPicture();
  TheState.SpeechOn = true;
}

void Player::PrepareFirstShow() {
  if (FocusableWindow && TheSettings.ReadSettingYes(SectionMenuOptions, KeyNonFocusable, NoText))
    FocusableWindow->SetNonFocusable(true);
}

void Player::ShowStartPicture() {
  TBox& box = *TheBoxes.GridBox(1);
  box.Number = 1;
  box.Picture.clear();
  // The start picture fills at most the screen: kept at that size rather than as drawn, it holds less
  // than half the memory on a screen smaller than the picture. It stays out of the picture cache, so
  // its megabytes go as soon as a board takes the cell.
  PictureLoadOptions options;
  options.MaxSide = BoardPictureCap(Services.Window.ScreenWidth(), Services.Window.ScreenHeight(), 1, 1, 0);
  for (const std::string& folder : {Paths.ProgramFolder, Paths.DataFolder}) {
    const std::string path = Windows1252ToUtf8(folder) + "NxeoQuadrix.png";
    std::optional<LoadedPicture> loaded =
        std::move(LoadPictureFiles({{path, "NxeoQuadrix.png"}}, options, 1, ThePictures.DiskCache()).front());
    if (loaded) {
      const auto picture = std::make_shared<const LoadedPicture>(std::move(*loaded));
      box.Picture = "NxeoQuadrix.png";
      box.SetPicture(std::shared_ptr<const Image>(picture, &picture->Pixels), picture->IsBitmap(),
                     picture->SourceWidth, picture->SourceHeight);
      break;
    }
  }
}

void Player::Start(const std::vector<std::string>& arguments) {
  Services.Window.ShowAboutBox(true);
  TheState.ProgramTitle = std::string(ProgramTitleText) + " - " + std::string(VersionText);
  Services.Window.SetCaption(TheState.ProgramTitle);
  Services.Window.SetStayOnTop(false);
  if (TheSettings.ReadSettingText(SectionTts, KeyNumeroSintetitzador, DefaultNumeroSintetitzador) == "-1")
    Services.Window.ShowSpeechWindow();
  TheOptions.LoadProgramSettings();
  VisualAccess->LoadVisualAccessSettings();
  TheState.CommandLine = JoinCommandLine(arguments);
  std::string first = TheState.CommandLine;
  if (first.empty()) first = TheSettings.ReadSettingText(SectionNexoQuadrix, KeyNomFitxerInicial, "");
  // A relative start path is taken from the folder the program was started in, once: the board's own
  // folder must not depend on where the player happens to be later.
  TheState.HomeBoardFile = NormalBoardPath(first);
  if (!first.empty()) OpenStartBoard(first);
  TheLayout.ArrangePanels();
  TheLayout.LayoutCells();
  Services.Window.SetStayOnTop(true);
  Services.Window.SetMouseHook(true);
  Services.Window.Refresh();
}

void Player::OpenStartBoard(const std::string& asGiven) {
  const std::string& home = TheState.HomeBoardFile;
  if (!StartBoardExists(home)) {
    Services.Messages.ShowMessage("No existe el archivo: " + asGiven);
    ClearStartBoard();
    return;
  }
  TheState.DirectoriActual = FolderOf(home);
  try {
    Opening.OpenBoard(home);
  } catch (...) {
    // Nothing may stop the program from starting: it goes on with the start picture.
    ClearStartBoard();
  }
}

void Player::ClearStartBoard() {
  TheState.DirectoriActual.clear();
  TheState.HomeBoardFile.clear();
  TheSettings.WriteSettingText(SectionNexoQuadrix, KeyNomFitxerInicial, "");
  TheSettings.WriteSettingText(SectionNexoQuadrix, KeyDirectoriActual, "");
}

void Player::FormClose() {
  // Nothing may select a cell while the program closes: the hook and the timers stop before the
  // detectors, whose closing no longer needs a wait.
  Services.Window.SetMouseHook(false);
  TimerMenu->SetEnabled(false);
  Access->StopTimers();
  if (Ctx.SoundDetectors) Ctx.SoundDetectors->StopSoundDetectors();
  TheSettings.WriteSettingText(SectionNexoQuadrix, KeyNomFitxerInicial, TheState.HomeBoardFile);
  TheSettings.WriteSettingText(SectionNexoQuadrix, KeyDirectoriActual, TheState.DirectoriActual);
}

void Player::AttachSound(AudioCapture& singleChannel, AudioCapture& stereo) {
  TheSound = std::make_unique<SoundSwitches>(Ctx, *Access, singleChannel, stereo);
  Access->SetSoundSwitches(TheSound.get());
  Ctx.SoundDetectors = TheSound.get();
}

void Player::SetSpeech(SoundOrSpeech* speech) {
  SpeechAdapter = speech ? std::make_unique<SoundOrSpeechOutput>(*speech) : nullptr;
  TheActivation.Doors.Speech = SpeechAdapter.get();
  TheButtons.Doors.Speech = SpeechAdapter.get();
  Access->SetPromptSpeech(SpeechAdapter.get());
}

void Player::SetKeySink(KeySink* keys) {
  TheButtons.Doors.Keys = keys;
}

void Player::SetExternalWindowParts(KeySink& keys, KeyboardLayout& layout, Clipboard& clipboard,
                                    Desktop& desktop, NonFocusableWindow& window) {
  TheExternal = std::make_unique<ExternalDoors>(Ctx, ThePlacement, keys, layout, clipboard, Services.TheClock,
                                                desktop, window);
  FocusableWindow = &window;
  Ctx.ExternalWindow = TheExternal.get();
  TheActivation.Doors.Typing = TheExternal.get();
}

void Player::SetClipboard(Clipboard* clipboard) {
  TheActivation.Doors.TheClipboard = clipboard;
  TheButtons.Doors.TheClipboard = clipboard;
  Functions.TheClipboard = clipboard;
}

void Player::SetMessageMemo(MessageMemo* memo) {
  TheActivation.Doors.Memo = memo;
  TheButtons.Doors.Memo = memo;
}

void Player::ClientResized(int32_t width, int32_t height) {
  TheLayout.SetClientSize(width, height);
}

void Player::WindowRectChanged(const WindowRect& rect) {
  ThePlacement.WindowRectChanged(rect);
}

void Player::MenuOpened(const std::string& name) {
  if (const MenuItem* item = TheMenu.Find(name); item && item->StopsScanning) Ctx.StopScanning();
}

bool Player::MenuClick(const std::string& name) {
  for (const auto& [itemName, handler] : Handlers) {
    if (itemName == name) {
      handler();
      Services.Window.Refresh();
      return true;
    }
  }
  return false;
}

void Player::HandleMouseEvent(MouseEventKind kind, int32_t x, int32_t y) {
  Access->HandleMouseEvent(kind, x, y);
}

void Player::TimerMenuTimer() {
  TimerMenu->SetEnabled(false);
  int32_t x = 0;
  int32_t y = 0;
  Services.Window.PointerPosition(x, y);
  Opening.MenuCornerHeld(x, y);
  Services.Window.Refresh();
}

void Player::BuildMenuHandlers() {
  auto launchEditor = [this] {
    Ctx.StopScanning();
    Functions.LaunchCompanionProgram();
  };
  auto modal = [this](auto show) {
    return [this, show] {
      Services.Window.SetMouseHook(false);
      show();
      Services.Window.SetMouseHook(true);
    };
  };
  Handlers = {
      {"MenuOpenFile", [this] { Opening.MenuOpenFileClick(); }},
      {"MenuMenu", [this] { Opening.MenuMenuClick(); }},
      {"MenuSalir", [this] { Services.Window.CloseWindow(); }},
      {"MenuEdicion", launchEditor},
      {"Tutorial1",
       [this] {
         const std::string page = Windows1252ToUtf8(Paths.DataFolder) + std::string(TutorialPage);
         // Without a browser nothing would happen at all: the user must learn why.
         if (!Services.Programs.OpenDocument(page))
           Services.Messages.ShowMessage("No se ha podido abrir el tutorial: " + Utf8ToWindows1252(page));
       }},
      {"MenuAbout", modal([this] { Services.Window.ShowAboutBox(false); })},
      {"MenuSynthesizerTTS", modal([this] { Services.Window.ShowSpeechWindow(); })},
      {"MenuCarpetasDeConfianza", modal([this] { TheTrust.ReviewTrustedFolders(); })},
      {"MenuEscaneigAutomatic", [this] { Access->MenuEscaneigAutomaticClick(); }},
      {"MenuEscaneigDirigit", [this] { Access->MenuEscaneigDirigitClick(); }},
      {"MenuEscaneigAutomaticActivatAmbClicDretPremut",
       [this] { Access->MenuEscaneigAutomaticActivatAmbClicDretPremutClick(); }},
      {"MenuMouseDown", [this] { TheOptions.MenuMouseDownClick(); }},
      {"MenuMouseUp", [this] { TheOptions.MenuMouseUpClick(); }},
      {"MenuSenseEscaneigVertical", [this] { TheOptions.MenuSenseEscaneigVerticalClick(); }},
      {"MenuAlClicarNoIniciaPosicioMouse", [this] { TheOptions.MenuAlClicarNoIniciaPosicioMouseClick(); }},
      {"MenuClicAutomaticAlEstarParat", [this] { TheOptions.MenuClicAutomaticAlEstarParatClick(); }},
      {"MenuClicAutomaticALEstarEnUnacasella",
       [this] { TheOptions.MenuClicAutomaticALEstarEnUnacasellaClick(); }},
      {"MenuNoPermeteClicks", [this] { TheOptions.MenuNoPermeteClicksClick(); }},
      {SingleChannelSoundItemName,
       [this] {
         if (TheSound) TheSound->MenuClicActivatPerUnSoClick();
       }},
      {StereoSoundItemName,
       [this] {
         if (TheSound) TheSound->MenuEnEscaneigDirigitSActivaPerCadascunDelsCanalsEstereoDeSoClick();
       }},
      {SoundLevelMeterItemName,
       [this] {
         if (TheSound) TheSound->MenuNivellSoClick();
       }},
      {"MenuSpeak", [this] { TheOptions.MenuSpeakClick(); }},
      {"MenuNoMenuNoCaption", [this] { ThePlacement.MenuNoMenuNoCaptionClick(); }},
      {"MenuNonFocusable",
       [this] {
         if (TheExternal) TheExternal->Window.ToggleExternalWindowMode();
       }},
      {"MenuAjustarlagrandriadelafinestrareceptora",
       [this] {
         if (TheExternal) TheExternal->Window.FitReceivingWindow();
       }},
      {"MenuSwapBars", [this] { TheBars.MenuSwapBarsClick(); }},
      {"MenuCaptionDown", [this] { TheOptions.MenuCaptionDownClick(); }},
      {"MenuEfecto3D", [this] { TheOptions.MenuEfecto3DClick(); }},
      {"MenuBMPiPNGMesQualitat", [this] { TheMenu.Toggle("MenuBMPiPNGMesQualitat"); }},
      {"MenuTreureElCursorEnElsPlafons", [this] { ThePlacement.MenuTreureElCursorEnElsPlafonsClick(); }},
      {"MenuEscaneigAuditiu", [this] { TheOptions.MenuEscaneigAuditiuClick(); }},
      {"MenuEscaneigAuditiuAllargarPas", [this] { TheOptions.MenuEscaneigAuditiuAllargarPasClick(); }},
      {"MenuCentrarCaptions", [this] { ThePlacement.MenuCentrarCaptionsClick(); }},
      {"MenuVerBarraDeBotones", [this] { TheBars.MenuVerBarraDeBotonesClick(); }},
      {"MenuVerBarraDeEscribirMensaje", [this] { TheBars.MenuVerBarraDeEscribirMensajeClick(); }},
      {"MenuEscribirletrasOPalabras", [this] { TheBars.MenuEscribirletrasOPalabrasClick(); }},
      {"MenuEscriureTextALlegir", [this] { TheBars.MenuEscriureTextALlegirClick(); }},
  };
  const std::vector<std::string>& positions = MenuModel::PositionItemNames();
  for (int32_t value = 0; value < PlacementCount; ++value)
    Handlers.emplace_back(positions[static_cast<size_t>(value)],
                          [this, value] { ThePlacement.SetWindowPlacement(value); });
  for (auto& handler : VisualAccess->MenuHandlers())
    Handlers.push_back(std::move(handler));
}

} // namespace nq
