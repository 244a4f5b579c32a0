#include "settings/ProfileDocument.h"

#include "settings/ProfileFile.h"

#include <algorithm>

namespace nq {

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back()))
    text.remove_suffix(1);
  return text;
}

bool HasLineBreak(std::string_view text) {
  return text.find_first_of("\r\n") != std::string_view::npos;
}

// A value that the reader would change (outer blanks trimmed, one pair of outer quotes stripped)
// is written inside double quotes, so it reads back exactly as written.
bool NeedsQuotes(std::string_view value) {
  if (value.empty()) return false;
  if (IsBlank(value.front()) || IsBlank(value.back())) return true;
  return value.size() >= 2 && value.front() == value.back() &&
         (value.front() == '"' || value.front() == '\'');
}

std::string EncodeValue(std::string_view value) {
  if (!NeedsQuotes(value)) return std::string(value);
  std::string quoted;
  quoted.reserve(value.size() + 2);
  quoted.append("\"").append(value).append("\"");
  return quoted;
}

std::string KeyLine(std::string_view key, std::string_view value) {
  std::string line(key);
  line.append("=").append(EncodeValue(value));
  return line;
}

} // namespace

std::size_t ProfileDocument::CaseInsensitiveHash::operator()(std::string_view text) const noexcept {
  // FNV-1a over the lower-cased bytes.
  std::size_t hash = 1469598103934665603ull;
  for (char c : text) {
    hash ^= static_cast<unsigned char>(LowerAscii(c));
    hash *= 1099511628211ull;
  }
  return hash;
}

bool ProfileDocument::CaseInsensitiveEqual::operator()(std::string_view a,
                                                       std::string_view b) const noexcept {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  return true;
}

ProfileDocument::ProfileDocument(std::string content) : Text(std::move(content)) {
  Parse();
}

void ProfileDocument::Parse() {
  Sections.clear();
  LineBreak = "\r\n";
  bool lineBreakSeen = false;
  Section* current = nullptr;
  std::size_t start = 0;
  const std::size_t size = Text.size();
  while (start < size) {
    std::size_t end = start;
    while (end < size && Text[end] != '\r' && Text[end] != '\n')
      ++end;
    std::size_t next = end;
    if (end < size) {
      const bool crlf = Text[end] == '\r' && end + 1 < size && Text[end + 1] == '\n';
      next = end + (crlf ? 2 : 1);
      if (!lineBreakSeen) {
        // New lines follow the file's own convention, taken from its first line ending.
        LineBreak = Text.substr(end, next - end);
        lineBreakSeen = true;
      }
    }
    ParseLine(start, end, end < size, current);
    start = next;
  }
}

void ProfileDocument::ParseLine(std::size_t start, std::size_t end, bool hasLineEnd, Section*& current) {
  const std::string_view line = Trim(std::string_view(Text).substr(start, end - start));
  if (line.empty()) return;
  const std::size_t close = line.front() == '[' ? line.rfind(']') : std::string_view::npos;
  if (close != std::string_view::npos) {
    const std::string_view name = Trim(line.substr(1, close - 1));
    // Only the first occurrence of a section name is searched; later ones are skipped whole.
    const auto [it, inserted] = Sections.try_emplace(std::string(name));
    current = inserted ? &it->second : nullptr;
  } else if (current != nullptr && line.front() != '[') {
    const std::size_t equals = line.find('=');
    if (equals != std::string_view::npos) {
      const std::string_view key = Trim(line.substr(0, equals));
      const std::string_view rawValue = line.substr(equals + 1);
      const std::string_view value = Trim(rawValue);
      const std::size_t lineOffset = static_cast<std::size_t>(line.data() - Text.data());
      ValueRange range;
      range.Start =
          value.empty() ? lineOffset + equals + 1 : static_cast<std::size_t>(value.data() - Text.data());
      range.End = range.Start + value.size();
      if (!key.empty()) current->Keys.try_emplace(std::string(key), range); // the first key wins
    }
  }
  if (current != nullptr) {
    // A mixed-ending file's line may end differently from LineBreak; step over its real ending.
    std::size_t after = end;
    if (hasLineEnd)
      after = (Text[end] == '\r' && end + 1 < Text.size() && Text[end + 1] == '\n') ? end + 2 : end + 1;
    current->InsertAt = after;
    current->InsertNeedsLineBreak = !hasLineEnd;
  }
}

const ProfileDocument::ValueRange* ProfileDocument::Locate(std::string_view section,
                                                           std::string_view key) const {
  const auto sectionIt = Sections.find(Trim(section));
  if (sectionIt == Sections.end()) return nullptr;
  const auto keyIt = sectionIt->second.Keys.find(Trim(key));
  return keyIt == sectionIt->second.Keys.end() ? nullptr : &keyIt->second;
}

