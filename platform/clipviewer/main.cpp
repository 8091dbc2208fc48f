// clipbrd: the clipboard viewer the organiser uses as its large picture display.
// With --no-focus (window style 4) its window opens beside the window that was active when
// it started, without taking the focus from it.

#include "clipviewer.h"
#include "platform/activewindow.h"
#include "platform/bitmaplimit.h"
#include "platform/controls/translations.h"
#include "platform/display.h"
#include "platform/programlookup.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <cstdio>

int main(int argc, char** argv) {
    platform::choosePlatformPlugin();
    // Without any display Qt would abort; a plain message and a failing status instead.
    if (const QString problem = platform::startupDisplayProblem(); !problem.isEmpty()) {
        std::fprintf(stderr, "clipbrd: %s\n", problem.toUtf8().constData());
        return 1;
    }
    QApplication app(argc, argv);
    platform::allowLargeBitmaps();
    platform::installQtTranslation();
    clipviewer::ClipViewer viewer;
    if (!QApplication::arguments().contains(QLatin1String(platform::kNoFocusArgument))) {
        viewer.show();
        return QApplication::exec();
    }
    viewer.setAttribute(Qt::WA_ShowWithoutActivating);
    const std::optional<platform::ActiveWindow> starter = platform::activeWindowOfAnotherProgram();
    if (starter) {
        viewer.winId(); // the frame's size is known once the window exists
        const QScreen* screen = QGuiApplication::screenAt(starter->frame.center());
        if (!screen)
            screen = viewer.screen();
        const QSize frame = viewer.frameGeometry().size();
        const QRect place =
            platform::placeBeside(starter->frame, frame, screen->availableGeometry());
        viewer.resize(viewer.size() - (frame - place.size()));
        viewer.move(place.topLeft());

        // A window manager that activates every new window anyway: the focus goes back to
        // the starting window, once, when that happens as the window opens (not later, when
        // the organiser brings the viewer forward after a click).
        QElapsedTimer clock;
        clock.start();
        QObject::connect(
            &app, &QGuiApplication::focusWindowChanged, &viewer,
            [&viewer, starter, clock, handed = false](QWindow* w) mutable {
                if (handed || clock.elapsed() > 1500 || !w || w != viewer.windowHandle())
                    return;
                handed = true;
                // After Qt has taken the activation in, so that its own idea of
                // the active window follows the change back.
                QTimer::singleShot(100, &viewer, [starter] { platform::reactivate(*starter); });
            });
    }
    viewer.show();
    return QApplication::exec();
}
