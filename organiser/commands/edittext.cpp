#include "edittext.h"

#include "browser/organiser.h"
#include "commands.h"
#include "listwindow/lform.h"
#include "platform/controls/fonts.h"
#include "platform/controls/placement.h"
#include "platform/controls/textbox.h"
#include "platform/textcodec.h"
#include "platform/twips.h"
#include "platform/controls/windowlook.h"

#include <QCloseEvent>
#include <QMouseEvent>
#include <QPlainTextEdit>

namespace tarvo {

EditText::EditText(Organiser& org) : QWidget(nullptr), m_org(org) {
    setObjectName(QStringLiteral("EditText"));
    setFont(platform::designFont(platform::kMsGothic, 9));
    platform::setClientTwips(this, 6195, 945);
    m_etxt = new platform::TextBox(this, QStringLiteral("\r\n"));
    m_etxt->setObjectName(QStringLiteral("Etxt"));
    m_etxt->setFont(platform::designFont(platform::kMsPGothic, 9));
    m_etxt->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_etxt->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    platform::placeTwips(m_etxt, 12, 0, 6192, 948);
    m_etxt->viewport()->installEventFilter(this);
    connect(m_etxt, &QPlainTextEdit::textChanged, this, [this] { Etxt_Change(); });
    setCaption(QString());
    platform::keepPlaceWhileHidden(this);
}

QPlainTextEdit* EditText::Etxt() const {
    return m_etxt;
}

void EditText::setCaption(const QString& caption) {
    m_caption = caption;
    // An empty title would make the window system show the program's name; a blank shows
    // nothing, as an empty caption does on Windows.
    setWindowTitle(caption.isEmpty() ? QStringLiteral(" ") : platform::shownName(caption));
}

QString EditText::text() const {
    // Exactly as loaded, with the user's edits; a typed line break is CR LF, as the
    // multi-line box holds it on Windows.
    return m_etxt->text();
}

void EditText::setTextByProgram(const QString& text) {
    Module1& m = m_org.m();
    m.MemoLoading = 1;
    m_etxt->setText(text);
    m.MemoLoading = 0;
}

bool EditText::giveFocus() {
    if (!isVisible())
        return false;
    activateWindow();
    raise();
    m_etxt->setFocus(Qt::OtherFocusReason);
    return true;
}

void EditText::toggleShown() {
    Module1& m = m_org.m();
    if (m.MemoShown == 0) {
        show();
        m.MemoShown = 1;
    } else if (m.MemoShown == 1) {
        hide();
        m.MemoShown = 0;
    }
}

void EditText::Etxt_Change() {
    Module1& m = m_org.m();
    if (m.MemoLoading == 0)
        m.MemoDirty = 1;
}

void EditText::Etxt_DblClick() {
    CopyMemoText(m_org);
    m_org.lform()->markCurrentBlue();
}

void EditText::closeEvent(QCloseEvent* e) {
    // The frame close hides the window like the memo button does; its text and a pending
    // edit stay, so the next save still writes them to the memo they belong to.
    e->accept();
    m_org.m().MemoShown = 0;
}

bool EditText::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_etxt->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            Etxt_DblClick();
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace tarvo
