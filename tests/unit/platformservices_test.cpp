// Twips layout and the message box.
#include "platform/controls/messagebox.h"
#include "platform/controls/placement.h"
#include "platform/twips.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

using namespace platform;

TEST(Twips, FifteenTwipsPerPixelAt96Dpi) {
    EXPECT_EQ(twipsToPixelsX(1455), 97);
    EXPECT_EQ(twipsToPixelsY(7.4), 0);
    EXPECT_DOUBLE_EQ(pixelsToTwipsX(97), 1455.0);
    QWidget window;
    setClientTwips(&window, 5010, 3420);
    EXPECT_EQ(window.size(), QSize(334, 228));
    QWidget child(&window);
    placeTwips(&child, 105, 75, 2535, 2430);
    EXPECT_EQ(child.geometry(), QRect(7, 5, 169, 162));
}

// On Windows the message box is the system's own (MessageBoxW), tested in tests/win.
#ifndef _WIN32
TEST(MessageBox, OneOkButtonTheProgramsNameForAnEmptyTitleAndLinesAtCarriageReturns) {
    const QString old = QGuiApplication::applicationDisplayName();
    QGuiApplication::setApplicationDisplayName(QStringLiteral("tarvo104"));
    QString text, title;
    QMessageBox::Icon icon = QMessageBox::Question;
    QStringList buttons;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        text = box->text();
        title = box->windowTitle();
        icon = box->icon();
        for (QAbstractButton* b : box->buttons())
            buttons << b->text();
        box->buttons().value(0)->click();
    });
    systemMessageBox().show(nullptr, QStringLiteral("一行目\r二行目\r\r(例）三行目\r\n四"),
                            QString(), MessageBox::Icon::Critical);
    EXPECT_EQ(text, QStringLiteral("一行目\n二行目\n\n(例）三行目\n四"));
    EXPECT_EQ(title, QStringLiteral("tarvo104"));
    EXPECT_EQ(icon, QMessageBox::Critical);
    EXPECT_EQ(buttons, QStringList{QStringLiteral("OK")});
    QGuiApplication::setApplicationDisplayName(old);
}
#endif
