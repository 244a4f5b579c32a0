// Qt's own dialog texts follow the language of the program's messages: Catalan on a Catalan desktop,
// Spanish on every other.
#include <QCoreApplication>
#include <gtest/gtest.h>

#include "ui/QtTranslations.h"

namespace nq {
namespace {

TEST(QtTranslationsTest, CatalanOnlyForACatalanLocaleElseSpanish) {
  const struct {
    const char* Locale;
    const char* Language;
  } cases[] = {{"ca_ES.UTF-8", "ca"}, {"ca", "ca"},    {"ca@valencia", "ca"}, {"ca_AD", "ca"},
               {"es_ES.UTF-8", "es"}, {"en_GB", "es"}, {"C", "es"},           {"", "es"},
               {"cs_CZ", "es"},       {"c", "es"},     {"cat", "es"}};
  for (const auto& c : cases)
    EXPECT_EQ(QtDialogLanguage(c.Locale), c.Language) << c.Locale;
}

// The "Cancel" of a message box or file dialog, as the installed translations give it.
QString CancelIn(const char* locale) {
  const std::unique_ptr<QTranslator> translator = LoadQtTranslations(locale);
  if (!translator) return {};
  QCoreApplication::installTranslator(translator.get());
  const QString text = QCoreApplication::translate("QPlatformTheme", "Cancel");
  QCoreApplication::removeTranslator(translator.get());
  return text;
}

TEST(QtTranslationsTest, DialogButtonsAreTranslated) {
  const QString catalan = CancelIn("ca_ES.UTF-8");
  const QString spanish = CancelIn("en_US.UTF-8");
  ASSERT_FALSE(catalan.isEmpty()) << "Qt's Catalan translation is not installed";
  ASSERT_FALSE(spanish.isEmpty()) << "Qt's Spanish translation is not installed";
  EXPECT_NE(catalan, "Cancel");
  EXPECT_NE(spanish, "Cancel");
  EXPECT_NE(catalan, spanish);
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Cancel"); // removed again
}

} // namespace
} // namespace nq
