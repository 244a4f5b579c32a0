#include "ui/QtTranslations.h"

#include <QLibraryInfo>
#include <QLocale>

namespace nq {

std::string QtDialogLanguage(const std::string& systemLocale) {
  const bool catalan = systemLocale.size() >= 2 && systemLocale.compare(0, 2, "ca") == 0 &&
                       (systemLocale.size() == 2 || systemLocale[2] == '_' || systemLocale[2] == '.' ||
                        systemLocale[2] == '@');
  return catalan ? "ca" : "es";
}

std::unique_ptr<QTranslator> LoadQtTranslations(const std::string& systemLocale) {
  auto translator = std::make_unique<QTranslator>();
  // qtbase holds the texts of the widgets the player shows (message boxes, file dialog).
  const QLocale language(QString::fromStdString(QtDialogLanguage(systemLocale)));
  if (!translator->load(language, "qtbase", "_", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    return nullptr;
  return translator;
}

} // namespace nq
