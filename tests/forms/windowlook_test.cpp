// How the organiser's windows look and answer: their designed captions and labels, and in
// grabs of the real widgets the button faces, the "File 数" label inside the window, the memo
// window's blank caption, the name field above the selected cell's frame; Enter pressing the
// focused button.
#include "organiser/dialogs/setdir.h"
#include "organiser/dialogs/settdir.h"
#include "organiser/listwindow/lform.h"
#include "support/organiserfixture.h"

#include <QApplication>
#include <QImage>
#include <QWindow>
#include <algorithm>
#include <map>

using namespace testing_support;
using namespace tarvo;

namespace {

// The colour a button shows most inside its bevel: its face, whatever its caption covers.
QColor faceOf(QWidget* window, QPushButton* b) {
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

bool dark(QColor c) {
    return c.lightness() < 100;
}

class WindowLookTest : public OrganiserTest {
protected:
    void SetUp() override {
        writePictures(3);
        start();
        view()->show();
        QApplication::processEvents();
    }
    QPushButton* mainButton(const char* name) {
        auto* b = view()->findChild<QPushButton*>(QLatin1String(name));
        EXPECT_NE(b, nullptr) << name;
        return b;
    }
    QColor standardFace() { return QApplication::palette().color(QPalette::Button); }
};

TEST_F(WindowLookTest, DialogsAndTheListWindowHaveTheirDesignedCaptionsAndLabels) {
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
                 {setTdir, "Command1", "OK"},
                 {setTdir, "Command2", "キャンセル"},
                 {list, nullptr, " Tarvo"},
                 {list, "Lcom", "拡大"},
                 {list, "Command_up", "△"},
                 {list, "Command_down", "▽"}};
    for (const auto& t : texts) {
        SCOPED_TRACE(t.button ? t.button : "caption");
        if (!t.button) {
            EXPECT_EQ(t.window->windowTitle(), QString::fromUtf8(t.text));
            continue;
        }
        auto* b = t.window->findChild<QPushButton*>(QLatin1String(t.button));
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->text(), QString::fromUtf8(t.text));
    }
    EXPECT_EQ(setTdir->palette().color(QPalette::Window), QColor(0x80, 0x00, 0x00));
    EXPECT_FALSE(setTdir->windowIcon().isNull());
    EXPECT_FALSE(list->windowIcon().isNull());
}

TEST_F(WindowLookTest, ButtonsShowTheirDesignedFaceAndStandardButtonsTheStandardFace) {
    const struct {
        const char* name;
        QColor face;
    } designed[] = {
        {"Paint", QColor(0x80, 0xFF, 0x80)},       {"SetSDir", QColor(0xFF, 0xFF, 0xC0)},
        {"dsptxt", QColor(0xFF, 0xFF, 0xC0)},      {"DelFcommand", QColor(0xFF, 0xE0, 0xC0)},
        {"ResetBotton", QColor(0xC0, 0xFF, 0xC0)}, {"Small_Com", QColor(0xC0, 0xFF, 0xFF)}};
    for (const auto& d : designed) {
        SCOPED_TRACE(d.name);
        EXPECT_EQ(faceOf(view(), mainButton(d.name)).name(), d.face.name());
    }
    EXPECT_EQ(faceOf(view(), mainButton("EndBottun")).name(), standardFace().name());

    // The dialog's OK and Cancel and the list window's buttons keep the standard face too.
    org->setDir()->open();
    SetDir* dialog = org->setDir();
    for (const char* name : {"Command1", "Command2"}) {
        SCOPED_TRACE(name);
        auto* b = dialog->findChild<QPushButton*>(QLatin1String(name));
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(faceOf(dialog, b).name(), standardFace().name());
    }
    press("Small_Com");
    EXPECT_EQ(faceOf(org->lform(), org->lform()->Lcom()).name(), standardFace().name());
}

TEST_F(WindowLookTest, FileCountLabelShowsItsTextAtTheTopInsideTheWindow) {
    auto* label3 = view()->findChild<QLabel*>(QStringLiteral("Label3"));
    ASSERT_NE(label3, nullptr);
    QWidget* client = view()->centralWidget();
    const QImage shot = client->grab().toImage();
    const QRect labelBox(label3->mapTo(client, QPoint(0, 0)), label3->size());
    // The box reaches past the client area's bottom edge; its text must not.
    ASSERT_GT(labelBox.bottom(), shot.height() - 1);
    int first = -1, last = -1;
    for (int y = labelBox.top(); y < shot.height(); ++y)
        for (int x = labelBox.left(); x <= labelBox.right(); ++x)
            if (dark(shot.pixelColor(x, y))) {
                if (first < 0)
                    first = y;
                last = y;
                break;
            }
    ASSERT_GE(first, 0) << "no text drawn";
    EXPECT_LT(first - labelBox.top(), 6) << "the text is not at the top of its box";
    // Some rows of the window's background lie below the text: nothing is cut off.
    EXPECT_LT(last, shot.height() - 3);
    // Like the count beside it.
    EXPECT_NEAR(first, view()->Total()->mapTo(client, QPoint(0, 0)).y(), 6);
}

