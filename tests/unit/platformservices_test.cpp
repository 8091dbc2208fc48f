// Twips layout, font substitution and the message box.
#include "platform/controls/fonts.h"
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
    EXPECT_DOUBLE_EQ(twipsPerPixelX(), 15.0);
    EXPECT_DOUBLE_EQ(twipsPerPixelY(), 15.0);
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

TEST(Fonts, WindowsJapaneseFontsMapToIpaFonts) {
    installFontSubstitutions();
    // Qt keeps the substitutes in lower case.
    EXPECT_EQ(QFont::substitutes(kMsGothic).value(0), QStringLiteral("ipagothic"));
    EXPECT_EQ(QFont::substitutes(kMsPGothic).value(0), QStringLiteral("ipapgothic"));
    QFont f = designFont(kMsGothic, 9, true);
    EXPECT_EQ(f.pointSizeF(), 9.0);
    EXPECT_TRUE(f.bold());
}

// On Windows the message box is the system's own (MessageBoxW), tested in tests/win.
#ifndef _WIN32
TEST(MessageBox, OneOkButtonTitleAndIcon) {
    struct Seen {
        QString text, title;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QStringList buttons;
        bool modal = false;
    };
    auto showAndCapture = [](const QString& title, MessageBox::Icon icon) {
        Seen seen;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            seen.text = box->text();
            seen.title = box->windowTitle();
            seen.icon = box->icon();
            seen.modal = box->isModal();
            const auto buttons = box->buttons();
            for (QAbstractButton* b : buttons)
                seen.buttons << b->text();
            buttons.value(0)->click();
        });
        systemMessageBox().show(nullptr, QStringLiteral("ディスクをセットして下さい"), title, icon);
        return seen;
    };

    Seen drive = showAndCapture(QStringLiteral("ドライブエラー"), MessageBox::Icon::Critical);
    EXPECT_EQ(drive.text, QStringLiteral("ディスクをセットして下さい"));
    EXPECT_EQ(drive.title, QStringLiteral("ドライブエラー"));
    EXPECT_EQ(drive.icon, QMessageBox::Critical);
    EXPECT_EQ(drive.buttons, QStringList{QStringLiteral("OK")});
    EXPECT_TRUE(drive.modal);

    const QString old = QGuiApplication::applicationDisplayName();
    QGuiApplication::setApplicationDisplayName(QStringLiteral("tarvo104"));
    Seen plain = showAndCapture(QString(), MessageBox::Icon::None);
    QGuiApplication::setApplicationDisplayName(old);
    EXPECT_EQ(plain.title, QStringLiteral("tarvo104"));
    EXPECT_EQ(plain.icon, QMessageBox::NoIcon);
    EXPECT_EQ(plain.buttons, QStringList{QStringLiteral("OK")});
}

TEST(MessageBox, CarriageReturnsBreakLines) {
    QString seen;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen = box->text();
        box->buttons().value(0)->click();
    });
    systemMessageBox().show(nullptr, QStringLiteral("一行目\r二行目\r\r(例）三行目\r\n四"));
    EXPECT_EQ(seen, QStringLiteral("一行目\n二行目\n\n(例）三行目\n四"));
}
#endif
