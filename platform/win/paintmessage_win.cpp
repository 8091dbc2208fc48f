// The Paint message on Windows, where Paint is MSPAINT.EXE in the system folder.

#include "platform/programs.h"

namespace platform {

QString paintMissingMessage() {
    const QChar cr(13);
    return QStringLiteral("この機能を使用する場合には　Windowsのシステムフォルダに") + cr +
           QStringLiteral("ペイントのプログラムをコピーしてください。") + cr + cr +
           QStringLiteral("(例）C:\\WINDOWS に　MSPAINT.EXE をコピー　");
}

} // namespace platform