std::optional<std::string> ProfileDocument::Find(std::string_view section, std::string_view key) const {
  const ValueRange* range = Locate(section, key);
  if (range == nullptr) return std::nullopt;
  std::string_view value = std::string_view(Text).substr(range->Start, range->End - range->Start);
  if (value.size() >= 2 && value.front() == value.back() && (value.front() == '"' || value.front() == '\''))
    value = value.substr(1, value.size() - 2);
  return std::string(value.substr(0, MaxProfileText));
}

namespace {

// Names and values that cannot be stored without changing other keys (see WithValue).
bool IsRefusedWrite(std::string_view section, std::string_view key, std::string_view value) {
  return section.empty() || key.empty() || HasLineBreak(section) || HasLineBreak(key) ||
         HasLineBreak(value) || section.find(']') != std::string_view::npos ||
         key.find('=') != std::string_view::npos || key.front() == '[';
}

} // namespace

std::optional<std::string> ProfileDocument::WithValue(std::string_view section, std::string_view key,
                                                      std::string_view value) const {
  section = Trim(section);
  key = Trim(key);
  if (IsRefusedWrite(section, key, value)) return std::nullopt;

  std::string result;
  if (const ValueRange* range = Locate(section, key)) {
    const std::string encoded = EncodeValue(value);
    result.reserve(Text.size() + encoded.size());
    result.append(Text, 0, range->Start).append(encoded).append(Text, range->End, std::string::npos);
    return result;
  }
  const auto sectionIt = Sections.find(section);
  if (sectionIt != Sections.end()) {
    const Section& found = sectionIt->second;
    result.reserve(Text.size() + key.size() + value.size() + 8);
    result.append(Text, 0, found.InsertAt);
    if (found.InsertNeedsLineBreak)
      result.append(LineBreak).append(KeyLine(key, value));
    else
      result.append(KeyLine(key, value)).append(LineBreak);
    result.append(Text, found.InsertAt, std::string::npos);
    return result;
  }
  result.reserve(Text.size() + section.size() + key.size() + value.size() + 12);
  result = Text;
  if (!result.empty() && result.back() != '\n' && result.back() != '\r') result.append(LineBreak);
  result.append("[").append(section).append("]").append(LineBreak);
  result.append(KeyLine(key, value)).append(LineBreak);
  return result;
}

std::optional<std::string> ProfileDocument::WithValues(const std::vector<ValueWrite>& writes) const {
  // One entry per key, at the place of its first write, with the value of its last.
  struct Pending {
    std::string_view Section;
    std::string_view Key;
    std::string_view Value;
  };
  std::vector<Pending> pending;
  NameMap<NameMap<std::size_t>> seen;
  for (const ValueWrite& write : writes) {
    const std::string_view section = Trim(write.Section);
    const std::string_view key = Trim(write.Key);
    if (IsRefusedWrite(section, key, write.Value)) return std::nullopt;
    auto& keys = seen[std::string(section)];
    const auto [it, inserted] = keys.try_emplace(std::string(key), pending.size());
    if (inserted)
      pending.push_back({section, key, write.Value});
    else
      pending[it->second].Value = write.Value;
  }

  // Edits of the existing text, applied in order of position; a replacement goes before an
  // insertion at the same place (an empty value on the file's last line).
  struct Edit {
    std::size_t At = 0;
    std::size_t Removed = 0;
    int Order = 0;
    std::string Text;
  };
  std::vector<Edit> edits;
  std::vector<std::pair<std::string_view, std::vector<const Pending*>>> newSections;
  NameMap<std::size_t> newSectionIndex;
  for (const Pending& write : pending) {
    if (const ValueRange* range = Locate(write.Section, write.Key)) {
      edits.push_back({range->Start, range->End - range->Start, 0, EncodeValue(write.Value)});
    } else if (const auto sectionIt = Sections.find(write.Section); sectionIt != Sections.end()) {
      const Section& found = sectionIt->second;
      const std::string line = KeyLine(write.Key, write.Value);
      edits.push_back(
          {found.InsertAt, 0, 1, found.InsertNeedsLineBreak ? LineBreak + line : line + LineBreak});
    } else {
      const auto [it, inserted] = newSectionIndex.try_emplace(std::string(write.Section), newSections.size());
      if (inserted) newSections.push_back({write.Section, {}});
      newSections[it->second].second.push_back(&write);
    }
  }
  std::stable_sort(edits.begin(), edits.end(), [](const Edit& a, const Edit& b) {
    return a.At != b.At ? a.At < b.At : a.Order < b.Order;
  });

  std::string result;
  result.reserve(Text.size() + 64 * pending.size());
  std::size_t cursor = 0;
  for (const Edit& edit : edits) {
    result.append(Text, cursor, edit.At - cursor).append(edit.Text);
    cursor = edit.At + edit.Removed;
  }
  result.append(Text, cursor, std::string::npos);
  for (const auto& [section, keys] : newSections) {
    if (!result.empty() && result.back() != '\n' && result.back() != '\r') result.append(LineBreak);
    result.append("[").append(section).append("]").append(LineBreak);
    for (const Pending* write : keys)
      result.append(KeyLine(write->Key, write->Value)).append(LineBreak);
  }
  return result;
}

} // namespace nq
