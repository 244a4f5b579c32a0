#include "exchange/ObfReader.h"

#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <stdexcept>

#include "exchange/CountedJson.h"
#include "exchange/ExchangeLimits.h"

namespace nq::exchange {
namespace {

using Json = nlohmann::json;

// Thrown inside this file only, to leave a half-read board at once; ParseObfBoard turns it into a value.
struct Refusal : std::runtime_error {
  Refusal(const std::string& message, ImportProblem problem)
      : std::runtime_error(message), Problem(problem) {}
  ImportProblem Problem;
};

[[noreturn]] void Refuse(const std::string& message, ImportProblem problem = ImportProblem::Broken) {
  throw Refusal(message, problem);
}

// Ids are text by the format, but numbers are common in the wild and mean the same.
std::optional<std::string> IdText(const Json& value) {
  if (value.is_string()) return value.get<std::string>();
  if (value.is_number_integer()) return value.dump();
  return std::nullopt;
}

std::string RequiredId(const Json& object, const std::string& what) {
  const auto found = object.find("id");
  if (found == object.end() || found->is_null()) Refuse(what + " has no \"id\"");
  std::optional<std::string> id = IdText(*found);
  if (!id) Refuse(what + ": \"id\" must be text, not " + std::string(found->type_name()));
  return *id;
}

// A text field that may be missing or null; any other type is refused.
std::optional<std::string> OptionalText(const Json& object, const char* key, const std::string& what) {
  const auto found = object.find(key);
  if (found == object.end() || found->is_null()) return std::nullopt;
  if (!found->is_string())
    Refuse(what + ": \"" + key + "\" must be text, not " + std::string(found->type_name()));
  return found->get<std::string>();
}

std::string TextOrEmpty(const Json& object, const char* key, const std::string& what) {
  return OptionalText(object, key, what).value_or(std::string());
}

std::string OptionalId(const Json& object, const char* key, const std::string& what) {
  const auto found = object.find(key);
  if (found == object.end() || found->is_null()) return {};
  std::optional<std::string> id = IdText(*found);
  if (!id) Refuse(what + ": \"" + key + "\" must be an id (text), not " + std::string(found->type_name()));
  return *id;
}

const Json* OptionalObject(const Json& object, const char* key, const std::string& what) {
  const auto found = object.find(key);
  if (found == object.end() || found->is_null()) return nullptr;
  if (!found->is_object())
    Refuse(what + ": \"" + key + "\" must be an object, not " + std::string(found->type_name()));
  return &*found;
}

const Json* OptionalArray(const Json& object, const char* key, const std::string& what) {
  const auto found = object.find(key);
  if (found == object.end() || found->is_null()) return nullptr;
  if (!found->is_array())
    Refuse(what + ": \"" + key + "\" must be a list, not " + std::string(found->type_name()));
  return &*found;
}

// Our own (key, value) lists: values of any scalar type are kept as their text.
ExtValues ReadExtValues(const Json& object, const char* key, const std::string& what) {
  ExtValues values;
  const Json* ext = OptionalObject(object, key, what);
  if (!ext) return values;
  for (const auto& [name, value] : ext->items()) {
    if (value.is_string())
      values.emplace_back(name, value.get<std::string>());
    else if (value.is_number_integer() || value.is_boolean())
      values.emplace_back(name, value.is_boolean() ? (value.get<bool>() ? "1" : "0") : value.dump());
    else
      Refuse(what + ": \"" + key + "." + name + "\" must be text or a number");
  }
  return values;
}

int GridSize(const Json& grid, const char* key, const std::string& where) {
  const auto found = grid.find(key);
  if (found == grid.end() || found->is_null()) Refuse(where + ": the grid has no \"" + key + "\"");
  if (!found->is_number_integer()) Refuse(where + ": grid \"" + key + "\" must be a whole number");
  const int64_t value = found->get<int64_t>();
  // Far beyond any board; the real ceiling (21) is applied by the importer with its own message.
  if (value < 1 || value > 10000)
    Refuse(where + ": grid \"" + key + "\" is " + std::to_string(value) + "; it must be at least 1");
  return static_cast<int>(value);
}

void ReadGrid(const Json& root, ObfBoard& board, const std::string& where) {
  const Json* grid = OptionalObject(root, "grid", where);
  if (!grid) Refuse(where + ": the board has no \"grid\", so its buttons have no places");
  board.Rows = GridSize(*grid, "rows", where);
  board.Columns = GridSize(*grid, "columns", where);
  const Json* order = OptionalArray(*grid, "order", where + " grid");
  if (!order) Refuse(where + ": the grid has no \"order\", so its buttons have no places");
  // Places beyond the declared grid belong to no cell; a hostile file lists millions of them.
  if (order->size() > static_cast<std::size_t>(board.Rows))
    Refuse(where + ": the grid order has " + std::to_string(order->size()) + " rows, more than the " +
           std::to_string(board.Rows) + " the grid declares");
  for (const Json& row : *order) {
    if (!row.is_array()) Refuse(where + ": each row of the grid order must be a list");
    if (row.size() > static_cast<std::size_t>(board.Columns))
      Refuse(where + ": a row of the grid order has " + std::to_string(row.size()) +
             " places, more than the " + std::to_string(board.Columns) + " columns the grid declares");
    std::vector<std::optional<std::string>> cells;
    for (const Json& cell : row) {
      if (cell.is_null()) {
        cells.emplace_back();
        continue;
      }
      std::optional<std::string> id = IdText(cell);
      if (!id)
        Refuse(where + ": the grid order holds a " + std::string(cell.type_name()) +
               " instead of a button id");
      cells.emplace_back(std::move(id));
    }
    board.Order.push_back(std::move(cells));
  }
}

std::vector<std::string> ReadActions(const Json& button, const std::string& what) {
  std::vector<std::string> actions;
  if (std::optional<std::string> action = OptionalText(button, "action", what)) actions.push_back(*action);
  if (const Json* list = OptionalArray(button, "actions", what)) {
    for (const Json& entry : *list) {
      if (!entry.is_string()) Refuse(what + ": each of \"actions\" must be text");
      const std::string text = entry.get<std::string>();
      if (std::find(actions.begin(), actions.end(), text) == actions.end()) actions.push_back(text);
    }
  }
  return actions;
}

ObfButton ReadButton(const Json& entry, const std::string& where) {
  if (!entry.is_object()) Refuse(where + ": each button must be an object");
  ObfButton button;
  button.Id = RequiredId(entry, where + ": a button");
  const std::string what = where + ": button \"" + button.Id + "\"";
  button.Label = TextOrEmpty(entry, "label", what);
  button.Vocalization = OptionalText(entry, "vocalization", what);
  button.ImageId = OptionalId(entry, "image_id", what);
  button.SoundId = OptionalId(entry, "sound_id", what);
  button.BackgroundColor = TextOrEmpty(entry, "background_color", what);
  button.BorderColor = TextOrEmpty(entry, "border_color", what);
  button.Actions = ReadActions(entry, what);
  // Read only to be reported: a board here never opens a web page by itself. Any other type is ignored,
  // as before, rather than refusing the set.
  if (const auto url = entry.find("url"); url != entry.end() && url->is_string())
    button.Url = url->get<std::string>();
  if (const Json* load = OptionalObject(entry, "load_board", what)) {
    ObfLoadBoard link;
    link.Id = OptionalId(*load, "id", what + " load_board");
    link.Name = TextOrEmpty(*load, "name", what + " load_board");
    link.Path = TextOrEmpty(*load, "path", what + " load_board");
    link.Url = TextOrEmpty(*load, "url", what + " load_board");
    link.DataUrl = TextOrEmpty(*load, "data_url", what + " load_board");
    button.LoadBoard = link;
  }
  button.ExtRead = OptionalText(entry, "ext_nexoquadrix_read", what);
  button.ExtSpecialFunction = OptionalText(entry, "ext_nexoquadrix_special_function", what);
  button.ExtLink = OptionalText(entry, "ext_nexoquadrix_link", what);
  button.ExtPicture = OptionalText(entry, "ext_nexoquadrix_picture", what);
  button.ExtCell = ReadExtValues(entry, "ext_nexoquadrix_cell", what);
  return button;
}

std::vector<ObfResource> ReadResources(const Json& root, const char* key, const std::string& where) {
  std::vector<ObfResource> resources;
  const Json* list = OptionalArray(root, key, where);
  if (!list) return resources;
  const std::string kind = std::string(key) == "images" ? "an image" : "a sound";
  std::set<std::string> ids;
  for (const Json& entry : *list) {
    if (!entry.is_object()) Refuse(where + ": each of \"" + key + "\" must be an object");
    ObfResource resource;
    resource.Id = RequiredId(entry, where + ": " + kind);
    const std::string what = where + ": " + kind.substr(kind.find(' ') + 1) + " \"" + resource.Id + "\"";
    if (!ids.insert(resource.Id).second) Refuse(what + " is listed twice");
    resource.Data = TextOrEmpty(entry, "data", what);
    resource.Path = TextOrEmpty(entry, "path", what);
    resource.Url = TextOrEmpty(entry, "url", what);
    resource.ContentType = TextOrEmpty(entry, "content_type", what);
    resource.OriginalName = TextOrEmpty(entry, "ext_nexoquadrix_file", what);
    if (const Json* symbol = OptionalObject(entry, "symbol", what))
      resource.SymbolSet = TextOrEmpty(*symbol, "set", what + " symbol");
    resources.push_back(std::move(resource));
  }
  return resources;
}

// The string list of the board's own locale, or of its language ("es" for "es-ES") when that is all there is.
void ReadStrings(const Json& root, ObfBoard& board, const std::string& where) {
  const Json* strings = OptionalObject(root, "strings", where);
  if (!strings || board.Locale.empty()) return;
  auto list = strings->find(board.Locale);
  if (list == strings->end()) list = strings->find(board.Locale.substr(0, board.Locale.find_first_of("-_")));
  if (list == strings->end() || !list->is_object()) return;
  for (const auto& [from, to] : list->items()) {
    if (to.is_string()) board.Strings.emplace_back(from, to.get<std::string>());
  }
}

ObfBoard ReadBoard(const Json& root, const std::string& where, std::vector<std::string>& warnings) {
  if (!root.is_object()) Refuse(where + ": a board must be a JSON object");
  ObfBoard board;
  if (std::optional<std::string> format = OptionalText(root, "format", where);
      format && format->rfind("open-board-", 0) != 0)
    warnings.push_back(where + ": formato desconocido \"" + *format + "\"; leído como Open Board");
  board.Id = RequiredId(root, where + ": the board");
  board.Name = TextOrEmpty(root, "name", where);
  board.Url = TextOrEmpty(root, "url", where);
  board.DataUrl = TextOrEmpty(root, "data_url", where);
  board.Locale = TextOrEmpty(root, "locale", where);
  ReadGrid(root, board, where);
  const Json* buttons = OptionalArray(root, "buttons", where);
  if (!buttons) Refuse(where + ": the board has no \"buttons\" list");
  if (buttons->size() > MaxButtonsPerBoard)
    Refuse(where + ": " + std::to_string(buttons->size()) + " buttons; a board may have at most " +
               std::to_string(MaxButtonsPerBoard),
           ImportProblem::TooLarge);
  std::map<std::string, const Json*> ids;
  for (const Json& entry : *buttons) {
    ObfButton button = ReadButton(entry, where);
    const auto [first, inserted] = ids.emplace(button.Id, &entry);
    if (!inserted) {
      // Some exporters write a button once per place it has; equal copies are that one button.
      if (*first->second == entry) continue;
      Refuse(where + ": two buttons have the id \"" + button.Id + "\", so the grid cannot tell them apart",
             ImportProblem::DuplicateButton);
    }
    board.Buttons.push_back(std::move(button));
  }
  board.Images = ReadResources(root, "images", where);
  board.Sounds = ReadResources(root, "sounds", where);
  if (board.Images.size() + board.Sounds.size() > MaxResourcesPerBoard)
    Refuse(where + ": more than " + std::to_string(MaxResourcesPerBoard) + " images and sounds",
           ImportProblem::TooLarge);
  ReadStrings(root, board, where);
  board.ExtFile = TextOrEmpty(root, "ext_nexoquadrix_file", where);
  board.ExtBoard = ReadExtValues(root, "ext_nexoquadrix_board", where);
  return board;
}

} // namespace

std::size_t JsonNestingDepth(std::string_view json) {
  std::size_t depth = 0;
  std::size_t deepest = 0;
  bool inString = false;
  for (std::size_t i = 0; i < json.size(); ++i) {
    const char c = json[i];
    if (inString) {
      if (c == '\\')
        ++i;
      else if (c == '"')
        inString = false;
    } else if (c == '"') {
      inString = true;
    } else if (c == '[' || c == '{') {
      deepest = std::max(deepest, ++depth);
    } else if ((c == ']' || c == '}') && depth > 0) {
      --depth;
    }
  }
  return deepest;
}

Json ParseCountedJson(std::string_view json, std::size_t cap, JsonBudget* budget) {
  std::size_t count = 0;
  // Called as each value is made, before the next is read, so the refusal comes at the first value too many.
  const Json::parser_callback_t counter = [&](int, Json::parse_event_t event, Json&) {
    if (event == Json::parse_event_t::key || event == Json::parse_event_t::object_end ||
        event == Json::parse_event_t::array_end)
      return true;
    if (++count > cap) throw JsonOverBudget("more than " + std::to_string(cap) + " values");
    if (budget) {
      if (budget->Left == 0)
        throw JsonOverBudget("more than " + std::to_string(MaxJsonValuesPerSet) + " values in the whole set");
      --budget->Left;
    }
    return true;
  };
  return Json::parse(json.begin(), json.end(), counter);
}

ObfParse ParseObfBoard(std::string_view json, const std::string& where, JsonBudget* budget) {
  ObfParse result;
  result.Problem = ImportProblem::TooLarge;
  if (json.size() > MaxBoardJsonBytes) {
    result.Error =
        where + ": the board file is larger than " + std::to_string(MaxBoardJsonBytes >> 20) + " MB";
    return result;
  }
  if (JsonNestingDepth(json) > MaxJsonDepth) {
    result.Error = where + ": the JSON is nested deeper than any board needs";
    return result;
  }
  result.Problem = ImportProblem::Broken;
  // A UTF-8 byte order mark is legal in files written on Windows.
  if (json.substr(0, 3) == "\xEF\xBB\xBF") json.remove_prefix(3);
  try {
    const Json root = ParseCountedJson(json, MaxJsonValuesPerBoard, budget);
    result.Board = ReadBoard(root, where, result.Warnings);
    result.Problem = ImportProblem::None;
  } catch (const Refusal& refusal) {
    result.Error = refusal.what();
    result.Problem = refusal.Problem;
  } catch (const JsonOverBudget& over) {
    result.Error = where + ": " + over.what() + "; far more than any board holds (a damaged or hostile file)";
    result.Problem = ImportProblem::TooLarge;
  } catch (const Json::parse_error& error) {
    result.Error = where + ": not valid JSON (byte " + std::to_string(error.byte) + ")";
  } catch (const std::exception& error) {
    result.Error = where + ": unreadable board (" + error.what() + ")";
  }
  return result;
}

} // namespace nq::exchange
