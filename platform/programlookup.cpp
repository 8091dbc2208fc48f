#include "programlookup.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace platform {

namespace {

struct StandIn {
    const char* windowsName;
    QStringList programs;
    bool ours; // understands kNoFocusArgument
};

const QList<StandIn>& standIns() {
    static const QList<StandIn> table{
        {"CLIPBRD.EXE", {QStringLiteral("clipbrd")}, true},
        {"MIROK101.EXE", {QStringLiteral("Mirok101")}, true},
        {"MSPAINT.EXE",
         {QStringLiteral("kolourpaint"), QStringLiteral("pinta"), QStringLiteral("mtpaint"),
          QStringLiteral("gimp"), QStringLiteral("krita")},
         false},
    };
    return table;
}

const StandIn* standInFor(const QString& windowsName) {
    for (const StandIn& s : standIns())
        if (windowsName.compare(QLatin1String(s.windowsName), Qt::CaseInsensitive) == 0)
            return &s;
    return nullptr;
}

bool isExecutableFile(const QString& path) {
    QFileInfo info(path);
    return info.isFile() && info.isExecutable();
}

} // namespace

bool takesNoFocusArgument(const QString& windowsName) {
    const StandIn* s = standInFor(windowsName);
    return s && s->ours;
}

QStringList programCandidates(const QString& windowsName) {
    if (const StandIn* s = standInFor(windowsName))
        return s->programs;
    QString name = windowsName.trimmed();
    if (name.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive))
        name.chop(4);
    // A bare name only: a folder part would let the caller start anything anywhere.
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name == QLatin1String(".") ||
        name == QLatin1String(".."))
        return {};
    return {name};
}

QStringList programSearchFolders() {
    QStringList folders;
    auto add = [&folders](const QString& dir) {
        if (dir.isEmpty())
            return;
        const QString clean = QDir::cleanPath(QDir(dir).absolutePath());
        if (!folders.contains(clean))
            folders.append(clean);
    };
    if (QCoreApplication::instance())
        add(QCoreApplication::applicationDirPath());
    add(QDir::currentPath());
    const QString path = qEnvironmentVariable("PATH");
    const QStringList pathDirs = path.split(QDir::listSeparator(), Qt::SkipEmptyParts);
    for (const QString& dir : pathDirs)
        add(dir);
    return folders;
}

QStringList programSearchPaths(const QString& windowsName) {
    QStringList paths;
    const QStringList folders = programSearchFolders();
    const QStringList candidates = programCandidates(windowsName);
    for (const QString& program : candidates)
        for (const QString& folder : folders)
            paths.append(QDir(folder).filePath(program));
    return paths;
}

QString resolveProgram(const QString& windowsName) {
    const QStringList paths = programSearchPaths(windowsName);
    for (const QString& path : paths)
        if (isExecutableFile(path))
            return path;
    return {};
}

Result startProgram(const QString& windowsName, WindowStyle style) {
    const QString path = resolveProgram(windowsName);
    if (path.isEmpty())
        return Result::failure(Error::NotFound, windowsName);
    QStringList args;
    if (takesNoFocusArgument(windowsName) && style == WindowStyle::NormalNoFocus)
        args.append(QLatin1String(kNoFocusArgument));
    // The started program inherits the current directory: the capture saver writes its
    // files there.
    if (!QProcess::startDetached(path, args, QDir::currentPath()))
        return Result::failure(Error::Io, path);
    return Result::success();
}

QString installPaintMessage() {
    const QChar cr(13);
    const QStringList programs = standInFor(QStringLiteral("MSPAINT.EXE"))->programs;
    return QStringLiteral("この機能を使用する場合には　ペイントのプログラムを") + cr +
           QStringLiteral("インストールしてください。") + cr + cr + QStringLiteral("(例）") +
           programs.join(QStringLiteral("、")) + QStringLiteral(" の　どれかをインストール　");
}

} // namespace platform
