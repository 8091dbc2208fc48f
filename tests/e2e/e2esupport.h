#pragma once
// What the end-to-end tests share: the folder of the built programs, the xclick helper
// that finds and drives windows on the X display, and waiting for a condition while this
// process keeps serving its own events (it may own the clipboard).

#include "support/testfolder.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTest>
#include <optional>

namespace e2e {

inline const QString kBin = QStringLiteral(TARVO_BIN_DIR);

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
