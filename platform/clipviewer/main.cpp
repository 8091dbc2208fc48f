// clipbrd: the clipboard viewer the organiser uses as its large picture display.
// With --no-focus its window opens without taking the focus from the program that started
// it.

#include "clipviewer.h"
#include "platform/bitmaplimit.h"
#include "platform/programlookup.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    platform::allowLargeBitmaps();
    clipviewer::ClipViewer viewer;
    if (QApplication::arguments().contains(QLatin1String(platform::kNoFocusArgument)))
        viewer.setAttribute(Qt::WA_ShowWithoutActivating);
    viewer.show();
    return QApplication::exec();
}
