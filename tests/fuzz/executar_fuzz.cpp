// Arbitrary bytes as an "<EXECUTAR ...>" cell text: cutting path and arguments and splitting them.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "actions/ExecutarCommand.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::optional<nq::ExecutarText> cut = nq::CutExecutar(text);
  if (cut) {
    if (cut->Path.empty() || cut->Path.size() + cut->Arguments.size() > text.size()) std::abort();
    if (cut->Path.find('>') != std::string::npos || cut->Arguments.find('>') != std::string::npos)
      std::abort();
    if (!cut->IsProgram && !cut->Arguments.empty()) std::abort();
  }
  // Splitting only drops separators and quotes, never adds characters.
  size_t kept = 0;
  for (const std::string& argument : nq::SplitArguments(text)) {
    kept += argument.size();
    for (const char c : argument)
      if (c == '"' || c == '\0') std::abort();
  }
  if (kept > text.size()) std::abort();
  return 0;
}
