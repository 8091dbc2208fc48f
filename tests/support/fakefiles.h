#pragma once
// The real files of a test's folders, with failures the test arranges (a read-only file, a
// folder without write access, a full disk) without a change of modes, which root would ignore.

#include "platform/files.h"

#include <QDir>
#include <QString>
#include <QStringList>
#include <map>
#include <optional>

namespace testing_support {

class FakeFiles : public platform::Files {
public:
    // Files with the read-only attribute: neither replaced nor deleted, but renamed as on Windows.
    QStringList readOnly;
    // A file, or a folder ending in "/", to the errno every change there meets (EACCES, ENOSPC).
    std::map<QString, int> failing;
    // Every change asked for: "remove p", "rename a > b", "copy a > b", "write p" (with "/").
    QStringList changes;

    bool isNormalFile(const QString& path) override { return real().isNormalFile(path); }
    std::optional<qint64> length(const QString& path) override { return real().length(path); }
    bool sameFile(const QString& a, const QString& b) override { return real().sameFile(a, b); }
    std::optional<QString> readText(const QString& path, platform::Result* why) override {
        return real().readText(path, why);
    }

    platform::Result copyReplace(const QString& from, const QString& to) override {
        changes << QStringLiteral("copy %1 > %2").arg(key(from), key(to));
        if (auto r = refused(to))
            return *r;
        if (readOnly.contains(key(to)) && real().isNormalFile(to))
            return platform::readOnlyFile(to);
        return real().copyReplace(from, to);
    }
    platform::Result renameNoReplace(const QString& from, const QString& to) override {
        changes << QStringLiteral("rename %1 > %2").arg(key(from), key(to));
        if (auto r = refused(from))
            return *r;
        if (auto r = refused(to))
            return *r;
        return real().renameNoReplace(from, to);
    }
    platform::Result remove(const QString& path) override {
        changes << QStringLiteral("remove %1").arg(key(path));
        if (auto r = refused(path))
            return *r;
        if (readOnly.contains(key(path)))
            return platform::readOnlyFile(path);
        return real().remove(path);
    }
    platform::Result writeText(const QString& path, const QString& text) override {
        changes << QStringLiteral("write %1").arg(key(path));
        if (auto r = refused(path))
            return *r;
        if (readOnly.contains(key(path)) && real().isNormalFile(path))
            return platform::readOnlyFile(path);
        return real().writeText(path, text);
    }

private:
    static platform::Files& real() { return platform::systemFiles(); }
    static QString key(const QString& path) { return QDir::fromNativeSeparators(path); }
    std::optional<platform::Result> refused(const QString& given) const {
        const QString path = key(given);
        auto it = failing.find(path);
        if (it == failing.end())
            it = failing.find(path.left(path.lastIndexOf(QLatin1Char('/')) + 1));
        if (it == failing.end())
            return std::nullopt;
        return platform::resultFromErrno(it->second, given);
    }
};

} // namespace testing_support
