// Feeds arbitrary bytes to the .obf board reader and, when it accepts them, converts the board in
// memory as an import would; checks the promises the importer relies on.
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>

#include "exchange/ExchangeLimits.h"
#include "exchange/ObfConvert.h"
#include "exchange/ObfReader.h"
#include "exchange/TextFit.h"

namespace {

// A set with no files besides the board: every path and picture reference misses.
class EmptySet : public nq::exchange::SetFiles {
public:
  bool Read(const std::string&, std::string&, std::string& error) override {
    error = "missing";
    return false;
  }
  bool Has(const std::string&) const override { return false; }
  std::vector<std::string> BoardFiles() const override { return {}; }
};

void Check(bool condition) {
  if (!condition) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  nq::exchange::ObfParse parsed = nq::exchange::ParseObfBoard(bytes, "fuzz.obf");
  Check(parsed.Board.has_value() == parsed.Error.empty());
  if (!parsed.Board) return 0;
  const nq::exchange::ObfBoard& board = *parsed.Board;
  Check(board.Rows >= 1 && board.Columns >= 1);
  Check(board.Buttons.size() <= nq::exchange::MaxButtonsPerBoard);
  // Never more places than the grid declares.
  Check(board.Order.size() <= static_cast<std::size_t>(board.Rows));
  for (const auto& row : board.Order)
    Check(row.size() <= static_cast<std::size_t>(board.Columns));
  std::set<std::string> ids;
  for (const auto& button : board.Buttons)
    Check(ids.insert(button.Id).second);

  const std::vector<nq::exchange::SetBoard> boards{
      {"fuzz.obf", "", board.Id, board.Url, board.DataUrl, board.ExtFile, "fuzz.qdx"}};
  const nq::exchange::LoadedBoard loaded{"fuzz.obf", "", std::move(*parsed.Board), "fuzz.qdx"};
  EmptySet files;
  nq::exchange::ConvertedSet converted;
  std::string error;
  nq::exchange::SetConverter converter(files, boards, nullptr);
  if (converter.ConvertBoard(loaded, converted, error)) {
    const auto qdx = converted.Files.find("fuzz.qdx");
    Check(qdx != converted.Files.end());
    Check(qdx->second.rfind("[Quadrix]\r\nName=Quadrix\r\nautor=Vellumor\r\n", 0) == 0);
    // Every written name stays inside the output folder.
    for (const auto& [name, content] : converted.Files)
      Check(nq::exchange::CleanSetPath(name) == name);
  } else {
    Check(!error.empty());
  }
  return 0;
}
