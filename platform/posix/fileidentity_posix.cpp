// A file's identity from stat: device, inode, size and both times to the nanosecond.
#include "platform/fileidentity.h"
#include "platform/files.h"

#include <QFile>
#include <sys/stat.h>

namespace platform {

namespace {

qint64 nanoseconds(const struct timespec& t) {
    return qint64(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

FileIdentity fromStat(const struct stat& st) {
    return FileIdentity{quint64(st.st_dev), quint64(st.st_ino), qint64(st.st_size),
                        nanoseconds(st.st_mtim), nanoseconds(st.st_ctim)};
}

} // namespace

std::optional<FileIdentity> identityOf(const QString& path) {
    struct stat st;
    if (::stat(encodePath(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return fromStat(st);
}

std::optional<FileIdentity> identityOf(QFile& file) {
    struct stat st;
    if (file.handle() < 0 || ::fstat(file.handle(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return fromStat(st);
}

} // namespace platform
