// Qt's own texts, such as the context menus of the name fields, the memo and the mask field,
// are Japanese like the rest of the windows.
#include "platform/controls/translations.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <gtest/gtest.h>
#include <memory>

namespace {

// The menu's item texts without their access keys and shortcuts: "元に戻す(&U)\tCtrl+Z"
// reads "元に戻す(U)".
QStringList itemTexts(QMenu* menu) {
    QStringList texts;
    for (QAction* a : menu->actions()) {
        if (!a->isSeparator())
            texts << a->text().section(QLatin1Char('\t'), 0, 0).remove(QLatin1Char('&'));
    }
    return texts;
}

} // namespace

TEST(QtTranslation, ContextMenusOfTextFieldsAreJapanese) {
    ASSERT_TRUE(platform::installQtTranslation())
        << "no qtbase_ja.qm in "
        << platform::qtTranslationFolders().join(QLatin1String(", ")).toStdString();
    QLineEdit name;
    QPlainTextEdit memo;
    const std::unique_ptr<QMenu> menus[] = {
        std::unique_ptr<QMenu>(name.createStandardContextMenu()),
        std::unique_ptr<QMenu>(memo.createStandardContextMenu())};
    for (const auto& menu : menus) {
        const QString all = itemTexts(menu.get()).join(QLatin1Char('|'));
        for (const char* japanese :
             {"元に戻す", "やり直す", "切り取り", "コピー", "貼り付け", "削除"})
            EXPECT_TRUE(all.contains(QString::fromUtf8(japanese)))
                << japanese << " in " << all.toStdString();
        for (const char* english : {"Undo", "Redo", "Cut", "Copy", "Paste", "Delete", "Select All"})
            EXPECT_FALSE(all.contains(QLatin1String(english)))
                << english << " in " << all.toStdString();
    }
}
