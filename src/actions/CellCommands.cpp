#include "actions/CellCommands.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <vector>

#include "actions/ExecutarCommand.h"
#include "actions/FolderTrust.h"
#include "actions/KeyCombination.h"
#include "actions/OutsideCommands.h"
#include "calc/Calculator.h"
#include "platform/Clipboard.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/Launcher.h"
#include "text/Encoding.h"
#include "text/TextUtilities.h"

namespace nq {
namespace {

// How a row's token is found: the whole folded text, or anywhere in the text in any letter case.
enum class Match { Exact, InText, InFolded };

enum class Action {
  None,
  Button,
  MenuItem,
  Companion,
  CloseApplication,
  CloseProgram,
  Execute,
  Calculate,
  ToggleExternalWindow,
  ToggleNoMenu,
  OpenMenuBoard,
  Edit,
  OpenBoardDialog,
  KeyCombination,
  StopScanning,
  FitReceivingWindow,
};

// When the previous board opens around the row's own step; options that change the window must see
// the board they apply to, others must be stored before the board they were chosen from comes back.
enum class Back { No, Before, After };

// The calculator's waits: the line is selected, copied, evaluated and pasted back over itself.
constexpr int32_t SelectWaitMs = 100;
constexpr int32_t CopyWaitMs = 1000;
constexpr int32_t PasteWaitMs = 100;

class WaitScope {
public:
  explicit WaitScope(bool& flag) : Flag(flag) { Flag = true; }
  ~WaitScope() { Flag = false; }
  WaitScope(const WaitScope&) = delete;
  WaitScope& operator=(const WaitScope&) = delete;

private:
  bool& Flag;
};

bool SendsKeys(Action action) {
  return action == Action::CloseApplication || action == Action::Calculate ||
         action == Action::KeyCombination;
}

} // namespace

struct CellCommands::Row {
  int32_t Number;
  std::string_view Token;
  Match How;
  Action What;
  Back Previous = Back::No;
  int32_t Button = 0;
  std::string_view MenuItem = {};
};

namespace {

// The command table in dispatcher order. Tokens name some options differently from their menu items
// ("MenuVerBarraBotones" is the item "MenuVerBarraDeBotones"), so each row names its item.
template <typename Row> constexpr std::array<Row, 53> MakeRows() {
  constexpr Match E = Match::Exact;
  return {{
      {1, "<NEXOQUADRIX>", E, Action::Companion},
      {2, "<TANCAR APLICACIO>", E, Action::CloseApplication},
      {3, "<TANCAR QUADRIX>", E, Action::CloseProgram},
      {4, ExecutarToken, Match::InText, Action::Execute},
      {5, "<CALCULAR>", E, Action::Calculate},
      {6, "<CASA>", E, Action::Button, Back::No, -1},
      {7, "<LLEGIR ULTIMA PARAULA>", E, Action::Button, Back::No, -3},
      {8, "<LLEGIR MISSATGE>", E, Action::Button, Back::No, -4},
      {9, "<ESBORRAR ULTIM>", E, Action::Button, Back::No, -5},
      {10, "<ESBORRAR ULTIMA PARAULA>", E, Action::Button, Back::No, -6},
      {11, "<ESBORRAR TOT>", E, Action::Button, Back::No, -7},
      {12, "<LLEGIR SIMBOL ACTUAL>", E, Action::Button, Back::No, -8},
      {13, "<NEXO_QDX_ANTERIOR>", E, Action::Button, Back::No, -2},
      {13, "<TORNAR PLAFO ANTERIOR>", E, Action::Button, Back::No, -2},
      {14, "<NEXO_MENU_MenuSpeak>", E, Action::MenuItem, Back::After, 0, "MenuSpeak"},
      {15, "<NEXO_MENU_NonFocusable>", E, Action::ToggleExternalWindow, Back::After},
      {16, "<NEXO_MENU_NoMenuNoCaption>", E, Action::ToggleNoMenu, Back::After},
      {17, "<NEXO_MENU_MenuSwapBars>", E, Action::MenuItem, Back::After, 0, "MenuSwapBars"},
      {18, "<NEXO_MENU_MenuCaptionDown>", E, Action::MenuItem, Back::After, 0, "MenuCaptionDown"},
      {19, "<NEXO_MENU_MenuEfecto3D>", E, Action::MenuItem, Back::After, 0, "MenuEfecto3D"},
      {20, "<NEXO_MENU_MenuCentrarCaptions>", E, Action::MenuItem, Back::Before, 0, "MenuCentrarCaptions"},
      {21, "<NEXO_MENU_MenuVerBarraBotones>", E, Action::MenuItem, Back::Before, 0, "MenuVerBarraDeBotones"},
      {22, "<NEXO_MENU_MenuVerBarraMensaje>", E, Action::MenuItem, Back::Before, 0,
       "MenuVerBarraDeEscribirMensaje"},
      {23, "<NEXO_MENU_MenuEscribirLetrasOPalabras>", E, Action::MenuItem, Back::Before, 0,
       "MenuEscribirletrasOPalabras"},
      {24, "<NEXO_MENU_MenuEscribirTextoALeer>", E, Action::MenuItem, Back::Before, 0,
       "MenuEscriureTextALlegir"},
      {25, "<NEXO_MENU_MenuPositionDefault>", E, Action::MenuItem, Back::Before, 0, "MenuPositionDefault"},
      {26, "<NEXO_MENU_MenuPositionMaximized>", E, Action::MenuItem, Back::Before, 0, "MenuPlafoMAXIMIZED"},
      {27, "<NEXO_MENU_MenuPositionBottomCenter>", E, Action::MenuItem, Back::Before, 0,
       "MenuPositionBottomCenter"},
      {28, "<NEXO_MENU_MenuPositionScreenCenter>", E, Action::MenuItem, Back::Before, 0,
       "MenuPositionScreenCenter"},
      {29, "<NEXO_MENU_MenuPositionTopCenter>", E, Action::MenuItem, Back::Before, 0,
       "MenuPositionTopCenter"},
      {30, "<NEXO_MENU_MenuPositionTopLeft>", E, Action::MenuItem, Back::Before, 0, "MenuPositionTopLeft"},
      {31, "<NEXO_MENU_MenuPositionBottomLeft>", E, Action::MenuItem, Back::Before, 0,
       "MenuPositionBottomLeft"},
      {32, "<NEXO_MENU_MenuPositionTopRight>", E, Action::MenuItem, Back::Before, 0, "MenuPositionTopRight"},
      {33, "<NEXO_MENU_MenuPositionBottomRight>", E, Action::MenuItem, Back::Before, 0,
       "MenuPositionBottomRight"},
      {34, "<OBRIR FORM MENU>", E, Action::OpenMenuBoard},
      {35, "<NEXO_MENU_Edicion>", E, Action::Edit},
      {36, "<NEXO_MENU_Obrir>", E, Action::OpenBoardDialog, Back::Before},
      {37, KeyCombinationToken, Match::InFolded, Action::KeyCombination},
      {38, "<ESCANEIG AUTOMATIC>", E, Action::MenuItem, Back::No, 0, "MenuEscaneigAutomatic"},
      {39, "<PARAR ESCANEIG>", E, Action::StopScanning},
      {40, "<AJUSTAR FINESTRA RECEPTORA>", E, Action::FitReceivingWindow},
      {41, "<NEXO_MENU_MenuEscaneigAutomatic>", E, Action::MenuItem, Back::After, 0, "MenuEscaneigAutomatic"},
      {42, "<NEXO_MENU_MenuEscaneigDirigit>", E, Action::MenuItem, Back::After, 0, "MenuEscaneigDirigit"},
      {43, "<NEXO_MENU_MenuEscaneigAutomaticActivatAmbClicDretPremut>", E, Action::MenuItem, Back::After, 0,
       "MenuEscaneigAutomaticActivatAmbClicDretPremut"},
      {44, "<NEXO_MENU_MenuMouseDown>", E, Action::MenuItem, Back::After, 0, "MenuMouseDown"},
      {45, "<NEXO_MENU_MenuMouseUp>", E, Action::MenuItem, Back::After, 0, "MenuMouseUp"},
      {46, "<NEXO_MENU_MenuSenseEscaneigVertical>", E, Action::MenuItem, Back::After, 0,
       "MenuSenseEscaneigVertical"},
      {47, "<NEXO_MENU_MenuAlClicarNoIniciaPosicioMouse>", E, Action::MenuItem, Back::After, 0,
       "MenuAlClicarNoIniciaPosicioMouse"},
      {48, "<NEXO_MENU_MenuClicAutomaticALEstarEnUnacasella>", E, Action::MenuItem, Back::After, 0,
       "MenuClicAutomaticALEstarEnUnacasella"},
      {49, "<NEXO_MENU_MenuNoPermeteClicks>", E, Action::MenuItem, Back::After, 0, "MenuNoPermeteClicks"},
      {50, "<IMPRIMIR>", E, Action::None},
      {50, "<LLEGIR LINIA>", E, Action::None},
      {50, "<MISSATGE A FINESTRA EXTERNA>", E, Action::None},
  }};
}

} // namespace

CellCommands::CellCommands(SpecialFunctionHost& host, Launcher& launcher, Dialogs& messages, Clock& clock,
                           std::string searchPath)
    : Host(host), Programs(launcher), Messages(messages), TheClock(clock), SearchPath(std::move(searchPath)) {
}

const CellCommands::Row* CellCommands::FindRow(const std::string& text, const std::string& folded) {
  static constexpr std::array<Row, 53> Rows = MakeRows<Row>();
  for (const Row& row : Rows) {
    switch (row.How) {
    case Match::Exact:
      if (folded == row.Token) return &row;
      break;
    case Match::InText:
      if (ContainsIgnoringCase(row.Token, text)) return &row;
      break;
    case Match::InFolded:
      if (ContainsIgnoringCase(row.Token, folded)) return &row;
      break;
    }
  }
  return nullptr;
}

int32_t CellCommands::CommandRow(const std::string& text) {
  const Row* row = FindRow(text, FoldAccents(text));
  return row ? row->Number : 0;
}

void CellCommands::RunSpecialFunction(const std::string& text) {
  const std::string folded = FoldAccents(text);
  if (folded.empty()) return;
  // While the calculator or a button command waits for its keys to arrive, more keys would land in
  // the middle of its selection, copy or paste: key commands chosen meanwhile are dropped.
  const bool keysBusy = CalculatorWaiting || Host.KeySequenceRunning();
  const Row* row = FindRow(text, folded);
  if (keysBusy && (row == nullptr || SendsKeys(row->What))) return;
  if (ReachesOutside(text)) {
    if (row != nullptr && row->What == Action::KeyCombination && !Host.ExternalWindowModeOn()) return;
    if (row != nullptr && row->What == Action::Execute) {
      // Planned once, so what the person is shown is what starts. Path and arguments come from the
      // text as written: "Música.mp3" must not become "Musica.mp3".
      const LaunchPlan plan = PlanExecutar(text, Host.BoardFolder(), SearchPath);
      if (plan.Kind == LaunchKind::Nothing) return;
      if (plan.Kind == LaunchKind::Refused) {
        if (ToldRefused.insert(Host.CurrentBoardFile()).second)
          Messages.ShowMessage(std::string(RefusedProgramText) + Utf8ToWindows1252(plan.Target) +
                                   std::string(RefusedProgramReason),
                               MessageIcon::Warning);
        return;
      }
      if (MayReachOutside(text, &plan)) Launch(plan);
      return;
    }
    if (!MayReachOutside(text, nullptr)) return;
  }
  if (!keysBusy && Host.SendNamedKey(folded)) return;
  if (row == nullptr) return;
  RunRow(*row, folded);
}

bool CellCommands::MayReachOutside(const std::string& text, const LaunchPlan* plan) {
  return Gate != nullptr && Gate->MayReachOutside(Host.BoardFolder(), Host.CurrentBoardFile(),
                                                  DescribeOutside(text, plan, Host.CurrentBoardFile()));
}

void CellCommands::RunRow(const Row& row, const std::string& folded) {
  if (row.Previous == Back::Before) PreviousBoard();
  switch (row.What) {
  case Action::None:
    break;
  case Action::Button:
    Host.RunButtonAction(row.Button);
    break;
  case Action::MenuItem:
    Host.PerformMenuItem(std::string(row.MenuItem));
    break;
  case Action::Companion:
    LaunchCompanionProgram();
    break;
  case Action::CloseApplication:
    Host.CloseForegroundApplication();
    break;
  case Action::CloseProgram:
    Host.CloseMainWindow();
    break;
  case Action::Execute:
    break; // planned, asked about and started before the table
  case Action::Calculate:
    Calculate();
    break;
  case Action::ToggleExternalWindow:
    Host.ToggleExternalWindowMode();
    break;
  case Action::ToggleNoMenu:
    Host.ToggleNoMenuNoCaption();
    break;
  case Action::OpenMenuBoard:
    OpenMenuBoard();
    break;
  case Action::Edit:
    Host.StopScanning();
    LaunchCompanionProgram();
    break;
  case Action::OpenBoardDialog:
    OpenBoardDialog();
    break;
  case Action::KeyCombination:
    SendKeyCombination(folded);
    break;
  case Action::StopScanning:
    Host.StopScanning();
    // Chosen on the menu board it is one of its options, and like them it goes back to the board the
    // user came from; a switch user left on the menu board without a scan could not leave it.
    if (const std::string menu = Host.MenuBoardPath(); !menu.empty() && Host.CurrentBoardFile() == menu)
      PreviousBoard();
    break;
  case Action::FitReceivingWindow:
    Host.FitReceivingWindow();
    break;
  }
  if (row.Previous == Back::After) PreviousBoard();
}

void CellCommands::PreviousBoard() {
  Host.RunButtonAction(-2);
}

void CellCommands::Press(uint8_t key) {
  Host.SendKeyEvent(key, true);
  Host.SendKeyEvent(key, false);
}

namespace {

// Control characters shown as escapes, so an argument cannot hide another line of the question.
std::string Visible(const std::string& cp1252) {
  static constexpr char Hex[] = "0123456789ABCDEF";
  std::string shown;
  for (const char c : cp1252) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F)
      shown += std::string("\\x") + Hex[byte >> 4] + Hex[byte & 15];
    else
      shown += c;
  }
  return shown;
}

