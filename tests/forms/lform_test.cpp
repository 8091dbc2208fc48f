// The small-image list window in place of the main window: paging, selection markers,
// copying by double-click and the way back.
#include "organiser/dialogs/setdir.h"
#include "organiser/dialogs/settdir.h"
#include "organiser/listwindow/lform.h"
#include "platform/controls/folderlists.h"
#include "support/organiserfixture.h"

#include <QDir>

using namespace testing_support;
using namespace tarvo;

namespace {

const QColor kRed(0xFF, 0x00, 0x00);
const QColor kBlue(0x00, 0x00, 0xFF);

class LformTest : public OrganiserTest {
protected:
    Lform* lf() { return org->lform(); }
    QPushButton* button(const char* name) {
        auto* b = lf()->findChild<QPushButton*>(QLatin1String(name));
        EXPECT_NE(b, nullptr) << name;
        return b;
    }
    int page() { return view()->VScroll1()->value(); }
    // A real double-click: the click of the first press, then the double-click.
    void doubleClick(QWidget* w) {
        QTest::mouseClick(w, Qt::LeftButton);
        QTest::mouseDClick(w, Qt::LeftButton);
    }
    // Starts on 25 pictures, each of its own size so that cells can be told apart, and
    // switches to the list window.
    void startSmall(int n = 25) {
        for (int k = 0; k < n; ++k)
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

TEST_F(LformTest, OpeningHidesTheMainWindowPagesGoByTenAndClicksSelectAndMark) {
    startSmall();
    EXPECT_TRUE(m().SmallMode);
    EXPECT_FALSE(view()->isVisible());
    EXPECT_TRUE(lf()->isVisible());
    EXPECT_TRUE(lf()->Limage(9)->stretch());
    expectPageShown(10);
    EXPECT_TRUE(shownMarkers().empty()); // no marker before the first click
    ASSERT_EQ(view()->VScroll1()->maximum(), 20);
    QTest::mouseClick(button("Command_up"), Qt::LeftButton); // at 0: nothing
    EXPECT_EQ(page(), 0);

    QTest::mouseClick(lf()->Limage(3), Qt::LeftButton);
    EXPECT_EQ(m().CurCell, 3);
    EXPECT_EQ(view()->text1Colour(3), QColor(0x00, 0x00, 0xFF));
    ASSERT_TRUE(clip.image.has_value()); // the selection copied the picture
    EXPECT_EQ(m().CurFileName, QStringLiteral("p03.bmp"));
    EXPECT_EQ(shownMarkers(), std::vector<int>{3});
    EXPECT_EQ(lf()->Shape1(3)->fillColour(), kRed);
    EXPECT_FALSE(view()->isVisible()); // small mode: the main window stays hidden

    QTest::mouseClick(button("Command_down"), Qt::LeftButton);
    EXPECT_EQ(page(), 10);
    EXPECT_EQ(view()->text1(0), QStringLiteral("p10.bmp"));
    EXPECT_EQ(m().CurCell, 0); // the page change reset the selection
    expectPageShown(10);
    QTest::mouseClick(button("Command_down"), Qt::LeftButton);
    EXPECT_EQ(page(), 20);
    expectPageShown(5);                             // five pictures and five empty small images
    EXPECT_EQ(shownMarkers(), std::vector<int>{3}); // the marker stays where it was
    QTest::mouseClick(button("Command_down"), Qt::LeftButton); // last page: nothing
    EXPECT_EQ(page(), 20);

    QTest::mouseClick(lf()->Limage(2), Qt::LeftButton);
    EXPECT_EQ(m().CurFileName, QStringLiteral("p22.bmp"));
    EXPECT_EQ(shownMarkers(), std::vector<int>{2});
    // An empty small image: the selection stays, the current cell's marker shows.
    QTest::mouseClick(lf()->Limage(7), Qt::LeftButton);
    EXPECT_EQ(m().CurCell, 2);
    EXPECT_EQ(m().CurFileName, QStringLiteral("p22.bmp"));
    EXPECT_EQ(shownMarkers(), std::vector<int>{2});

    QTest::mouseClick(button("Command_up"), Qt::LeftButton);
    EXPECT_EQ(page(), 10);
    // Pages reached by a half step of the main scroll bar: no whole step fits either way.
    view()->VScroll1()->setValue(15);
    QTest::mouseClick(button("Command_down"), Qt::LeftButton);
    EXPECT_EQ(page(), 15);
    view()->VScroll1()->setValue(5);
    QTest::mouseClick(button("Command_up"), Qt::LeftButton);
    EXPECT_EQ(page(), 5);
}

TEST_F(LformTest, DoubleClickCopiesToTheCurrentFolderBeforeAnyChoiceThenToCopyDir) {
    QDir(dir.path()).mkdir(QStringLiteral("pics"));
    QDir(dir.path()).mkdir(QStringLiteral("dest"));
    dir.writePicture(QStringLiteral("pics/a.bmp"), 5, 5);
    dir.writePicture(QStringLiteral("pics/b.bmp"), 6, 6);
    dir.write(QStringLiteral("pics/b.TXT"), "memo of b");
    start();
    // The image folder is pics; the process's current folder stays dir.
    org->setDir()->open();
    ASSERT_TRUE(org->setDir()->Dir1()->setPath(dir.path() + QStringLiteral("pics")));
    org->setDir()->Command1_Click();
    press("Small_Com");
    ASSERT_TRUE(m().CopyDir.isEmpty());

    doubleClick(lf()->Limage(0));
    EXPECT_TRUE(dir.exists(QStringLiteral("a.bmp")));
    EXPECT_EQ(dir.read(QStringLiteral("a.bmp")), dir.read(QStringLiteral("pics/a.bmp")));
    EXPECT_EQ(view()->text1Colour(0), QColor(0xF0, 0x00, 0x00));

    org->setTdir()->open();
    ASSERT_TRUE(org->setTdir()->Dir2()->setPath(dir.path() + QStringLiteral("dest")));
    org->setTdir()->Command1_Click();
    doubleClick(lf()->Limage(1));
    EXPECT_EQ(dir.read(QStringLiteral("dest/b.bmp")), dir.read(QStringLiteral("pics/b.bmp")));
    EXPECT_EQ(dir.read(QStringLiteral("dest/b.TXT")), QByteArray("memo of b"));
    EXPECT_EQ(shownMarkers(), std::vector<int>{1});
}

TEST_F(LformTest, EnlargeOrFrameCloseGivesBackTheSamePageAndKeepsTheMarkers) {
    writePictures(25);
    start();
    view()->show();
    view()->VScroll1()->setValue(10);
    press("Small_Com");
    expectPageShown(10);
    QTest::mouseClick(lf()->Limage(4), Qt::LeftButton);
    QTest::mouseClick(button("Lcom"), Qt::LeftButton);
    EXPECT_FALSE(m().SmallMode);
    EXPECT_FALSE(lf()->isVisible());
    EXPECT_TRUE(view()->isVisible());
    EXPECT_EQ(page(), 10);
    EXPECT_EQ(view()->text1(0), QStringLiteral("p10.bmp"));

    // Opening again right after shows the page the main window stands on.
    press("Small_Com");
    EXPECT_EQ(page(), 10);
    expectPageShown(10);
    lf()->close();
    EXPECT_FALSE(m().SmallMode);
    EXPECT_TRUE(view()->isVisible());
    EXPECT_FALSE(lf()->isVisible());
    ASSERT_TRUE(org->hasLform()); // kept with its markers
    EXPECT_EQ(shownMarkers(), std::vector<int>{4});
}

TEST_F(LformTest, MemoDoubleClickTurnsTheCurrentMarkerBlueEvenBeforeTheListWindowExists) {
    writePictures(3);
    start();
    ASSERT_FALSE(org->hasLform());
    QTest::mouseDClick(memo()->Etxt()->viewport(), Qt::LeftButton);
    ASSERT_TRUE(org->hasLform()); // created hidden
    EXPECT_FALSE(lf()->isVisible());
    EXPECT_TRUE(shownMarkers().empty()); // blue is stored but not shown
    EXPECT_EQ(lf()->Shape1(0)->fillColour(), kBlue);

    press("Small_Com");
    QTest::mouseClick(lf()->Limage(1), Qt::LeftButton);
    ASSERT_EQ(lf()->Shape1(1)->fillColour(), kRed);
    QTest::mouseDClick(memo()->Etxt()->viewport(), Qt::LeftButton);
    EXPECT_EQ(lf()->Shape1(1)->fillColour(), kBlue);
    EXPECT_EQ(shownMarkers(), std::vector<int>{1});
    QTest::mouseClick(lf()->Limage(1), Qt::LeftButton); // the next click makes it red again
    EXPECT_EQ(lf()->Shape1(1)->fillColour(), kRed);
}

TEST_F(LformTest, ImageFolderOkWhileSmallShowsTheMainWindowBesideTheList) {
    QDir(dir.path()).mkdir(QStringLiteral("sub"));
    dir.writePicture(QStringLiteral("sub/new.bmp"), 40, 40, Qt::green);
    startSmall(12);
    const QImage before = lf()->Limage(0)->picture();
    org->setDir()->open();
    ASSERT_TRUE(org->setDir()->Dir1()->setPath(dir.path() + QStringLiteral("sub")));
    QTest::mouseClick(org->setDir()->findChild<QPushButton*>(QStringLiteral("Command1")),
                      Qt::LeftButton);
    EXPECT_TRUE(view()->isVisible());
    EXPECT_TRUE(lf()->isVisible());
    EXPECT_TRUE(m().SmallMode);
    EXPECT_EQ(view()->Total()->text(), QStringLiteral("1"));
    // The list keeps its old pictures until it renders again.
    EXPECT_EQ(lf()->Limage(0)->picture(), before);
    EXPECT_TRUE(lf()->Limage(5)->hasPicture());
    lf()->L_Disp();
    EXPECT_EQ(lf()->Limage(0)->picture(), view()->Image1(0)->picture());
    EXPECT_FALSE(lf()->Limage(5)->hasPicture());
}
