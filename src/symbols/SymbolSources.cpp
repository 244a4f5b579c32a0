#include "symbols/SymbolSources.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>
#include <system_error>

#include <nlohmann/json.hpp>

#include "text/Encoding.h"

namespace nq::symbols {
namespace fs = std::filesystem;
namespace {

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// "1F468-200D-1F373" -> the emoji's characters; empty for a malformed code.
std::string FromHexCode(std::string_view code) {
  std::string out;
  while (!code.empty()) {
    const size_t dash = code.find('-');
    const std::string_view part = code.substr(0, dash);
    uint32_t cp = 0;
    if (part.empty() || part.size() > 6) return {};
    for (char c : part) {
      if (!std::isxdigit(static_cast<unsigned char>(c))) return {};
      cp = cp * 16 + static_cast<uint32_t>(
                         std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : std::toupper(c) - 'A' + 10);
    }
    if (cp > 0x10FFFF) return {};
    AppendUtf8(out, cp);
    if (dash == std::string_view::npos) break;
    code.remove_prefix(dash + 1);
  }
  return out;
}

// Pictographs only: CLDR also names letters, punctuation and mathematical signs, which are no symbols
// for a board.
bool IsPictograph(std::string_view text) {
  size_t at = 0;
  const char32_t cp = text.empty() ? 0 : NextCodePoint(text, at);
  return cp >= 0x1F000 || (cp >= 0x2600 && cp <= 0x27BF) || (cp >= 0x2B00 && cp <= 0x2BFF);
}

using CldrLanguage = std::map<std::string, CldrNames>;

// Adds the keywords of list that keywords lacks.
void MergeKeywords(std::string& keywords, std::string_view list) {
  std::vector<std::string_view> known;
  for (std::string_view rest = keywords; !rest.empty();) {
    const size_t bar = rest.find('|');
    known.push_back(rest.substr(0, bar));
    rest = bar == std::string_view::npos ? std::string_view() : rest.substr(bar + 1);
  }
  std::string added;
  for (std::string_view rest = list; !rest.empty();) {
    const size_t bar = rest.find('|');
    const std::string_view keyword = rest.substr(0, bar);
    if (std::find(known.begin(), known.end(), keyword) == known.end())
      added += (added.empty() ? "" : "|") + std::string(keyword);
    rest = bar == std::string_view::npos ? std::string_view() : rest.substr(bar + 1);
  }
  if (!added.empty()) keywords += (keywords.empty() ? "" : "|") + added;
}

// The annotations of one language, with the derived ones (sequences, skin tones) added where the
// plain file has none, and the keywords of the language's regional file (Latin American Spanish
// knows "gracias" and "contento" for emoji Spain's file leaves without them).
CldrLanguage ReadLanguage(const std::string& cldrFolder, std::string_view code) {
  CldrLanguage names = ReadCldrLanguage(cldrFolder, code);
  if (const std::string regional = RegionalAnnotations(code); !cldrFolder.empty() && !regional.empty())
    for (const auto& [key, value] :
         ReadCldrAnnotations(ReadFile(fs::path(cldrFolder) / "common" / "annotations" / regional))) {
      const auto found = names.find(key);
      if (found != names.end()) MergeKeywords(found->second.Keywords, value.Keywords);
    }
  return names;
}

constexpr std::string_view LanguageCodes[] = {"ca", "es", "en"};
constexpr size_t English = 2;

bool IsSkinTone(char32_t cp) {
  return cp >= 0x1F3FB && cp <= 0x1F3FF;
}

void AddKeywords(std::string& list, std::string_view more) {
  if (more.empty()) return;
  if (!list.empty()) list += '|';
  list += more;
}

// A person with skin tones CLDR does not list yet, named as CLDR names the others: "noi: pell fosca",
// from the name of the emoji without its tones and the names of the tones.
std::optional<CldrNames> WithSkinTones(const CldrLanguage& names, std::string_view key) {
  std::string base;
  std::vector<std::string> tones;
  size_t at = 0;
  while (at < key.size()) {
    const size_t from = at;
    const char32_t cp = NextCodePoint(key, at);
    if (!IsSkinTone(cp)) {
      base.append(key.substr(from, at - from));
      continue;
    }
    const auto tone = names.find(std::string(key.substr(from, at - from)));
    if (tone == names.end() || tone->second.Name.empty()) return std::nullopt;
    if (std::find(tones.begin(), tones.end(), tone->second.Name) == tones.end())
      tones.push_back(tone->second.Name);
  }
  const auto found = names.find(base);
  if (tones.empty() || found == names.end() || found->second.Name.empty()) return std::nullopt;
  CldrNames toned{found->second.Name + ":", found->second.Keywords};
  for (size_t k = 0; k < tones.size(); ++k) {
    toned.Name += (k ? ", " : " ") + tones[k];
    AddKeywords(toned.Keywords, tones[k]);
  }
  return toned;
}

// The names of the emoji a sequence joins ("🫙‍🟥": "pot|quadrat vermell"), those CLDR names.
std::string PartNames(const CldrLanguage& names, std::string_view key) {
  std::vector<std::string> parts;
  std::string part;
  const auto flush = [&] {
    const auto found = names.find(part);
    if (found != names.end() && !found->second.Name.empty() &&
        std::find(parts.begin(), parts.end(), found->second.Name) == parts.end())
      parts.push_back(found->second.Name);
    part.clear();
  };
  size_t at = 0;
  while (at < key.size()) {
    const size_t from = at;
    const char32_t cp = NextCodePoint(key, at);
    if (cp == 0x200D)
      flush();
    else if (!IsSkinTone(cp))
      part.append(key.substr(from, at - from));
  }
  flush();
  std::string list;
  for (const std::string& name : parts)
    AddKeywords(list, name);
  return list;
}

bool IsPictureFile(const fs::path& path) {
  std::string extension = path.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension == ".png" || extension == ".jpg" || extension == ".jpeg" || extension == ".bmp" ||
         extension == ".gif" || extension == ".svg";
}

// "GatNegre" -> "Gat Negre": file names written without blanks keep their words apart by capitals.
std::string SplitCamelCase(std::string_view name) {
  std::string out;
  for (size_t i = 0; i < name.size(); ++i) {
    const bool upper = std::isupper(static_cast<unsigned char>(name[i]));
    if (upper && i > 0 && std::islower(static_cast<unsigned char>(name[i - 1]))) out += ' ';
    out += name[i];
  }
  return out;
}

// "file<TAB>words" lines of a folder's keyword file, by file name.
std::map<std::string, std::string> ReadKeywordFile(const fs::path& folder) {
  std::map<std::string, std::string> words;
  std::istringstream lines(ReadFile(folder / "keywords.txt"));
  std::string line;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t tab = line.find('\t');
    if (tab == std::string::npos || tab == 0) continue;
    std::string& list = words[line.substr(0, tab)];
    if (!list.empty()) list += '|';
    list += line.substr(tab + 1);
  }
  return words;
}

} // namespace

