// Writes the programs' icons, as the programs draw them, to PNG files for the desktop:
// make_icons FOLDER writes FOLDER/<size>/tarvo104.png and FOLDER/<size>/Mirok101.png for
// the sizes 16, 32 and 48.

#include "platform/icons.h"

#include <QDir>
#include <QGuiApplication>
#include <QPixmap>
#include <cstdio>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen"); // a build machine need not have a display
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_icons FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const QIcon tarvo = platform::tarvoIcon();
    for (int px : {16, 32, 48}) {
        const QString dir = QStringLiteral("%1/%2").arg(folder).arg(px);
        QDir().mkpath(dir);
        const QImage mirok = platform::mirokIconImage(px);
        const QImage organiser = tarvo.pixmap(px, px).toImage().scaled(px, px);
        if (!organiser.save(dir + QStringLiteral("/tarvo104.png")) ||
            !mirok.save(dir + QStringLiteral("/Mirok101.png"))) {
            std::fprintf(stderr, "make_icons: cannot write %s\n", qPrintable(dir));
            return 1;
        }
    }
    return 0;
}
