// clipbrd: the clipboard viewer the organiser uses as its large picture display.
// With --no-focus its window opens without taking the focus from the program that started
// it.

#include "clipviewer.h"
#include "platform/bitmaplimit.h"
#include "platform/display.h"
#include "platform/programlookup.h"

#include <QApplication>
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
    clipviewer::ClipViewer viewer;
    if (QApplication::arguments().contains(QLatin1String(platform::kNoFocusArgument)))
        viewer.setAttribute(Qt::WA_ShowWithoutActivating);
    viewer.show();
    return QApplication::exec();
}
