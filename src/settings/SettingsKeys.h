#pragma once
// Every section and key name of the program settings file and of Quadrix.ini, with the default each
// is read with. Names are Windows-1252 bytes exactly as they appear in the files.
#include <array>
#include <cstdint>
#include <string_view>

namespace nq {

// The fixed texts of the "SI"/"NO" and "SÍ" keys, compared exactly (case-sensitive).
inline constexpr std::string_view YesText = "SI";
inline constexpr std::string_view NoText = "NO";
inline constexpr std::string_view AccentedYesText = "S\xCD";

// ---- Program settings file ----
inline constexpr std::string_view SettingsFileName = "nexoquadrix.ini";

inline constexpr std::string_view SectionMenuControl = "Menu Control";
inline constexpr std::string_view KeyTypeMouseDown = "TypeMouseDown";
inline constexpr int32_t DefaultTypeMouseDown = 0;
inline constexpr std::string_view KeyMenuMouseDownChecked = "MenuMouseDown.Checked";
inline constexpr bool DefaultMenuMouseDownChecked = false;
inline constexpr std::string_view KeyMenuMouseUpChecked = "MenuMouseUp.Checked";
inline constexpr bool DefaultMenuMouseUpChecked = true;
inline constexpr std::string_view KeyMenuSenseEscaneigVerticalChecked = "MenuSenseEscaneigVertical.Checked";
inline constexpr std::string_view DefaultMenuSenseEscaneigVerticalChecked = NoText;
inline constexpr std::string_view KeyMenuAlClicarNoIniciaPosicioMouseChecked =
    "MenuAlClicarNoIniciaPosicioMouse.Checked";
inline constexpr std::string_view DefaultMenuAlClicarNoIniciaPosicioMouseChecked = NoText;
inline constexpr std::string_view KeyMenuClicAutomaticAlEstarParatChecked =
    "MenuClicAutomaticAlEstarParat.Checked";
inline constexpr bool DefaultMenuClicAutomaticAlEstarParatChecked = false;
inline constexpr std::string_view KeyMenuClicAutomaticALEstarEnUnacasellaChecked =
    "MenuClicAutomaticALEstarEnUnacasella.Checked";
inline constexpr bool DefaultMenuClicAutomaticALEstarEnUnacasellaChecked = false;
inline constexpr std::string_view KeyMenuNoPermeteClicksChecked = "MenuNoPermeteClicks.Checked";
inline constexpr bool DefaultMenuNoPermeteClicksChecked = false;
inline constexpr std::string_view KeyMenuEscaneigAutomaticChecked = "MenuEscaneigAutomatic.Checked";
inline constexpr bool DefaultMenuEscaneigAutomaticChecked = false;
inline constexpr std::string_view KeyMenuEscaneigDirigitChecked = "MenuEscaneigDirigit.Checked";
inline constexpr bool DefaultMenuEscaneigDirigitChecked = false;
inline constexpr std::string_view KeyMenuEscaneigAutomaticActivatAmbClicDretPremutChecked =
    "MenuEscaneigAutomaticActivatAmbClicDretPremut.Checked";
inline constexpr bool DefaultMenuEscaneigAutomaticActivatAmbClicDretPremutChecked = false;

inline constexpr std::string_view SectionMenuOptions = "Menu Options";
inline constexpr std::string_view KeyMenuSpeakChecked = "MenuSpeak.Checked";
inline constexpr std::string_view DefaultMenuSpeakChecked = YesText;
inline constexpr std::string_view KeyNonFocusable = "NonFocusable";
inline constexpr std::string_view DefaultNonFocusable = NoText;
inline constexpr std::string_view KeyNoMenuNoCaption = "NoMenuNoCaption";
inline constexpr std::string_view DefaultNoMenuNoCaption = NoText;
inline constexpr std::string_view KeyMenuSwapBarsChecked = "MenuSwapBars.Checked";
inline constexpr std::string_view DefaultMenuSwapBarsChecked = NoText;
inline constexpr std::string_view KeyMenuCaptionDownChecked = "MenuCaptionDown.Checked";
inline constexpr std::string_view DefaultMenuCaptionDownChecked = NoText;
inline constexpr std::string_view KeyMenuEfecto3DChecked = "MenuEfecto3D.Checked";
inline constexpr bool DefaultMenuEfecto3DChecked = true;
inline constexpr std::string_view KeyMenuTreureElCursorEnElsPlafonsChecked =
    "MenuTreureElCursorEnElsPlafons.Checked";
inline constexpr bool DefaultMenuTreureElCursorEnElsPlafonsChecked = false;
// Auditory scanning: each scan step says quietly what it highlights; the second option makes the next
// automatic step wait for that prompt to end.
inline constexpr std::string_view KeyMenuEscaneigAuditiuChecked = "MenuEscaneigAuditiu.Checked";
inline constexpr bool DefaultMenuEscaneigAuditiuChecked = false;
inline constexpr std::string_view KeyMenuEscaneigAuditiuAllargarPasChecked =
    "MenuEscaneigAuditiuAllargarPas.Checked";
inline constexpr bool DefaultMenuEscaneigAuditiuAllargarPasChecked = false;

// The same section and key names serve the board file's own options.
inline constexpr std::string_view SectionMenuOptions2 = "Menu Options 2";
inline constexpr std::string_view KeyCenterCaptions = "Center Captions";
inline constexpr std::string_view KeyShowButtonBar = "Show Button Bar";
inline constexpr std::string_view KeyShowMessageBar = "Show Message Bar";
inline constexpr std::string_view KeyWriteOnlyLettersOrWords = "Write only letters or words";
inline constexpr std::string_view KeyMenuEscriureTextALlegir = "MenuEscriureTextALlegir";
inline constexpr std::string_view KeyMenuQdxPosition = "MenuQdxPosition";
inline constexpr bool DefaultMenuOptions2Flag = false;
inline constexpr int32_t DefaultMenuQdxPosition = 0;

inline constexpr std::string_view SectionPanelMesageBar = "PanelMesageBar";
inline constexpr std::string_view KeyHeight = "Height";
inline constexpr int32_t DefaultMessageBarHeight = 135;

inline constexpr std::string_view SectionNexoQuadrix = "NexoQuadrix";
inline constexpr std::string_view KeyNomFitxerInicial = "NomFitxerInicial";
inline constexpr std::string_view DefaultNomFitxerInicial = "";
inline constexpr std::string_view KeyDirectoriActual = "DirectoriActual";
inline constexpr std::string_view DefaultDirectoriActual = "";

inline constexpr std::string_view SectionTts = "tts";
inline constexpr std::string_view KeyNumeroSintetitzador = "Numero sintetitzador";
inline constexpr std::string_view DefaultNumeroSintetitzador = "-1";

inline constexpr std::string_view SectionClic = "Clic";
inline constexpr std::string_view KeyActivarPerSo = "Activar per so"; // "SÍ"/"NO"
inline constexpr std::string_view KeyActivarPerSoEscaneigDirigit =
    "Activar per so escaneig dirigit";                          // "SI"/"NO"
inline constexpr std::string_view DefaultActivarPerSo = NoText; // read by the sound items only

// Visual access options: dwell progress and the low-vision highlight. All off by default.
inline constexpr std::string_view SectionVisualAccess = "Visual Access";
inline constexpr std::string_view KeyDwellProgress = "Dwell Progress";     // flag
inline constexpr std::string_view KeyHighlightWidth = "Highlight Width";   // 0 (the board's frame) or 1..20
inline constexpr std::string_view KeyHighlightColour = "Highlight Colour"; // one of the offered colours
inline constexpr std::string_view KeyHighlightInvert = "Highlight Invert"; // flag

// ---- Quadrix.ini ----
inline constexpr std::string_view SharedFileName = "Quadrix.ini";

inline constexpr std::string_view SectionQuadrix = "quadrix";
inline constexpr std::string_view KeyDecimesScan = "D\xE8"
                                                   "cimes de segon que dura el pas d'escaneig";
inline constexpr std::string_view DefaultDecimesScan = NoText;
inline constexpr std::string_view KeyNumeroFitxesMissatges = "N\xFA"
                                                             "mero de fitxes visibles al panell missatges";
inline constexpr std::string_view DefaultNumeroFitxesMissatges = NoText;
inline constexpr std::string_view KeyMilisegonsClicAutomatic = "Milisegons Clic Automatic";
inline constexpr std::string_view DefaultMilisegonsClicAutomatic = "0";
// Sound clicks: the level a sound must pass, single channel 1..126 of 127, stereo 1..32766 of 32767.
inline constexpr std::string_view KeyLlindarSo = "Llindar so";
inline constexpr std::string_view KeyLlindarSoEstereo = "Llindar so estereo";

inline constexpr std::string_view SectionMarc = "MARC";
inline constexpr std::string_view KeyGruixudaria = "GRUIXUDARIA";
inline constexpr std::string_view DefaultGruixudaria = "2";
inline constexpr std::string_view KeySeparacioEntreCaselles = "SEPARACIO ENTRE CASELLES";
inline constexpr std::string_view DefaultSeparacioEntreCaselles = "2";

inline constexpr std::string_view SectionFontMissatge = "Font Missatge";
inline constexpr std::string_view KeyFontCharset = "Charset";
inline constexpr std::string_view KeyFontColor = "Color";
inline constexpr std::string_view KeyFontHeight = "Height";
inline constexpr std::string_view KeyFontName = "Name";
inline constexpr std::string_view KeyFontSize = "Size";
inline constexpr std::string_view KeyFontNegreta = "Negreta";
inline constexpr std::string_view KeyFontItalica = "It\xE0"
                                                   "lica";
inline constexpr std::string_view KeyFontSubrratllat = "Subrratllat";
inline constexpr std::string_view KeyFontTatxat = "Tatxat";
inline constexpr std::string_view DefaultFontMissatgeValue = "0";

// ---- The key table as data, for tools and for the round-trip test ----
enum class SettingKind { Text, Integer, Flag, YesNo, AccentedYesNo };

struct SettingKey {
  std::string_view Section;
  std::string_view Key;
  SettingKind Kind;
  std::string_view Default; // as text: flags "0"/"1", integers in decimal
};

/// Every key of the program settings file.
inline constexpr std::array<SettingKey, 32> ProgramSettingKeys = {{
    {SectionMenuControl, KeyTypeMouseDown, SettingKind::Integer, "0"},
    {SectionMenuControl, KeyMenuMouseDownChecked, SettingKind::Flag, "0"},
    {SectionMenuControl, KeyMenuMouseUpChecked, SettingKind::Flag, "1"},
    {SectionMenuControl, KeyMenuSenseEscaneigVerticalChecked, SettingKind::YesNo, NoText},
    {SectionMenuControl, KeyMenuAlClicarNoIniciaPosicioMouseChecked, SettingKind::YesNo, NoText},
    {SectionMenuControl, KeyMenuClicAutomaticAlEstarParatChecked, SettingKind::Flag, "0"},
    {SectionMenuControl, KeyMenuClicAutomaticALEstarEnUnacasellaChecked, SettingKind::Flag, "0"},
    {SectionMenuControl, KeyMenuNoPermeteClicksChecked, SettingKind::Flag, "0"},
    {SectionMenuControl, KeyMenuEscaneigAutomaticChecked, SettingKind::Flag, "0"},
    {SectionMenuControl, KeyMenuEscaneigDirigitChecked, SettingKind::Flag, "0"},
    {SectionMenuControl, KeyMenuEscaneigAutomaticActivatAmbClicDretPremutChecked, SettingKind::Flag, "0"},
    {SectionMenuOptions, KeyMenuSpeakChecked, SettingKind::YesNo, YesText},
    {SectionMenuOptions, KeyNonFocusable, SettingKind::YesNo, NoText},
    {SectionMenuOptions, KeyNoMenuNoCaption, SettingKind::YesNo, NoText},
    {SectionMenuOptions, KeyMenuSwapBarsChecked, SettingKind::YesNo, NoText},
    {SectionMenuOptions, KeyMenuCaptionDownChecked, SettingKind::YesNo, NoText},
    {SectionMenuOptions, KeyMenuEfecto3DChecked, SettingKind::Flag, "1"},
    {SectionMenuOptions, KeyMenuTreureElCursorEnElsPlafonsChecked, SettingKind::Flag, "0"},
    {SectionMenuOptions, KeyMenuEscaneigAuditiuChecked, SettingKind::Flag, "0"},
    {SectionMenuOptions, KeyMenuEscaneigAuditiuAllargarPasChecked, SettingKind::Flag, "0"},
    {SectionMenuOptions2, KeyCenterCaptions, SettingKind::Flag, "0"},
    {SectionMenuOptions2, KeyShowButtonBar, SettingKind::Flag, "0"},
    {SectionMenuOptions2, KeyShowMessageBar, SettingKind::Flag, "0"},
    {SectionMenuOptions2, KeyWriteOnlyLettersOrWords, SettingKind::Flag, "0"},
    {SectionMenuOptions2, KeyMenuEscriureTextALlegir, SettingKind::Flag, "0"},
    {SectionMenuOptions2, KeyMenuQdxPosition, SettingKind::Integer, "0"},
    {SectionPanelMesageBar, KeyHeight, SettingKind::Integer, "135"},
    {SectionNexoQuadrix, KeyNomFitxerInicial, SettingKind::Text, DefaultNomFitxerInicial},
    {SectionNexoQuadrix, KeyDirectoriActual, SettingKind::Text, DefaultDirectoriActual},
    {SectionTts, KeyNumeroSintetitzador, SettingKind::Text, DefaultNumeroSintetitzador},
    {SectionClic, KeyActivarPerSo, SettingKind::AccentedYesNo, NoText},
    {SectionClic, KeyActivarPerSoEscaneigDirigit, SettingKind::YesNo, NoText},
}};

} // namespace nq
