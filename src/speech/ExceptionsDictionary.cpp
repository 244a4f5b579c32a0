#include "speech/ExceptionsDictionary.h"

#include <fstream>
#include <optional>

#include "platform/Dialogs.h"
#include "settings/SettingsStore.h"
#include "text/Encoding.h"
#include "text/TextUtilities.h"

namespace nq {

namespace {

constexpr const char* DictionarySection = "FormDiccionariExcepcions";
constexpr const char* InUseKey = "HiHaDiccionariExcepcions";
constexpr const char* FileNameKey = "NomFitxerDiccionariExcepcions";
// Enough for any real text; it only stops an entry that keeps rewriting its own output.
constexpr std::size_t MaxRewritesPerEntry = 4096;

bool IsBoundary(char c) {
  return c == ' ' || c == '.' || c == ',' || c == ';';
}

char FoldAscii(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// The first occurrence at or after start that stands between boundaries, or npos.
std::size_t FindWholeWord(std::string_view text, std::string_view word, std::size_t start) {
  if (word.empty() || text.size() < word.size()) return std::string_view::npos;
  for (std::size_t j = start; j + word.size() <= text.size(); ++j) {
    if (j > 0 && !IsBoundary(text[j - 1])) continue;
    const std::size_t end = j + word.size();
    if (end < text.size() && !IsBoundary(text[end])) continue;
    bool same = true;
    for (std::size_t k = 0; k < word.size() && same; ++k)
      same = FoldAscii(text[j + k]) == FoldAscii(word[k]);
    if (same) return j;
  }
  return std::string_view::npos;
}

std::optional<std::string> ReadFileText(const std::string& utf8Path) {
  std::ifstream in(utf8Path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string text(MaxDictionaryFileBytes, '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  if (in.bad()) return std::nullopt;
  text.resize(static_cast<std::size_t>(in.gcount()));
  return text;
}

} // namespace

std::size_t FindEntrySeparator(std::string_view line) {
  for (char separator : {' ', ',', ';', '\t'}) {
    const std::size_t at = line.find(separator);
    if (at != std::string_view::npos) return at + 1;
  }
  return 0;
}

void ReplaceWholeWord(std::string& text, const std::string& word, const std::string& replacement) {
  if (word.empty()) return;
  // A replacement that holds its own word would be found again for ever: such an entry resumes
  // after what it inserted. Every other entry rescans as if from the start: an occurrence ending
  // before the rewritten place lies in text already scanned, so the rescan may begin one word back.
  const bool resumeAfterReplacement = FindWholeWord(replacement, word, 0) != std::string_view::npos;
  std::size_t start = 0;
  for (std::size_t rewrites = 0; rewrites < MaxRewritesPerEntry; ++rewrites) {
    const std::size_t at = FindWholeWord(text, word, start);
    if (at == std::string_view::npos) return;
    if (text.size() - word.size() + replacement.size() > MaxRewrittenTextBytes) return;
    text.replace(at, word.size(), replacement);
    start = resumeAfterReplacement ? at + replacement.size() : (at > word.size() ? at - word.size() : 0);
  }
}

std::vector<DictionaryEntry> ParseDictionaryText(std::string_view text) {
  std::vector<DictionaryEntry> entries;
  std::size_t pos = 0;
  while (pos < text.size() && entries.size() < MaxDictionaryEntries) {
    std::size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(pos, end - pos);
    pos = end;
    if (pos < text.size() && text[pos] == '\r') ++pos;
    if (pos < text.size() && text[pos] == '\n') ++pos;

    const std::size_t separator = FindEntrySeparator(line);
    if (line.empty() || separator == 0) continue;
    DictionaryEntry entry{std::string(line.substr(0, separator - 1)), std::string(line.substr(separator))};
    RemoveBlanks(entry.Word);
    RemoveBlanks(entry.Replacement);
    if (!entry.Word.empty() && !entry.Replacement.empty()) entries.push_back(std::move(entry));
  }
  return entries;
}

ExceptionsDictionary::ExceptionsDictionary(SettingsStore& settings, Dialogs& dialogs,
                                           std::string programFolder)
    : Settings(settings), DialogsRef(dialogs), ProgramFolder(std::move(programFolder)) {}

void ExceptionsDictionary::FormCreate() {
  DictionaryOn = false;
  if (Settings.ReadSettingText(DictionarySection, InUseKey, "NO") != "SI") return;
  DictionaryFileName = Settings.ReadSettingText(DictionarySection, FileNameKey, "");
  if (!DictionaryFileName.empty()) LoadExceptionsDictionary(DictionaryFileName);
}

void ExceptionsDictionary::LoadExceptionsDictionary(const std::string& path) {
  Table.clear();
  DictionaryOn = false;
  const std::optional<std::string> text = ReadFileText(Windows1252ToUtf8(path));
  if (!text) {
    // A file that cannot be read now (a removed stick) is tried again at the next start.
    Settings.WriteSettingText(DictionarySection, InUseKey, "SI");
    Settings.WriteSettingText(DictionarySection, FileNameKey, DictionaryFileName);
    return;
  }
  Table = ParseDictionaryText(*text);
  if (!Table.empty()) {
    DictionaryOn = true;
    DictionaryFileName = path;
  }
  Settings.WriteSettingText(DictionarySection, InUseKey, DictionaryOn ? "SI" : "NO");
  Settings.WriteSettingText(DictionarySection, FileNameKey, DictionaryOn ? DictionaryFileName : "");
}

void ExceptionsDictionary::ApplyExceptionsDictionary(std::string& text) const {
  if (!DictionaryOn) return;
  for (const DictionaryEntry& entry : Table)
    if (!entry.Word.empty() && !entry.Replacement.empty())
      ReplaceWholeWord(text, entry.Word, entry.Replacement);
}

bool ExceptionsDictionary::ChooseExceptionsDictionary() {
  const std::optional<std::string> chosen = DialogsRef.ChooseFileToOpen(
      "QUADRIX - Obrir diccionari d'excepcions", "TXT (*.txt)|*.txt|Tot tipus de fitxers (*.*)|*.*", "txt",
      ProgramFolder, "");
  if (chosen) LoadExceptionsDictionary(*chosen);
  return DictionaryOn;
}

} // namespace nq
