#pragma once
// The machine's drives, as the drive list offers them. On Linux a drive is a mounted volume
// that holds files (the root "/", removable media, home if separate); on Windows a drive
// letter. The enumeration is the back end's; tests put fake drives in its place.

#include "platform/result.h"

#include <QString>
#include <vector>

namespace platform {

// One drive as the drive list offers it.
struct Drive {
    QString root; // the folder the drive starts at: "/" or "/media/usb" (no trailing "/")
    QString text; // what the list shows and drive() returns; begins with root
};

// The machine's drives, "/" first: mountedDrives() unless a FakeDrives is in force.
std::vector<Drive> machineDrives();
// The drives the system has mounted; per platform (mounted volumes on Linux).
std::vector<Drive> mountedDrives();
// drives with the user's home folder as a drive of its own ("/home/ann  [home]") after them,
// unless home is a drive's root already or empty.
std::vector<Drive> withHomeDrive(std::vector<Drive> drives, const QString& home);

// For tests: while it lives, machineDrives() gives these drives (a drive whose root cannot
// be listed stands for a drive without a medium).
class FakeDrives {
public:
    explicit FakeDrives(std::vector<Drive> drives);
    ~FakeDrives();
    FakeDrives(const FakeDrives&) = delete;
    FakeDrives& operator=(const FakeDrives&) = delete;

private:
    std::vector<Drive>* m_previous;
    std::vector<Drive> m_drives;
};
// The root of the drive of drives that holds path (the longest matching root), or "" when
// none does.
QString driveRootOf(const std::vector<Drive>& drives, const QString& path);
// Whether the folder can be listed: Error::NotFound when it is not there (or is no
// folder), Error::Access or Error::Io when the system refuses (no medium, no permission).
Result canListFolder(const QString& folder);

} // namespace platform
