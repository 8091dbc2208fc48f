// grabwindow WINDOW-ID FILE.png: saves what a window of another program shows (its client
// area) to a PNG file. Fails when the window is not there or shows one flat colour, which
// means nothing was drawn in it.

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <cstdio>

namespace {

bool flat(const QImage& image) {
    const QRgb first = image.pixel(0, 0);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != first)
                return false;
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: grabwindow WINDOW-ID FILE.png\n");
        return 2;
    }
    bool ok = false;
    const WId window = QString::fromLatin1(argv[1]).toULongLong(&ok, 0);
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!ok || !screen) {
        std::fprintf(stderr, "grabwindow: no window id or no screen\n");
        return 2;
    }
    const QImage image = screen->grabWindow(window).toImage();
    if (image.isNull()) {
        std::fprintf(stderr, "grabwindow: window %s cannot be read\n", argv[1]);
        return 1;
    }
    if (flat(image)) {
        std::fprintf(stderr, "grabwindow: window %s shows nothing but one colour\n", argv[1]);
        return 1;
    }
    if (!image.save(QString::fromLocal8Bit(argv[2]))) {
        std::fprintf(stderr, "grabwindow: cannot write %s\n", argv[2]);
        return 1;
    }
    std::printf("%s: %d x %d\n", argv[2], image.width(), image.height());
    return 0;
}
