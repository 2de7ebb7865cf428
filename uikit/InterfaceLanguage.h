// The interface language on the window side: a font that can show it and Qt's own texts in it.
#pragma once

#include <QFont>
#include <QString>
#include <QStringList>
#include <string>

class QApplication;
class QTranslator;

namespace ui {

/// True when the interface language (TRILLOT_LANG or the locale) is Simplified Chinese.
bool IsChineseInterface();

/// The families tried, in order, for a character the first one lacks: the compact CJK fonts the
/// program installs, so Chinese texts show without any font set-up by the user.
QStringList ChineseFallbackFamilies();

/// `base` with the CJK families after its own, for text in `language` ("zh_CN" or "en").
QFont InterfaceFont(const QFont& base, const std::string& language);

/// Loads Qt's own translation (standard buttons, file dialogs) for `language` from Qt's
/// translations folder and installs it on the application. Null when there is none (English,
/// or the translations are not installed): Qt's texts then stay English.
QTranslator* InstallQtTranslation(QApplication& app, const std::string& language);

/// Both of the above for the interface language of this run.
void ApplyInterfaceLanguage(QApplication& app);

}  // namespace ui
