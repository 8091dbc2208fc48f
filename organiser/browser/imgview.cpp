#include "imgview.h"

#include "cellrules.h"
#include "commands/commands.h"
#include "commands/edittext.h"
#include "companions/companions.h"
#include "dialogs/setdir.h"
#include "dialogs/settdir.h"
#include "listwindow/lform.h"
#include "organiser.h"
#include "pictureview.h"
#include "platform/controls/folderlists.h"
#include "platform/controls/fonts.h"
#include "platform/controls/icons.h"
#include "platform/controls/placement.h"
#include "platform/controls/textbox.h"
#include "platform/controls/windowlook.h"
#include "platform/files.h"
#include "platform/textcodec.h"
#include "platform/twips.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>

namespace tarvo {

namespace {

struct CellLayout {
    int imageLeft, imageTop, shapeLeft, shapeTop;
    int textLeft, textTop, textWidth;
    int labelLeft, labelTop, labelWidth;
};

// The designed cell layout in twips.
constexpr std::array<CellLayout, kCells> kCellLayout{{
    {90, 30, 90, 30, 75, 1425, 1455, 450, 1950, 750},
    {1650, 30, 1650, 30, 1635, 1425, 1455, 2010, 1950, 750},
    {3210, 30, 3210, 30, 3210, 1425, 1455, 3525, 1950, 750},
    {4755, 30, 4755, 30, 4755, 1410, 1455, 5130, 1950, 750},
    {6360, 30, 6360, 30, 6360, 1425, 1476, 6720, 1950, 750},
    {120, 2520, 120, 2520, 120, 3948, 1455, 75, 4455, 1470},
    {1680, 2520, 1680, 2520, 1680, 3948, 1455, 1644, 4428, 1464},
    {3240, 2520, 3240, 2520, 3240, 3948, 1455, 3240, 4464, 1464},
    {4800, 2520, 4785, 2520, 4800, 3948, 1455, 4815, 4464, 1470},
    {6360, 2520, 6360, 2520, 6360, 3960, 1455, 6336, 4464, 1464},
}};
constexpr int kCellSide = 1455;

const QColor kGrey(0xC0, 0xC0, 0xC0);
const QColor kBlue(0x00, 0x00, 0xFF);
const QString kCannotDisplay = QStringLiteral("このファイルは表示不可能なプロパティイです｡");

void setBackColour(QWidget* w, QColor c) {
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, c);
    pal.setColor(QPalette::Button, c);
    pal.setColor(QPalette::Base, c);
    w->setPalette(pal);
    w->setAutoFillBackground(true);
}

} // namespace

ImgView::ImgView(Organiser& org) : m_org(org) {
    setObjectName(QStringLiteral("ImgView"));
    setWindowTitle(QStringLiteral("    画像整理ツール　 [Tarvo  V1.4 ]"));
    setWindowIcon(platform::tarvoIcon());
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setBackColour(client, kGrey);
    client->setFont(platform::designFont(platform::kMsGothic, 9));
    const QRect r = platform::twipsToPixels(0, 0, 8310, 5160);
    client->setFixedSize(r.size());
    setCentralWidget(client);
    buildCells();
    buildButtons();
    buildMenus();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    platform::enterPressesFocusedButton(this);
    // Also across the switch to the list window and back.
    platform::keepPlaceWhileHidden(this);
    // A zero timeout fires once the events waiting now are handled: the window is idle.
    m_prefetchTimer.setSingleShot(true);
    m_prefetchTimer.setInterval(0);
    connect(&m_prefetchTimer, &QTimer::timeout, this, [this] { prefetchNeighbours(); });
}

