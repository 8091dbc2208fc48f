#include "form1.h"

#include "capturename.h"
#include "form1texts.h"
#include "platform/clipboard.h"
#include "platform/controls/fonts.h"
#include "platform/controls/icons.h"
#include "platform/controls/placement.h"
#include "platform/pictures/bmpwriter.h"
#include "platform/twips.h"
#include "platform/controls/windowlook.h"
#include "savedpicture.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

namespace capture {
namespace {

// How long an unreadable bitmap is given to be taken back or replaced before it counts as lost.
constexpr int kSettleMs = 500;

// Image1: holds the last captured picture and would show it stretched; it is never visible.
class PictureHolder final : public QWidget {
public:
    using QWidget::QWidget;
    void setPicture(const QImage& picture) {
        m_picture = picture;
        update();
    }
    const QImage& picture() const { return m_picture; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.drawImage(rect(), m_picture);
    }

private:
    QImage m_picture;
};

QString displayText(const QString& designed) {
    QString t = designed;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return t;
}

void setBackground(QWidget* w, const QColor& c) {
    QPalette pal = w->palette();
    pal.setColor(QPalette::Base, c);
    pal.setColor(QPalette::Window, c);
    w->setPalette(pal);
    w->setAutoFillBackground(true);
}

void setTextColour(QWidget* w, const QColor& c) {
    QPalette pal = w->palette();
    pal.setColor(QPalette::Text, c);
    w->setPalette(pal);
}

QPlainTextEdit* textBox(QWidget* parent, const char* name, const QString& text) {
    auto* box = new QPlainTextEdit(parent);
    box->setObjectName(QLatin1String(name));
    box->setPlainText(displayText(text));
    box->setFont(platform::designFont(platform::kMsGothic, 9));
    box->setLineWrapMode(QPlainTextEdit::NoWrap);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return box;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    platform::setButtonFace(b);
    return b;
}

} // namespace

Form1::Form1(platform::ViewerChain& chain, platform::Clipboard& clipboard,
             std::function<void()> endProgram, QWidget* parent)
    : QWidget(parent), m_chain(chain), m_clipboard(clipboard), m_endProgram(std::move(endProgram)) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(texts::kCaption);
    setWindowIcon(platform::mirokIcon());
    setFont(platform::designFont(platform::kMsGothic, 9));
    platform::setClientTwips(this, 4635, 3195);
    buildControls();
    platform::enterPressesFocusedButton(this);

    // Load: saving is on, and the chain procedure finds this window and its save step.
    Module1& m = module1();
    m.CaptureOn = 1;
    m.Chain = &m_chain;
    m.Form1Window = m_chain.windowHandle(this);
    m.CaptureClipboard = [this] { CaptureClipboard(); };
    Command1->setFocus();
    // Run would join, but no picture of another program would ever reach us: say so at once.
    if (!m_chain.watchesOtherPrograms())
        showFailure(texts::kCannotWatch);
}

Form1::~Form1() {
    Module1& m = module1();
    if (!m_ended)
        LeaveViewerChain();
    if (m.Chain == &m_chain)
        m.CaptureClipboard = nullptr;
}

