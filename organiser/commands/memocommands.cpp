// The memo of the selected picture: loaded at each selection, saved by "メモ保存" or by
// the next selection.
#include "browser/imgview.h"
#include "browser/organiser.h"
#include "commands.h"
#include "edittext.h"
#include "memoitems.h"
#include "platform/files.h"

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

void TSave_Click(Organiser& org) {
    Module1& m = org.m();
    if (m.MemoDirty == 1 && !m.MemoPath.isEmpty()) {
        EditText* window = org.editText();
        if (org.files().writeText(m.MemoPath, window->text() + QStringLiteral("\r\n")).ok()) {
            window->setCaption(window->caption() + QStringLiteral(" (保存) "));
            window->giveFocus();
        }
    }
    m.MemoDirty = 0;
}

} // namespace tarvo