TEST_F(WindowLookTest, MemoWindowHasNoCaptionUntilTheProgramGivesItOne) {
    press("dsptxt");
    ASSERT_TRUE(memo()->isVisible());
    EXPECT_EQ(memo()->caption(), QString());
    // What reaches the window system: nothing to read, and not the program's name.
    ASSERT_NE(memo()->windowHandle(), nullptr);
    const QString title = memo()->windowHandle()->title();
    EXPECT_TRUE(title.trimmed().isEmpty()) << qPrintable(title);
    EXPECT_FALSE(title.isEmpty()) << "an empty title makes the window system show the name";

    memo()->setCaption(QStringLiteral("p00.txt"));
    EXPECT_EQ(memo()->caption(), QStringLiteral("p00.txt"));
    EXPECT_EQ(memo()->windowHandle()->title(), QStringLiteral("p00.txt"));
    memo()->setCaption(QString());
    EXPECT_EQ(memo()->caption(), QString());
    EXPECT_TRUE(memo()->windowHandle()->title().trimmed().isEmpty());
}

TEST_F(WindowLookTest, SelectedCellFrameLiesUnderTheNameField) {
    clickPicture(0);
    ShapeFrame* frame = view()->Shape1(0);
    QPlainTextEdit* name = view()->Text1(0);
    ASSERT_EQ(frame->borderWidth(), 3);
    QWidget* client = view()->centralWidget();
    const QRect frameBox(frame->mapTo(client, QPoint(0, 0)), frame->size());
    const QRect nameBox(name->mapTo(client, QPoint(0, 0)), name->size());
    const QRect overlap = frameBox.intersected(nameBox);
    ASSERT_FALSE(overlap.isEmpty()) << "the frame reaches the name field's top";

    const QImage shot = client->grab().toImage();
    const QImage field = name->grab().toImage();
    // The frame shows where it lies alone ...
    const QPoint side = frameBox.topLeft() + QPoint(1, frameBox.height() / 2);
    EXPECT_TRUE(dark(shot.pixelColor(side))) << qPrintable(shot.pixelColor(side).name());
    // ... and where it meets the name field, the name field is what is seen.
    for (int y = overlap.top(); y <= overlap.bottom(); ++y) {
        const QPoint at(overlap.center().x(), y);
        EXPECT_EQ(shot.pixelColor(at).name(), field.pixelColor(at - nameBox.topLeft()).name())
            << "row " << y;
    }
}

TEST_F(WindowLookTest, EnterAndSpacePressTheFocusedButton) {
    QPushButton* memoButton = mainButton("dsptxt");
    memoButton->setFocus();
    QTest::keyClick(memoButton, Qt::Key_Return);
    EXPECT_TRUE(memo()->isVisible());
    QTest::keyClick(memoButton, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_FALSE(memo()->isVisible());
    QTest::keyClick(memoButton, Qt::Key_Space);
    EXPECT_TRUE(memo()->isVisible());
    // With a modifier held, Enter is not a press.
    QTest::keyClick(memoButton, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_TRUE(memo()->isVisible());

    // The folder dialog: Enter on the focused Cancel closes it, like a click.
    org->setDir()->open();
    auto* cancel = org->setDir()->findChild<QPushButton*>(QStringLiteral("Command2"));
    ASSERT_NE(cancel, nullptr);
    ASSERT_TRUE(org->setDir()->isVisible());
    QTest::keyClick(cancel, Qt::Key_Return);
    EXPECT_FALSE(org->setDir()->isVisible());

    // The list window's buttons answer Enter too.
    press("Small_Com");
    Lform* list = org->lform();
    ASSERT_TRUE(list->isVisible());
    QTest::keyClick(list->Lcom(), Qt::Key_Return);
    EXPECT_FALSE(list->isVisible());
    EXPECT_TRUE(view()->isVisible());
}

} // namespace
