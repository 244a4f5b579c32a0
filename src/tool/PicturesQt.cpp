#include <QGuiApplication>

#include "tool/ToolPictures.h"
#include "ui/QtPictureConverter.h"
#include "ui/SymbolPicture.h"

namespace nq::tool {
namespace {

// Qt's painting of SVG needs an application object; the offscreen platform needs no display.
class ApplicationConverter : public exchange::PictureConverter {
public:
  std::optional<std::string> ToPng(const std::string& bytes, const std::string& type, int side) override {
    StartApplication();
    return Converter.ToPng(bytes, type, side);
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
};

} // namespace

std::optional<std::string> DrawSymbolPng(const symbols::Symbol& symbol, int side) {
  ApplicationConverter converter;
  converter.StartApplication();
  return DrawSymbolPicture(symbol.Source == symbols::SymbolSource::EmojiFont ? std::string() : symbol.Picture,
                           symbol.Text, side);
}

std::unique_ptr<exchange::PictureConverter> MakePictureConverter() {
  return std::make_unique<ApplicationConverter>();
}

} // namespace nq::tool
