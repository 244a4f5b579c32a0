// The dictionary loader and the whole-word rewrite on arbitrary bytes: the part before the first NUL
// is a dictionary file, the rest is the text the entries rewrite. Every entry must end, and the text
// must stay within its bound.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "speech/ExceptionsDictionary.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t split = input.find('\0');
  const std::string_view dictionary = input.substr(0, split);
  std::string text(split == std::string_view::npos ? std::string_view() : input.substr(split + 1));

  const auto entries = nq::ParseDictionaryText(dictionary);
  if (entries.size() > nq::MaxDictionaryEntries) std::abort();
  const std::size_t bound = std::max(text.size(), nq::MaxRewrittenTextBytes);
  for (const nq::DictionaryEntry& entry : entries) {
    if (entry.Word.empty() || entry.Replacement.empty() || entry.Word.find(' ') != std::string::npos ||
        entry.Replacement.find(' ') != std::string::npos)
      std::abort();
    nq::ReplaceWholeWord(text, entry.Word, entry.Replacement);
    if (text.size() > bound) std::abort();
  }
  return 0;
}
