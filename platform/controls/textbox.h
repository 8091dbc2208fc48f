#pragma once
// The multi-line text box of the windows (name fields, memo text): reads back exactly the
// text that was set or typed. QPlainTextEdit's own toPlainText turns a no-break space into
// a blank and U+2028/U+2029 into line breaks, which would rename a file or change a memo
// that nobody edited.

#include <QPlainTextEdit>
#include <vector>

namespace platform {

class TextBox : public QPlainTextEdit {
public:
    // lineEnd is what a line break typed by the user reads as ("\r\n" in a memo, as the
    // box holds it on Windows).
    explicit TextBox(QWidget* parent = nullptr, QString lineEnd = QStringLiteral("\n"));
    // Sets the text; textChanged is raised at once, as by setPlainText.
    void setText(const QString& text);
    // The text as set, with the user's edits in it. Characters the user left alone keep
    // their exact form (CR LF, a lone CR or LF, U+2029); line breaks the user typed read
    // as the line end.
    QString text() const;

private:
    QString m_set;
    // m_set as the document holds it: every line break one U+2029.
    QString m_shown;
    // Where each character of m_shown starts in m_set, with m_set's length at the end.
    std::vector<qsizetype> m_start;
    QString m_lineEnd;
};

} // namespace platform
