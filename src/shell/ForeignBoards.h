#pragma once
// Boards of other AAC systems (.obf, .obz) open like our own: the board opening asks an importer
// for the .qdx board they became. The importer lives above the core, which never reads their format.
#include <optional>
#include <string>
#include <string_view>

namespace nq {

class ForeignBoardImporter {
public:
  virtual ~ForeignBoardImporter() = default;
  /// The .qdx root board (Windows-1252 path) that the foreign file became, importing it when this
  /// file and content were not imported before; nothing when it cannot be, after telling the user why.
  virtual std::optional<std::string> ImportedRootBoard(const std::string& cp1252Path) = 0;
};

/// True for a name ending in ".obf" or ".obz", in any letter case.
inline bool IsForeignBoardName(std::string_view name) {
  if (name.size() < 4) return false;
  std::string tail(name.substr(name.size() - 4));
  for (char& c : tail)
    c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return tail == ".obf" || tail == ".obz";
}

} // namespace nq
