// The drives of a Windows machine: every logical drive letter, shown as "c: [label]" as the
// drive list of a Windows dialog shows it. A drive without a medium (ERROR_NOT_READY) is
// still offered; choosing it fails in canListFolder, which the dialog reports.
#include "platform/drives.h"
#include "win32error.h"

namespace platform {

namespace {

QString driveLabel(const QString& root) {
    wchar_t label[MAX_PATH + 1] = {};
    // No error box for an empty floppy or card reader.
    const UINT oldMode = ::SetErrorMode(SEM_FAILCRITICALERRORS);
    const BOOL ok = ::GetVolumeInformationW(win::widePath(root).c_str(), label, MAX_PATH + 1,
                                            nullptr, nullptr, nullptr, nullptr, 0);
    ::SetErrorMode(oldMode);
    return ok ? QString::fromWCharArray(label) : QString();
}

} // namespace

std::vector<Drive> mountedDrives() {
    std::vector<Drive> drives;
    wchar_t buffer[512] = {};
    const DWORD n = ::GetLogicalDriveStringsW(DWORD(std::size(buffer) - 1), buffer);
    if (n == 0 || n >= std::size(buffer))
        return drives;
    for (const wchar_t* p = buffer; *p; p += wcslen(p) + 1) {
        // "C:\" as the system gives it; the folder lists use "/" separators.
        const QString letter = QString::fromWCharArray(p, 2); // "C:"
        const QString root = letter + QLatin1Char('/');
        const QString label = driveLabel(root);
        QString text = letter.toLower();
        if (!label.isEmpty())
            text += QStringLiteral(" [") + label + QLatin1Char(']');
        drives.push_back({root, text});
    }
    return drives;
}

Result canListFolder(const QString& folder) {
    const UINT oldMode = ::SetErrorMode(SEM_FAILCRITICALERRORS);
    const DWORD a = ::GetFileAttributesW(win::widePath(folder).c_str());
    const DWORD err = ::GetLastError();
    ::SetErrorMode(oldMode);
    if (a == INVALID_FILE_ATTRIBUTES)
        return win::resultFromWin32(err, folder);
    if (!(a & FILE_ATTRIBUTE_DIRECTORY))
        return Result::failure(Error::NotFound, folder, errnoText(ENOTDIR));
    return Result::success();
}

} // namespace platform