void ImgView::buildCells() {
    QWidget* client = centralWidget();
    const QFont pgothic = platform::designFont(platform::kMsPGothic, 9);
    for (int i = 0; i < kCells; ++i) {
        const CellLayout& c = kCellLayout[static_cast<size_t>(i)];
        auto* image = new PictureView(client);
        image->setObjectName(QStringLiteral("Image1_%1").arg(i));
        platform::placeTwips(image, c.imageLeft, c.imageTop, kCellSide, kCellSide);
        connect(image, &PictureView::clicked, this, [this, i] { Image1_Click(i); });
        connect(image, &PictureView::doubleClicked, this, [this, i] { Image1_DblClick(i); });
        image->installEventFilter(this); // the wheel pages
        m_image1[static_cast<size_t>(i)] = image;

        auto* shape = new ShapeFrame(client);
        shape->setObjectName(QStringLiteral("Shape1_%1").arg(i));
        platform::placeTwips(shape, c.shapeLeft, c.shapeTop, kCellSide, kCellSide);
        m_shape1[static_cast<size_t>(i)] = shape;

        auto* text = new platform::TextBox(client);
        text->setObjectName(QStringLiteral("Text1_%1").arg(i));
        text->setFont(pgothic);
        text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        text->setTabChangesFocus(true);
        text->document()->setDocumentMargin(1);
        setBackColour(text, kGrey);
        text->setText(QStringLiteral("Text1"));
        platform::placeTwips(text, c.textLeft, c.textTop, c.textWidth, 495);
        text->viewport()->installEventFilter(this);
        text->installEventFilter(this);
        connect(text, &QPlainTextEdit::textChanged, this, [this, i] { Text1_Change(i); });
        m_text1[static_cast<size_t>(i)] = text;

        auto* label = new QLabel(client);
        label->setObjectName(QStringLiteral("Label2_%1").arg(i));
        label->setFont(pgothic);
        label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        platform::placeTwips(label, c.labelLeft, c.labelTop, c.labelWidth, 300);
        m_label2[static_cast<size_t>(i)] = label;
    }
    // The frames lie over the pictures so a selected frame stays visible over a picture
    // that fills its cell.
    for (ShapeFrame* s : m_shape1)
        s->raise();
    // ... and under the name fields, whose top they reach.
    for (QPlainTextEdit* t : m_text1)
        t->raise();

    m_vscroll = new QScrollBar(Qt::Vertical, client);
    m_vscroll->setObjectName(QStringLiteral("VScroll1"));
    platform::placeTwips(m_vscroll, 7920, 84, 255, 4335);
    m_vscroll->setMinimum(0);
    // A tab stop, as designed; the delete leaves the keyboard focus here.
    m_vscroll->setFocusPolicy(Qt::TabFocus);
    m_vscroll->setMaximum(0);
    // A drag reports once, when the thumb is released.
    m_vscroll->setTracking(false);
    // A tab stop, as designed: with the focus, the arrows, Page Up and Down, Home and End
    // page exactly as the arrow buttons, the trough and the thumb do.
    m_vscroll->setFocusPolicy(Qt::StrongFocus);
    // The wheel pages by the small change wherever it turns, the bar included (Qt's own
    // would move three small changes a notch).
    m_vscroll->installEventFilter(this);
    client->installEventFilter(this);
    connect(m_vscroll, &QScrollBar::valueChanged, this, [this] { VScroll1_Change(); });

    // Holds an icon while it is copied to the clipboard; lies outside the client area.
    m_picture1 = new PictureView(client);
    m_picture1->setObjectName(QStringLiteral("Picture1"));
    platform::placeTwips(m_picture1, 8484, 4524, 504, 504);
    // The box keeps its size whatever picture it is given.
    m_picture1->setStretch(true);
    setBackColour(m_picture1, kGrey);
}

