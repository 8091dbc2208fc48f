#include "textbox.h"

#include <QTextDocument>

namespace platform {

namespace {

bool isBreak(QChar c) {
    return c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar::ParagraphSeparator;
}

} // namespace

TextBox::TextBox(QWidget* parent, QString lineEnd)
    : QPlainTextEdit(parent), m_lineEnd(std::move(lineEnd)) {
    m_start.push_back(0);
}

void TextBox::setText(const QString& text) {
    m_set = text;
    m_shown.clear();
    m_start.clear();
    for (qsizetype k = 0; k < text.size(); ++k) {
        m_start.push_back(k);
        const QChar c = text.at(k);
        if (isBreak(c)) {
            // The document makes one paragraph break of CR LF, as of each of the others.
            if (c == QLatin1Char('\r') && k + 1 < text.size() &&
                text.at(k + 1) == QLatin1Char('\n'))
                ++k;
            m_shown += QChar(QChar::ParagraphSeparator);
        } else {
            m_shown += c;
        }
    }
    m_start.push_back(text.size());
    setPlainText(text);
}

QString TextBox::text() const {
    const QString raw = document()->toRawText();
    if (raw == m_shown)
        return m_set;
    // The user changed one stretch: what lies before and after it is as it was set.
    const qsizetype most = std::min(raw.size(), m_shown.size());
    qsizetype prefix = 0;
    while (prefix < most && raw.at(prefix) == m_shown.at(prefix))
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < most - prefix &&
           raw.at(raw.size() - 1 - suffix) == m_shown.at(m_shown.size() - 1 - suffix))
        ++suffix;
    QString edited = raw.mid(prefix, raw.size() - prefix - suffix);
    QString typed;
    typed.reserve(edited.size());
    for (QChar c : edited) {
        if (c == QChar::ParagraphSeparator)
            typed += m_lineEnd;
        else
            typed += c;
    }
    const qsizetype tailStart = m_start[static_cast<size_t>(m_shown.size() - suffix)];
    return m_set.left(m_start[static_cast<size_t>(prefix)]) + typed + m_set.mid(tailStart);
}

} // namespace platform
