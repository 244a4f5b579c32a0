#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "settings/SettingsKeys.h"
#include "settings/SettingsStore.h"
#include "support/TempFolder.h"

namespace nq {
namespace {

// A value that differs from the key's default, so a key that is not really stored fails.
std::string NonDefaultText(const SettingKey& key) {
  switch (key.Kind) {
  case SettingKind::Flag:
    return key.Default == "1" ? "0" : "1";
  case SettingKind::Integer:
    return "-123456";
  case SettingKind::YesNo:
    return std::string(key.Default == YesText ? NoText : YesText);
  case SettingKind::AccentedYesNo:
    return std::string(AccentedYesText);
  case SettingKind::Text:
    break;
  }
  return "Caf\xE8 \\ " + std::string(key.Key);
}

TEST(SettingsStore, EveryKeyRoundTripsWithANonDefaultValue) {
  test::TempFolder folder;
  {
    SettingsStore store(folder.Path("nexoquadrix.ini"), folder.Path("Quadrix.ini"));
    for (const SettingKey& key : ProgramSettingKeys) {
      const std::string value = NonDefaultText(key);
      switch (key.Kind) {
      case SettingKind::Flag:
        EXPECT_TRUE(store.WriteSettingFlag(key.Section, key.Key, value == "1"));
        break;
      case SettingKind::Integer:
        EXPECT_TRUE(store.WriteSettingInteger(key.Section, key.Key, -123456));
        break;
      case SettingKind::YesNo:
        EXPECT_TRUE(store.WriteSettingYesNo(key.Section, key.Key, value == YesText));
        break;
      case SettingKind::AccentedYesNo:
        EXPECT_TRUE(store.WriteSettingAccentedYesNo(key.Section, key.Key, true));
        break;
      case SettingKind::Text:
        EXPECT_TRUE(store.WriteSettingText(key.Section, key.Key, value));
        break;
      }
    }
  }
  const SettingsStore reopened(folder.Path("nexoquadrix.ini"), folder.Path("Quadrix.ini"));
  for (const SettingKey& key : ProgramSettingKeys) {
    const std::string value = NonDefaultText(key);
    EXPECT_EQ(reopened.ReadSettingText(key.Section, key.Key, key.Default), value) << key.Key;
    switch (key.Kind) {
    case SettingKind::Flag:
      EXPECT_EQ(reopened.ReadSettingFlag(key.Section, key.Key, key.Default == "1"), value == "1") << key.Key;
      break;
    case SettingKind::Integer:
      EXPECT_EQ(reopened.ReadSettingInteger(key.Section, key.Key, 0), -123456) << key.Key;
      break;
    case SettingKind::YesNo:
      EXPECT_EQ(reopened.ReadSettingYes(key.Section, key.Key, key.Default), value == YesText) << key.Key;
      break;
    case SettingKind::AccentedYesNo:
      EXPECT_TRUE(reopened.ReadSettingAccentedYes(key.Section, key.Key, key.Default)) << key.Key;
      break;
    case SettingKind::Text:
      break;
    }
  }
}

TEST(SettingsStore, YesTextsAreComparedExactly) {
  test::TempFolder folder;
  test::WriteBytes(
      folder.Path("s.ini"),
      "[Menu Options]\r\nMenuSpeak.Checked=no\r\nNonFocusable=SI\r\nMenuSwapBars.Checked=\"SI\"\r\n"
      "[Clic]\r\nActivar per so=SI\r\n[Menu Control]\r\nTypeMouseDown=0x10\r\n");
  const SettingsStore store(folder.Path("s.ini"), folder.Path("Quadrix.ini"));
  EXPECT_FALSE(store.ReadSettingYes(SectionMenuOptions, KeyMenuSpeakChecked, YesText));
  EXPECT_NE(store.ReadSettingText(SectionMenuOptions, KeyMenuSpeakChecked, YesText), NoText);
  EXPECT_TRUE(store.ReadSettingYes(SectionMenuOptions, KeyNonFocusable, NoText));
  EXPECT_TRUE(store.ReadSettingYes(SectionMenuOptions, KeyMenuSwapBarsChecked, NoText));
  EXPECT_TRUE(store.ReadSettingYes(SectionMenuOptions, KeyNoMenuNoCaption, YesText)); // default applies
  EXPECT_FALSE(store.ReadSettingAccentedYes(SectionClic, KeyActivarPerSo, NoText));   // "SI" is not "SÍ"
  EXPECT_EQ(store.ReadSettingInteger(SectionMenuControl, KeyTypeMouseDown, 0), 16);
}

TEST(SettingsStore, QuadrixIniKeysMatchTheFileBytes) {
  const SettingsStore store("/nonexistent/nexoquadrix.ini", NQ_FIXTURES "/settings/Quadrix.ini");
  EXPECT_EQ(ParseLenientNumber(store.ReadSharedText(SectionQuadrix, KeyDecimesScan, DefaultDecimesScan)), 7);
  EXPECT_EQ(store.ReadSharedText(SectionQuadrix, KeyNumeroFitxesMissatges, DefaultNumeroFitxesMissatges),
            "21");
  EXPECT_EQ(ParseLenientNumber(store.ReadSharedText("QUADRIX", KeyMilisegonsClicAutomatic, "0")), 0);
  EXPECT_EQ(ParseStrictNumber(store.ReadSharedText(SectionMarc, KeyGruixudaria, DefaultGruixudaria)),
            std::nullopt);
  EXPECT_EQ(ParseStrictNumber(store.ReadSharedText(SectionMarc, KeySeparacioEntreCaselles, "2")), 0);
  EXPECT_EQ(store.ReadSharedText(SectionFontMissatge, KeyFontName, DefaultFontMissatgeValue),
            "Comic Sans MS");
  EXPECT_TRUE(store.ReadSharedAccentedYes(SectionFontMissatge, KeyFontNegreta, DefaultFontMissatgeValue));
  EXPECT_FALSE(store.ReadSharedAccentedYes(SectionFontMissatge, KeyFontItalica, DefaultFontMissatgeValue));
  EXPECT_EQ(store.ReadSharedText(SectionFontMissatge, KeyFontColor, DefaultFontMissatgeValue), "0");
}

TEST(SettingsStore, ReadsSeeChangesMadeOnDisk) {
  test::TempFolder folder;
  const std::string path = folder.Path("s.ini");
  const SettingsStore store(path, folder.Path("Quadrix.ini"));
  EXPECT_EQ(store.ReadSettingInteger(SectionPanelMesageBar, KeyHeight, DefaultMessageBarHeight), 135);
  test::WriteBytes(path, "[PanelMesageBar]\nHeight=101\n");
  EXPECT_EQ(store.ReadSettingInteger(SectionPanelMesageBar, KeyHeight, DefaultMessageBarHeight), 101);
}

TEST(SettingsStore, FailedWritesAreReportedAndHarmless) {
  test::TempFolder folder;
  const std::string path = folder.Path("s.ini");
  test::WriteBytes(path, "[NexoQuadrix]\r\nNomFitxerInicial=a.qdx\r\n");
  chmod(path.c_str(), 0444);
  SettingsStore store(path, folder.Path("Quadrix.ini"));
  EXPECT_FALSE(store.WriteSettingText(SectionNexoQuadrix, KeyNomFitxerInicial, "b.qdx"));
  EXPECT_FALSE(store.WriteSettingFlag(SectionMenuOptions, KeyMenuEfecto3DChecked, false));
  EXPECT_EQ(store.ReadSettingText(SectionNexoQuadrix, KeyNomFitxerInicial, ""), "a.qdx");
  EXPECT_EQ(test::ReadBytes(path), "[NexoQuadrix]\r\nNomFitxerInicial=a.qdx\r\n");
}

TEST(SettingsStore, CreatesTheConfigFolderOnlyWhenAsked) {
  test::TempFolder folder;
  SettingsStore plain(folder.Path("a/b/s.ini"), "");
  EXPECT_FALSE(plain.WriteSettingFlag(SectionMenuOptions, KeyMenuEfecto3DChecked, false));
  EXPECT_FALSE(test::Exists(folder.Path("a")));

  SettingsStore creating(folder.Path("a/b/s.ini"), "", true);
  EXPECT_TRUE(creating.WriteSettingFlag(SectionMenuOptions, KeyMenuEfecto3DChecked, false));
  EXPECT_EQ(test::ReadBytes(folder.Path("a/b/s.ini")), "[Menu Options]\r\nMenuEfecto3D.Checked=0\r\n");
}

} // namespace
} // namespace nq
