#include <QGuiApplication>

#include "symbols/SymbolSetup.h"
#include "tool/ToolPictures.h"
#include "tool/ToolSupport.h"
#include "ui/EmojiPicture.h"
#include "ui/QtPictureConverter.h"

#include <fstream>
#include <map>
#include <sstream>

namespace nq::tool {
namespace {

// A pictogram from its SVG or picture file, an emoji of the font by the font.
std::optional<std::string> Draw(QtPictureConverter& converter, const symbols::Symbol& symbol, int side) {
  if (symbol.Source == symbols::SymbolSource::EmojiFont) return DrawEmojiPng(symbol.Text, side);
  std::ifstream in(symbol.Picture, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  if (!in) return std::nullopt;
  const bool svg =
      symbol.Picture.size() > 4 && symbol.Picture.compare(symbol.Picture.size() - 4, 4, ".svg") == 0;
  return converter.ToPng(bytes.str(), svg ? "image/svg+xml" : "", side);
}

// Qt's painting of SVG needs an application object; the offscreen platform needs no display.
class ApplicationConverter : public exchange::PictureConverter {
public:
  std::optional<std::string> ToPng(const std::string& bytes, const std::string& type, int side) override {
    StartApplication();
    return TheConverter.ToPng(bytes, type, side);
  }

  // An emoji of a label: the built-in pictogram of the symbol library where it has one, else the font.
  std::optional<std::string> EmojiToPng(const std::string& utf8, int side) override {
    StartApplication();
    if (!Library) {
      Library = std::make_unique<symbols::SymbolLibrary>(symbols::DefaultLibraryFiles(ProgramFolder(), {}));
      Index = Library->Wait();
      for (const symbols::Symbol& symbol : Index->Symbols())
        if (!symbol.Text.empty()) ByText.emplace(symbols::WithoutVariationSelectors(symbol.Text), &symbol);
    }
    const auto found = ByText.find(symbols::WithoutVariationSelectors(utf8));
    if (found != ByText.end()) return Draw(TheConverter, *found->second, side);
    return DrawEmojiPng(utf8, side);
  }

  // Started on the first picture that needs it, so sets without such pictures never start Qt.
  void StartApplication() {
    if (!QCoreApplication::instance()) {
      qputenv("QT_QPA_PLATFORM", "offscreen");
      App = std::make_unique<QGuiApplication>(Argc, Argv);
    }
  }

  QtPictureConverter& Converter() { return TheConverter; }

private:
  int Argc = 1;
  char Name[20] = "nexoquadrix-tool";
  char* Argv[2] = {Name, nullptr};
  std::unique_ptr<QGuiApplication> App;
  QtPictureConverter TheConverter;
  std::unique_ptr<symbols::SymbolLibrary> Library;
  std::shared_ptr<const symbols::SymbolIndex> Index;
  std::map<std::string, const symbols::Symbol*> ByText;
};

} // namespace

std::optional<std::string> DrawSymbolPng(const symbols::Symbol& symbol, int side) {
  ApplicationConverter converter;
  converter.StartApplication();
  return Draw(converter.Converter(), symbol, side);
}

std::unique_ptr<exchange::PictureConverter> MakePictureConverter() {
  return std::make_unique<ApplicationConverter>();
}

} // namespace nq::tool
