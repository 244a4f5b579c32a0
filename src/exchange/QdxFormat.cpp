#include "exchange/QdxFormat.h"

#include <charconv>
#include <functional>
#include <vector>

#include "text/Encoding.h"

namespace nq::exchange {
namespace {

const char* const LineEnd = "\r\n";

void Section(std::string& out, const std::string& name) {
  out += "[" + name + "]" + LineEnd;
}

void Number(std::string& out, const std::string& key, int64_t value) {
  out += key + "=" + std::to_string(value) + LineEnd;
}

// Quoted, so leading blanks and a value that is itself in quotes read back unchanged. A line break
// would end the value and start lines of the set's choosing (a section, a command), so every control
// character becomes a blank whichever field it came in.
void Text(std::string& out, const std::string& key, const std::string& value) {
  out += key + "=";
  if (!value.empty()) {
    out += '"';
    for (const char c : value)
      out += static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? ' ' : c;
    out += '"';
  }
  out += LineEnd;
}

void Font(std::string& out, const std::string& prefix, const FontSpec& font) {
  Number(out, prefix + "Charset", font.Charset);
  Number(out, prefix + "Color", font.Colour);
  Number(out, prefix + "Height", font.Height);
  Text(out, prefix + "Name", font.Name);
  Number(out, prefix + "Size", font.Size);
  Number(out, prefix + "fsBold", font.Bold);
  Number(out, prefix + "fsItalic", font.Italic);
  Number(out, prefix + "fsUnderline", font.Underline);
  Number(out, prefix + "fsStrikeOut", font.StrikeOut);
}

// One option: how to read it from a board or cell as text and how to store text back.
template <typename Target> struct Field {
  std::string Key;
  std::function<std::string(const Target&)> Get;
  std::function<bool(Target&, const std::string&)> Set;
};

std::optional<int64_t> ParseNumber(const std::string& text) {
  int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < INT32_MIN || value > INT32_MAX)
    return std::nullopt;
  return value;
}

template <typename Target, typename Value> Field<Target> NumberField(std::string key, Value Target::*member) {
  return {std::move(key),
          [member](const Target& t) { return std::to_string(static_cast<int64_t>(t.*member)); },
          [member](Target& t, const std::string& text) {
            const std::optional<int64_t> value = ParseNumber(text);
            if (!value) return false;
            t.*member = static_cast<Value>(*value);
            return true;
          }};
}

template <typename Target>
void AddFontFields(std::vector<Field<Target>>& fields, const std::string& prefix, FontSpec Target::*font) {
  auto number = [&](const std::string& key, auto FontSpec::*member) {
    using Value = std::remove_reference_t<decltype(std::declval<FontSpec&>().*member)>;
    fields.push_back(
        {prefix + key,
         [font, member](const Target& t) { return std::to_string(static_cast<int64_t>((t.*font).*member)); },
         [font, member](Target& t, const std::string& text) {
           const std::optional<int64_t> value = ParseNumber(text);
           if (!value) return false;
           (t.*font).*member = static_cast<Value>(*value);
           return true;
         }});
  };
  number("Charset", &FontSpec::Charset);
  number("Color", &FontSpec::Colour);
  number("Height", &FontSpec::Height);
  fields.push_back({prefix + "Name", [font](const Target& t) { return Windows1252ToUtf8((t.*font).Name); },
                    [font](Target& t, const std::string& text) {
                      (t.*font).Name = Utf8ToWindows1252(text);
                      return true;
                    }});
  number("Size", &FontSpec::Size);
  number("fsBold", &FontSpec::Bold);
  number("fsItalic", &FontSpec::Italic);
  number("fsUnderline", &FontSpec::Underline);
  number("fsStrikeOut", &FontSpec::StrikeOut);
}

const std::vector<Field<Board>>& BoardFields() {
  static const std::vector<Field<Board>> fields = [] {
    std::vector<Field<Board>> f;
    f.push_back(NumberField("Position.Left", &Board::WindowLeft));
    f.push_back(NumberField("Position.Top", &Board::WindowTop));
    f.push_back(NumberField("Position.Width", &Board::WindowWidth));
    f.push_back(NumberField("Position.Height", &Board::WindowHeight));
    f.push_back(NumberField("Grid.Frame Color", &Board::GridFrameColour));
    AddFontFields(f, "Grid Font.", &Board::GridFont);
    f.push_back(NumberField("Menu Options 2.Center Captions", &Board::CenterCaptions));
    f.push_back(NumberField("Menu Options 2.WordWrap", &Board::WordWrap));
    f.push_back(NumberField("Menu Options 2.Show Button Bar", &Board::ShowButtonBar));
    f.push_back(NumberField("Menu Options 2.Show Message Bar", &Board::ShowMessageBar));
    f.push_back(NumberField("Menu Options 2.Write only letters or words", &Board::WriteOnlyLettersOrWords));
    f.push_back(NumberField("Menu Options 2.MenuEscriureTextALlegir", &Board::EscriureTextALlegir));
    f.push_back(NumberField("Menu Options 2.Always visible", &Board::AlwaysVisible));
    f.push_back(NumberField("Menu Options 2.Send to extern window", &Board::SendToExternWindow));
    f.push_back(NumberField("Menu Options 2.MenuQdxForcingBeOnTop", &Board::ForcingBeOnTop));
    f.push_back(NumberField("Menu Options 2.MenuQdxPosition", &Board::Position));
    return f;
  }();
  return fields;
}

const std::vector<Field<CellRecord>>& CellFields() {
  static const std::vector<Field<CellRecord>> fields = [] {
    std::vector<Field<CellRecord>> f;
    f.push_back(NumberField("Frame cell color", &CellRecord::FrameCellColour));
    AddFontFields(f, "Font ", &CellRecord::Font);
    return f;
  }();
  return fields;
}

template <typename Target>
ExtValues ValuesOf(const std::vector<Field<Target>>& fields, const Target& target) {
  ExtValues values;
  for (const Field<Target>& field : fields)
    values.emplace_back(field.Key, field.Get(target));
  return values;
}

template <typename Target>
void Apply(const std::vector<Field<Target>>& fields, const ExtValues& values, Target& target,
           std::set<std::string>& unknown) {
  for (const auto& [key, value] : values) {
    bool applied = false;
    for (const Field<Target>& field : fields) {
      if (field.Key == key) {
        applied = field.Set(target, value);
        break;
      }
    }
    if (!applied) unknown.insert(key);
  }
}

} // namespace

