#pragma once
// Win32 error codes as the platform's Result, and paths as the wide strings the W calls take.
#include "platform/pathrules.h"
#include "platform/result.h"

#include <QDir>
#include <QString>
#include <cerrno>
#include <windows.h>

namespace platform::win {

inline std::wstring widePath(const QString& path) {
    return QDir::toNativeSeparators(path).toStdWString();
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
