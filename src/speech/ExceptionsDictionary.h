#pragma once
// The exceptions dictionary: pairs of a word and the text to say instead, applied to every text just
// before it reaches a voice. Switched on by loading a file with at least one entry; the state and the
// file name live in the program settings so that a dictionary in use comes back at the next start.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace nq {

class Dialogs;
class SettingsStore;

struct DictionaryEntry {
  std::string Word;        // never empty, no blanks
  std::string Replacement; // never empty, no blanks
};

inline constexpr std::size_t MaxDictionaryEntries = 1000;
// A rewrite never lets a text grow past this size, so a hostile dictionary cannot exhaust memory.
inline constexpr std::size_t MaxRewrittenTextBytes = 64u << 10;
// The longest dictionary file read; what follows is ignored like lines past the table's end.
inline constexpr std::size_t MaxDictionaryFileBytes = 16u << 20;

/// The 1-based position of a line's separator (first blank, else ",", else ";", else tab), or 0.
std::size_t FindEntrySeparator(std::string_view line);

/// Rewrites every whole-word occurrence of word (ASCII letters folded) by replacement.
void ReplaceWholeWord(std::string& text, const std::string& word, const std::string& replacement);

/// The usable entries of a dictionary file's text, in file order, at most MaxDictionaryEntries.
std::vector<DictionaryEntry> ParseDictionaryText(std::string_view text);

class ExceptionsDictionary {
public:
  /// programFolder (Windows-1252, with trailing separator) is where the file dialog starts.
  ExceptionsDictionary(SettingsStore& settings, Dialogs& dialogs, std::string programFolder);

  /// Start-up: loads the stored dictionary when the settings say one is in use.
  void FormCreate();
  /// Replaces the table with the file's entries, sets the on/off state and stores the settings.
  void LoadExceptionsDictionary(const std::string& path);
  /// Rewrites the text in place; does nothing when the dictionary is off or empty.
  void ApplyExceptionsDictionary(std::string& text) const;
  /// Asks for a file and loads it when confirmed; returns whether a dictionary is on afterwards.
  bool ChooseExceptionsDictionary();
  /// Switches the dictionary off for the rest of the run without touching the settings.
  void SwitchOff() { DictionaryOn = false; }

  bool IsOn() const { return DictionaryOn; }
  const std::vector<DictionaryEntry>& Entries() const { return Table; }
  const std::string& FileName() const { return DictionaryFileName; }

private:
  SettingsStore& Settings;
  Dialogs& DialogsRef;
  std::string ProgramFolder;
  std::vector<DictionaryEntry> Table;
  bool DictionaryOn = false;
  std::string DictionaryFileName;
};

} // namespace nq
