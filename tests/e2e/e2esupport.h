#pragma once
// What the end-to-end tests share: the built programs, the xclick helper that finds and
// drives windows on the X display, and waits on conditions while this process keeps serving
// its own events (it may own the clipboard).

#include "support/testfolder.h"

#include <QElapsedTimer>
#include <QImage>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTest>
#include <optional>

namespace e2e {

inline const QString kBin = QStringLiteral(TARVO_BIN_DIR);
inline const QString kOrganiser = QStringLiteral("    画像整理ツール　 [Tarvo  V1.4 ]");

// Runs one of the built helper programs; its output without the final line end, or nothing
// when it fails. Captions may begin with blanks, so nothing else is trimmed.
inline std::optional<QString> runHelper(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(kBin + QLatin1Char('/') + program, args);
    if (!p.waitForFinished(10000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return std::nullopt;
    QString out = QString::fromUtf8(p.readAllStandardOutput());
    if (out.endsWith(QLatin1Char('\n')))
        out.chop(1);
    return out;
}

inline std::optional<QString> xclick(const QStringList& args) {
    return runHelper(QStringLiteral("xclick"), args);
}

struct Found {
    qulonglong id = 0;
    QRect rect; // client area in screen coordinates
};

// The window captioned caption (exactly, else the first that begins with it).
inline std::optional<Found> findWindow(const QString& caption) {
    const auto out = xclick({QStringLiteral("find"), caption});
    if (!out)
        return std::nullopt;
    const QStringList f = out->split(QLatin1Char(' '));
    if (f.size() != 5)
        return std::nullopt;
    return Found{f[0].toULongLong(), QRect(f[1].toInt(), f[2].toInt(), f[3].toInt(), f[4].toInt())};
}

// Exactly one shown window has exactly this caption.
inline bool shown(const QString& caption) {
    return xclick({QStringLiteral("count"), caption}) == QStringLiteral("1");
}

template <typename F> bool eventually(F done, int ms = 8000) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms)
            return false;
        QTest::qWait(50);
    }
    return true;
}

// The client area of the window captioned exactly caption once the window manager has placed
// it for good (the same in three looks 100 ms apart); nothing when it is not shown.
inline std::optional<QRect> settled(const QString& caption) {
    std::optional<QRect> last;
    int same = 0;
    eventually([&] {
        QTest::qWait(100);
        const auto now = shown(caption) ? findWindow(caption) : std::nullopt;
        same = now && last && now->rect == *last ? same + 1 : 0;
        last = now ? std::optional<QRect>(now->rect) : std::nullopt;
        return same >= 2;
    });
    return same >= 2 ? last : std::nullopt;
}

// Clicks the middle of a control placed at left, top, width, height twips in the lowest
// formHeight pixels of the client area of the window captioned caption (a menu bar may be
// above them); the organiser's main form is 344 pixels high.
inline bool clickIn(const QString& caption, int formHeight, int left, int top, int width,
                    int height) {
    const auto w = findWindow(caption);
    return w &&
           xclick({QStringLiteral("click"),
                   QString::number(w->rect.left() + (left + width / 2) / 15),
                   QString::number(w->rect.bottom() + 1 - formHeight + (top + height / 2) / 15)});
}
inline bool clickMain(int left, int top, int width, int height) {
    return clickIn(kOrganiser, 344, left, top, width, height);
}

// One of the built programs, started in a folder and killed at the end if still running.
struct Program {
    QProcess process;
    ~Program() {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(3000);
        }
    }
    // Starts it and waits until its window captioned caption is placed.
    bool start(const QString& name, const QString& folder, const QString& caption = kOrganiser) {
        process.setWorkingDirectory(folder);
        process.start(kBin + QLatin1Char('/') + name, {});
        return process.waitForStarted(10000) && settled(caption).has_value();
    }
};

// A picture whose every pixel differs from its neighbours and from those of another seed.
inline QImage pattern(int w, int h, int seed = 0) {
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < w; ++x)
            line[x] = qRgb((x * 7 + seed * 50) % 256, (y * 5 + seed * 31) % 256,
                           (x + y + seed * 17) % 256);
    }
    return img;
}

// Waits until the names of the folder's files have not changed for a second (at most 10 s)
// and answers them: whoever was writing there has stopped.
inline QStringList settledNames(const testing_support::TestFolder& folder) {
    QStringList last = folder.names();
    QElapsedTimer still, total;
    still.start();
    total.start();
    while (still.elapsed() < 1000 && total.elapsed() < 10000) {
        QTest::qWait(100);
        const QStringList now = folder.names();
        if (now != last) {
            last = now;
            still.restart();
        }
    }
    return last;
}

} // namespace e2e
