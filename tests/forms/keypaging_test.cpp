// Paging without the mouse: the scroll bar is a tab stop and takes the arrow, page and
// Home/End keys; the wheel over the cells pages by the small change.
#include "support/organiserfixture.h"

#include <QWheelEvent>

using namespace testing_support;
using namespace tarvo;

namespace {

class KeyPaging : public OrganiserTest {
protected:
    QScrollBar* bar() { return view()->VScroll1(); }
    // The page shown is the one the bar's value names, the selection ended by the change.
    void expectPage(int start) {
        EXPECT_EQ(bar()->value(), start);
        EXPECT_EQ(name(0), QStringLiteral("p%1.bmp").arg(start, 2, 10, QLatin1Char('0')));
        EXPECT_EQ(view()->Shape1(m().CurCell)->borderWidth(), 1);
    }
    void wheel(QWidget* over, int delta) {
        const QPointF at(over->width() / 2.0, over->height() / 2.0);
        QWheelEvent e(at, over->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(over, &e);
    }
};

} // namespace

TEST_F(KeyPaging, KeysOnTheFocusedBarAndTheWheelOverTheCellsTurnThePage) {
    writePictures(33); // scroll maximum 30
    start();
    view()->show();
    view()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(view()));

    // Tab reaches the bar from the last name field.
    view()->Text1(9)->setFocus();
    for (int k = 0; k < 30 && !bar()->hasFocus(); ++k)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_TRUE(bar()->hasFocus());

    clickPicture(2); // a selection, which every page change ends
    bar()->setFocus();
    const struct {
        Qt::Key key;
        int page;
    } steps[] = {{Qt::Key_Down, 5}, {Qt::Key_PageDown, 15}, {Qt::Key_Up, 10},
                 {Qt::Key_End, 30}, {Qt::Key_Down, 30},     {Qt::Key_PageUp, 20},
                 {Qt::Key_Home, 0}, {Qt::Key_Up, 0},        {Qt::Key_PageDown, 10}};
    for (const auto& s : steps) {
        SCOPED_TRACE(s.key);
        QTest::keyClick(bar(), s.key);
        expectPage(s.page);
        EXPECT_TRUE(bar()->hasFocus()); // the page change leaves the focus where it was
    }

    // A notch down over a picture, over a name field and over the bar: 5 each; up again.
    wheel(view()->Image1(3), -120);
    expectPage(15);
    wheel(view()->Text1(7)->viewport(), -120);
    expectPage(20);
    wheel(bar(), 120);
    expectPage(15);
    // A touchpad's small deltas page once they add up to a notch.
    wheel(view()->Image1(0), -60);
    expectPage(15);
    wheel(view()->Image1(0), -60);
    expectPage(20);
}
