// File services on Win32, through the wide-character calls so that Japanese names reach the
// file system whatever the ANSI code page. Every replacement goes through a temporary file
// beside the target and a rename over it, so a failure never leaves a half-written target.
#include "platform/files.h"
#include "platform/pathrules.h"
#include "platform/textcodec.h"
#include "win32error.h"

#include <QFile>
#include <QFileInfo>
#include <fcntl.h>
#include <io.h>

namespace platform {

using win::lastError;
using win::widePath;

namespace {

constexpr qint64 kMaxTextBytes = 64 * 1024 * 1024;
const QByteArray kUtf8Bom("\xEF\xBB\xBF");

DWORD attributes(const QString& path) {
    return ::GetFileAttributesW(widePath(path).c_str());
}

// A new empty file in the folder of target, under a name no other file has. Made here
// rather than by GetTempFileNameW, which takes folders only up to MAX_PATH - 14 characters.
QString temporaryBeside(const QString& target) {
    const int slash =
        std::max(target.lastIndexOf(QLatin1Char('/')), target.lastIndexOf(QLatin1Char('\\')));
    const QString folder = slash < 0 ? QStringLiteral(".") : target.left(slash);
    const DWORD seed = ::GetTickCount() ^ (::GetCurrentProcessId() << 16);
    for (DWORD i = 0; i < 1000; ++i) {
        const QString name = QStringLiteral("%1\\tv~%2.tmp")
                                 .arg(folder)
                                 .arg((seed + i) & 0xFFFF, 4, 16, QLatin1Char('0'));
        HANDLE h = ::CreateFileW(widePath(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            ::CloseHandle(h);
            return name;
        }
        const DWORD err = ::GetLastError();
        if (err != ERROR_FILE_EXISTS && err != ERROR_ALREADY_EXISTS)
            return {};
    }
    return {};
}

bool writeAll(const QString& path, const QByteArray& bytes) {
    HANDLE h = ::CreateFileW(widePath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    const char* p = bytes.constData();
    qint64 left = bytes.size();
    bool ok = true;
    while (ok && left > 0) {
        DWORD done = 0;
        ok = ::WriteFile(h, p, DWORD(std::min<qint64>(left, 1 << 20)), &done, nullptr) && done;
        p += done;
        left -= done;
    }
    ok = ok && ::FlushFileBuffers(h);
    const DWORD err = ::GetLastError();
    ::CloseHandle(h);
    ::SetLastError(err);
    return ok;
}

// Moves a finished temporary file over target; the temporary file goes when that fails.
Result commit(const QString& tmp, const QString& target) {
    if (::MoveFileExW(widePath(tmp).c_str(), widePath(target).c_str(),
                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return Result::success();
    Result r = lastError(target);
    ::DeleteFileW(widePath(tmp).c_str());
    return r;
}

// The ANSI code page text of text, or nothing when a character has no form in it.
std::optional<QByteArray> encodeAnsi(const QString& text) {
    if (text.isEmpty())
        return QByteArray();
    const UINT cp = ::GetACP();
    if (cp == CP_UTF8)
        return text.toUtf8();
    const auto* w = reinterpret_cast<const wchar_t*>(text.utf16());
    BOOL lossy = FALSE;
    const int n = ::WideCharToMultiByte(cp, WC_NO_BEST_FIT_CHARS, w, int(text.size()), nullptr, 0,
                                        nullptr, &lossy);
    if (n <= 0 || lossy)
        return std::nullopt;
    QByteArray out(n, Qt::Uninitialized);
    ::WideCharToMultiByte(cp, WC_NO_BEST_FIT_CHARS, w, int(text.size()), out.data(), n, nullptr,
                          &lossy);
    if (lossy)
        return std::nullopt;
    return out;
}

QString decodeAnsi(const QByteArray& bytes) {
    if (bytes.startsWith(kUtf8Bom))
        return QString::fromUtf8(bytes.mid(kUtf8Bom.size()));
    if (bytes.isEmpty())
        return {};
    const UINT cp = ::GetACP();
    const int n = ::MultiByteToWideChar(cp, 0, bytes.constData(), int(bytes.size()), nullptr, 0);
    QString out(n, Qt::Uninitialized);
    ::MultiByteToWideChar(cp, 0, bytes.constData(), int(bytes.size()),
                          reinterpret_cast<wchar_t*>(out.data()), n);
    return out;
}

bool fileId(const QString& path, BY_HANDLE_FILE_INFORMATION& info) {
    HANDLE h = ::CreateFileW(widePath(path).c_str(), 0,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    const bool ok = ::GetFileInformationByHandle(h, &info);
    ::CloseHandle(h);
    return ok;
}

class Win32Files final : public Files {
public:
    bool isNormalFile(const QString& path) override {
        const DWORD a = attributes(path);
        return a != INVALID_FILE_ATTRIBUTES &&
               !(a & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    }
    std::optional<qint64> length(const QString& path) override {
        WIN32_FILE_ATTRIBUTE_DATA d{};
        if (!::GetFileAttributesExW(widePath(path).c_str(), GetFileExInfoStandard, &d) ||
            (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            return std::nullopt;
        return (qint64(d.nFileSizeHigh) << 32) | d.nFileSizeLow;
    }
    Result copyReplace(const QString& from, const QString& to) override {
        if (sameFile(from, to))
            return Result::success();
        const DWORD target = attributes(to);
        if (target != INVALID_FILE_ATTRIBUTES && (target & FILE_ATTRIBUTE_READONLY))
            return readOnlyFile(to);
        const QString tmp = temporaryBeside(to);
        if (tmp.isEmpty())
            return lastError(to);
        if (!::CopyFileW(widePath(from).c_str(), widePath(tmp).c_str(), FALSE)) {
            Result r = lastError(from);
            ::DeleteFileW(widePath(tmp).c_str());
            return r;
        }
        // The copy carries the source's attributes; a read-only source must not make the
        // copy impossible to replace next time.
        const DWORD a = attributes(tmp);
        if (a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_READONLY))
            ::SetFileAttributesW(widePath(tmp).c_str(), a & ~FILE_ATTRIBUTE_READONLY);
        return commit(tmp, to);
    }
    Result renameNoReplace(const QString& from, const QString& to) override {
        // Names the system would take otherwise than meant are refused first: "a:b" names a
        // stream of the file "a" on NTFS, "CON.jpg" the console, and "sea." becomes "sea".
        if (Result r = fileNameRule(lastNameOf(to, PathStyle::Windows), PathStyle::Windows); !r)
            return r;
        // Without MOVEFILE_REPLACE_EXISTING an existing target is refused.
        if (from != to && from.compare(to, Qt::CaseInsensitive) == 0 && sameFile(from, to))
            return renameCase(from, to);
        if (::MoveFileExW(widePath(from).c_str(), widePath(to).c_str(), 0))
            return Result::success();
        return lastError(to);
    }
    // A change of letter case only: the target names the file itself. Windows renames it
    // in one step; Wine finds the target by its name without regard to case and leaves the
    // name as it was, so the file goes by a temporary name in between, and back to its old
    // name when the second step fails.
    Result renameCase(const QString& from, const QString& to) {
        const QString dir = QFileInfo(from).path();
        QString tmp;
        for (int i = 0; i < 100; ++i) {
            tmp = QStringLiteral("%1/.~rename%2.%3").arg(dir).arg(::GetCurrentProcessId()).arg(i);
            if (attributes(tmp) == INVALID_FILE_ATTRIBUTES)
                break;
        }
        if (!::MoveFileExW(widePath(from).c_str(), widePath(tmp).c_str(), 0))
            return lastError(to);
        if (::MoveFileExW(widePath(tmp).c_str(), widePath(to).c_str(), 0))
            return Result::success();
        const Result failed = lastError(to);
        ::MoveFileExW(widePath(tmp).c_str(), widePath(from).c_str(), 0);
        return failed;
    }
    Result remove(const QString& path) override {
        // DeleteFileW refuses read-only files: those are kept.
        const DWORD a = attributes(path);
        if (a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_READONLY))
            return readOnlyFile(path);
        if (::DeleteFileW(widePath(path).c_str()))
            return Result::success();
        return lastError(path);
    }
    bool sameFile(const QString& a, const QString& b) override {
        BY_HANDLE_FILE_INFORMATION x{}, y{};
        return fileId(a, x) && fileId(b, y) && x.dwVolumeSerialNumber == y.dwVolumeSerialNumber &&
               x.nFileIndexHigh == y.nFileIndexHigh && x.nFileIndexLow == y.nFileIndexLow;
    }
    std::optional<QString> readText(const QString& path, Result* why) override {
        auto file = openForReading(path, why);
        if (!file)
            return std::nullopt;
        if (file->size() > kMaxTextBytes) {
            if (why)
                *why = Result::failure(Error::TooLarge, path, errnoText(EFBIG));
            return std::nullopt;
        }
        const QByteArray bytes = file->readAll();
        if (file->error() != QFileDevice::NoError) {
            if (why)
                *why = Result::failure(Error::Io, path, file->errorString());
            return std::nullopt;
        }
        return decodeAnsi(bytes);
    }
    Result writeText(const QString& path, const QString& text) override {
        const DWORD a = attributes(path);
        if (a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_READONLY))
            return readOnlyFile(path);
        if (a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY))
            return Result::failure(Error::Exists, path, errnoText(EISDIR));
        // Text the ANSI code page cannot hold is written as UTF-8 with a byte-order mark,
        // which the reader above and Notepad recognise, rather than with '?' in its place.
        const std::optional<QByteArray> ansi = encodeAnsi(text);
        const QByteArray bytes = ansi ? *ansi : kUtf8Bom + text.toUtf8();
        const QString tmp = temporaryBeside(path);
        if (tmp.isEmpty())
            return lastError(path);
        if (!writeAll(tmp, bytes)) {
            Result r = lastError(path);
            ::DeleteFileW(widePath(tmp).c_str());
            return r;
        }
        return commit(tmp, path);
    }
};

} // namespace

Files& systemFiles() {
    static Win32Files files;
    return files;
}

// Windows names are UTF-16 and every name converts to UTF-8 and back whole.
QByteArray encodePath(const QString& path) {
    return path.toUtf8();
}

QString decodePath(const QByteArray& bytes) {
    return QString::fromUtf8(bytes);
}

std::unique_ptr<QFile> openForReading(const QString& path, Result* why) {
    // Shared for deleting as well: a picture being read never makes another program's (or
    // our own) delete or rename of it fail with a sharing violation. QFile's own open would
    // leave the delete sharing out, so the handle is made here and given to QFile.
    HANDLE h = ::CreateFileW(widePath(path).c_str(), GENERIC_READ,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        if (why)
            *why = lastError(path);
        return nullptr;
    }
    const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(h), _O_RDONLY | _O_BINARY);
    if (fd < 0) {
        ::CloseHandle(h);
        if (why)
            *why = Result::failure(Error::Io, path, QStringLiteral("cannot be opened"));
        return nullptr;
    }
    auto file = std::make_unique<QFile>();
    if (!file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::_close(fd);
        if (why)
            *why = Result::failure(Error::Io, path, file->errorString());
        return nullptr;
    }
    return file;
}

} // namespace platform