std::string WriteQdx(const Board& board) {
  std::string out;
  Section(out, "Quadrix");
  out += std::string("Name=Quadrix") + LineEnd + "autor=Vellumor" + LineEnd;
  Section(out, "Position");
  Number(out, "Left", board.WindowLeft);
  Number(out, "Top", board.WindowTop);
  Number(out, "Width", board.WindowWidth);
  Number(out, "Height", board.WindowHeight);
  Section(out, "Grid");
  Number(out, "Columns", board.Columns);
  Number(out, "Rows", board.Rows);
  Number(out, "Frame Color", board.GridFrameColour);
  Section(out, "Grid Font");
  Font(out, "", board.GridFont);
  Section(out, "Menu Options 2");
  Number(out, "Center Captions", board.CenterCaptions);
  Number(out, "WordWrap", board.WordWrap);
  Number(out, "Show Button Bar", board.ShowButtonBar);
  Number(out, "Show Message Bar", board.ShowMessageBar);
  Number(out, "Write only letters or words", board.WriteOnlyLettersOrWords);
  Number(out, "MenuEscriureTextALlegir", board.EscriureTextALlegir);
  Number(out, "Always visible", board.AlwaysVisible);
  Number(out, "Send to extern window", board.SendToExternWindow);
  Number(out, "MenuQdxForcingBeOnTop", board.ForcingBeOnTop);
  Number(out, "MenuQdxPosition", board.Position);
  for (int n = 1; n <= board.CellCount(); ++n) {
    const CellPosition at = CellNumberToPosition(n, board.Columns);
    const CellRecord& cell = board.Cell(at.Column, at.Row);
    Section(out, "Cell " + std::to_string(n));
    Text(out, "Picture", cell.Picture);
    Text(out, "Caption", cell.Caption);
    Text(out, "Read", cell.Read);
    Text(out, "Special Function", cell.SpecialFunction);
    Text(out, "Link", cell.Link);
    Number(out, "Frame cell color", cell.FrameCellColour);
    Font(out, "Font ", cell.Font);
  }
  return out;
}

Board ImportedBoardDefaults() {
  Board board;
  board.WindowLeft = 305;
  board.WindowTop = 117;
  board.WindowWidth = 632;
  board.WindowHeight = 452;
  board.Columns = 1;
  board.Rows = 1;
  board.GridFont.Name = "Arial";
  board.ShowButtonBar = true;
  board.ShowMessageBar = true;
  board.Position = 1; // maximised: boards from other systems are made for the whole screen
  for (CellRecord& cell : board.Cells) {
    cell.Font.Name = "Arial";
    cell.Font.Size = 14;
  }
  return board;
}

ExtValues BoardOptionValues(const Board& board) {
  return ValuesOf(BoardFields(), board);
}

void ApplyBoardOptionValues(const ExtValues& values, Board& board, std::set<std::string>& unknown) {
  Apply(BoardFields(), values, board, unknown);
}

ExtValues CellOptionValues(const CellRecord& cell) {
  return ValuesOf(CellFields(), cell);
}

void ApplyCellOptionValues(const ExtValues& values, CellRecord& cell, std::set<std::string>& unknown) {
  Apply(CellFields(), values, cell, unknown);
}

} // namespace nq::exchange
