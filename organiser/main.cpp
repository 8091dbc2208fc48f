// tarvo104: the image organiser. Starts in the folder it is started from.
#include "organiser/browser/organiser.h"
#include "platform/fonts.h"
#include "platform/windowlook.h"

#include <QApplication>

int main(int argc, char** argv) {
    platform::choosePlatformPlugin();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tarvo104"));
    platform::installFontSubstitutions();
    tarvo::Organiser organiser;
    organiser.start();
    return QApplication::exec();
}
