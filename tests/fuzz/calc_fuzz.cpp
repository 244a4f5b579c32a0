// Arbitrary bytes as a calculator expression, and as text for the folding and replacing utilities.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "calc/Calculator.h"
#include "text/TextUtilities.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::string line = nq::EvaluateExpressionText(text);
  if (line.size() > nq::MaxCalculatorLine) std::abort();

  const std::string folded = nq::FoldAccents(text);
  if (folded.size() > text.size()) std::abort();

  // Split the input into text, searched and replacement at the first two zero bytes.
  const std::size_t first = text.find('\0');
  const std::size_t second = first == std::string_view::npos ? first : text.find('\0', first + 1);
  if (second != std::string_view::npos) {
    std::string subject(text.substr(0, first));
    const std::string_view searched = text.substr(first + 1, second - first - 1);
    const std::string_view replacement = text.substr(second + 1);
    const std::size_t before = subject.size();
    nq::ReplaceAll(subject, searched, replacement);
    // Each replaced occurrence uses up at least one byte of the original text.
    if (subject.size() > before + before * replacement.size()) std::abort();
  }
  return 0;
}