// A path as named and, when a link or ".." makes it another file, the file it really is: a link
// called "calc" beside the board may be the shell.
std::string ShownPath(const std::string& utf8Path) {
  std::string shown = Visible(Utf8ToWindows1252(utf8Path));
  if (const std::string real = RealPath(utf8Path); !real.empty() && real != utf8Path)
    shown += " (en realidad: " + Visible(Utf8ToWindows1252(real)) + ")";
  return shown;
}

} // namespace

std::string CellCommands::DescribeOutside(const std::string& text, const LaunchPlan* plan,
                                          const std::string& boardFile) {
  if (plan != nullptr && plan->Kind == LaunchKind::Program) {
    std::string description = "Programa: " + ShownPath(plan->Target);
    for (size_t i = 0; i < plan->Arguments.size(); ++i)
      description += "\nArgumento " + std::to_string(i + 1) + ": \xAB" +
                     Visible(Utf8ToWindows1252(plan->Arguments[i])) + "\xBB";
    return description;
  }
  if (plan != nullptr && plan->Kind == LaunchKind::Document) {
    std::string description = "Documento: " + ShownPath(plan->Target);
    // Some desktops start what a launcher file names instead of showing it.
    if (LowerAscii(plan->Target).ends_with(".desktop"))
      description += "\nEs un lanzador: el escritorio puede arrancar el programa que nombra.";
    return description;
  }
  const Row* row = FindRow(text, FoldAccents(text));
  const Action what = row != nullptr ? row->What : Action::None;
  if (what == Action::Companion || what == Action::Edit)
    return "El editor de tableros, con el tablero: " + Visible(boardFile);
  if (what == Action::CloseApplication) return "Cerrar la ventana del programa que est\xE1 delante";
  if (what == Action::Calculate)
    return "Calcular la l\xEDnea del programa que est\xE1 delante (Fin, May\xFAs+Inicio, copiar y pegar)";
  return "Teclas para el programa que est\xE1 delante: " + Visible(text);
}

