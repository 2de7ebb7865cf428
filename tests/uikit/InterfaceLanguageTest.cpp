// Tests of the interface language on the window side: Chinese texts have glyphs in the fonts the
// widgets resolve to, and Qt's own texts follow the language.
#include "uikit/InterfaceLanguage.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QRawFont>
#include <QTranslator>
#include <string>
#include <vector>

#include "app/core/MessageStyle.h"
#include "platform/strings/StringTable.h"
#include "uikit/QtMessagePresenter.h"

namespace {

const std::string kChinese = "zh_CN";

QString ChineseText(int id) {
  const auto text = platform::StringTable::ForLanguage(kChinese).Find(id);
  return text ? QString::fromUtf8(text->data(), static_cast<qsizetype>(text->size())) : QString();
}

bool IsCjk(char32_t c) { return c >= 0x2E80 && c <= 0x9FFF; }
bool HasCjk(const QString& text) {
  for (char32_t c : text.toUcs4())
    if (IsCjk(c)) return true;
  return false;
}

/// The characters of `text` that no family of `font`'s fallback chain can draw.
QString MissingGlyphs(const QFont& font, const QString& text) {
  QStringList families = font.families();
  if (families.isEmpty()) families << font.family();
  std::vector<QRawFont> raws;
  for (const QString& family : families) {
    QFont one(family, font.pointSize());
    QRawFont raw = QRawFont::fromFont(one);
    // A family that is not installed resolves to another; count only what was asked for.
    if (raw.isValid() && raw.familyName() == family) raws.push_back(raw);
  }
  QString missing;
  for (char32_t c : text.toUcs4()) {
    if (c < 0x20 || c == '&') continue;
    bool found = false;
    for (const QRawFont& raw : raws) found = found || raw.supportsCharacter(c);
    if (!found) missing += QString::fromUcs4(&c, 1);
  }
  return missing;
}

/// Every text a widget shows: its own labels and buttons.
QStringList ShownTexts(const QWidget& widget) {
  QStringList texts;
  for (const QLabel* label : widget.findChildren<QLabel*>()) texts << label->text();
  for (const QAbstractButton* button : widget.findChildren<QAbstractButton*>()) texts << button->text();
  texts.removeAll(QString());
  return texts;
}

bool ChineseFontInstalled() {
  for (const QString& family : ui::ChineseFallbackFamilies()) {
    QRawFont raw = QRawFont::fromFont(QFont(family, 9));
    if (raw.isValid() && raw.familyName() == family) return true;
  }
  return false;
}

/// The application font in Chinese for one test, the English one restored after it.
class ChineseFont {
 public:
  ChineseFont() : m_saved(QApplication::font()) {
    QApplication::setFont(ui::InterfaceFont(QFont("DejaVu Sans", 9), kChinese));
  }
  ~ChineseFont() { QApplication::setFont(m_saved); }
  ChineseFont(const ChineseFont&) = delete;
  ChineseFont& operator=(const ChineseFont&) = delete;

 private:
  QFont m_saved;
};

class QtTranslation {
 public:
  explicit QtTranslation(QApplication& app) : m_translator(ui::InstallQtTranslation(app, kChinese)) {}
  ~QtTranslation() {
    if (m_translator) QApplication::removeTranslator(m_translator);
    delete m_translator;
  }
  QtTranslation(const QtTranslation&) = delete;
  QtTranslation& operator=(const QtTranslation&) = delete;
  bool Installed() const { return m_translator != nullptr; }

 private:
  QTranslator* m_translator;
};

QApplication& App() { return *qobject_cast<QApplication*>(QCoreApplication::instance()); }

TEST(InterfaceLanguage, EnglishKeepsTheFontAsItIs) {
  const QFont base("DejaVu Sans", 9);
  EXPECT_EQ(ui::InterfaceFont(base, "en"), base);
  EXPECT_EQ(ui::InstallQtTranslation(App(), "en"), nullptr);
}

TEST(InterfaceLanguage, ChineseFontFallsBackToTheCjkFamiliesAfterItsOwn) {
  const QFont font = ui::InterfaceFont(QFont("DejaVu Sans", 9), kChinese);
  const QStringList families = font.families();
  ASSERT_FALSE(families.isEmpty());
  EXPECT_EQ(families.front(), "DejaVu Sans");
  EXPECT_TRUE(families.contains("WenQuanYi Micro Hei"));
  EXPECT_EQ(font.pointSize(), 9);
}

TEST(InterfaceLanguage, EveryCharacterOfChineseMessageBoxesHasAGlyph) {
  if (!ChineseFontInstalled()) GTEST_SKIP() << "no CJK font installed (scripts/deps.sh installs fonts-wqy-microhei)";
  ChineseFont font;
  QtTranslation translation(App());
  for (int id : {7091, 7077, 7083}) {
    const QString text = ChineseText(id);
    ASSERT_TRUE(HasCjk(text)) << "message " << id << " has no Chinese text";
    // The check bites: the Latin font alone cannot draw these.
    EXPECT_NE(MissingGlyphs(QFont("DejaVu Sans", 9), text), QString());
    auto box = ui::QtMessagePresenter::BuildBox(text, GetMessageStyle(id), nullptr);
    box->ensurePolished();
    for (const QString& shown : ShownTexts(*box)) {
      EXPECT_EQ(MissingGlyphs(box->font(), shown), QString()) << "message " << id << ": " << shown.toStdString();
      EXPECT_TRUE(QFontMetrics(box->font()).inFontUcs4(shown.toUcs4().front())) << shown.toStdString();
    }
  }
}

TEST(InterfaceLanguage, StandardButtonsAreChineseWithTheTranslationAndEnglishWithout) {
  ChineseFont font;
  {
    QtTranslation translation(App());
    if (!translation.Installed()) GTEST_SKIP() << "Qt's Chinese translation is not installed (qt6-translations-l10n)";
    auto box = ui::QtMessagePresenter::BuildBox(ChineseText(7091), GetMessageStyle(7091), nullptr);
    for (auto button : {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel}) {
      const QString text = box->button(button)->text();
      EXPECT_TRUE(HasCjk(text)) << text.toStdString();
      if (ChineseFontInstalled()) {
        EXPECT_EQ(MissingGlyphs(box->font(), text), QString()) << text.toStdString();
      }
    }
  }
  auto english = ui::QtMessagePresenter::BuildBox("Exist editing document.", GetMessageStyle(7091), nullptr);
  EXPECT_EQ(english->button(QMessageBox::Yes)->text().remove('&'), "Yes");
}

TEST(InterfaceLanguage, FileDialogLabelsAreChineseAndDrawable) {
  ChineseFont font;
  QtTranslation translation(App());
  if (!translation.Installed()) GTEST_SKIP() << "Qt's Chinese translation is not installed (qt6-translations-l10n)";
  if (!ChineseFontInstalled()) GTEST_SKIP() << "no CJK font installed (scripts/deps.sh installs fonts-wqy-microhei)";
  QFileDialog dialog(nullptr, ChineseText(7083));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.ensurePolished();
  const QStringList texts = ShownTexts(dialog);
  int chinese = 0;
  for (const QString& text : texts) {
    chinese += HasCjk(text) ? 1 : 0;
    EXPECT_EQ(MissingGlyphs(dialog.font(), text), QString()) << text.toStdString();
  }
  EXPECT_GE(chinese, 2) << texts.join('|').toStdString();
  EXPECT_EQ(MissingGlyphs(dialog.font(), dialog.windowTitle()), QString());
}

}  // namespace
