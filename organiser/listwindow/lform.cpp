#include "lform.h"

#include "browser/imgview.h"
#include "browser/organiser.h"
#include "browser/pictureview.h"
#include "commands/edittext.h"
#include "platform/controls/icons.h"
#include "platform/controls/placement.h"
#include "platform/twips.h"
#include "platform/controls/windowlook.h"

#include <QCloseEvent>
#include <QPushButton>
#include <QScrollBar>

namespace tarvo {

namespace {

constexpr std::array<int, kCells> kImageTop = {540,  1080, 1620, 2160, 2700,
                                               3540, 4080, 4620, 5160, 5700};
constexpr int kMarkerBelowImage = 150;
const QColor kMarkerRed(0xFF, 0x00, 0x00);
const QColor kMarkerBlue(0x00, 0x00, 0xFF);

// A marker's hidden look: no fill, no border.
void hideMarker(ShapeFrame* s) {
    s->setFill(false);
    s->setBorderVisible(false);
}

} // namespace

Lform::Lform(Organiser& org) : QWidget(nullptr), m_org(org) {
    setWindowTitle(QStringLiteral(" Tarvo"));
    setWindowIcon(platform::tarvoIcon());
    platform::setClientTwips(this, 615, 7080);
    setFixedSize(size());

    m_lcom = new QPushButton(QStringLiteral("拡大"), this);
    m_lcom->setObjectName(QStringLiteral("Lcom"));
    platform::placeTwips(m_lcom, 30, 30, 540, 396);
    connect(m_lcom, &QPushButton::clicked, this, &Lform::Lcom_Click);

    for (int i = 0; i < kCells; ++i) {
        const auto k = static_cast<size_t>(i);
        auto* image = new PictureView(this);
        image->setObjectName(QStringLiteral("Limage_%1").arg(i));
        image->setStretch(true);
        image->setBorder(true);
        platform::placeTwips(image, 60, kImageTop[k], 420, 420);
        connect(image, &PictureView::clicked, this, [this, i] { Limage_Click(i); });
        connect(image, &PictureView::doubleClicked, this, [this, i] { Limage_DblClick(i); });
        m_limage[k] = image;

        auto* marker = new ShapeFrame(this);
        marker->setObjectName(QStringLiteral("Shape1_%1").arg(i));
        marker->setBorderColour(Qt::black);
        marker->setBorderWidth(1);
        platform::placeTwips(marker, 495, kImageTop[k] + kMarkerBelowImage, 100, 100);
        hideMarker(marker); // until the first click on a small image
        m_shape1[k] = marker;
    }

    m_up = new QPushButton(QStringLiteral("△"), this);
    m_up->setObjectName(QStringLiteral("Command_up"));
    platform::placeTwips(m_up, 60, 6300, 432, 312);
    connect(m_up, &QPushButton::clicked, this, &Lform::Command_up_Click);
    m_down = new QPushButton(QStringLiteral("▽"), this);
    m_down->setObjectName(QStringLiteral("Command_down"));
    platform::placeTwips(m_down, 60, 6600, 432, 312);
    connect(m_down, &QPushButton::clicked, this, &Lform::Command_down_Click);
    for (QPushButton* b : {m_lcom, m_up, m_down})
        platform::setButtonFace(b);
    platform::enterPressesFocusedButton(this);
    platform::keepPlaceWhileHidden(this);

    // Creation.
    L_Disp();
}

void Lform::openFromMain() {
    m_org.m().SmallMode = true;
    m_org.imgView()->hide();
    L_Disp();
    show();
    raise();
    activateWindow();
}

void Lform::L_Disp() {
    ImgView* main = m_org.imgView();
    const int start = main->VScroll1()->value();
    for (int i = 0; i < kCells; ++i) {
        // Entries past the end of the table read as empty.
        if (!m_org.m().fileName(start + i).isEmpty() && main->Image1(i)->hasPicture())
            Limage(i)->setPicture(main->Image1(i)->picture(), main->Image1(i)->naturalTwips());
        else
            Limage(i)->clearPicture();
    }
}

void Lform::markCurrentBlue() {
    ShapeFrame* marker = Shape1(m_org.m().CurCell);
    // The colour shows only while the marker has its shown look.
    marker->setFill(marker->filled(), kMarkerBlue);
}

void Lform::Lcom_Click() {
    m_org.m().SmallMode = false;
    hide();
    m_org.imgView()->activateMain();
}

void Lform::movePage(int value) {
    // Setting the value runs the main window's page change before it returns, so the
    // cells hold the new page when the list is rendered.
    m_org.imgView()->VScroll1()->setValue(value);
    L_Disp();
}

void Lform::Command_up_Click() {
    const int v = m_org.imgView()->VScroll1()->value();
    if (v - 10 >= 0)
        movePage(v - 10);
}

void Lform::Command_down_Click() {
    QScrollBar* bar = m_org.imgView()->VScroll1();
    const int v = bar->value();
    if (v + 10 <= bar->maximum())
        movePage(v + 10);
}

void Lform::Limage_Click(int i) {
    Module1& m = m_org.m();
    m_org.imgView()->Image1_Click(i);
    if (m.MemoShown == 1)
        m_org.editText()->giveFocus();
    for (int j = 0; j < kCells; ++j) {
        ShapeFrame* marker = Shape1(j);
        if (j == m.CurCell) {
            marker->setFill(true, kMarkerRed);
            marker->setBorderVisible(true);
        } else {
            hideMarker(marker);
        }
    }
    show();
    raise();
    activateWindow();
}

void Lform::Limage_DblClick(int i) {
    m_org.imgView()->Image1_DblClick(i);
}

void Lform::closeEvent(QCloseEvent* e) {
    Lcom_Click();
    e->accept();
}

} // namespace tarvo
