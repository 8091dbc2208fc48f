#pragma once
// Win32 error codes as the platform's Result, and paths as the wide strings the W calls take.
#include "platform/pathrules.h"
#include "platform/result.h"

#include <QDir>
#include <QString>
#include <cerrno>
#include <windows.h>

namespace platform::win {

// A path as the W calls take it. One of MAX_PATH characters or more is given in its
// extended form ("\\?\C:\...", "\\?\UNC\server\share\..."), which the calls take at any
// length whether or not the system has long paths turned on; that form is taken literally,
// so the path is cleaned of "." and ".." steps first. Shorter paths go as they are.
inline std::wstring widePath(const QString& path) {
    QString native = QDir::toNativeSeparators(path);
    // The limit counts the terminating null; a folder's own limit is 12 shorter, so that an
    // 8.3 name still fits below it.
    constexpr int kShortLimit = MAX_PATH - 12;
    const QLatin1String extended("\\\\?\\");
    if (native.size() < kShortLimit || native.startsWith(extended))
        return native.toStdWString();
    const bool drive =
        native.size() > 2 && native[0].isLetter() && native[1] == u':' && native[2] == u'\\';
    const bool unc = native.size() > 2 && native.startsWith(QLatin1String("\\\\")) &&
                     native[2] != u'.' && native[2] != u'?';
    if (!drive && !unc)
        return native.toStdWString(); // relative: the system resolves it as it is
    native = QDir::toNativeSeparators(QDir::cleanPath(QDir::fromNativeSeparators(native)));
    if (unc)
        return (QString(extended) + QLatin1String("UNC\\") + native.mid(2)).toStdWString();
    return (QString(extended) + native).toStdWString();
}

// The kind of a Win32 error, and its reason in the same Japanese words the other
// platforms give (the errno the error corresponds to); the system's own text for the rest.
// A path named in it reads with "\", as the user knows it.
inline Result resultFromWin32(DWORD code, const QString& path) {
    const QString what = nativePath(path);
    Error e = Error::Io;
    int err = 0;
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_DIRECTORY: // a folder in the path is not there (GetTempFileName, CreateFile)
        e = Error::NotFound;
        err = ENOENT;
        break;
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:
        e = Error::Exists;
        err = EEXIST;
        break;
    case ERROR_ACCESS_DENIED:
        e = Error::Access;
        err = EACCES;
        break;
    case ERROR_WRITE_PROTECT:
        e = Error::Access;
        err = EROFS;
        break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        e = Error::NoSpace;
        err = ENOSPC;
        break;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
        e = Error::InvalidName;
        err = EILSEQ;
        break;
    case ERROR_FILENAME_EXCED_RANGE:
        e = Error::InvalidName;
        err = ENAMETOOLONG;
        break;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        e = Error::Busy;
        err = EBUSY;
        break;
    case ERROR_NOT_READY:
        e = Error::Busy;
        break;
    case ERROR_NOT_SAME_DEVICE:
        err = EXDEV;
        break;
    case ERROR_DIR_NOT_EMPTY:
        err = ENOTEMPTY;
        break;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        err = ENOMEM;
        break;
    case ERROR_TOO_MANY_OPEN_FILES:
        err = EMFILE;
        break;
    default:
        break;
    }
    if (err != 0)
        return Result::failure(e, what, errnoText(err));
    wchar_t* text = nullptr;
    ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                         FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    QString why = text ? QString::fromWCharArray(text).trimmed() : QString::number(code);
    if (text)
        ::LocalFree(text);
    return Result::failure(e, what, why);
}

inline Result lastError(const QString& what) {
    return resultFromWin32(::GetLastError(), what);
}

} // namespace platform::win
