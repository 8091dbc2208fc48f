// clipget: reads the X11 clipboard from a process of its own, for the benchmarks.
//   clipget --bmp-size   reads the picture as image/bmp, as the capture saver does, and
//                        prints its size as WxH
// Exit 1 when the clipboard holds no such picture, 2 on bad use.

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QMimeData>
#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (app.arguments().value(1) != QLatin1String("--bmp-size")) {
        std::fprintf(stderr, "usage: clipget --bmp-size\n");
        return 2;
    }
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    QImage img;
    if (!mime || !mime->hasFormat(QStringLiteral("image/bmp")) ||
        !img.loadFromData(mime->data(QStringLiteral("image/bmp")), "BMP"))
        return 1;
    std::printf("%dx%d", img.width(), img.height());
    return 0;
}
