// clipget: reads the X11 clipboard from a process of its own, for the e2e tests.
//   clipget --image OUT.png   writes the clipboard's picture to OUT.png
//   clipget --text            prints the clipboard's text
//   clipget --formats         prints the formats the clipboard offers, one a line
//   clipget --bmp-size        reads the picture as image/bmp, as the capture saver does, and
//                             prints its size as WxH (for the benchmarks: no file written)
// Exit 1 when the clipboard holds no such data, 2 on bad use or a failed write.

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QMimeData>
#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    if (args.size() >= 3 && args[1] == QLatin1String("--image")) {
        if (!mime || !mime->hasImage())
            return 1;
        const QImage img = qvariant_cast<QImage>(mime->imageData());
        if (img.isNull())
            return 1;
        return img.save(args[2]) ? 0 : 2;
    }
    if (args.size() >= 2 && args[1] == QLatin1String("--bmp-size")) {
        if (!mime || !mime->hasFormat(QStringLiteral("image/bmp")))
            return 1;
        QImage img;
        if (!img.loadFromData(mime->data(QStringLiteral("image/bmp")), "BMP"))
            return 1;
        std::printf("%dx%d", img.width(), img.height());
        return 0;
    }
    if (args.size() >= 2 && args[1] == QLatin1String("--text")) {
        if (!mime || !mime->hasText())
            return 1;
        const QByteArray text = mime->text().toUtf8();
        std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
        return 0;
    }
    if (args.size() >= 2 && args[1] == QLatin1String("--formats")) {
        if (!mime || mime->formats().isEmpty())
            return 1;
        const QByteArray list = mime->formats().join(QLatin1Char('\n')).toUtf8();
        std::fwrite(list.constData(), 1, size_t(list.size()), stdout);
        return 0;
    }
    std::fprintf(stderr, "usage: clipget --image OUT.png | --bmp-size | --text | --formats\n");
    return 2;
}
