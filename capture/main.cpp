// Mirok101: saves every bitmap that reaches the clipboard as a numbered BMP file.
#include "capture/form1.h"
#include "platform/clipboard.h"
#include "platform/controls/fonts.h"
#include "platform/controls/icons.h"
#include "platform/controls/translations.h"
#include "platform/controls/windowlook.h"
#include "platform/display.h"
#include "platform/viewerchain.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char** argv) {
    platform::choosePlatformPlugin();
    // Without any display Qt would abort; a plain message and a failing status instead.
    if (const QString problem = platform::startupDisplayProblem(); !problem.isEmpty()) {
        std::fprintf(stderr, "Mirok101: %s\n", problem.toUtf8().constData());
        return 1;
    }
    QApplication app(argc, argv);
    platform::installFontSubstitutions();
    platform::installQtTranslation();
    QApplication::setWindowIcon(platform::mirokIcon());
    capture::Form1 form(platform::systemViewerChain(), platform::systemClipboard());
    form.show();
    return app.exec();
}
