// tarvo104: the image organiser. Starts in the folder it is started from.
#include "organiser/browser/organiser.h"
#include "platform/controls/fonts.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tarvo104"));
    platform::installFontSubstitutions();
    tarvo::Organiser organiser;
    organiser.start();
    return QApplication::exec();
}
