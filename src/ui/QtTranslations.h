#pragma once
// Qt's own texts (the buttons of message boxes, the open-file dialog) in the language of the
// program's own messages, from the translations Debian ships for Qt.
#include <QTranslator>
#include <memory>
#include <string>

namespace nq {

/// "ca" for a Catalan system locale ("ca_ES.UTF-8", "ca"), "es" for every other: the program's own
/// messages and menus are Spanish, so a dialog in any third language would mix two.
std::string QtDialogLanguage(const std::string& systemLocale);

/// Qt's translation for the language of systemLocale, ready to install in the application; null when
/// the translation files are missing (the dialogs then stay in Qt's English).
std::unique_ptr<QTranslator> LoadQtTranslations(const std::string& systemLocale);

} // namespace nq
