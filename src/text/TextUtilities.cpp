#include "text/TextUtilities.h"

#include <algorithm>
#include <array>
#include <utility>

namespace nq {
namespace {

using FoldRow = std::pair<std::string_view, std::string_view>;

// Applied in this order, one ReplaceAll per row. The cedilla letters deliberately become "s"/"S",
// not "c"/"C", and the exclamation and question marks are removed outright.
constexpr std::array<FoldRow, 32> FoldingTable = {{
    {"\xE0", "a"}, {"\xE1", "a"}, {"\xE8", "e"}, {"\xE9", "e"}, {"\xEC", "i"}, {"\xED", "i"}, {"\xEF", "i"},
    {"\xF2", "o"}, {"\xF3", "o"}, {"\xF9", "u"}, {"\xFA", "u"}, {"\xFC", "u"}, {"\xE7", "s"}, {"\xF1", "n"},
    {"\xC0", "A"}, {"\xC1", "A"}, {"\xC8", "E"}, {"\xC9", "E"}, {"\xCC", "I"}, {"\xCD", "I"}, {"\xCF", "I"},
    {"\xD2", "O"}, {"\xD3", "O"}, {"\xD9", "U"}, {"\xDA", "U"}, {"\xDC", "U"}, {"\xC7", "S"}, {"\xD1", "N"},
    {"\xA1", ""},  {"!", ""},     {"?", ""},     {"\xBF", ""},
}};

char UpperAsciiChar(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

} // namespace

std::string LowerAscii(std::string_view text) {
  std::string result(text);
  for (char& c : result)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return result;
}

std::string UpperAscii(std::string_view text) {
  std::string result(text);
  std::transform(result.begin(), result.end(), result.begin(), UpperAsciiChar);
  return result;
}

bool ContainsIgnoringCase(std::string_view needle, std::string_view haystack) {
  if (needle.empty()) return false;
  return UpperAscii(haystack).find(UpperAscii(needle)) != std::string::npos;
}

std::string JoinLines(std::string_view text) {
  std::string result(text);
  ReplaceAll(result, "\r\n", " ");
  return result;
}

void RemoveBlanks(std::string& text) {
  std::erase(text, ' ');
}

// The search resumes after the inserted text, so a replacement that contains the searched text
// still ends. Restarting from the beginning would differ only where a deletion joins two halves
// into a new occurrence, which none of the program's own tables (single bytes, CR LF) can do.
void ReplaceAll(std::string& text, std::string_view searched, std::string_view replacement) {
  if (searched.empty()) return;
  std::size_t pos = text.find(searched);
  while (pos != std::string::npos) {
    text.replace(pos, searched.size(), replacement);
    pos = text.find(searched, pos + replacement.size());
  }
}

std::string FoldAccents(std::string_view text) {
  std::string result(text);
  for (const auto& [searched, replacement] : FoldingTable)
    ReplaceAll(result, searched, replacement);
  return result;
}

} // namespace nq
