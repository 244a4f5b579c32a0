#include "exchange/TextFit.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "exchange/ExchangeLimits.h"
#include "text/Encoding.h"

namespace nq::exchange {
namespace {

std::string Utf8Of(char32_t cp) {
  std::string out;
  AppendUtf8(out, cp);
  return out;
}

// Base letters of Latin Extended-A (U+0100..U+017F), two per letter (capital, small) mostly.
constexpr std::string_view LatinExtendedA =
    "AaAaAaCcCcCcCcDdDdEeEeEeEeEeGgGgGgGgHhHhIiIiIiIiIi??"
    "JjKkkLlLlLlLlLlNnNnNnnNnOoOoOoOoRrRrRrSsSsSsSsTtTtTtUuUuUuUuUuUuWwYyYZzZzZzs";

static_assert(LatinExtendedA.size() == 0x80);

// A near form for a character Windows-1252 lacks; empty when there is none.
std::string NearForm(char32_t cp) {
  if (cp >= 0x100 && cp <= 0x17F) {
    const char base = LatinExtendedA[cp - 0x100];
    if (base != '?') return std::string(1, base);
  }
  switch (cp) {
  case 0x2010:
  case 0x2011:
  case 0x2012:
  case 0x2212:
    return "-";
  case 0x2032:
    return "'";
  case 0x2033:
    return "\"";
  case 0x00A0:
  case 0x2002:
  case 0x2003:
  case 0x2009:
  case 0x202F:
    return " ";
  case 0x0218:
    return "S";
  case 0x0219:
    return "s";
  case 0x021A:
    return "T";
  case 0x021B:
    return "t";
  default:
    return {};
  }
}

} // namespace

std::string FitText(std::string_view utf8, std::set<std::string>& missing) {
  std::string out;
  for (std::size_t i = 0; i < utf8.size() && out.size() < MaxTextBytes;) {
    const char32_t cp = NextCodePoint(utf8, i);
    if (cp < 0x20 || cp == 0x7F) {
      out += ' ';
      continue;
    }
    const std::string single = Utf8ToWindows1252(Utf8Of(cp));
    if (single != "?" || cp == '?') {
      out += single;
      continue;
    }
    missing.insert(Utf8Of(cp));
    const std::string near = NearForm(cp);
    out += near.empty() ? "?" : Utf8ToWindows1252(near);
  }
  if (out.size() > MaxTextBytes) out.resize(MaxTextBytes);
  return out;
}

namespace {

int32_t Rgb(int r, int g, int b) {
  return r | (g << 8) | (b << 16);
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::optional<std::vector<double>> Numbers(std::string_view inside) {
  std::vector<double> numbers;
  std::string current;
  auto flush = [&]() -> bool {
    if (current.empty()) return false;
    bool percent = current.back() == '%';
    if (percent) current.pop_back();
    char* end = nullptr;
    const double value = std::strtod(current.c_str(), &end);
    if (end == current.c_str() || *end != '\0' || !std::isfinite(value)) return false;
    numbers.push_back(percent ? value * 2.55 : value);
    current.clear();
    return true;
  };
  for (char c : inside) {
    if (c == ',' || c == ' ' || c == '/') {
      if (!current.empty() && !flush()) return std::nullopt;
    } else {
      current += c;
    }
  }
  if (!current.empty() && !flush()) return std::nullopt;
  return numbers;
}

int Channel(double value) {
  return static_cast<int>(std::lround(std::clamp(value, 0.0, 255.0)));
}

} // namespace

std::optional<int32_t> ParseColour(std::string_view text) {
  std::string t;
  for (char c : text) {
    if (c != ' ' && c != '\t') t += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  }
  if (!t.empty() && t[0] == '#') {
    std::vector<int> digits;
    for (std::size_t i = 1; i < t.size(); ++i) {
      if (HexDigit(t[i]) < 0) return std::nullopt;
      digits.push_back(HexDigit(t[i]));
    }
    if (digits.size() == 3) return Rgb(digits[0] * 17, digits[1] * 17, digits[2] * 17);
    if (digits.size() == 6 || digits.size() == 8)
      return Rgb(digits[0] * 16 + digits[1], digits[2] * 16 + digits[3], digits[4] * 16 + digits[5]);
    return std::nullopt;
  }
  const bool rgba = t.rfind("rgba(", 0) == 0;
  if ((rgba || t.rfind("rgb(", 0) == 0) && t.back() == ')') {
    const std::size_t open = t.find('(');
    std::optional<std::vector<double>> n = Numbers(std::string_view(t).substr(open + 1, t.size() - open - 2));
    if (!n || (n->size() != 3 && n->size() != 4)) return std::nullopt;
    // A see-through colour is shown over white, as on the boards it came from.
    const double alpha = n->size() == 4 ? std::clamp((*n)[3], 0.0, 1.0) : 1.0;
    auto mix = [alpha](double v) {
      return Channel(std::clamp(v, 0.0, 255.0) * alpha + 255.0 * (1.0 - alpha));
    };
    return Rgb(mix((*n)[0]), mix((*n)[1]), mix((*n)[2]));
  }
  static constexpr std::array<std::pair<std::string_view, int32_t>, 10> Named = {{{"white", 0xFFFFFF},
                                                                                  {"black", 0},
                                                                                  {"red", 0x0000FF},
                                                                                  {"green", 0x008000},
                                                                                  {"blue", 0xFF0000},
                                                                                  {"yellow", 0x00FFFF},
                                                                                  {"orange", 0x00A5FF},
                                                                                  {"gray", 0x808080},
                                                                                  {"grey", 0x808080},
                                                                                  {"purple", 0x800080}}};
  for (const auto& [name, colour] : Named) {
    if (t == name) return colour;
  }
  return std::nullopt;
}

std::string ColourText(int32_t colour) {
  return "rgb(" + std::to_string(colour & 0xFF) + ", " + std::to_string((colour >> 8) & 0xFF) + ", " +
         std::to_string((colour >> 16) & 0xFF) + ")";
}

std::optional<std::string> CleanSetPath(std::string_view path) {
  std::string text(path);
  std::replace(text.begin(), text.end(), '\\', '/');
  if (text.empty() || text[0] == '/' || (text.size() > 1 && text[1] == ':')) return std::nullopt;
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('/', start);
    if (end == std::string::npos) end = text.size();
    const std::string part = text.substr(start, end - start);
    // A control character (a line break in a picture's name) has no place in a file name or a board line.
    if (std::any_of(part.begin(), part.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }))
      return std::nullopt;
    if (part == "..") {
      // Climbing is fine while it stays inside the set ("sub/../a.png"); above its top it is refused.
      if (parts.empty()) return std::nullopt;
      parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    start = end + 1;
  }
  if (parts.empty()) return std::nullopt;
  std::string clean = parts.front();
  for (std::size_t i = 1; i < parts.size(); ++i)
    clean += "/" + parts[i];
  return clean;
}

std::string SafeFileStem(std::string_view text) {
  std::string stem;
  for (char c : text) {
    const bool plain =
        (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
    stem += plain ? c : '_';
    if (stem.size() >= 60) break;
  }
  return stem.empty() ? std::string("board") : stem;
}

} // namespace nq::exchange