void CellCommands::Launch(const LaunchPlan& plan) {
  if (plan.Kind == LaunchKind::Program)
    Programs.StartProgram(plan.Target, plan.Arguments);
  else if (plan.Kind == LaunchKind::Document)
    Programs.OpenDocument(plan.Target);
}

void CellCommands::Calculate() {
  if (TheClipboard == nullptr) return;
  WaitScope waiting(CalculatorWaiting);
  // Emptied first: when the copy fails, an older clipboard text must not be taken for the line.
  TheClipboard->CopyTextToClipboard("");
  Press(VkEnd);
  Host.SendKeyEvent(VkShift, true);
  Press(VkHome);
  Host.SendKeyEvent(VkShift, false);
  TheClock.WaitWithMessages(SelectWaitMs);
  Host.SendKeyEvent(VkControl, true);
  Press(VkInsert);
  Host.SendKeyEvent(VkControl, false);
  TheClock.WaitWithMessages(CopyWaitMs);
  const std::string line = TheClipboard->ReadClipboardText();
  if (line.empty()) {
    // Nothing was copied; the selection goes, so the next letter typed does not replace the line.
    Press(VkEnd);
    return;
  }
  TheClipboard->CopyTextToClipboard(EvaluateExpressionText(line));
  TheClock.WaitWithMessages(PasteWaitMs);
  Host.SendKeyEvent(VkShift, true);
  Press(VkInsert);
  Host.SendKeyEvent(VkShift, false);
  TheClock.WaitWithMessages(PasteWaitMs);
  Press(VkEnd);
}

