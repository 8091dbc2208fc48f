// Feeds arbitrary bytes to the memo reader as a memo file arrives: decoded in the code page
// (UTF-8, else CP932), then read as items. Beyond not crashing, a memo that reads must give
// text ending with a line end, and a memo without quotes or separators must come back whole.
#include "organiser/commands/memoitems.h"
#include "platform/textcodec.h"

#include <QDir>
#include <QFile>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    if (const char* seeds = std::getenv("TARVO_MAKE_SEEDS")) {
        const QString folder = QString::fromLocal8Bit(seeds);
        QDir().mkpath(folder);
        const QByteArray samples[] = {
            "blue water\r\n",
            "a,b\r\n\"x, y\"\r\n\r\nend\r\n",
            "one\ntwo\rthree",
            "\"never closed\r\nmore",
            "\x8a\x43\x81\x41\x8e\x52\r\n", // Shift-JIS
            "\xe6\xb5\xb7,\"\xe5\xb1\xb1\"tail,\r\n",
        };
        int n = 0;
        for (const QByteArray& s : samples) {
            QFile f(folder + QStringLiteral("/memo%1.TXT").arg(n++));
            if (f.open(QIODevice::WriteOnly))
                f.write(s);
        }
        std::exit(0);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString content = platform::decodeText(bytes).text;
    const std::optional<QString> text = tarvo::memoTextFromFile(content);
    if (text && !text->isEmpty() && !text->endsWith(QStringLiteral("\r\n")))
        std::abort();
    const bool plain = !content.contains(QLatin1Char('"')) && !content.contains(QLatin1Char(',')) &&
                       !content.contains(QLatin1Char('\r')) && !content.contains(QLatin1Char('\n'));
    if (plain && !content.isEmpty() && (!text || *text != content + QStringLiteral("\r\n")))
        std::abort();
    return 0;
}