void Form1::buildControls() {
    Label1 = new QLabel(texts::kLabel1, this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignRight | Qt::AlignTop);
    platform::placeTwips(Label1, 495, 120, 3840, 375);

    Command1 = button(this, "Command1", texts::kRun);
    platform::placeTwips(Command1, 2640, 2520, 735, 495);
    Command2 = button(this, "Command2", texts::kExit);
    platform::placeTwips(Command2, 3720, 2520, 735, 495);

    Text1 = textBox(this, "Text1", texts::kText1);
    setBackground(Text1, QColor(0xFF, 0xFF, 0xC0));
    platform::placeTwips(Text1, 510, 480, 3585, 975);

    Text2 = new QLineEdit(texts::kPrefix, this);
    Text2->setObjectName(QStringLiteral("Text2"));
    Text2->setFont(QApplication::font());
    platform::placeTwips(Text2, 2280, 1680, 1575, 270);

    const QColor buttonFace = palette().color(QPalette::Button);
    Text3 = textBox(this, "Text3", texts::kText3);
    Text3->setFrameShape(QFrame::NoFrame);
    setBackground(Text3, buttonFace);
    platform::placeTwips(Text3, 390, 1560, 1905, 495);

    Text4 = textBox(this, "Text4", texts::kText4);
    setBackground(Text4, QColor(0xC0, 0xFF, 0xC0));
    platform::placeTwips(Text4, 600, 2040, 1575, 975);

    Text5 = new QLineEdit(this);
    Text5->setObjectName(QStringLiteral("Text5"));
    Text5->setFont(platform::designFont(platform::kMsGothic, 11.25));
    platform::placeTwips(Text5, 2280, 2100, 1575, 375);

    Command3 = button(this, "Command3", texts::kSwitchOff);
    Command3->setFont(QApplication::font());
    platform::placeTwips(Command3, 3960, 2040, 495, 375);

    Image1 = new PictureHolder(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    platform::placeTwips(Image1, 4080, 1440, 495, 375);
    Image1->hide();

    setTabOrder(Command1, Command2);
    setTabOrder(Command2, Text1);
    setTabOrder(Text1, Text2);
    setTabOrder(Text2, Text3);
    setTabOrder(Text3, Text4);
    setTabOrder(Text4, Text5);
    setTabOrder(Text5, Command3);

    showSwitchState();

    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
}

void Form1::Command1_Click() {
    JoinViewerChain();
    Command1->setEnabled(false);
    Command3->setEnabled(true);
    showMinimized();
}

void Form1::Command2_Click() {
    if (m_ended)
        return;
    m_ended = true;
    LeaveViewerChain();
    Command1->setEnabled(true);
    close();
    if (m_endProgram)
        m_endProgram();
    else
        QCoreApplication::quit();
}

void Form1::closeEvent(QCloseEvent* event) {
    // Closing the window is Exit: leave the chain, then end.
    Command2_Click();
    event->accept();
}

void Form1::Command3_Click() {
    Module1& m = module1();
    m_switchPressed = true;
    if (m.CaptureOn == 1)
        m.CaptureOn = 0;
    else if (m.CaptureOn == 0)
        m.CaptureOn = 1;
    showSwitchState();
}

void Form1::showSwitchState() {
    const Module1& m = module1();
    setTextColour(Text5, palette().color(QPalette::Text));
    if (!m_switchPressed) {
        Text5->setText(texts::kText5);
        Text5->setFrame(false);
        setBackground(Text5, palette().color(QPalette::Button));
    } else if (m.CaptureOn == 1) {
        Command3->setText(texts::kSwitchOff);
        Text5->setText(texts::kWorking);
        Text5->setFrame(true);
        setBackground(Text5, QColor(0xFF, 0xC0, 0xFF));
    } else {
        Command3->setText(texts::kSwitchOn);
        Text5->setText(texts::kResting);
        Text5->setFrame(false);
        setBackground(Text5, palette().color(QPalette::Button));
    }
    Text5->setToolTip(m_failure);
    Text5->setCursorPosition(0);
}

void Form1::showFailure(const QString& text) {
    m_failure = text;
    // The caption keeps the report while the window is minimised and after a switch press;
    // it still begins with the name by which the organiser finds this window.
    setWindowTitle(texts::kCaption + QStringLiteral(" - ") + text);
    Text5->setText(text);
    Text5->setToolTip(text);
    Text5->setCursorPosition(0);
    setTextColour(Text5, QColor(0xC0, 0, 0));
}

void Form1::reportMissed(const QString& reason) {
    Module1& m = module1();
    ++m.MissedNotices;
    showFailure(QStringLiteral("取り込めません(%1件): %2").arg(m.MissedNotices).arg(reason));
}

void Form1::CaptureClipboard() {
    Module1& m = module1();
    const quint64 notice = ++m_notices;
    QImage picture;
    const platform::Result read = m_clipboard.readBitmap(picture);
    if (!read) {
        // No bitmap (text or other formats) is ignored; an owner that does not hand its data
        // over in time costs this notice only, and the user sees that one was lost.
        if (read.error == platform::Error::Corrupt) {
            // An owner that offered a picture it then could not make takes the offer back,
            // and one that offered a newer picture replaced it: either comes as another
            // clipboard change soon after. Only a bitmap still offered and still unreadable
            // a moment later was really lost.
            QTimer::singleShot(kSettleMs, this, [this, notice, reason = read.reason] {
                if (m_notices == notice && module1().CaptureOn == 1 && m_clipboard.hasBitmap())
                    reportMissed(reason);
            });
        } else if (read.error != platform::Error::NotFound) {
            reportMissed(read.reason);
        }
        return;
    }
    // Read again for a later notice of the same change: saved already.
    if (!isNewCapture(m_picture, picture))
        return;
    m_picture = picture;
    static_cast<PictureHolder*>(Image1)->setPicture(picture);
    m.SaveCount = nextSaveCount(m.SaveCount);
    const QString name = captureFileName(Text2->text(), m.SaveCount);
    const platform::Result saved = platform::writeBmp(m_picture, name);
    if (!saved) {
        m_picture = QImage(); // not saved: the next notice tries it again
        showFailure(QStringLiteral("保存できません: %1").arg(saved.reason));
        return;
    }
    if (!m_failure.isEmpty()) {
        m_failure.clear();
        setWindowTitle(texts::kCaption);
        showSwitchState();
    }
}

} // namespace capture
