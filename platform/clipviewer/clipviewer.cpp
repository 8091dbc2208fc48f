#include "clipviewer.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QStackedWidget>

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

ClipViewer::ClipViewer() {
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

    connect(QApplication::clipboard(), &QClipboard::dataChanged, this, &ClipViewer::showClipboard);
    showClipboard();
}

void ClipViewer::openFileMenu() {
    // Opens "ファイル(F)" from the menu bar; its access key F then keeps it selected and X
    // chooses "終了(X)".
    menuBar()->setActiveAction(m_fileMenu->menuAction());
}

void ClipViewer::showClipboard() {
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    if (mime && mime->hasImage()) {
        m_picture->setImage(qvariant_cast<QImage>(mime->imageData()));
        m_text->clear();
        m_pages->setCurrentWidget(m_picture);
    } else if (mime && mime->hasText()) {
        m_picture->setImage({});
        m_text->setPlainText(mime->text());
        m_pages->setCurrentWidget(m_text);
    } else {
        m_picture->setImage({});
        m_text->clear();
        m_pages->setCurrentWidget(m_picture);
    }
}

} // namespace clipviewer