void ImgView::buildButtons() {
    QWidget* client = centralWidget();
    const QFont pgothic = platform::designFont(platform::kMsPGothic, 9);
    struct ButtonDef {
        const char* name;
        const char* caption;
        int l, t, w, h;
        QColor colour;
        std::function<void()> handler;
    };
    Organiser& org = m_org;
    const std::vector<ButtonDef> buttons{
        {"SetSDir", "画像ﾌｫﾙﾀﾞ", 120, 2175, 990, 300, QColor(0xFFFFC0),
         [&org] { org.setDir()->open(); }},
        {"CNcommand", "ﾌｧｲﾙ名変更", 1135, 2175, 1065, 300, QColor(0xFFFFC0),
         [&org] { CNcommand_Click(org); }},
        {"TSave", "メモ保存", 2225, 2175, 900, 300, QColor(0xFFFFC0), [&org] { TSave_Click(org); }},
        {"TDcommand", "Copy先設定", 3150, 2175, 1080, 300, QColor(0xFFFFC0),
         [&org] { org.setTdir()->open(); }},
        {"Paint", "Paint", 4335, 2175, 660, 300, QColor(0x80FF80), [&org] { StartPaint(org); }},
        {"DelFcommand", "削 除", 5070, 2175, 720, 300, QColor(0xFFE0C0),
         [&org] { DelFcommand_Click(org); }},
        {"DspClip_com", "画像表示", 5910, 2175, 945, 300, QColor(0xFFFFC0),
         [&org] { ToggleClipboardViewer(org); }},
        {"dsptxt", "メモ表示", 6900, 2175, 900, 300, QColor(0xFFFFC0),
         [&org] { org.editText()->toggleShown(); }},
        {"ResetBotton", "再表示", 135, 4725, 720, 360, QColor(0xC0FFC0),
         [this] { ResetBotton_Click(); }},
        {"EndBottun", "END", 7704, 4500, 480, 252, QColor(),
         [&org] {
             if (org.m().ClipboardViewerOpen == 1)
                 CloseClipboardViewer(org, true); // a failure is abandoned; we end anyway
             org.endProgram();
         }},
        {"Small_Com", "縮小表示", 7245, 4824, 975, 276, QColor(0xC0FFFF),
         [&org] { org.lform()->openFromMain(); }},
    };
    for (const ButtonDef& b : buttons) {
        auto* button = new QPushButton(QString::fromUtf8(b.caption), client);
        button->setObjectName(QLatin1String(b.name));
        button->setFont(pgothic);
        button->setFocusPolicy(Qt::StrongFocus);
        platform::setButtonFace(button, b.colour);
        platform::placeTwips(button, b.l, b.t, b.w, b.h);
        connect(button, &QPushButton::clicked, this, b.handler);
    }

    m_mirok = new PictureView(client);
    m_mirok->setObjectName(QStringLiteral("mirok"));
    m_mirok->setStretch(true);
    m_mirok->setPicture(platform::mirokIconImage(32));
    platform::placeTwips(m_mirok, 1080, 4620, 510, 510);
    connect(m_mirok, &PictureView::clicked, this, [&org] { StartCaptureSaver(org); });

    m_directory = new QLabel(client);
    m_directory->setObjectName(QStringLiteral("Directory"));
    m_directory->setFont(pgothic);
    m_directory->setWordWrap(true);
    m_directory->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    platform::placeTwips(m_directory, 1728, 4752, 3612, 492);

    auto* label3 = new QLabel(QStringLiteral("File 数"), client);
    label3->setObjectName(QStringLiteral("Label3"));
    label3->setFont(platform::designFont(platform::kMsPGothic, 12, true));
    // At the top like the count beside it: the box reaches past the window's bottom edge.
    label3->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    platform::placeTwips(label3, 5580, 4800, 885, 570);

    m_total = new QLabel(client);
    m_total->setObjectName(QStringLiteral("Total"));
    m_total->setFont(platform::designFont(platform::kMsPGothic, 12));
    m_total->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    platform::placeTwips(m_total, 6456, 4812, 852, 372);
}

void ImgView::addMenuAction(QMenu* menu, const QString& name, const QString& caption,
                            const QKeySequence& key, std::function<void()> handler) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(name);
    if (!key.isEmpty())
        a->setShortcut(key);
    connect(a, &QAction::triggered, this, std::move(handler));
}

