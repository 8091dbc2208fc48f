// The small-image list window in place of the main window: paging, selection markers,
// copying by double-click and the way back.
#include "organiser/dialogs/setdir.h"
#include "organiser/listwindow/lform.h"
#include "support/organiserfixture.h"

using namespace testing_support;
using namespace tarvo;

namespace {

class LformTest : public OrganiserTest {
protected:
    Lform* lf() { return org->lform(); }
    QPushButton* button(const char* name) {
        auto* b = lf()->findChild<QPushButton*>(QLatin1String(name));
        EXPECT_NE(b, nullptr) << name;
        return b;
    }
    int page() { return view()->VScroll1()->value(); }
    // Starts on 25 pictures, each of its own size, and switches to the list window.
    void startSmall() {
        for (int k = 0; k < 25; ++k)
            dir.writePicture(QStringLiteral("p%1.bmp").arg(k, 2, 10, QLatin1Char('0')), 4 + k, 4);
        start();
        view()->show();
        press("Small_Com");
    }
    // The small images show exactly the main window's cells of the page.
    void expectPageShown(int filesOnPage) {
        for (int i = 0; i < kCells; ++i) {
            SCOPED_TRACE(i);
            if (i < filesOnPage) {
                ASSERT_TRUE(lf()->Limage(i)->hasPicture());
                EXPECT_EQ(lf()->Limage(i)->picture(), view()->Image1(i)->picture());
            } else {
                EXPECT_FALSE(lf()->Limage(i)->hasPicture());
            }
        }
    }
    // Which markers have the shown look (red or blue fill and a border).
    std::vector<int> shownMarkers() {
        std::vector<int> shown;
        for (int i = 0; i < kCells; ++i) {
            ShapeFrame* s = lf()->Shape1(i);
            if (s->filled() && s->borderVisible())
                shown.push_back(i);
            else
                EXPECT_FALSE(s->filled() || s->borderVisible()) << i;
        }
        return shown;
    }
};

} // namespace

TEST_F(LformTest, OpeningHidesTheMainWindowPagesGoByTenClicksMarkAndDoubleClicksCopy) {
    startSmall();
    EXPECT_FALSE(view()->isVisible());
    EXPECT_TRUE(lf()->isVisible());
    expectPageShown(10);
    EXPECT_TRUE(shownMarkers().empty());                     // no marker before the first click
    QTest::mouseClick(button("Command_up"), Qt::LeftButton); // at 0: nothing
    EXPECT_EQ(page(), 0);

    QTest::mouseClick(lf()->Limage(3), Qt::LeftButton);
    ASSERT_TRUE(clip.image.has_value()); // the selection copied the picture
    EXPECT_EQ(clip.image->size(), QSize(7, 4));
    EXPECT_EQ(shownMarkers(), std::vector<int>{3});
    EXPECT_EQ(lf()->Shape1(3)->fillColour(), QColor(Qt::red));
    EXPECT_FALSE(view()->isVisible()); // small mode: the main window stays hidden

    QTest::mouseClick(button("Command_down"), Qt::LeftButton);
    EXPECT_EQ(page(), 10);
    EXPECT_EQ(view()->text1(0), QStringLiteral("p10.bmp"));
    expectPageShown(10);
    QTest::mouseClick(button("Command_down"), Qt::LeftButton);
    EXPECT_EQ(page(), 20);
    expectPageShown(5);                             // five pictures and five empty small images
    EXPECT_EQ(shownMarkers(), std::vector<int>{3}); // the marker stays where it was
    QTest::mouseClick(button("Command_down"), Qt::LeftButton); // last page: nothing
    EXPECT_EQ(page(), 20);

    QTest::mouseClick(lf()->Limage(2), Qt::LeftButton);
    EXPECT_EQ(m().CurFileName, QStringLiteral("p22.bmp"));
    // An empty small image: the selection stays, the current cell's marker shows.
    QTest::mouseClick(lf()->Limage(7), Qt::LeftButton);
    EXPECT_EQ(m().CurFileName, QStringLiteral("p22.bmp"));
    EXPECT_EQ(shownMarkers(), std::vector<int>{2});
    // A double-click on the memo turns the current marker blue.
    QTest::mouseDClick(memo()->Etxt()->viewport(), Qt::LeftButton);
    EXPECT_EQ(lf()->Shape1(2)->fillColour(), QColor(Qt::blue));
    EXPECT_EQ(shownMarkers(), std::vector<int>{2});
    QTest::mouseClick(button("Command_up"), Qt::LeftButton);
    EXPECT_EQ(page(), 10);

    // Enlarge or the frame close gives back the same page; opening again keeps the markers.
    for (bool frameClose : {false, true}) {
        SCOPED_TRACE(frameClose);
        if (frameClose)
            lf()->close();
        else
            QTest::mouseClick(button("Lcom"), Qt::LeftButton);
        EXPECT_FALSE(lf()->isVisible());
        EXPECT_TRUE(view()->isVisible());
        EXPECT_EQ(view()->text1(0), QStringLiteral("p10.bmp"));
        press("Small_Com");
        expectPageShown(10);
        EXPECT_EQ(shownMarkers(), std::vector<int>{2});
    }

    // A double-click on a small image copies its picture and memo to the destination.
    TestFolder dest;
    m().CopyDir = dest.path();
    dir.write(QStringLiteral("p11.TXT"), "memo of p11");
    QTest::mouseClick(lf()->Limage(1), Qt::LeftButton); // a double-click's first press
    QTest::mouseDClick(lf()->Limage(1), Qt::LeftButton);
    EXPECT_EQ(dest.read(QStringLiteral("p11.bmp")), dir.read(QStringLiteral("p11.bmp")));
    EXPECT_EQ(dest.read(QStringLiteral("p11.TXT")), QByteArray("memo of p11"));
    EXPECT_EQ(view()->text1Colour(1), QColor(0xF0, 0x00, 0x00)); // the copied name turns red
    EXPECT_EQ(shownMarkers(), std::vector<int>{1});

    // OK in the image-folder dialog shows the main window beside the list.
    org->setDir()->open();
    org->setDir()->Command1_Click();
    EXPECT_TRUE(view()->isVisible());
    EXPECT_TRUE(lf()->isVisible());
}
