// Arbitrary bytes as a "<KEY_COMBINATION ...>" cell text: cut, then read as items.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "actions/KeyCombination.h"
#include "text/TextUtilities.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::string folded = nq::FoldAccents(text);
  const std::optional<std::string> list = nq::CutKeyCombinationList(folded);
  if (list && list->size() > folded.size()) std::abort();
  // The text itself as a list, too: every item needs at least a letter and a digit.
  const nq::KeyCombinationList parsed = nq::ParseKeyCombinationList(text);
  if (parsed.Events.size() * 2 > text.size()) std::abort();
  for (const nq::RawKeyEvent& event : parsed.Events)
    if (event.VirtualKey == 0) std::abort();
  if (parsed.BadNumber && parsed.BadNumber->size() >= text.size()) std::abort();
  return 0;
}
