#pragma once
// The bytes of one profile file and an index over them: the parsing and editing rules without any
// file I/O, so the reader, the writer and the fuzz target share one implementation.
// Lookups go through hash tables keyed case-insensitively, so a board read of thousands of keys
// costs one parse plus constant-time lookups.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace nq {

class ProfileDocument {
public:
  ProfileDocument() = default;
  /// Takes the file's bytes and indexes them; may throw std::bad_alloc (ProfileFile catches it).
  explicit ProfileDocument(std::string content);

  const std::string& Content() const { return Text; }

  /// The value as the reader sees it (trimmed, outer quotes stripped, cut), or nothing when missing.
  std::optional<std::string> Find(std::string_view section, std::string_view key) const;

  /// The bytes of the document after writing one value: the value replaced in place, or the key
  /// appended to the section's first occurrence, or a new section appended. Nothing when the
  /// names or the value cannot be stored without changing other keys (line breaks, '=' in a key,
  /// ']' in a section name, empty names). May throw std::bad_alloc.
  std::optional<std::string> WithValue(std::string_view section, std::string_view key,
                                       std::string_view value) const;

  struct ValueWrite {
    std::string Section;
    std::string Key;
    std::string Value;
  };
  /// The bytes after many writes in one pass, as if WithValue had been applied for each in turn (a
  /// later write of the same key wins): a whole board is written without parsing it once per key.
  /// Nothing when any write is refused by WithValue's rules. May throw std::bad_alloc.
  std::optional<std::string> WithValues(const std::vector<ValueWrite>& writes) const;

private:
  struct CaseInsensitiveHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const noexcept;
  };
  struct CaseInsensitiveEqual {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const noexcept;
  };
  template <typename T>
  using NameMap = std::unordered_map<std::string, T, CaseInsensitiveHash, CaseInsensitiveEqual>;

  // Byte range of a key's value, blanks around it excluded (quotes included).
  struct ValueRange {
    std::size_t Start = 0;
    std::size_t End = 0;
  };
  struct Section {
    // Where a new key goes: after the last non-blank line of the section's first occurrence.
    std::size_t InsertAt = 0;
    // True when that line is the last of the file and has no line ending.
    bool InsertNeedsLineBreak = false;
    NameMap<ValueRange> Keys;
  };

  void Parse();
  void ParseLine(std::size_t start, std::size_t end, bool hasLineEnd, Section*& current);
  const ValueRange* Locate(std::string_view section, std::string_view key) const;

  std::string Text;
  std::string LineBreak = "\r\n";
  NameMap<Section> Sections;
};

} // namespace nq
