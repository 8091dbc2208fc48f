#pragma once
// The clipboard viewer: one window captioned "クリップボード ビューア" that shows what the
// clipboard holds, a picture fitted to the window with its proportions kept, or a text, and
// follows every change. Its menu "ファイル(F)" holds "終了(X)"; Shift+F10 opens that menu,
// so the keys Shift+F10, F, X close the window, as other programs close it.

#include "platform/clipboard.h"

#include <QImage>
#include <QMainWindow>

class QMenu;
class QPlainTextEdit;
class QStackedWidget;

namespace clipviewer {

// Draws a picture as large as fits, centred, with its proportions kept.
class FittedPicture : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    void setImage(const QImage& image);
    const QImage& image() const { return m_image; }
    // Where the picture is drawn for a widget of size area.
    static QRect fittedRect(QSize picture, QSize area);

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    QImage m_image;
};

class ClipViewer : public QMainWindow {
    Q_OBJECT
public:
    // Shows what clipboard holds (the system clipboard in the program).
    explicit ClipViewer(platform::Clipboard& clipboard = platform::systemClipboard());
    // Reads the clipboard again and shows what it holds.
    void showClipboard();

private:
    void openFileMenu();

    platform::Clipboard& m_clipboard;
    QMenu* m_fileMenu = nullptr;
    QStackedWidget* m_pages = nullptr;
    FittedPicture* m_picture = nullptr;
    QPlainTextEdit* m_text = nullptr;
};

} // namespace clipviewer
