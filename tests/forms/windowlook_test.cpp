// How the organiser's windows look and answer: their designed captions (the memo window's
// blank) and labels, the button faces in grabs of the real widgets, Enter on a button.
#include "organiser/dialogs/setdir.h"
#include "organiser/dialogs/settdir.h"
#include "organiser/listwindow/lform.h"
#include "support/organiserfixture.h"

#include <QApplication>
#include <QImage>
#include <algorithm>
#include <map>

using namespace testing_support;
using namespace tarvo;

namespace {

// The colour a button shows most inside its bevel: its face, whatever its caption covers.
QColor faceOf(QWidget* window, const char* name) {
    auto* b = window->findChild<QPushButton*>(QLatin1String(name));
    if (!b)
        return {};
    const QImage shot = window->grab().toImage();
    const QRect inner(b->mapTo(window, QPoint(0, 0)) + QPoint(2, 2), b->size() - QSize(4, 4));
    std::map<QRgb, int> counts;
    for (int y = inner.top(); y <= inner.bottom(); ++y)
        for (int x = inner.left(); x <= inner.right(); ++x)
            ++counts[shot.pixel(x, y)];
    const auto most = std::max_element(counts.begin(), counts.end(),
                                       [](auto x, auto y) { return x.second < y.second; });
    return most == counts.end() ? QColor() : QColor(most->first);
}

class WindowLookTest : public OrganiserTest {
protected:
    void SetUp() override {
        writePictures(3);
        start();
        view()->show();
        QApplication::processEvents();
    }
};

TEST_F(WindowLookTest, WindowsHaveTheirDesignedCaptionsLabelsAndButtonFaces) {
    press("TDcommand");
    press("Small_Com");
    QWidget* setDir = org->setDir();
    QWidget* setTdir = org->setTdir();
    QWidget* list = org->lform();
    const struct {
        QWidget* window;
        const char* button; // null: the caption
        const char* text;
    } texts[] = {{setDir, nullptr, "ディレクトリ指定"},
                 {setDir, "Command1", "OK"},
                 {setDir, "Command2", "キャンセル"},
                 {setTdir, nullptr, "Copy先ディレクトリ指定"},
                 {list, nullptr, " Tarvo"},
                 {list, "Lcom", "拡大"},
                 {list, "Command_up", "△"},
                 {list, "Command_down", "▽"},
                 // Blank, not empty: an empty title makes the window system show the name.
                 {memo(), nullptr, " "}};
    for (const auto& t : texts) {
        QObject* w =
            t.button ? t.window->findChild<QPushButton*>(QLatin1String(t.button)) : t.window;
        ASSERT_NE(w, nullptr) << t.button;
        EXPECT_EQ(w->property(t.button ? "text" : "windowTitle").toString(),
                  QString::fromUtf8(t.text));
    }
    EXPECT_EQ(setTdir->palette().color(QPalette::Window), QColor(0x80, 0x00, 0x00));
    EXPECT_FALSE(setTdir->windowIcon().isNull());
    EXPECT_FALSE(list->windowIcon().isNull());

    // In a grab: the main window's buttons show their designed face, END the standard one.
    const struct {
        const char* name;
        QColor face;
    } designed[] = {
        {"Paint", QColor(0x80, 0xFF, 0x80)},       {"SetSDir", QColor(0xFF, 0xFF, 0xC0)},
        {"dsptxt", QColor(0xFF, 0xFF, 0xC0)},      {"DelFcommand", QColor(0xFF, 0xE0, 0xC0)},
        {"ResetBotton", QColor(0xC0, 0xFF, 0xC0)}, {"Small_Com", QColor(0xC0, 0xFF, 0xFF)}};
    for (const auto& d : designed) {
        SCOPED_TRACE(d.name);
        EXPECT_EQ(faceOf(view(), d.name).name(), d.face.name());
    }
    EXPECT_EQ(faceOf(view(), "EndBottun").name(),
              QApplication::palette().color(QPalette::Button).name());
}

TEST_F(WindowLookTest, EnterPressesTheFocusedButton) {
    auto* memoButton = view()->findChild<QPushButton*>(QStringLiteral("dsptxt"));
    ASSERT_NE(memoButton, nullptr);
    memoButton->setFocus();
    QTest::keyClick(memoButton, Qt::Key_Return);
    EXPECT_TRUE(memo()->isVisible());
    QTest::keyClick(memoButton, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_FALSE(memo()->isVisible());
    QTest::keyClick(memoButton, Qt::Key_Return, Qt::ControlModifier); // with a modifier: no
    EXPECT_FALSE(memo()->isVisible());

    // The folder dialog's Cancel and the list window's buttons answer Enter too.
    org->setDir()->open();
    QTest::keyClick(org->setDir()->findChild<QPushButton*>(QStringLiteral("Command2")),
                    Qt::Key_Return);
    EXPECT_FALSE(org->setDir()->isVisible());
    press("Small_Com");
    QTest::keyClick(org->lform()->Lcom(), Qt::Key_Return);
    EXPECT_FALSE(org->lform()->isVisible());
}

} // namespace
