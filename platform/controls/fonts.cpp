#include "fonts.h"

#include <QStringList>
#include <mutex>

namespace platform {

void installFontSubstitutions() {
    static std::once_flag once;
    std::call_once(once, [] {
        // The windows were designed with the Windows Japanese fonts; IPA fonts have the
        // same metrics (fixed-pitch and proportional Gothic, Mincho), so layouts stay put.
        const QString gothic = QStringLiteral("IPAGothic");
        const QString pgothic = QStringLiteral("IPAPGothic");
        const QString mincho = QStringLiteral("IPAMincho");
        const QString pmincho = QStringLiteral("IPAPMincho");
        QFont::insertSubstitutions(kMsGothic,
                                   QStringList{gothic, QStringLiteral("Noto Sans Mono CJK JP")});
        QFont::insertSubstitutions(kMsPGothic,
                                   QStringList{pgothic, QStringLiteral("Noto Sans CJK JP")});
        QFont::insertSubstitutions(QStringLiteral("MS Gothic"), QStringList{gothic});
        QFont::insertSubstitutions(QStringLiteral("MS PGothic"), QStringList{pgothic});
        QFont::insertSubstitutions(QStringLiteral("ＭＳ 明朝"), QStringList{mincho, gothic});
        QFont::insertSubstitutions(QStringLiteral("ＭＳ Ｐ明朝"), QStringList{pmincho, pgothic});
        QFont::insertSubstitutions(QStringLiteral("MS Mincho"), QStringList{mincho, gothic});
        QFont::insertSubstitutions(QStringLiteral("MS PMincho"), QStringList{pmincho, pgothic});
        QFont::insertSubstitutions(QStringLiteral("MS UI Gothic"), QStringList{pgothic});
    });
}

QFont designFont(const QString& family, double pointSize, bool bold) {
    QFont f(family);
    if (pointSize > 0)
        f.setPointSizeF(pointSize);
    f.setBold(bold);
    return f;
}

} // namespace platform
