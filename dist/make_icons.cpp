// Writes the programs' icons, as the programs draw them, to PNG files for the desktop:
// make_icons FOLDER writes FOLDER/<size>/tarvo104.png and FOLDER/<size>/Mirok101.png for
// the sizes the windows use (16, 32 and 48) and 128 for menus and software centres.

#include "platform/icons.h"

#include <QDir>
#include <QGuiApplication>
#include <cstdio>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen"); // a build machine need not have a display
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_icons FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    for (int px : {16, 32, 48, 128}) {
        const QString dir = QStringLiteral("%1/%2").arg(folder).arg(px);
        QDir().mkpath(dir);
        // Both are drawn in a 32-unit square scaled to the size, so every size is sharp.
        if (!platform::tarvoIconImage(px).save(dir + QStringLiteral("/tarvo104.png")) ||
            !platform::mirokIconImage(px).save(dir + QStringLiteral("/Mirok101.png"))) {
            std::fprintf(stderr, "make_icons: cannot write %s\n", qPrintable(dir));
            return 1;
        }
    }
    return 0;
}
