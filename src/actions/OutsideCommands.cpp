#include "actions/OutsideCommands.h"

#include <array>
#include <string>

#include "actions/ExecutarCommand.h"
#include "actions/KeyCombination.h"
#include "text/TextUtilities.h"

namespace nq {
namespace {

// Commands matched on the whole folded text: keys typed into the focused program, the calculator
// (which selects, copies and pastes in it), closing the focused program, and the companion editor.
constexpr std::array<std::string_view, 58> ExactTokens = {
    "<NEXOQUADRIX>",
    "<NEXO_MENU_Edicion>",
    "<TANCAR APLICACIO>",
    "<CALCULAR>",
    "<RETURN>",
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
    "<INSERT>",
    "<TAB>",
    "<SHIFT F6>",
    "<ALT F4>",
    "<ALT LEFT>",
    "<ALT RIGHT>",
    "<ALT HOME>",
    "<SHIFT TAB>",
    "<AV.PAG.>",
    "<RE.PAG.>",
    "<ESQUERRA>",
    "<IZQUIERDA>",
    "<DRETA>",
    "<DERECHA>",
    "<PUJA>",
    "<SUBE>",
    "<BAIXA>",
    "<BAJA>",
    "<HOME>",
    "<END>",
    "<FI>",
    "<FIN>",
    "<INICI>",
    "<INICIO>",
    "<ESC>",
    "<DELETE>",
    "<SPACE>",
    "<BACKSPACE>",
    "<CONTROL+C>",
    "<CONTROL+V>",
    "<CONTROL+Z>",
    "<CONTROL+O>",
    "<CONTROL+A>",
    "<CONTROL+SHIFT+S>",
    "<NEXO_KEY_SHIFT>",
    "<NEXO_KEY_CONTROL>",
    "<NEXO_KEY_ALT>",
    "<NEXO_KEY_ALT_GR>",
    "<NEXO_KEY_LWINDOW>",
    "<NEXO_KEY_RWINDOW>",
    "<NEXO_KEY_CONTEXT_MENU>",
};

} // namespace

bool ReachesOutside(std::string_view specialFunction) {
  // Programs and documents: the dispatcher finds this token anywhere in the text as written.
  if (ContainsIgnoringCase(ExecutarToken, specialFunction)) return true;
  const std::string folded = FoldAccents(specialFunction);
  if (ContainsIgnoringCase(KeyCombinationToken, folded)) return true;
  for (std::string_view token : ExactTokens)
    if (folded == token) return true;
  return false;
}

} // namespace nq
