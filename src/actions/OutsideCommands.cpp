#include "actions/OutsideCommands.h"

#include <array>
#include <string>

#include "actions/ExecutarCommand.h"
#include "actions/KeyCombination.h"
#include "actions/KeySequences.h"
#include "text/TextUtilities.h"

namespace nq {
namespace {

// Commands matched on the whole folded text besides the key tokens: the companion editor (which gets
// the board), closing the focused program, and the calculator (which selects, copies and pastes in it).
constexpr std::array<std::string_view, 4> ExactTokens = {
    "<NEXOQUADRIX>",
    "<NEXO_MENU_Edicion>",
    "<TANCAR APLICACIO>",
    "<CALCULAR>",
};

} // namespace

bool ReachesOutside(std::string_view specialFunction) {
  // Programs and documents: the dispatcher finds this token anywhere in the text as written.
  if (ContainsIgnoringCase(ExecutarToken, specialFunction)) return true;
  const std::string folded = FoldAccents(specialFunction);
  if (ContainsIgnoringCase(KeyCombinationToken, folded)) return true;
  // Keys typed into whatever program has the focus.
  if (IsNamedKeyToken(folded)) return true;
  for (std::string_view token : ExactTokens)
    if (folded == token) return true;
  return false;
}

} // namespace nq
