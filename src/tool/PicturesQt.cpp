#include <QGuiApplication>

#include "tool/ToolPictures.h"
#include "ui/EmojiPicture.h"
#include "ui/QtPictureConverter.h"

#include <fstream>
#include <sstream>

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
  ApplicationConverter converter; // starts Qt on its first picture
  if (symbol.Source == symbols::SymbolSource::EmojiFont) {
    converter.StartApplication();
    return DrawEmojiPng(symbol.Text, side);
  }
  std::ifstream in(symbol.Picture, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  if (!in) return std::nullopt;
  const bool svg =
      symbol.Picture.size() > 4 && symbol.Picture.compare(symbol.Picture.size() - 4, 4, ".svg") == 0;
  return converter.ToPng(bytes.str(), svg ? "image/svg+xml" : "", side);
}

std::unique_ptr<exchange::PictureConverter> MakePictureConverter() {
  return std::make_unique<ApplicationConverter>();
}

} // namespace nq::tool
