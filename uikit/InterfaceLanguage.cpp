#include "uikit/InterfaceLanguage.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <string>

#include "platform/strings/StringTable.h"

namespace ui {

bool IsChineseInterface() { return platform::UiLanguage().rfind("zh", 0) == 0; }

QStringList ChineseFallbackFamilies() {
  // WenQuanYi Micro Hei is what scripts/deps.sh installs; the others are the compact CJK fonts a
  // desktop is likely to have instead.
  return {QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Droid Sans Fallback"),
          QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Noto Sans SC")};
}

QFont InterfaceFont(const QFont& base, const std::string& language) {
  if (language.rfind("zh", 0) != 0) return base;
  QFont font = base;
  QStringList families = base.families();
  if (families.isEmpty()) families << base.family();
  for (const QString& family : ChineseFallbackFamilies())
    if (!families.contains(family)) families << family;
  font.setFamilies(families);
  return font;
}

QTranslator* InstallQtTranslation(QApplication& app, const std::string& language) {
  if (language.rfind("zh", 0) != 0) return nullptr;
  auto* translator = new QTranslator(&app);
  const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  if (!translator->load(QStringLiteral("qtbase_") + QString::fromStdString(language), folder)) {
    delete translator;
    return nullptr;
  }
  QApplication::installTranslator(translator);
  return translator;
}

void ApplyInterfaceLanguage(QApplication& app) {
  const std::string language = platform::UiLanguage();
  QApplication::setFont(InterfaceFont(QApplication::font(), language));
  InstallQtTranslation(app, language);
}

}  // namespace ui
