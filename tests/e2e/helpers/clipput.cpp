// clipput: puts pictures on the X11 clipboard from a process of its own, for the e2e tests
// and the benchmarks.
//   clipput --image FILE [--stall]   offers the picture in FILE; with --stall it owns the
//                                    clipboard but never answers, like a hung program
//   clipput --burst DIR N RATE       offers N distinct pictures, RATE per second, each also
//                                    saved as DIR/burstNN.png; with --clear each right after
//                                    emptying the clipboard, as some programs copy
// Prints "ready" once it owns the clipboard ("done" after a burst's last picture), then
// serves it until killed or until another program takes it.

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QImage>
#include <QThread>
#include <QTimer>
#include <cstdio>

namespace {

void say(const char* line) {
    std::puts(line);
    std::fflush(stdout);
}

QImage burstImage(int i) {
    QImage img(320, 240, QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y,
                         qRgb((x + i * 13) % 256, (y * 2 + i * 29) % 256, (i * 47 + x / 40) % 256));
    return img;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    QClipboard* board = QGuiApplication::clipboard();
    if (args.size() >= 3 && args[1] == QLatin1String("--image")) {
        const QImage img(args[2]);
        if (img.isNull()) {
            std::fprintf(stderr, "clipput: cannot read %s\n", qPrintable(args[2]));
            return 2;
        }
        board->setImage(img);
        if (!board->ownsClipboard()) {
            std::fprintf(stderr, "clipput: did not get the clipboard\n");
            return 3;
        }
        say("ready");
        if (args.contains(QStringLiteral("--stall")))
            for (;;)
                QThread::sleep(1); // owns the clipboard, answers nothing
    } else if (args.size() >= 5 && args[1] == QLatin1String("--burst")) {
        const QDir dir(args[2]);
        const int count = args[3].toInt();
        say("ready");
        auto* timer = new QTimer(&app);
        int next = 0;
        const auto step = [&] {
            if (next == count) {
                timer->stop();
                say("done");
                return;
            }
            const QImage img = burstImage(next++);
            img.save(
                dir.filePath(QStringLiteral("burst%1.png").arg(next, 2, 10, QLatin1Char('0'))));
            if (args.contains(QStringLiteral("--clear")))
                board->clear();
            board->setImage(img);
        };
        QObject::connect(timer, &QTimer::timeout, &app, step);
        timer->start(int(1000 / args[4].toDouble()));
        return app.exec();
    } else {
        std::fprintf(stderr,
                     "usage: clipput --image FILE [--stall] | --burst DIR N RATE [--clear]\n");
        return 2;
    }
    QObject::connect(board, &QClipboard::dataChanged, &app, [&] {
        if (!board->ownsClipboard())
            app.quit();
    });
    return app.exec();
}
