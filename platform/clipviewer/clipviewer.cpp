#include "clipviewer.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QStackedWidget>
#include <QTimer>
#include <optional>

namespace clipviewer {

void FittedPicture::setImage(const QImage& image) {
    m_image = image;
    update();
}

QRect FittedPicture::fittedRect(QSize picture, QSize area) {
    if (picture.isEmpty() || area.isEmpty())
        return {};
    const QSize size = picture.scaled(area, Qt::KeepAspectRatio);
    return {QPoint((area.width() - size.width()) / 2, (area.height() - size.height()) / 2), size};
}

void FittedPicture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().base());
    const QRect target = fittedRect(m_image.size(), size());
    if (target.isEmpty())
        return;
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(target, m_image);
}

ClipViewer::ClipViewer(platform::Clipboard& clipboard) : m_clipboard(clipboard) {
    setWindowTitle(QStringLiteral("クリップボード ビューア"));
    setObjectName(QStringLiteral("ClipViewer"));

    m_fileMenu = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
    QAction* quit = m_fileMenu->addAction(QStringLiteral("終了(&X)"));
    connect(quit, &QAction::triggered, this, &QWidget::close);
    auto* menuKey = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), this);
    connect(menuKey, &QShortcut::activated, this, &ClipViewer::openFileMenu);

    m_pages = new QStackedWidget(this);
    m_picture = new FittedPicture(m_pages);
    m_picture->setObjectName(QStringLiteral("picture"));
    m_text = new QPlainTextEdit(m_pages);
    m_text->setObjectName(QStringLiteral("text"));
    m_text->setReadOnly(true);
    m_pages->addWidget(m_picture);
    m_pages->addWidget(m_text);
    setCentralWidget(m_pages);
    resize(480, 360);

    // Qt tells of every change; the contents are read through the platform's clipboard
    // service, which on Windows reads the bitmap formats itself: Qt reads through OLE,
    // which under Wine does not hand over a bitmap offered for rendering on request, the
    // way the organiser offers each picture.
    // The read waits a moment after the notice: a picture offered for rendering on request
    // keeps the clipboard open while its owner makes it, and the capture saver, which reads
    // on the same notice, should not find it taken by a mere display.
    auto* later = new QTimer(this);
    later->setSingleShot(true);
    later->setInterval(250);
    connect(later, &QTimer::timeout, this, &ClipViewer::showClipboard);
    connect(QApplication::clipboard(), &QClipboard::dataChanged, later,
            qOverload<>(&QTimer::start));
    showClipboard();
}

void ClipViewer::openFileMenu() {
    // Opens "ファイル(F)" from the menu bar; its access key F then keeps it selected and X
    // chooses "終了(X)".
    menuBar()->setActiveAction(m_fileMenu->menuAction());
}

void ClipViewer::showClipboard() {
    QImage picture;
    std::optional<QString> text;
    if (!m_clipboard.hasBitmap() || !m_clipboard.readBitmap(picture))
        text = m_clipboard.text();
    if (!picture.isNull()) {
        m_picture->setImage(picture);
        m_text->clear();
        m_pages->setCurrentWidget(m_picture);
    } else if (text) {
        m_picture->setImage({});
        m_text->setPlainText(*text);
        m_pages->setCurrentWidget(m_text);
    } else {
        m_picture->setImage({});
        m_text->clear();
        m_pages->setCurrentWidget(m_picture);
    }
}

} // namespace clipviewer