void CellCommands::OpenMenuBoard() {
  if (const std::string path = Host.MenuBoardPath(); !path.empty())
    Host.OpenBoard(path);
  else if (Host.NoMenuNoCaptionOn())
    Host.ToggleNoMenuNoCaption();
}

void CellCommands::OpenBoardDialog() {
  // The file dialog needs the keyboard, which a window that never takes the focus cannot give it.
  if (Host.ExternalWindowModeOn()) Host.SuspendExternalWindowMode(true);
  Host.PerformMenuItem("MenuOpenFile");
  if (Host.ExternalWindowModeOn()) Host.SuspendExternalWindowMode(false);
}

void CellCommands::SendKeyCombination(const std::string& folded) {
  if (!Host.ExternalWindowModeOn()) return;
  const std::optional<std::string> list = CutKeyCombinationList(folded);
  if (!list) return;
  const KeyCombinationList parsed = ParseKeyCombinationList(*list);
  std::vector<uint8_t> held;
  for (const RawKeyEvent& event : parsed.Events) {
    Host.SendKeyEvent(event.VirtualKey, event.Down);
    if (event.Down)
      held.push_back(event.VirtualKey);
    else
      std::erase(held, event.VirtualKey);
  }
  if (!parsed.BadNumber) return;
  // A key this command left down would stay down in the user's whole session.
  for (auto key = held.rbegin(); key != held.rend(); ++key)
    if (std::find(held.rbegin(), key, *key) == key) Host.SendKeyEvent(*key, false);
  Messages.ShowMessage(NotAnIntegerMessage(*parsed.BadNumber), MessageIcon::Error);
}