void ImgView::buildMenus() {
    Organiser& org = m_org;
    QMenu* file = menuBar()->addMenu(QStringLiteral("ﾌｧｲﾙ（&F)"));
    file->setObjectName(QStringLiteral("MenuFile"));
    addMenuAction(file, QStringLiteral("ItemSetDIr"), QStringLiteral("画像ディレクトリ指定(&D)..."),
                  QKeySequence(Qt::CTRL | Qt::Key_D), [&org] { org.setDir()->open(); });
    addMenuAction(file, QStringLiteral("ItemSetTdir"),
                  QStringLiteral("Copy先ディレクトリ指定(&T)..."),
                  QKeySequence(Qt::CTRL | Qt::Key_T), [&org] { org.setTdir()->open(); });
    addMenuAction(file, QStringLiteral("ItemFileCopy"), QStringLiteral("指定先へコピイ(&I)"),
                  QKeySequence(Qt::CTRL | Qt::Key_I),
                  [this, &org] { Image1_DblClick(org.m().CurCell); });
    file->addSeparator()->setObjectName(QStringLiteral("sep1"));
    addMenuAction(file, QStringLiteral("ItemEnd"), QStringLiteral("終了"),
                  QKeySequence(Qt::CTRL | Qt::Key_Q), [&org] { org.endProgram(); });

    QMenu* edit = menuBar()->addMenu(QStringLiteral("編集(&E)"));
    edit->setObjectName(QStringLiteral("MenuEdit"));
    addMenuAction(edit, QStringLiteral("ItemCopy_0"), QStringLiteral("画像コピイ(&C)"),
                  QKeySequence(Qt::CTRL | Qt::Key_C), [&org] {
                      if (!ItemCopy_Click(org, 0))
                          ReportNotCopied(org);
                  });
    addMenuAction(edit, QStringLiteral("ItemCopy_1"), QStringLiteral("ファイル名コピイ(&N)"),
                  QKeySequence(Qt::CTRL | Qt::Key_N), [&org] { ItemCopy_Click(org, 1); });
    edit->addSeparator()->setObjectName(QStringLiteral("sep2"));
    m_itemClear = edit->addAction(QStringLiteral("クリップボードのクリア(&E)"));
    m_itemClear->setObjectName(QStringLiteral("ItemClear"));
    m_itemClear->setCheckable(true);
    m_itemClear->setChecked(true);
}

void ImgView::Form_Load() {
    Module1& m = m_org.m();
    m.ClipboardViewerOpen = 0;
    m.MemoShown = 0;
    m.NameEdited = 0;
    InitImageDir(m_org);
    m_vscroll->setPageStep(10);
    m_vscroll->setSingleStep(m_vscroll->pageStep() / 2);
    // The usable area of a cell, one twip inside its frame, from the designed layout.
    m.CellWidth = static_cast<std::int16_t>(kCellSide - 2);
    m.CellHeight = static_cast<std::int16_t>(kCellSide - 2);
    for (int i = 0; i < kCells; ++i) {
        const CellLayout& c = kCellLayout[static_cast<size_t>(i)];
        m.CellTop[static_cast<size_t>(i)] = static_cast<float>(c.imageTop + 1);
        m.CellLeft[static_cast<size_t>(i)] = static_cast<float>(c.imageLeft + 1);
    }
    LoadFileList(m_org);
    m.SmallMode = false;
}

QPlainTextEdit* ImgView::Text1(int i) const {
    return m_text1[static_cast<size_t>(i)];
}

QString ImgView::text1(int i) const {
    // A name shown decoded from Shift-JIS stands for its original bytes until it is edited.
    return platform::nameFromShown(m_text1[static_cast<size_t>(i)]->text(),
                                   m_text1Filled[static_cast<size_t>(i)]);
}

void ImgView::setText1(int i, const QString& text) {
    m_text1Filled[static_cast<size_t>(i)] = text;
    // setText raises textChanged at once: the name field change runs here.
    m_text1[static_cast<size_t>(i)]->setText(platform::shownName(text));
}

void ImgView::setText1Colour(int i, QColor c) {
    QPalette pal = Text1(i)->palette();
    pal.setColor(QPalette::Text, c);
    Text1(i)->setPalette(pal);
}

QColor ImgView::text1Colour(int i) const {
    return Text1(i)->palette().color(QPalette::Text);
}

