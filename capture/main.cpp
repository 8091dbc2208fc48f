// Mirok101: saves every bitmap that reaches the clipboard as a numbered BMP file.
#include "capture/form1.h"
#include "platform/clipboard.h"
#include "platform/fonts.h"
#include "platform/icons.h"
#include "platform/viewerchain.h"
#include "platform/windowlook.h"

#include <QApplication>

int main(int argc, char** argv) {
    platform::choosePlatformPlugin();
    QApplication app(argc, argv);
    platform::installFontSubstitutions();
    QApplication::setWindowIcon(platform::mirokIcon());
    capture::Form1 form(platform::systemViewerChain(), platform::systemClipboard());
    form.show();
    return app.exec();
}
