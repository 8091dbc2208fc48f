#include "display.h"

namespace platform {

QString preferredQpaPlatform(const QString& qpaPlatform, const QString& waylandDisplay,
                             const QString& sessionType, const QString& display) {
    if (!qpaPlatform.isEmpty())
        return {}; // the user asked for one: keep it
    const bool wayland = !waylandDisplay.isEmpty() ||
                         sessionType.compare(QLatin1String("wayland"), Qt::CaseInsensitive) == 0;
    if (wayland && !display.isEmpty())
        return QStringLiteral("xcb");
    return {};
}

QString displayProblem(const QString& qpaPlatform, const QString& waylandDisplay,
                       const QString& display, bool x11Reachable) {
    if (x11Reachable)
        return {};
    // Another plugin asked for by name (offscreen, Wayland, a frame buffer) is Qt's to try.
    if (!qpaPlatform.isEmpty() && qpaPlatform != QLatin1String("xcb"))
        return {};
    // A Wayland session without XWayland: the programs need X11 (other programs' windows,
    // the clipboard watch), and Qt left to itself would abort.
    if (display.isEmpty() && !waylandDisplay.isEmpty())
        return QStringLiteral("画面に接続できません: DISPLAY が設定されていません (X11 のない "
                              "Wayland では動きません)");
    if (display.isEmpty())
        return QStringLiteral(
            "画面に接続できません: DISPLAY も WAYLAND_DISPLAY も設定されていません");
    return QStringLiteral("画面に接続できません: DISPLAY %1 が応答しません").arg(display);
}

} // namespace platform