void ImgView::FillPage(int start) {
    const Module1& m = m_org.m();
    QStringList paths;
    for (int i = 0; i < kCells; ++i) {
        const QString& name = m.fileName(start + i);
        if (!name.isEmpty())
            paths << m.ImageDir + name;
    }
    const QSizeF box = thumbnailBox();
    m_prefetchTimer.stop();
    std::vector<std::optional<platform::Thumbnail>> thumbs = m_thumbs.fetch(paths, box);
    m_prefetched.clear();
    for (qsizetype k = 0; k < paths.size(); ++k)
        m_prefetched.insert(paths[k], std::move(thumbs[static_cast<size_t>(k)]));
    for (int i = 0; i < kCells; ++i) {
        setText1(i, m.fileName(start + i));
        Dsp_Image(i);
    }
    m_prefetched.clear();
    m_filledStart = start;
    resumePrefetch();
}

void ImgView::resumePrefetch() {
    m_prefetchTimer.start();
}

void ImgView::cancelPrefetch() {
    m_prefetchTimer.stop();
    m_thumbs.cancelPrefetch();
}

void ImgView::prefetchNeighbours() {
    const Module1& m = m_org.m();
    // The next page first (where paging usually goes), then the previous one.
    const int step = m_vscroll->pageStep();
    const int next = std::min(m_filledStart + step, m_vscroll->maximum());
    const int previous = std::max(m_filledStart - step, 0);
    const QSizeF box = thumbnailBox();
    int priority = -1;
    for (int start : {next, previous}) {
        if (start == m_filledStart)
            continue;
        QStringList paths;
        for (int i = 0; i < kCells; ++i) {
            const QString& name = m.fileName(start + i);
            if (!name.isEmpty())
                paths << m.ImageDir + name;
        }
        m_thumbs.prefetch(paths, box, priority--);
    }
}

QSizeF ImgView::thumbnailBox() const {
    // Thumbnails are decoded at the device pixels a cell covers, so they stay sharp on a
    // screen scaled by 1.5 or 2; fitting and placing still work in twips.
    const Module1& m = m_org.m();
    return QSizeF(m.CellWidth, m.CellHeight) * devicePixelRatioF();
}

void ImgView::Dsp_Image(int i) {
    Module1& m = m_org.m();
    PictureView* view = Image1(i);
    view->hide();
    const QString name = text1(i);
    if (name.isEmpty()) {
        view->clearPicture();
        Label2(i)->setText(QString());
        return;
    }
    const QString path = m.ImageDir + name;
    auto fail = [&] {
        m_org.editText()->setCaption(kCannotDisplay);
        view->clearPicture();
        view->show();
    };
    const std::optional<qint64> size = m_org.files().length(path);
    if (!size) {
        fail();
        return;
    }
    Label2(i)->setText(sizeLabel(*size));

    std::optional<platform::Thumbnail> thumb;
    if (auto it = m_prefetched.find(path); it != m_prefetched.end()) {
        thumb = std::move(it.value());
        m_prefetched.erase(it);
    } else {
        thumb = std::move(m_thumbs.fetch({path}, thumbnailBox()).front());
    }
    if (!thumb) {
        fail();
        return;
    }

    view->setStretch(false);
    thumb->image.setDevicePixelRatio(devicePixelRatioF());
    view->setPicture(thumb->image, thumb->header.twips);
    view->setSourcePath(path);
    const double cellTop = m.CellTop[static_cast<size_t>(i)];
    const double cellLeft = m.CellLeft[static_cast<size_t>(i)];
    const CellFit fit =
        fitInCell(view->widthTwips(), view->heightTwips(), m.CellWidth, m.CellHeight);
    if (fit.shrunk) {
        view->setWidthTwips(fit.width);
        view->setHeightTwips(fit.height);
    }
    view->setTopTwips(fit.top + cellTop);
    view->setLeftTwips(fit.left + cellLeft);
    view->setStretch(true);
    view->show();
}

