#include "authoring/BoardKeys.h"

#include <optional>

#include "settings/ProfileFile.h"

namespace nq::authoring {
namespace {

template <typename Target>
BoardKey<Target> TextKey(std::string section, std::string key, std::string def,
                         std::function<std::string&(Target&)> text) {
  BoardKey<Target> k;
  k.Section = std::move(section);
  k.Key = std::move(key);
  k.Kind = KeyKind::Text;
  k.TextDefault = std::move(def);
  k.Text = std::move(text);
  return k;
}

template <typename Target, typename Value>
BoardKey<Target> NumberKey(std::string section, std::string key, KeyKind kind, int32_t def,
                           std::function<Value&(Target&)> field) {
  BoardKey<Target> k;
  k.Section = std::move(section);
  k.Key = std::move(key);
  k.Kind = kind;
  k.NumberDefault = def;
  k.Get = [field](const Target& t) { return static_cast<int64_t>(field(const_cast<Target&>(t))); };
  k.Set = [field, kind](Target& t, int32_t v) {
    if constexpr (std::is_same_v<Value, bool>)
      field(t) = v != 0;
    else
      field(t) = static_cast<Value>(v);
    (void)kind;
  };
  return k;
}

// The nine keys of one font, in the order the reader takes them.
template <typename Target>
void AddFont(std::vector<BoardKey<Target>>& keys, const std::string& section, const std::string& prefix,
             FontSpec Target::*font) {
  auto f = [font](Target& t) -> FontSpec& { return t.*font; };
  keys.push_back(NumberKey<Target, uint8_t>(section, prefix + "Charset", KeyKind::Byte, 0,
                                            [f](Target& t) -> uint8_t& { return f(t).Charset; }));
  keys.push_back(NumberKey<Target, int32_t>(section, prefix + "Color", KeyKind::Number, 0,
                                            [f](Target& t) -> int32_t& { return f(t).Colour; }));
  keys.push_back(NumberKey<Target, int32_t>(section, prefix + "Height", KeyKind::Number, 0,
                                            [f](Target& t) -> int32_t& { return f(t).Height; }));
  keys.push_back(TextKey<Target>(section, prefix + "Name", "Arial",
                                 [f](Target& t) -> std::string& { return f(t).Name; }));
  keys.push_back(NumberKey<Target, int32_t>(section, prefix + "Size", KeyKind::Number, 0,
                                            [f](Target& t) -> int32_t& { return f(t).Size; }));
  keys.push_back(NumberKey<Target, bool>(section, prefix + "fsBold", KeyKind::Flag, 0,
                                         [f](Target& t) -> bool& { return f(t).Bold; }));
  keys.push_back(NumberKey<Target, bool>(section, prefix + "fsItalic", KeyKind::Flag, 0,
                                         [f](Target& t) -> bool& { return f(t).Italic; }));
  keys.push_back(NumberKey<Target, bool>(section, prefix + "fsUnderline", KeyKind::Flag, 0,
                                         [f](Target& t) -> bool& { return f(t).Underline; }));
  keys.push_back(NumberKey<Target, bool>(section, prefix + "fsStrikeOut", KeyKind::Flag, 0,
                                         [f](Target& t) -> bool& { return f(t).StrikeOut; }));
}

template <typename Value> auto Member(Value Board::*member) {
  return std::function<Value&(Board&)>([member](Board& b) -> Value& { return b.*member; });
}

// What the reader makes of a stored value, as the number the field holds.
int64_t StoredNumber(KeyKind kind, const std::optional<std::string>& stored, int32_t def) {
  const int32_t value = stored ? ParseProfileInteger(*stored).value_or(def) : def;
  switch (kind) {
  case KeyKind::Flag:
    return value != 0 ? 1 : 0;
  case KeyKind::Byte:
    return static_cast<uint8_t>(value);
  default:
    return value;
  }
}

template <typename Target>
void ReadKeys(const ProfileDocument& document, const std::string& section,
              const std::vector<BoardKey<Target>>& keys, Target& target) {
  for (const BoardKey<Target>& key : keys) {
    const std::string& where = key.Section.empty() ? section : key.Section;
    const std::optional<std::string> stored = document.Find(where, key.Key);
    if (key.Kind == KeyKind::Text)
      key.Text(target) = stored.value_or(key.TextDefault);
    else
      key.Set(target, static_cast<int32_t>(StoredNumber(key.Kind, stored, key.NumberDefault)));
  }
}

template <typename Target>
void AddWrites(const ProfileDocument& document, const std::string& section,
               const std::vector<BoardKey<Target>>& keys, const Target& target, bool everyKey,
               std::vector<ProfileDocument::ValueWrite>& writes) {
  for (const BoardKey<Target>& key : keys) {
    const std::string& where = key.Section.empty() ? section : key.Section;
    const std::optional<std::string> stored = document.Find(where, key.Key);
    if (key.Kind == KeyKind::Text) {
      const std::string& value = key.Text(const_cast<Target&>(target));
      if (everyKey || stored.value_or(key.TextDefault) != value) writes.push_back({where, key.Key, value});
    } else {
      const int64_t value = key.Get(target);
      if (everyKey || StoredNumber(key.Kind, stored, key.NumberDefault) != value)
        writes.push_back({where, key.Key, std::to_string(value)});
    }
  }
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

// The cell number a section header line names, or 0 when the line is no "[Cell N]" header; -1 for
// a header of another section.
long CellHeaderNumber(std::string_view line) {
  while (!line.empty() && IsBlank(line.front()))
    line.remove_prefix(1);
  while (!line.empty() && IsBlank(line.back()))
    line.remove_suffix(1);
  if (line.empty() || line.front() != '[') return 0;
  const std::size_t close = line.rfind(']');
  if (close == std::string_view::npos) return 0;
  std::string_view name = line.substr(1, close - 1);
  while (!name.empty() && IsBlank(name.front()))
    name.remove_prefix(1);
  while (!name.empty() && IsBlank(name.back()))
    name.remove_suffix(1);
  if (name.size() < 6 || (name[0] | 0x20) != 'c' || (name[1] | 0x20) != 'e' || (name[2] | 0x20) != 'l' ||
      (name[3] | 0x20) != 'l' || name[4] != ' ')
    return -1;
  const std::string_view digits = name.substr(5);
  if (digits.empty() || digits.size() > 6 || digits.front() == '0') return -1;
  long number = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return -1;
    number = number * 10 + (c - '0');
  }
  return number;
}

} // namespace

const std::vector<BoardKey<Board>>& BoardLevelKeys() {
  static const std::vector<BoardKey<Board>> keys = [] {
    std::vector<BoardKey<Board>> k;
    k.push_back(
        NumberKey<Board, int32_t>("Position", "Left", KeyKind::Number, 305, Member(&Board::WindowLeft)));
    k.push_back(
        NumberKey<Board, int32_t>("Position", "Top", KeyKind::Number, 117, Member(&Board::WindowTop)));
    k.push_back(
        NumberKey<Board, int32_t>("Position", "Width", KeyKind::Number, 632, Member(&Board::WindowWidth)));
    k.push_back(
        NumberKey<Board, int32_t>("Position", "Height", KeyKind::Number, 452, Member(&Board::WindowHeight)));
    k.push_back(NumberKey<Board, int32_t>("Grid", "Columns", KeyKind::Number, 1, Member(&Board::Columns)));
    k.push_back(NumberKey<Board, int32_t>("Grid", "Rows", KeyKind::Number, 1, Member(&Board::Rows)));
    k.push_back(NumberKey<Board, int32_t>("Grid", "Frame Color", KeyKind::Number, 0,
                                          Member(&Board::GridFrameColour)));
    AddFont(k, "Grid Font", "", &Board::GridFont);
    const std::string o = "Menu Options 2";
    k.push_back(
        NumberKey<Board, bool>(o, "Center Captions", KeyKind::Flag, 0, Member(&Board::CenterCaptions)));
    k.push_back(NumberKey<Board, bool>(o, "WordWrap", KeyKind::Flag, 0, Member(&Board::WordWrap)));
    k.push_back(
        NumberKey<Board, bool>(o, "Show Button Bar", KeyKind::Flag, 0, Member(&Board::ShowButtonBar)));
    k.push_back(
        NumberKey<Board, bool>(o, "Show Message Bar", KeyKind::Flag, 0, Member(&Board::ShowMessageBar)));
    k.push_back(NumberKey<Board, bool>(o, "Write only letters or words", KeyKind::Flag, 0,
                                       Member(&Board::WriteOnlyLettersOrWords)));
    k.push_back(NumberKey<Board, bool>(o, "MenuEscriureTextALlegir", KeyKind::Flag, 0,
                                       Member(&Board::EscriureTextALlegir)));
    k.push_back(NumberKey<Board, bool>(o, "Always visible", KeyKind::Flag, 0, Member(&Board::AlwaysVisible)));
    k.push_back(NumberKey<Board, bool>(o, "Send to extern window", KeyKind::Flag, 0,
                                       Member(&Board::SendToExternWindow)));
    k.push_back(
        NumberKey<Board, bool>(o, "MenuQdxForcingBeOnTop", KeyKind::Flag, 0, Member(&Board::ForcingBeOnTop)));
    k.push_back(
        NumberKey<Board, int32_t>(o, "MenuQdxPosition", KeyKind::Number, 0, Member(&Board::Position)));
    return k;
  }();
  return keys;
}

const std::vector<BoardKey<CellRecord>>& CellKeys() {
  static const std::vector<BoardKey<CellRecord>> keys = [] {
    std::vector<BoardKey<CellRecord>> k;
    auto text = [&](const char* key, std::string CellRecord::*member) {
      k.push_back(
          TextKey<CellRecord>("", key, "", [member](CellRecord& c) -> std::string& { return c.*member; }));
    };
    text("Picture", &CellRecord::Picture);
    text("Caption", &CellRecord::Caption);
    text("Read", &CellRecord::Read);
    text("Special Function", &CellRecord::SpecialFunction);
    text("Link", &CellRecord::Link);
    k.push_back(NumberKey<CellRecord, int32_t>("", "Frame cell color", KeyKind::Number, 0,
                                               [](CellRecord& c) -> int32_t& { return c.FrameCellColour; }));
    AddFont(k, "", "Font ", &CellRecord::Font);
    return k;
  }();
  return keys;
}

std::string CellSection(int number) {
  return "Cell " + std::to_string(number);
}

Board ReadBoard(const ProfileDocument& document) {
  Board board;
  ReadKeys(document, {}, BoardLevelKeys(), board);
  for (CellRecord& cell : board.Cells)
    cell.Font.Name = "Arial";
  const int count = std::min(board.CellCount(), MaxGridCells);
  for (int n = 1; n <= count && board.Columns <= MaxGridColumns; ++n) {
    const CellPosition at = CellNumberToPosition(n, board.Columns);
    if (at.Row > MaxGridRows) break;
    ReadKeys(document, CellSection(n), CellKeys(), board.Cell(at.Column, at.Row));
  }
  return board;
}

std::vector<ProfileDocument::ValueWrite> WritesFor(const ProfileDocument& document, const Board& board,
                                                   bool everyKey) {
  std::vector<ProfileDocument::ValueWrite> writes;
  AddWrites(document, {}, BoardLevelKeys(), board, everyKey, writes);
  for (int n = 1; n <= board.CellCount(); ++n) {
    const CellPosition at = CellNumberToPosition(n, board.Columns);
    AddWrites(document, CellSection(n), CellKeys(), board.Cell(at.Column, at.Row), everyKey, writes);
  }
  return writes;
}

std::string WithoutCells(const std::string& bytes, int first, int last) {
  std::string result;
  result.reserve(bytes.size());
  bool dropping = false;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find_first_of("\r\n", start);
    std::size_t next = end;
    if (end == std::string::npos) {
      end = next = bytes.size();
    } else {
      next = end + ((bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n') ? 2 : 1);
    }
    const long number = CellHeaderNumber(std::string_view(bytes).substr(start, end - start));
    if (number != 0) dropping = number >= first && number <= last;
    if (!dropping) result.append(bytes, start, next - start);
    start = next;
  }
  return result;
}

} // namespace nq::authoring
