// Parses arbitrary bytes as a profile file, looks names up, and writes one value in memory: the
// written value must read back, and every other key must keep its value.
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/ProfileDocument.h"
#include "settings/ProfileFile.h"

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

std::string Folded(std::string_view text) {
  while (!text.empty() && IsBlank(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back()))
    text.remove_suffix(1);
  std::string folded(text);
  for (char& c : folded)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return folded;
}

std::string Slice(std::string_view text, std::size_t start, std::size_t count) {
  return start < text.size() ? std::string(text.substr(start, count)) : std::string();
}

void Check(bool condition) {
  if (!condition) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::string_view view(bytes);
  const nq::ProfileDocument document(bytes);

  // Names taken from the input itself reach sections and keys the fuzzer has built.
  const std::vector<std::string> sections = {"s", "Cell 1", "quadrix", Slice(view, 0, 4), Slice(view, 1, 3)};
  const std::vector<std::string> keys = {"k", "Caption", Slice(view, 4, 3), Slice(view, 5, 1)};
  std::vector<std::optional<std::string>> before;
  for (const std::string& section : sections)
    for (const std::string& key : keys) {
      std::optional<std::string> value = document.Find(section, key);
      Check(!value || value->size() <= nq::MaxProfileText);
      if (value) {
        (void)nq::ParseProfileInteger(*value);
        (void)nq::ParseLenientNumber(*value);
        (void)nq::ParseStrictNumber(*value);
      }
      before.push_back(std::move(value));
    }

  const std::size_t choice = size > 0 ? data[0] : 0;
  const std::string& section = sections[choice % sections.size()];
  const std::string& key = keys[(choice / 8) % keys.size()];
  const std::string value = Slice(view, size / 2, 40);
  const std::optional<std::string> updated = document.WithValue(section, key, value);
  if (!updated) return 0;
  const nq::ProfileDocument written(*updated);
  Check(written.Find(section, key) == value.substr(0, nq::MaxProfileText));

  std::size_t index = 0;
  for (const std::string& otherSection : sections)
    for (const std::string& otherKey : keys) {
      const bool same = Folded(otherSection) == Folded(section) && Folded(otherKey) == Folded(key);
      if (!same) Check(written.Find(otherSection, otherKey) == before[index]);
      ++index;
    }
  return 0;
}