void ImgView::showTakenPicture(int i, const QString& path, const QImage& picture) {
    const Module1& m = m_org.m();
    PictureView* view = Image1(i);
    if (picture.isNull() || !view->hasPicture() || view->sourcePath() != path ||
        m.ImageDir + text1(i) != path)
        return;
    platform::Thumbnail thumb;
    thumb.header.pixels = picture.size();
    thumb.header.twips = QSizeF(platform::pixelsToTwipsX(picture.width()),
                                platform::pixelsToTwipsY(picture.height()));
    const QSize box(platform::twipsToPixelsX(m.CellWidth), platform::twipsToPixelsY(m.CellHeight));
    thumb.image = picture.width() > box.width() || picture.height() > box.height()
                      ? picture.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                      : picture;
    m_prefetched.insert(path, std::move(thumb));
    Dsp_Image(i);
    m_prefetched.remove(path);
}

void ImgView::cellFileRenamed(int i, const QString& oldPath, const QString& newPath) {
    PictureView* view = Image1(i);
    if (view->hasPicture() && view->sourcePath() == oldPath)
        view->setSourcePath(newPath);
    if (m_selectedFile == oldPath)
        m_selectedFile = newPath;
    m_thumbs.renamed(oldPath, newPath);
}

void ImgView::cellFileDeleted(int i, const QString& path) {
    m_thumbs.removed(path);
    Image1(i)->clearPicture(); // the source path goes with the picture
}

void ImgView::endSelection() {
    Module1& m = m_org.m();
    Shape1(m.CurCell)->setBorderWidth(1);
    setText1Colour(m.CurCell, Qt::black);
    // A memo edit still pending belongs to the memo loaded last: save it there before the
    // text is cleared, so it is neither lost nor written over another picture's memo.
    bool keepMemo = false;
    if (m.MemoDirty == 1) {
        if (const platform::Result r = SaveMemo(m_org); !r.ok()) {
            // Not written: the text and the memo it belongs to stay, still pending, for the
            // next selection's save or the user's.
            ReportMemoNotSaved(m_org, r, false);
            keepMemo = true;
        }
    }
    if (!keepMemo) {
        m_org.editText()->setTextByProgram(QString());
        m.MemoFileName.clear();
        m.MemoPath.clear();
    }
    m.CurFileName.clear();
    m_selectedFile.clear();
    m.CurCell = 0;
}

void ImgView::endSelectionIfNotShown() {
    const Module1& m = m_org.m();
    if (m.CurFileName.isEmpty())
        return;
    if (m.ImageDir + m.fileName(m_vscroll->value() + m.CurCell) != m_selectedFile)
        endSelection();
}

void ImgView::VScroll1_Change() {
    FillPage(m_vscroll->value());
    endSelection();
}

void ImgView::Text1_Change(int) {
    m_org.m().NameEdited = 1;
}

void ImgView::Text1_Click(int i) {
    selectCell(i);
}

void ImgView::selectCell(int i) {
    Module1& m = m_org.m();
    // The clipboard's picture needs the threads more than the pages ahead do.
    cancelPrefetch();
    // What the status line must still show after the memo load names the new memo.
    QString status;
    m_selectionHeld = !saveMemoBeforeLeaving(status);
    if (m_selectionHeld)
        return;
    if (m.NameEdited == 1) {
        if (const QString refused = CNcommand_Click(m_org); !refused.isEmpty())
            status = refused;
    }
    if (!text1(i).isEmpty()) {
        Shape1(m.CurCell)->setBorderWidth(1);
        setText1Colour(m.CurCell, Qt::black);
        if (m.CurCell != i)
            m_org.editText()->setTextByProgram(QString());
        Shape1(i)->setBorderWidth(3);
        setText1Colour(i, kBlue);
        m.CurCell = static_cast<std::int16_t>(i);
        const bool copied = ItemCopy_Click(m_org, 0);
        LoadMemo(m_org);
        if (!copied)
            ReportNotCopied(m_org);
    }
    if (!status.isEmpty())
        m_org.editText()->setCaption(status);
    if (!m.SmallMode)
        activateMain();
}

