// Test main: a QApplication for the whole run, offscreen unless the environment names a
// platform (the e2e tests run on Xvfb).
#include <QApplication>
#include <gtest/gtest.h>

#include "platform/controls/fonts.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    platform::installFontSubstitutions();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
