// A file's identity on Windows: the volume's serial number and the file ID, the size, and the
// last-write and change times (100 ns steps). The change time moves with every write and
// attribute change, also when a copy sets the last-write time back.
#include "platform/fileidentity.h"
#include "win32error.h"

#include <QFile>
#include <io.h>

namespace platform {

namespace {

// 100 ns steps since 1601 as nanoseconds since 1970 (in nanoseconds since 1601 they would
// not fit 64 bits).
constexpr qint64 kSteps1601To1970 = 116444736000000000;
qint64 nanoseconds(LARGE_INTEGER t) {
    return (qint64(t.QuadPart) - kSteps1601To1970) * 100;
}

std::optional<FileIdentity> fromHandle(HANDLE h) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!::GetFileInformationByHandle(h, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::nullopt;
    FileIdentity id;
    id.device = info.dwVolumeSerialNumber;
    id.inode = (quint64(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    id.size = qint64((quint64(info.nFileSizeHigh) << 32) | info.nFileSizeLow);
    FILE_BASIC_INFO basic;
    if (::GetFileInformationByHandleEx(h, FileBasicInfo, &basic, sizeof basic)) {
        id.modifiedNs = nanoseconds(basic.LastWriteTime);
        id.changedNs = nanoseconds(basic.ChangeTime);
    } else {
        LARGE_INTEGER t;
        t.LowPart = info.ftLastWriteTime.dwLowDateTime;
        t.HighPart = LONG(info.ftLastWriteTime.dwHighDateTime);
        id.modifiedNs = nanoseconds(t);
    }
    return id;
}

} // namespace

std::optional<FileIdentity> identityOf(const QString& path) {
    // Attributes only, shared every way: asking never stands in another program's way.
    HANDLE h = ::CreateFileW(win::widePath(path).c_str(), FILE_READ_ATTRIBUTES,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return std::nullopt;
    std::optional<FileIdentity> id = fromHandle(h);
    ::CloseHandle(h);
    return id;
}

std::optional<FileIdentity> identityOf(QFile& file) {
    if (file.handle() < 0)
        return std::nullopt;
    const auto h = reinterpret_cast<HANDLE>(::_get_osfhandle(file.handle()));
    if (h == INVALID_HANDLE_VALUE)
        return std::nullopt;
    return fromHandle(h);
}

} // namespace platform
