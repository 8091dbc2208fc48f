// Writes the sample metafiles of samples/ (a shapes drawing, a clip-art picture with a
// bitmap, and a Japanese label in a SHIFTJIS font) into the folder given, by default the
// current one.
#include "wmfbuilder.h"

#include <QDir>
#include <QFile>
#include <cstdio>

int main(int argc, char** argv) {
    const QDir dir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());
    const struct {
        const char* name;
        QByteArray bytes;
    } samples[] = {{"shapes.WMF", wmftest::shapesDrawing()},
                   {"clipart.wmf", wmftest::clipArt()},
                   {"label.WMF", wmftest::japaneseLabel()}};
    for (const auto& sample : samples) {
        QFile file(dir.filePath(QString::fromLatin1(sample.name)));
        if (!file.open(QIODevice::WriteOnly) || file.write(sample.bytes) != sample.bytes.size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
            return 1;
        }
    }
    return 0;
}
