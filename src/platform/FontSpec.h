#pragma once
#include <cstdint>
#include <string>

namespace nq {

// One font description as boards and Quadrix.ini store it.
struct FontSpec {
  uint8_t Charset = 0;
  int32_t Colour = 0;
  int32_t Height = 0; // negative = character height in pixels; 0 = the face's default
  std::string Name;   // face name, Windows-1252
  int32_t Size = 0;   // points
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
  bool StrikeOut = false;

  bool operator==(const FontSpec&) const = default;
};

} // namespace nq