void CellCommands::LaunchCompanionProgram() {
  const std::string folder = Host.ProgramFolder();
  auto inFolder = [&folder](const char* name) -> std::optional<std::string> {
    const std::string path = Windows1252ToUtf8(folder + name);
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return std::nullopt;
    return path;
  };
  // Our own editor beside the player, then on the search path; an editor the user installed as
  // "quadrix" in the program folder comes last.
  struct Companion {
    std::string Path;
    bool Ours = false;
  };
  std::vector<Companion> companions;
  if (std::optional<std::string> editor = inFolder(CompanionEditorName.data()))
    companions.push_back({*editor, true});
  else if (std::optional<std::string> found =
               FindProgramOnSearchPath(std::string(CompanionEditorName), SearchPath))
    companions.push_back({*found, true});
  for (const char* name : {"quadrix", "quadrix.exe"})
    if (std::optional<std::string> path = inFolder(name)) companions.push_back({*path, false});
  for (const Companion& companion : companions) {
    std::vector<std::string> arguments;
    // Our editor offers to start the player again when it closes, since the player closes now.
    if (companion.Ours) arguments.emplace_back(CompanionReturnOption);
    // With no board on screen the editor gets no board at all, never an empty name.
    if (const std::string board = Host.CurrentBoardFile(); !board.empty())
      arguments.push_back(Windows1252ToUtf8(board));
    if (Programs.StartProgram(companion.Path, arguments)) {
      Host.CloseMainWindow();
      return;
    }
  }
  Messages.ShowMessage(std::string(CompanionMissingText) + folder);
}

} // namespace nq
