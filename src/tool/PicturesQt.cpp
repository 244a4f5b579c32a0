#include <QGuiApplication>

#include <map>

#include "symbols/SymbolSetup.h"
#include "tool/ToolPictures.h"
#include "tool/ToolSupport.h"
#include "ui/QtPictureConverter.h"
#include "ui/SymbolPicture.h"

namespace nq::tool {
namespace {

std::optional<std::string> Draw(const symbols::Symbol& symbol, int side) {
  return DrawSymbolPicture(symbol.Source == symbols::SymbolSource::EmojiFont ? std::string() : symbol.Picture,
                           symbol.Text, side);
}

// Qt's painting of SVG needs an application object; the offscreen platform needs no display.
class ApplicationConverter : public exchange::PictureConverter {
public:
  std::optional<std::string> ToPng(const std::string& bytes, const std::string& type, int side) override {
    StartApplication();
    return Converter.ToPng(bytes, type, side);
  }

  // An emoji of a label: the built-in pictogram of the symbol library where it has one, else the font.
  std::optional<std::string> EmojiToPng(const std::string& utf8, int side) override {
    StartApplication();
    if (!Library) {
      Library = std::make_unique<symbols::SymbolLibrary>(symbols::DefaultLibraryFiles(ProgramFolder(), {}));
      Index = Library->Wait();
      for (const symbols::Symbol& symbol : Index->Symbols())
        if (!symbol.Text.empty()) ByText.emplace(WithoutVariationSelectors(symbol.Text), &symbol);
    }
    const auto found = ByText.find(WithoutVariationSelectors(utf8));
    return found != ByText.end() ? Draw(*found->second, side) : DrawSymbolPicture({}, utf8, side);
  }

  std::string EmojiName(const std::string& utf8, const std::string& locale) override {
    return Converter.EmojiName(utf8, locale);
  }

  // Started on the first picture that needs it, so sets without such pictures never start Qt.
  void StartApplication() {
    if (!QCoreApplication::instance()) {
      qputenv("QT_QPA_PLATFORM", "offscreen");
      App = std::make_unique<QGuiApplication>(Argc, Argv);
    }
  }

private:
  int Argc = 1;
  char Name[20] = "nexoquadrix-tool";
  char* Argv[2] = {Name, nullptr};
  std::unique_ptr<QGuiApplication> App;
  QtPictureConverter Converter;
  std::unique_ptr<symbols::SymbolLibrary> Library;
  std::shared_ptr<const symbols::SymbolIndex> Index;
  std::map<std::string, const symbols::Symbol*> ByText;
};

} // namespace

std::optional<std::string> DrawSymbolPng(const symbols::Symbol& symbol, int side) {
  ApplicationConverter converter;
  converter.StartApplication();
  return Draw(symbol, side);
}

std::unique_ptr<exchange::PictureConverter> MakePictureConverter() {
  return std::make_unique<ApplicationConverter>();
}

} // namespace nq::tool
