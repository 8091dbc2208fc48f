// The message box of Linux (on Windows it is the system's own, tested in tests/win).
#include "platform/controls/messagebox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

using namespace platform;

#ifndef _WIN32
TEST(MessageBox, OneOkButtonTheProgramsNameForAnEmptyTitleAndLinesAtCarriageReturns) {
    const QString old = QGuiApplication::applicationDisplayName();
    QGuiApplication::setApplicationDisplayName(QStringLiteral("tarvo104"));
    bool shown = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        shown = true;
        EXPECT_EQ(box->text(), QStringLiteral("一行目\n二行目\n\n(例）三行目\n四"));
        EXPECT_EQ(box->windowTitle(), QStringLiteral("tarvo104"));
        EXPECT_EQ(box->icon(), QMessageBox::Critical);
        EXPECT_EQ(box->buttons().size(), 1);
        EXPECT_EQ(box->buttons().value(0)->text(), QStringLiteral("OK"));
        box->buttons().value(0)->click();
    });
    systemMessageBox().show(nullptr, QStringLiteral("一行目\r二行目\r\r(例）三行目\r\n四"),
                            QString(), MessageBox::Icon::Critical);
    EXPECT_TRUE(shown);
    QGuiApplication::setApplicationDisplayName(old);
}
#endif
