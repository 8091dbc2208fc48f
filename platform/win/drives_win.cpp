// The drives of a Windows machine: every logical drive letter, shown as "c: [label]" as the
// drive list of a Windows dialog shows it. A drive without a medium (ERROR_NOT_READY) is
// still offered; choosing it fails in canListFolder, which the dialog reports.
// The list is read at every folder step and at start-up, so it never waits on a device: the
// label is asked only of fixed disks and RAM disks, never of a network drive (a lost
// connection waits for its time-out), an optical drive (spinning up) or removable media.
#include "platform/drives.h"
#include "win32error.h"

namespace platform {

namespace {

// No system error box ("insert a disk") for this thread while it lives; the error mode of
// the process, which other threads share, is left alone.
class NoErrorBoxes {
public:
    NoErrorBoxes() { ::SetThreadErrorMode(SEM_FAILCRITICALERRORS, &m_old); }
    ~NoErrorBoxes() { ::SetThreadErrorMode(m_old, nullptr); }
    NoErrorBoxes(const NoErrorBoxes&) = delete;
    NoErrorBoxes& operator=(const NoErrorBoxes&) = delete;

private:
    DWORD m_old = 0;
};

bool answersAtOnce(UINT driveType) {
    return driveType == DRIVE_FIXED || driveType == DRIVE_RAMDISK;
}

QString driveLabel(const QString& root) {
    const std::wstring wroot = win::widePath(root);
    if (!answersAtOnce(::GetDriveTypeW(wroot.c_str())))
        return {};
    wchar_t label[MAX_PATH + 1] = {};
    const NoErrorBoxes quiet;
    const BOOL ok = ::GetVolumeInformationW(wroot.c_str(), label, MAX_PATH + 1, nullptr, nullptr,
                                            nullptr, nullptr, 0);
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
    DWORD a = INVALID_FILE_ATTRIBUTES;
    DWORD err = 0;
    {
        const NoErrorBoxes quiet;
        a = ::GetFileAttributesW(win::widePath(folder).c_str());
        err = ::GetLastError();
    }
    if (a == INVALID_FILE_ATTRIBUTES)
        return win::resultFromWin32(err, folder);
    if (!(a & FILE_ATTRIBUTE_DIRECTORY))
        return Result::failure(Error::NotFound, folder, errnoText(ENOTDIR));
    return Result::success();
}

} // namespace platform
