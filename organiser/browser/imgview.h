#pragma once
// The main window: ten cells in two rows of five, the scroll bar that pages through the
// file table, the command buttons and the menus. Handlers keep the names of the design and
// call into the commands.

#include "platform/pictures/pictureloader.h"
#include "thumbnailcache.h"

#include <QHash>
#include <QMainWindow>
#include <QTimer>
#include <array>
#include <optional>

#include <functional>

class QAction;
class QKeySequence;
class QMenu;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QScrollBar;
namespace platform {
class TextBox;
}
class QWheelEvent;

namespace tarvo {

class Organiser;
class PictureView;
class ShapeFrame;

class ImgView : public QMainWindow {
    Q_OBJECT
public:
    explicit ImgView(Organiser& org);
    // The load step: start-up of the program.
    void Form_Load();

    PictureView* Image1(int i) const { return m_image1[static_cast<size_t>(i)]; }
    ShapeFrame* Shape1(int i) const { return m_shape1[static_cast<size_t>(i)]; }
    QPlainTextEdit* Text1(int i) const;
    QLabel* Label2(int i) const { return m_label2[static_cast<size_t>(i)]; }
    QScrollBar* VScroll1() const { return m_vscroll; }
    QLabel* Directory() const { return m_directory; }
    QLabel* Total() const { return m_total; }
    PictureView* Picture1() const { return m_picture1; }
    QAction* ItemClear() const { return m_itemClear; }

    // Name field text and colour helpers.
    QString text1(int i) const;
    void setText1(int i, const QString& text);
    void setText1Colour(int i, QColor c);
    QColor text1Colour(int i) const;

    // Renders cell i from its name field.
    void Dsp_Image(int i);
    // Fills the ten cells from FileNames starting at start: takes the page's thumbnails from
    // the cache or decodes them in parallel, then sets each name field and renders each cell
    // in order. Once the window is idle again the pages on either side are decoded ahead.
    void FillPage(int start);

    // Every change the commands make to the file a cell shows goes through these two, so
    // the path the cell's picture was read from (which the clipboard copy reads the whole
    // picture from again) stays in step with the table entry.
    void cellFileRenamed(int i, const QString& oldPath, const QString& newPath);
    void cellFileDeleted(int i, const QString& path);

    // The file of the selection (folder and table entry) as it stood when CurFileName was
    // taken from the cell; empty while no selection stands.
    void setSelectedFile(const QString& path) { m_selectedFile = path; }
    // Draws cell i again from picture, the whole picture a click took of path, when the cell
    // still shows path: the file changed since the cell was drawn.
    void showTakenPicture(int i, const QString& path, const QImage& picture);
    // Ends the selection: the pending memo edit is saved where it belongs, the cell is
    // unmarked, the memo text cleared, and CurFileName, MemoFileName and MemoPath emptied,
    // so delete, copy and the memo save act on nothing until a cell is selected again.
    void endSelection();
    // After a reload: ends the selection when the selected cell no longer shows the
    // selected file (another folder, or the file gone or moved in the list).
    void endSelectionIfNotShown();
    // Thumbnails of the pages shown and prefetched.
    ThumbnailCache& thumbnails() { return m_thumbs; }
    // Decodes ahead the pages next to the one shown, once the window is idle; a click gives
    // it up and resumes it when the clipboard's picture is made.
    void resumePrefetch();
    void cancelPrefetch();

    // Cell operations, also called by the list window and the menu.
    void Image1_Click(int i);
    void Image1_DblClick(int i);
    void Text1_Click(int i);
    void Text1_Change(int i);
    void VScroll1_Change();
    void ResetBotton_Click();

    // Brings the window to the front with the keyboard focus.
    void activateMain();

protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildCells();
    void buildButtons();
    void buildMenus();
    void selectCell(int i);
    // Saves a pending memo edit before a selection moves on; false when it could not be
    // saved and the selection is to stay. status receives what the status line is to show
    // once the selection has loaded the next memo.
    bool saveMemoBeforeLeaving(QString& status);
    void prefetchNeighbours();
    bool wheelPages(QWheelEvent* e);
    QSizeF thumbnailBox() const;

    void addMenuAction(QMenu* menu, const QString& name, const QString& caption,
                       const QKeySequence& key, std::function<void()> handler);

    Organiser& m_org;
    // Thumbnails of the page being filled, decoded in parallel before the cells are filled.
    QHash<QString, std::optional<platform::Thumbnail>> m_prefetched;
    ThumbnailCache m_thumbs;
    QTimer m_prefetchTimer;
    int m_filledStart = 0;
    int m_wheelDelta = 0; // wheel turn not yet a whole notch
    std::array<PictureView*, 10> m_image1{};
    std::array<ShapeFrame*, 10> m_shape1{};
    std::array<platform::TextBox*, 10> m_text1{};
    std::array<QString, 10> m_text1Filled; // the name each field was last filled with
    std::array<QLabel*, 10> m_label2{};
    QScrollBar* m_vscroll = nullptr;
    QLabel* m_directory = nullptr;
    QLabel* m_total = nullptr;
    PictureView* m_picture1 = nullptr;
    PictureView* m_mirok = nullptr;
    QString m_selectedFile;
    // The memo edit last told as not saved, and its memo.
    QString m_unsavedMemoPath;
    QString m_unsavedMemoText;
    // The last selection stayed where it was: its memo could not be saved.
    bool m_selectionHeld = false;
    QAction* m_itemClear = nullptr;
    bool m_closing = false;
};

} // namespace tarvo
