// File services on POSIX: every replacement of a file goes through a temporary file in the
// same folder and a rename, so a failure never leaves a half-written target behind.
#include "platform/files.h"
#include "platform/pathrules.h"
#include "platform/textcodec.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#ifndef RENAME_NOREPLACE
#define RENAME_NOREPLACE (1 << 0)
#endif

namespace platform {

namespace {

constexpr qint64 kMaxTextBytes = 64 * 1024 * 1024;

QByteArray folderOf(const QByteArray& path) {
    int slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    if (slash == 0)
        return QByteArrayLiteral("/");
    return path.left(slash);
}

QByteArray baseOf(const QByteArray& path) {
    return path.mid(path.lastIndexOf('/') + 1);
}

bool writeAll(int fd, const char* data, qint64 size) {
    while (size > 0) {
        ssize_t n = ::write(fd, data, static_cast<size_t>(size));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

// A file nobody may write to. Checked on the mode bits as well as with access(), so the
// rule holds for root too, as a read-only file does on the Windows side.
bool isReadOnly(const QByteArray& path, const struct stat& st) {
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return true;
    return ::access(path.constData(), W_OK) != 0 && errno == EACCES;
}

// A target name taken by something that is not a plain file.
Result notAFile(const QString& path, const struct stat& st) {
    if (S_ISDIR(st.st_mode))
        return Result::failure(Error::Exists, path, errnoText(EISDIR));
    return Result::failureOf(Error::Exists, path);
}

// A temporary file beside target, hidden so that a folder listing never shows it.
class TempFile {
public:
    explicit TempFile(const QByteArray& target) {
        m_path = folderOf(target) + "/.~" + baseOf(target).left(100) + ".XXXXXX";
        m_fd = ::mkstemp(m_path.data());
        m_errno = m_fd < 0 ? errno : 0;
    }
    ~TempFile() {
        if (m_fd >= 0)
            ::close(m_fd);
        if (!m_done && m_errno == 0)
            ::unlink(m_path.constData());
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    int fd() const { return m_fd; }
    int error() const { return m_errno; }

    // Flushes, closes and renames over target.
    Result commit(const QByteArray& target, mode_t mode, const QString& what) {
        if (::fchmod(m_fd, mode) != 0 || ::fsync(m_fd) != 0)
            return resultFromErrno(errno, what);
        int fd = m_fd;
        m_fd = -1;
        if (::close(fd) != 0)
            return resultFromErrno(errno, what);
        if (::rename(m_path.constData(), target.constData()) != 0)
            return resultFromErrno(errno, what);
        m_done = true;
        return Result::success();
    }

private:
    QByteArray m_path;
    int m_fd = -1;
    int m_errno = 0;
    bool m_done = false;
};

mode_t newFileMode() {
    mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

int renameat2NoReplace(const char* from, const char* to) {
#ifdef SYS_renameat2
    return static_cast<int>(
        ::syscall(SYS_renameat2, AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE));
#else
    (void)from;
    (void)to;
    errno = ENOSYS;
    return -1;
#endif
}

} // namespace

// Exposed to the tests so the fallback can be run on file systems that have renameat2.
int linkRenameNoReplace(const char* from, const char* to) {
    if (::link(from, to) != 0)
        return -1;
    if (::unlink(from) != 0) {
        int err = errno;
        ::unlink(to);
        errno = err;
        return -1;
    }
    return 0;
}

namespace {

class PosixFiles : public Files {
public:
    bool isNormalFile(const QString& path) override {
        QByteArray p = encodePath(path);
        if (p.isEmpty() || baseOf(p).startsWith('.'))
            return false;
        struct stat st;
        return ::stat(p.constData(), &st) == 0 && S_ISREG(st.st_mode);
    }

    std::optional<qint64> length(const QString& path) override {
        struct stat st;
        if (::stat(encodePath(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
            return std::nullopt;
        return static_cast<qint64>(st.st_size);
    }

    Result copyReplace(const QString& from, const QString& to) override {
        QByteArray src = encodePath(from);
        QByteArray dst = encodePath(to);
        int in = ::open(src.constData(), O_RDONLY | O_CLOEXEC);
        if (in < 0)
            return resultFromErrno(errno, from);
        struct Closer {
            int fd;
            ~Closer() { ::close(fd); }
        } closer{in};
        struct stat sst;
        if (::fstat(in, &sst) != 0)
            return resultFromErrno(errno, from);
        if (!S_ISREG(sst.st_mode))
            return Result::failureOf(Error::NotFound, from);
        mode_t mode = newFileMode();
        struct stat dst_st;
        if (::stat(dst.constData(), &dst_st) == 0) {
            // Copying a file onto itself would truncate it in a plain copy; here it is a
            // no-op that leaves the file whole.
            if (dst_st.st_dev == sst.st_dev && dst_st.st_ino == sst.st_ino)
                return Result::success();
            if (!S_ISREG(dst_st.st_mode))
                return notAFile(to, dst_st);
            if (isReadOnly(dst, dst_st))
                return readOnlyFile(to);
            mode = dst_st.st_mode & 07777;
        }
        TempFile tmp(dst);
        if (tmp.fd() < 0)
            return resultFromErrno(tmp.error(), to);
        char buf[1 << 16];
        for (;;) {
            ssize_t n = ::read(in, buf, sizeof buf);
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                return resultFromErrno(errno, from);
            }
            if (n == 0)
                break;
            if (!writeAll(tmp.fd(), buf, n))
                return resultFromErrno(errno, to);
        }
        return tmp.commit(dst, mode, to);
    }

    Result renameNoReplace(const QString& from, const QString& to) override {
        // A NUL would end the name early and rename the file to another name than asked.
        if (Result r = fileNameRule(lastNameOf(to, PathStyle::Posix), PathStyle::Posix); !r)
            return r;
        QByteArray src = encodePath(from);
        QByteArray dst = encodePath(to);
        struct stat st;
        if (::lstat(src.constData(), &st) != 0)
            return resultFromErrno(errno, from);
        if (renameat2NoReplace(src.constData(), dst.constData()) == 0)
            return Result::success();
        int err = errno;
        if (err == EINVAL || err == ENOSYS) {
            // File systems without renameat2 flags: a hard link fails when the name is
            // taken, and only then is the old name removed.
            if (linkRenameNoReplace(src.constData(), dst.constData()) == 0)
                return Result::success();
            err = errno;
            if (err == EPERM || err == EOPNOTSUPP || err == EMLINK) {
                // No hard links either (FAT and the like): check, then rename.
                struct stat dst_st;
                if (::lstat(dst.constData(), &dst_st) == 0)
                    return Result::failureOf(Error::Exists, to);
                if (::rename(src.constData(), dst.constData()) == 0)
                    return Result::success();
                err = errno;
            }
        }
        if (err == EEXIST && src != dst && from.compare(to, Qt::CaseInsensitive) == 0 &&
            sameFile(from, to))
            return caseOnlyRename(src, dst, to);
        return resultFromErrno(err, to);
    }

    Result remove(const QString& path) override {
        const QByteArray p = encodePath(path);
        // A read-only file stays, as Windows keeps a file with the read-only attribute;
        // unlink itself asks only for write access to the folder.
        struct stat st;
        if (::lstat(p.constData(), &st) == 0 && S_ISREG(st.st_mode) && isReadOnly(p, st))
            return readOnlyFile(path);
        if (::unlink(p.constData()) != 0)
            return resultFromErrno(errno, path);
        return Result::success();
    }

    bool sameFile(const QString& a, const QString& b) override {
        struct stat sa, sb;
        if (::stat(encodePath(a).constData(), &sa) != 0 ||
            ::stat(encodePath(b).constData(), &sb) != 0)
            return false;
        return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    }

    std::optional<QString> readText(const QString& path, Result* why) override {
        auto bytes = readBytes(path, why);
        if (!bytes)
            return std::nullopt;
        return decodeText(*bytes).text;
    }

    Result writeText(const QString& path, const QString& text) override {
        QByteArray target = encodePath(path);
        if (target.isEmpty() || target.endsWith('/'))
            return Result::failureOf(Error::InvalidName, path);
        struct stat lst;
        if (::lstat(target.constData(), &lst) == 0 && S_ISLNK(lst.st_mode)) {
            // Write through a link to the file it names instead of replacing the link.
            char* real = ::realpath(target.constData(), nullptr);
            if (real) {
                target = real;
                ::free(real);
            }
        }
        mode_t mode = newFileMode();
        TextEncoding encoding = TextEncoding::Utf8;
        struct stat st;
        if (::stat(target.constData(), &st) == 0) {
            if (!S_ISREG(st.st_mode))
                return Result::failure(Error::Access, path, notAFile(path, st).cause);
            if (isReadOnly(target, st))
                return readOnlyFile(path);
            mode = st.st_mode & 07777;
            // A memo that came from the Windows side stays readable there.
            if (auto old = readBytes(decodePath(target), nullptr))
                encoding = decodeText(*old).encoding;
        }
        QByteArray bytes;
        std::optional<QByteArray> cp932;
        if (encoding == TextEncoding::Cp932)
            cp932 = encodeCp932(text);
        bytes = cp932 ? *cp932 : text.toUtf8();
        TempFile tmp(target);
        if (tmp.fd() < 0)
            return resultFromErrno(tmp.error(), path);
        if (!writeAll(tmp.fd(), bytes.constData(), bytes.size()))
            return resultFromErrno(errno, path);
        return tmp.commit(target, mode, path);
    }

private:
    std::optional<QByteArray> readBytes(const QString& path, Result* why) {
        auto file = openForReading(path, why);
        if (!file)
            return std::nullopt;
        if (file->size() > kMaxTextBytes) {
            if (why)
                *why = Result::failure(Error::TooLarge, path, errnoText(EFBIG));
            return std::nullopt;
        }
        QByteArray bytes = file->readAll();
        if (file->error() != QFileDevice::NoError) {
            if (why)
                *why = Result::failure(Error::Io, path, file->errorString());
            return std::nullopt;
        }
        return bytes;
    }

    // On a case-insensitive file system Sea.jpg and sea.jpg are the same entry, so the
    // rename goes through a temporary name.
    Result caseOnlyRename(const QByteArray& src, const QByteArray& dst, const QString& to) {
        QByteArray tmp = folderOf(dst) + "/.~rename." + QByteArray::number(::getpid());
        if (renameat2NoReplace(src.constData(), tmp.constData()) != 0 &&
            linkRenameNoReplace(src.constData(), tmp.constData()) != 0)
            return resultFromErrno(errno, to);
        if (renameat2NoReplace(tmp.constData(), dst.constData()) != 0 &&
            linkRenameNoReplace(tmp.constData(), dst.constData()) != 0) {
            int err = errno;
            ::rename(tmp.constData(), src.constData());
            return resultFromErrno(err, to);
        }
        return Result::success();
    }
};

} // namespace

Files& systemFiles() {
    static PosixFiles files;
    return files;
}

} // namespace platform
