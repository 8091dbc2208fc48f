#include "fileidentity.h"

#include "files.h"

#include <QFile>

namespace platform {

std::optional<FileSnapshot> readSnapshot(const QString& path, qint64 maxBytes, Result* why) {
    std::unique_ptr<QFile> file = openForReading(path, why);
    if (!file)
        return std::nullopt;
    const std::optional<FileIdentity> id = identityOf(*file);
    if (!id) {
        if (why)
            *why = Result::failure(Error::Io, path, QStringLiteral("cannot be measured"));
        return std::nullopt;
    }
    return readSnapshot(*file, *id, maxBytes, why);
}

std::optional<FileSnapshot> readSnapshot(QFile& file, const FileIdentity& opened, qint64 maxBytes,
                                         Result* why) {
    if (opened.size > maxBytes) {
        if (why)
            *why = Result::failure(Error::TooLarge, QStringLiteral("file too large"));
        return std::nullopt;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (why)
            *why = Result::failure(Error::Io, file.errorString());
        return std::nullopt;
    }
    // Rewritten in place while it was open: what was read is not the content that was chosen.
    const std::optional<FileIdentity> now = identityOf(file);
    if (!now || *now != opened || bytes.size() != opened.size) {
        if (why)
            *why = Result::failure(Error::Io, QStringLiteral("the file changed while it was read"));
        return std::nullopt;
    }
    file.close();
    return FileSnapshot{std::move(bytes), opened};
}

} // namespace platform
