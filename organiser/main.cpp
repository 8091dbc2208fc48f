// tarvo104: the image organiser. Starts in the folder it is started from.
#include "organiser/browser/organiser.h"
#include "platform/controls/fonts.h"
#include "platform/controls/translations.h"
#include "platform/controls/windowlook.h"
#include "platform/display.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char** argv) {
    platform::choosePlatformPlugin();
    // Without any display Qt would abort; a plain message and a failing status instead.
    if (const QString problem = platform::startupDisplayProblem(); !problem.isEmpty()) {
        std::fprintf(stderr, "tarvo104: %s\n", problem.toUtf8().constData());
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tarvo104"));
    platform::installFontSubstitutions();
    platform::installQtTranslation();
    tarvo::Organiser organiser;
    organiser.start();
    return QApplication::exec();
}
