#include "actions/CommandTokens.h"

#include <array>

#include "text/TextUtilities.h"

namespace nq {
namespace {

constexpr std::array<std::string_view, 108> FixedTokens = {
    // Commands of the dispatcher.
    "<AJUSTAR FINESTRA RECEPTORA>",
    "<CALCULAR>",
    "<CASA>",
    "<ESBORRAR TOT>",
    "<ESBORRAR ULTIM>",
    "<ESBORRAR ULTIMA PARAULA>",
    "<ESCANEIG AUTOMATIC>",
    "<IMPRIMIR>",
    "<LLEGIR LINIA>",
    "<LLEGIR MISSATGE>",
    "<LLEGIR SIMBOL ACTUAL>",
    "<LLEGIR ULTIMA PARAULA>",
    "<MISSATGE A FINESTRA EXTERNA>",
    "<NEXOQUADRIX>",
    "<NEXO_MENU_Edicion>",
    "<NEXO_MENU_MenuAlClicarNoIniciaPosicioMouse>",
    "<NEXO_MENU_MenuCaptionDown>",
    "<NEXO_MENU_MenuCentrarCaptions>",
    "<NEXO_MENU_MenuClicAutomaticALEstarEnUnacasella>",
    "<NEXO_MENU_MenuEfecto3D>",
    "<NEXO_MENU_MenuEscaneigAutomatic>",
    "<NEXO_MENU_MenuEscaneigAutomaticActivatAmbClicDretPremut>",
    "<NEXO_MENU_MenuEscaneigDirigit>",
    "<NEXO_MENU_MenuEscribirLetrasOPalabras>",
    "<NEXO_MENU_MenuEscribirTextoALeer>",
    "<NEXO_MENU_MenuMouseDown>",
    "<NEXO_MENU_MenuMouseUp>",
    "<NEXO_MENU_MenuNoPermeteClicks>",
    "<NEXO_MENU_MenuPositionBottomCenter>",
    "<NEXO_MENU_MenuPositionBottomLeft>",
    "<NEXO_MENU_MenuPositionBottomRight>",
    "<NEXO_MENU_MenuPositionDefault>",
    "<NEXO_MENU_MenuPositionMaximized>",
    "<NEXO_MENU_MenuPositionScreenCenter>",
    "<NEXO_MENU_MenuPositionTopCenter>",
    "<NEXO_MENU_MenuPositionTopLeft>",
    "<NEXO_MENU_MenuPositionTopRight>",
    "<NEXO_MENU_MenuSenseEscaneigVertical>",
    "<NEXO_MENU_MenuSpeak>",
    "<NEXO_MENU_MenuSwapBars>",
    "<NEXO_MENU_MenuVerBarraBotones>",
    "<NEXO_MENU_MenuVerBarraMensaje>",
    "<NEXO_MENU_NoMenuNoCaption>",
    "<NEXO_MENU_NonFocusable>",
    "<NEXO_MENU_Obrir>",
    "<NEXO_QDX_ANTERIOR>",
    "<NEXO_REPOSAR>",
    "<NO HE DE CANVIAR DE LLOC>",
    "<OBRIR FORM MENU>",
    "<PARAR ESCANEIG>",
    "<RETURN>",
    "<SALTAR ESCANEIG>",
    "<TANCAR APLICACIO>",
    "<TANCAR QUADRIX>",
    "<TORNAR PLAFO ANTERIOR>",
    // Named keys and modifier latches typed into the foreground application.
    "<ALT F4>",
    "<ALT HOME>",
    "<ALT LEFT>",
    "<ALT RIGHT>",
    "<AV.PAG.>",
    "<BACKSPACE>",
    "<BAIXA>",
    "<BAJA>",
    "<CONTROL+A>",
    "<CONTROL+C>",
    "<CONTROL+O>",
    "<CONTROL+SHIFT+S>",
    "<CONTROL+V>",
    "<CONTROL+Z>",
    "<DELETE>",
    "<DERECHA>",
    "<DRETA>",
    "<END>",
    "<ESC>",
    "<ESQUERRA>",
    "<F1>",
    "<F2>",
    "<F3>",
    "<F4>",
    "<F5>",
    "<F6>",
    "<F7>",
    "<F8>",
    "<F9>",
    "<F10>",
    "<F11>",
    "<F12>",
    "<FI>",
    "<FIN>",
    "<HOME>",
    "<INICI>",
    "<INICIO>",
    "<INSERT>",
    "<IZQUIERDA>",
    "<NEXO_KEY_ALT>",
    "<NEXO_KEY_ALT_GR>",
    "<NEXO_KEY_CONTEXT_MENU>",
    "<NEXO_KEY_CONTROL>",
    "<NEXO_KEY_LWINDOW>",
    "<NEXO_KEY_RWINDOW>",
    "<NEXO_KEY_SHIFT>",
    "<PUJA>",
    "<RE.PAG.>",
    "<SHIFT F6>",
    "<SHIFT TAB>",
    "<SPACE>",
    "<SUBE>",
    "<TAB>",
};

constexpr std::array<std::string_view, 2> PrefixTokens = {"<EXECUTAR", "<KEY_COMBINATION"};

} // namespace

bool IsKnownCommandToken(std::string_view specialFunction) {
  const std::string folded = FoldAccents(specialFunction);
  for (std::string_view token : FixedTokens)
    if (folded == token) return true;
  const std::string upper = UpperAscii(folded);
  for (std::string_view prefix : PrefixTokens)
    if (upper.rfind(prefix, 0) == 0) return true;
  return false;
}

std::vector<std::string_view> KnownCommandTokens() {
  std::vector<std::string_view> tokens(FixedTokens.begin(), FixedTokens.end());
  tokens.insert(tokens.end(), PrefixTokens.begin(), PrefixTokens.end());
  return tokens;
}

} // namespace nq