std::string RegionalAnnotations(std::string_view languageCode) {
  return languageCode == "es" ? "es_419.xml" : "";
}

std::vector<Symbol> ReadBuiltInSymbols(const BuiltInFiles& files) {
  std::array<CldrLanguage, 3> cldr;
  for (size_t k = 0; k < 3; ++k)
    cldr[k] = ReadLanguage(files.CldrFolder, LanguageCodes[k]);

  std::vector<Symbol> symbols;
  std::set<std::string> drawn;
  if (!files.PictogramFolder.empty()) {
    const fs::path folder(files.PictogramFolder);
    nlohmann::json data = nlohmann::json::parse(ReadFile(folder / "data" / "openmoji.json"), nullptr, false);
    if (data.is_array()) {
      for (const nlohmann::json& item : data) {
        if (!item.is_object()) continue;
        const std::string hex = item.value("hexcode", "");
        const fs::path svg = folder / "color" / "svg" / (hex + ".svg");
        std::error_code error;
        if (hex.empty() || !fs::is_regular_file(svg, error)) continue;
        Symbol symbol;
        symbol.Text = FromHexCode(hex);
        symbol.Picture = svg.string();
        const std::string key = WithoutVariationSelectors(symbol.Text);
        std::string ownKeywords = KeywordList(item.value("tags", ""));
        const std::string extraTags = KeywordList(item.value("openmoji_tags", ""));
        if (!extraTags.empty()) ownKeywords += (ownKeywords.empty() ? "" : "|") + extraTags;
        for (size_t k = 0; k < 3; ++k) {
          const auto found = cldr[k].find(key);
          if (found != cldr[k].end() && !found->second.Name.empty()) {
            symbol.Names[k] = found->second.Name;
            symbol.Keywords[k] = found->second.Keywords;
          } else if (const std::optional<CldrNames> toned = WithSkinTones(cldr[k], key)) {
            symbol.Names[k] = toned->Name;
            symbol.Keywords[k] = toned->Keywords;
          } else {
            // The pictograms beyond Unicode keep the names of their own data file, with the names of
            // the emoji they are made of where there are any ("jar with red content": jar, red square).
            symbol.Names[k] = item.value("annotation", "");
            symbol.Keywords[k] = ownKeywords;
            if (k != English) {
              symbol.Untranslated[k] = true;
              AddKeywords(symbol.Keywords[k], PartNames(cldr[k], key));
            }
          }
        }
        drawn.insert(key);
        symbols.push_back(std::move(symbol));
      }
    }
  }
  // Emoji that CLDR names and no pictogram draws: the colour emoji font stands in.
  for (const auto& [key, english] : cldr[2]) {
    if (drawn.count(key) || english.Name.empty() || !IsPictograph(key)) continue;
    Symbol symbol;
    symbol.Source = SymbolSource::EmojiFont;
    symbol.Text = key;
    for (size_t k = 0; k < 3; ++k) {
      const auto found = cldr[k].find(key);
      const bool named = found != cldr[k].end() && !found->second.Name.empty();
      const CldrNames& names = named ? found->second : english;
      symbol.Names[k] = names.Name;
      symbol.Keywords[k] = names.Keywords;
      symbol.Untranslated[k] = !named && k != English;
    }
    symbols.push_back(std::move(symbol));
  }
  return symbols;
}

