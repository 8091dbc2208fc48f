#include "pathrules.h"

namespace platform {

namespace {

QChar separatorOf(PathStyle style) {
    return style == PathStyle::Windows ? QLatin1Char('\\') : QLatin1Char('/');
}

bool isSeparator(QChar c, PathStyle style) {
    return c == QLatin1Char('/') || (style == PathStyle::Windows && c == QLatin1Char('\\'));
}

// The names Windows gives to devices in every folder: "CON", also as "con.txt" or
// "CON .jpg", opens the console, not a file. The superscript digits count as digits there.
bool isWindowsDeviceName(const QString& name) {
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    QString base = dot < 0 ? name : name.left(dot);
    while (base.endsWith(QLatin1Char(' ')))
        base.chop(1);
    base = base.toUpper();
    static const char* const plain[] = {"CON", "PRN", "AUX", "NUL"};
    for (const char* p : plain) {
        if (base == QLatin1String(p))
            return true;
    }
    if (base.size() != 4 ||
        !(base.startsWith(QLatin1String("COM")) || base.startsWith(QLatin1String("LPT"))))
        return false;
    const char16_t d = base.at(3).unicode();
    return (d >= u'1' && d <= u'9') || d == u'\u00B9' || d == u'\u00B2' || d == u'\u00B3';
}

Result refused(const QString& name, const QString& why) {
    return Result::failure(Error::InvalidName, name, why);
}

} // namespace

QString pathInStyle(const QString& path, PathStyle style) {
    if (style != PathStyle::Windows)
        return path;
    QString out = path;
    out.replace(QLatin1Char('/'), QLatin1Char('\\'));
    return out;
}

QString folderInStyle(const QString& folder, PathStyle style) {
    QString out = pathInStyle(folder, style);
    if (!out.isEmpty() && !isSeparator(out.back(), style))
        out += separatorOf(style);
    return out;
}

QString nativePath(const QString& path) {
    return pathInStyle(path, nativePathStyle());
}

QString nativeFolder(const QString& folder) {
    return folderInStyle(folder, nativePathStyle());
}

QString lastNameOf(const QString& path, PathStyle style) {
    for (qsizetype i = path.size() - 1; i >= 0; --i) {
        if (isSeparator(path.at(i), style))
            return path.mid(i + 1);
    }
    return path;
}

Result fileNameRule(const QString& name, PathStyle style) {
    if (name.isEmpty())
        return refused(name, QStringLiteral("ファイル名が空です"));
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        return refused(name, QStringLiteral("「.」と「..」はファイル名に使えません"));
    if (style == PathStyle::Posix) {
        if (name.contains(QLatin1Char('/')))
            return refused(name, QStringLiteral("ファイル名に「/」は使えません"));
        if (name.contains(QChar(0)))
            return refused(name, QStringLiteral("ファイル名に NUL 文字は使えません"));
        return Result::success();
    }
    static const QString forbidden = QStringLiteral("\\/:*?\"<>|");
    for (QChar c : name) {
        if (forbidden.contains(c))
            return refused(name,
                           QStringLiteral("ファイル名に次の文字は使えません: \\ / : * ? \" < > |"));
        if (c.unicode() < 0x20)
            return refused(name,
                           QStringLiteral("ファイル名に改行やタブなどの制御文字は使えません"));
    }
    if (name.endsWith(QLatin1Char('.')) || name.endsWith(QLatin1Char(' ')))
        return refused(name, QStringLiteral("ファイル名の最後にピリオドや空白は使えません"));
    if (isWindowsDeviceName(name))
        return refused(
            name, QStringLiteral("「%1」は Windows が装置に使う名前なので、ファイル名に使えません")
                      .arg(name));
    return Result::success();
}

} // namespace platform
