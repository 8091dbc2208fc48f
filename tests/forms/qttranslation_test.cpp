// Qt's own texts, such as the context menus of the name fields, the memo and the mask field,
// are Japanese like the rest of the windows.
#include "platform/controls/translations.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <gtest/gtest.h>
#include <memory>

TEST(QtTranslation, ContextMenusOfTextFieldsAreJapanese) {
    ASSERT_TRUE(platform::installQtTranslation())
        << "no qtbase_ja.qm in "
        << platform::qtTranslationFolders().join(QLatin1String(", ")).toStdString();
    QLineEdit name;
    QPlainTextEdit memo;
    for (QMenu* menu : {name.createStandardContextMenu(), memo.createStandardContextMenu()}) {
        const std::unique_ptr<QMenu> owned(menu);
        QString all; // "元に戻す(&U)\tCtrl+Z" reads "元に戻す(U)|"
        for (QAction* a : menu->actions())
            all += a->text().section(QLatin1Char('\t'), 0, 0).remove(QLatin1Char('&')) + u'|';
        for (const char* japanese :
             {"元に戻す", "やり直す", "切り取り", "コピー", "貼り付け", "削除"})
            EXPECT_TRUE(all.contains(QString::fromUtf8(japanese)))
                << japanese << " in " << qPrintable(all);
        for (const char* english : {"Undo", "Redo", "Cut", "Copy", "Paste", "Delete", "Select All"})
            EXPECT_FALSE(all.contains(QLatin1String(english)))
                << english << " in " << qPrintable(all);
    }
}