bool ImgView::saveMemoBeforeLeaving(QString& status) {
    Module1& m = m_org.m();
    if (m.MemoDirty != 1)
        return true;
    const QString text = m_org.editText()->text();
    // The user was told that this text could not be saved and selects again: the selection
    // goes on, without the edit, as the message said.
    const bool toldBefore = m.MemoPath == m_unsavedMemoPath && text == m_unsavedMemoText;
    const platform::Result r = SaveMemo(m_org);
    if (!r.ok() && toldBefore)
        status = QStringLiteral("%1 を保存できません: %2 (編集は保存しないで進みました)")
                     .arg(m.MemoFileName, r.cause);
    if (r.ok() || toldBefore) {
        m.MemoDirty = 0;
        m_unsavedMemoPath.clear();
        m_unsavedMemoText.clear();
        return true;
    }
    // The selection stays where it is, with the memo's text and its pending edit, until the
    // user has read why.
    m_unsavedMemoPath = m.MemoPath;
    m_unsavedMemoText = text;
    ReportMemoNotSaved(m_org, r, true);
    return false;
}

void ImgView::Image1_Click(int i) {
    Module1& m = m_org.m();
    selectCell(i);
    if (m_selectionHeld)
        return;
    // Either step failing (the memo window hidden under us, the viewer closed by hand)
    // ends the click quietly and forgets the viewer.
    if (m.MemoShown == 1 && !m_org.editText()->giveFocus()) {
        m.ClipboardViewerOpen = 0;
        return;
    }
    if (m.ClipboardViewerOpen == 1 && !RaiseClipboardViewer(m_org))
        m.ClipboardViewerOpen = 0;
}

void ImgView::Image1_DblClick(int i) {
    Image1_Click(i);
    // A selection held by a memo that could not be saved copies nothing.
    if (m_selectionHeld)
        return;
    CopyToDestination(m_org);
}

void ImgView::ResetBotton_Click() {
    cancelPrefetch();
    // Files changed behind the organiser's back are decoded again.
    m_thumbs.recheck();
    m_org.setDir()->File1()->refresh();
    LoadFileList(m_org);
}

void ImgView::activateMain() {
    show();
    raise();
    activateWindow();
}

void ImgView::closeEvent(QCloseEvent* e) {
    e->accept();
    m_org.endProgram();
}

bool ImgView::wheelPages(QWheelEvent* e) {
    // A notch is 120 eighths of a degree; a touchpad sends smaller deltas, summed here.
    m_wheelDelta += e->angleDelta().y();
    while (m_wheelDelta <= -120) {
        m_wheelDelta += 120;
        m_vscroll->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    }
    while (m_wheelDelta >= 120) {
        m_wheelDelta -= 120;
        m_vscroll->triggerAction(QAbstractSlider::SliderSingleStepSub);
    }
    e->accept();
    return true;
}

bool ImgView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Wheel) {
        const bool overPage = watched == m_vscroll || watched == centralWidget() ||
                              std::any_of(m_image1.begin(), m_image1.end(),
                                          [watched](QObject* o) { return o == watched; }) ||
                              std::any_of(m_text1.begin(), m_text1.end(), [watched](auto* t) {
                                  return watched == t || watched == t->viewport();
                              });
        if (overPage)
            return wheelPages(static_cast<QWheelEvent*>(event));
    }
    for (int i = 0; i < kCells; ++i) {
        QPlainTextEdit* text = Text1(i);
        if (watched == text->viewport() && event->type() == QEvent::MouseButtonRelease) {
            auto* me = static_cast<QMouseEvent*>(event);
            if (me->button() == Qt::LeftButton)
                Text1_Click(i);
            return false;
        }
        if (watched == text && event->type() == QEvent::KeyPress) {
            // Enter applies the typed name as ﾌｧｲﾙ名変更 does; no line end enters a name.
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                CNcommand_Click(m_org);
                return true;
            }
        }
        if (watched == text && event->type() == QEvent::ShortcutOverride) {
            // The menu's Ctrl shortcuts win over the name field's own editing keys.
            auto* ke = static_cast<QKeyEvent*>(event);
            const QKeySequence pressed(ke->keyCombination());
            const QList<QAction*> actions = menuBar()->findChildren<QAction*>();
            const bool isMenuKey =
                std::any_of(actions.begin(), actions.end(), [&pressed](const QAction* a) {
                    return !a->shortcut().isEmpty() && a->shortcut() == pressed;
                });
            if (isMenuKey) {
                event->ignore();
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace tarvo
