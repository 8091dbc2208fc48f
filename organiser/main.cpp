// tarvo104: the image organiser. Starts in the folder it is started from.
#include "organiser/browser/organiser.h"
#include "organiser/commands/fullpicture.h"
#include "platform/controls/fonts.h"
#include "platform/controls/translations.h"
#include "platform/controls/windowlook.h"
#include "platform/display.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    platform::choosePlatformPlugin();
    // Without any display Qt would abort; a plain message and a failing status instead.
    if (const QString problem = platform::startupDisplayProblem(); !problem.isEmpty()) {
        std::fprintf(stderr, "tarvo104: %s\n", problem.toUtf8().constData());
        return 1;
    }
    int status = 0;
    {
        QApplication app(argc, argv);
        QApplication::setApplicationName(QStringLiteral("tarvo104"));
        platform::installFontSubstitutions();
        platform::installQtTranslation();
        tarvo::Organiser organiser;
        organiser.start();
        status = QApplication::exec();
    }
    // A picture decode given up at the end may still be finishing its last pass on a worker:
    // the program does not wait for it, and leaves without the exit handlers it could race.
    if (tarvo::fullPictureDecodesRunning() > 0) {
        std::fflush(nullptr);
        std::_Exit(status);
    }
    return status;
}
