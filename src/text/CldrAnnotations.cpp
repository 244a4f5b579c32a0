#include "text/CldrAnnotations.h"

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "text/Encoding.h"

namespace nq {
namespace {

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Replaces the XML entities CLDR uses (&amp; &lt; &gt; &quot; &apos; and numeric ones).
std::string DecodeEntities(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '&') {
      out += text[i];
      continue;
    }
    const size_t end = text.find(';', i);
    if (end == std::string_view::npos || end - i > 10) {
      out += '&';
      continue;
    }
    const std::string_view name = text.substr(i + 1, end - i - 1);
    if (name == "amp")
      out += '&';
    else if (name == "lt")
      out += '<';
    else if (name == "gt")
      out += '>';
    else if (name == "quot")
      out += '"';
    else if (name == "apos")
      out += '\'';
    else if (name.size() > 1 && name[0] == '#') {
      const bool hex = name[1] == 'x' || name[1] == 'X';
      uint32_t cp = 0;
      for (char c : name.substr(hex ? 2 : 1)) {
        const int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                          : hex && std::isxdigit(static_cast<unsigned char>(c))
                              ? (std::tolower(static_cast<unsigned char>(c)) - 'a' + 10)
                              : -1;
        if (digit < 0 || cp > 0x10FFFF) break;
        cp = cp * (hex ? 16 : 10) + static_cast<uint32_t>(digit);
      }
      if (cp <= 0x10FFFF) AppendUtf8(out, cp);
    } else {
      out += '&';
      continue;
    }
    i = end;
  }
  return out;
}

} // namespace

std::string WithoutVariationSelectors(std::string_view utf8) {
  std::string out(utf8);
  static constexpr std::string_view Selector = "\xEF\xB8\x8F"; // U+FE0F
  for (size_t at = out.find(Selector); at != std::string::npos; at = out.find(Selector, at))
    out.erase(at, Selector.size());
  return out;
}

std::map<std::string, CldrNames> ReadCldrAnnotations(std::string_view xml) {
  std::map<std::string, CldrNames> names;
  static constexpr std::string_view Open = "<annotation cp=\"";
  for (size_t at = xml.find(Open); at != std::string_view::npos; at = xml.find(Open, at)) {
    at += Open.size();
    const size_t quote = xml.find('"', at);
    const size_t close = xml.find('>', at);
    const size_t end = xml.find("</annotation>", at);
    if (quote == std::string_view::npos || close == std::string_view::npos || end == std::string_view::npos ||
        quote > close || close > end)
      continue;
    const std::string key = WithoutVariationSelectors(DecodeEntities(xml.substr(at, quote - at)));
    const bool tts = xml.substr(quote, close - quote).find("type=\"tts\"") != std::string_view::npos;
    const std::string value = DecodeEntities(xml.substr(close + 1, end - close - 1));
    CldrNames& entry = names[key];
    if (tts)
      entry.Name = value;
    else
      entry.Keywords = KeywordList(value);
    at = end;
  }
  return names;
}

std::map<std::string, CldrNames> ReadCldrLanguage(const std::string& cldrFolder, std::string_view code) {
  std::map<std::string, CldrNames> names;
  // A language code comes from a board file: only letters, digits and "_" make a file name of it.
  if (cldrFolder.empty() || code.empty() ||
      code.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_") !=
          std::string_view::npos)
    return names;
  const std::filesystem::path common = std::filesystem::path(cldrFolder) / "common";
  const std::string file = std::string(code) + ".xml";
  names = ReadCldrAnnotations(ReadFile(common / "annotations" / file));
  for (auto& [key, value] : ReadCldrAnnotations(ReadFile(common / "annotationsDerived" / file)))
    names.emplace(key, std::move(value));
  return names;
}

std::string KeywordList(std::string_view text) {

  std::string out;
  while (!text.empty()) {
    const size_t bar = text.find('|');
    std::string_view item = text.substr(0, bar);
    while (!item.empty() && item.front() == ' ')
      item.remove_prefix(1);
    while (!item.empty() && item.back() == ' ')
      item.remove_suffix(1);
    if (!item.empty()) {
      if (!out.empty()) out += '|';
      out += item;
    }
    if (bar == std::string_view::npos) break;
    text.remove_prefix(bar + 1);
  }
  return out;
}

std::string DefaultCldrFolder() {
  const char* folder = std::getenv("NEXOQUADRIX_CLDR_DIR");
  return folder && *folder ? folder : "/usr/share/unicode/cldr";
}

} // namespace nq