std::vector<Symbol> ReadPictureFolder(const std::string& folder) {
  std::vector<Symbol> symbols;
  std::error_code error;
  const fs::path top(folder);
  std::map<fs::path, std::map<std::string, std::string>> keywordFiles;
  for (fs::recursive_directory_iterator it(top, fs::directory_options::skip_permission_denied, error), end;
       it != end && !error; it.increment(error)) {
    if (!it->is_regular_file(error) || !IsPictureFile(it->path())) continue;
    const fs::path& path = it->path();
    Symbol symbol;
    symbol.Source = SymbolSource::UserFolder;
    symbol.Picture = path.string();
    std::string keywords;
    for (fs::path up = path.parent_path(); up != top && up.has_relative_path() && up != up.parent_path();
         up = up.parent_path()) {
      if (!keywords.empty()) keywords += '|';
      keywords += up.filename().string();
    }
    auto known = keywordFiles.find(path.parent_path());
    if (known == keywordFiles.end())
      known = keywordFiles.emplace(path.parent_path(), ReadKeywordFile(path.parent_path())).first;
    const auto extra = known->second.find(path.filename().string());
    if (extra != known->second.end()) keywords += (keywords.empty() ? "" : "|") + extra->second;
    const std::string stem = path.stem().string();
    if (const std::string split = SplitCamelCase(stem); split != stem)
      keywords += (keywords.empty() ? "" : "|") + split;
    symbol.Names.fill(stem);
    symbol.Keywords.fill(keywords);
    symbols.push_back(std::move(symbol));
  }
  // Directory order is the file system's: sort so that equal results always come in one order.
  std::sort(symbols.begin(), symbols.end(),
            [](const Symbol& a, const Symbol& b) { return a.Picture < b.Picture; });
  return symbols;
}

std::string FolderSignature(const std::string& folder) {
  std::string signature;
  std::error_code error;
  const auto stamp = [&](const fs::path& path) {
    const auto time = fs::last_write_time(path, error);
    if (error) return;
    signature += path.string();
    signature += '@';
    signature += std::to_string(time.time_since_epoch().count());
    signature += '\n';
  };
  stamp(folder);
  for (fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, error), end;
       it != end && !error; it.increment(error)) {
    if (it->is_directory(error) || it->path().filename() == "keywords.txt") stamp(it->path());
  }
  return signature;
}

} // namespace nq::symbols
