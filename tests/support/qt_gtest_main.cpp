// Test main: a QApplication for the whole run, offscreen unless the environment names a
// platform (the e2e tests run on Xvfb).
#include <QApplication>
#include <QTemporaryDir>
#include <QThreadPool>
#include <gtest/gtest.h>

#include "platform/controls/fonts.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Thumbnails the organiser keeps between runs go to a cache of this run's own, never to
    // the user's.
    QTemporaryDir cacheHome;
    qputenv("XDG_CACHE_HOME", QFile::encodeName(cacheHome.path()));
    QApplication app(argc, argv);
    platform::installFontSubstitutions();
    ::testing::InitGoogleTest(&argc, argv);
    const int failed = RUN_ALL_TESTS();
    QThreadPool::globalInstance()->waitForDone(); // no entry written once its folder is gone
    return failed;
}
