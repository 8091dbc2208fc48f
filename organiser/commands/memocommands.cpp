// The memo of the selected picture: loaded at each selection, saved by "メモ保存" or by
// the next selection.
#include "browser/imgview.h"
#include "browser/organiser.h"
#include "commands.h"
#include "edittext.h"
#include "memoitems.h"
#include "platform/controls/messagebox.h"
#include "platform/files.h"

#include <QDir>

#include <QPlainTextEdit>
#include <QScrollBar>

namespace tarvo {

void LoadMemo(Organiser& org) {
    Module1& m = org.m();
    m.MemoText.clear();
    const QString name = m.fileName(org.imgView()->VScroll1()->value() + m.CurCell);
    const QString memo = memoNameFor(name);
    EditText* window = org.editText();
    window->setCaption(memo);
    m.MemoFileName = memo;
    m.MemoPath = m.ImageDir + memo;
    if (!org.files().isNormalFile(m.MemoPath))
        return; // no memo
    const std::optional<QString> content = org.files().readText(m.MemoPath);
    if (!content)
        return;
    const std::optional<QString> text = memoTextFromFile(*content);
    if (!text)
        return; // malformed: no memo, and the window keeps its text
    m.MemoText = *text;
    window->setTextByProgram(m.MemoText);
}

platform::Result SaveMemo(Organiser& org) {
    Module1& m = org.m();
    if (m.MemoDirty == 1 && !m.MemoPath.isEmpty()) {
        EditText* window = org.editText();
        const platform::Result r =
            org.files().writeText(m.MemoPath, window->text() + QStringLiteral("\r\n"));
        if (!r.ok())
            return r; // still pending: the text is not lost in silence
        window->setCaption(window->caption() + QStringLiteral(" (保存) "));
        window->giveFocus();
    }
    m.MemoDirty = 0;
    return platform::Result::success();
}

void ReportMemoNotSaved(Organiser& org, const platform::Result& why, bool leaving) {
    const Module1& m = org.m();
    org.editText()->setCaption(
        QStringLiteral("%1 を保存できません: %2").arg(m.MemoFileName, why.cause));
    QString text = QStringLiteral("メモ %1 を保存できませんでした。\r保存先: %2\r理由: %3\r"
                                  "書いた文章はメモ画面に残っています。")
                       .arg(m.MemoFileName, QDir::toNativeSeparators(m.MemoPath), why.cause);
    if (leaving)
        text += QStringLiteral("\rもう一度選ぶと、保存しないで次へ進みます。");
    org.messages().show(org.imgView(), text, QString(), platform::MessageBox::Icon::Warning);
}

void TSave_Click(Organiser& org) {
    const platform::Result r = SaveMemo(org);
    if (!r.ok())
        ReportMemoNotSaved(org, r, false);
}

} // namespace tarvo
