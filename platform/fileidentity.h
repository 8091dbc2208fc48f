#pragma once
// What a file is, as opposed to what it is called: the thumbnails and the clipboard's picture
// are kept for a file as long as it is still the same file with the same content. A name
// alone, or a name with a size and a modification time in milliseconds, is fooled by a copy
// that keeps times (cp -p, rsync -t, unzip) and by two writes within one millisecond; the
// device and inode (the volume and file ID on Windows) with the status-change time are not,
// since nothing short of changing the clock writes content without moving them.

#include "result.h"

#include <QByteArray>
#include <QString>
#include <optional>

class QFile;

namespace platform {

struct FileIdentity {
    quint64 device = 0; // the device, or the volume's serial number on Windows
    quint64 inode = 0;  // the inode, or the file ID on Windows
    qint64 size = -1;
    qint64 modifiedNs = 0; // modification time, nanoseconds since 1970
    qint64 changedNs = 0;  // status-change time (Windows: the change time), nanoseconds
    bool operator==(const FileIdentity&) const = default;
};

// The identity of the file at path; nothing when it cannot be reached.
std::optional<FileIdentity> identityOf(const QString& path);
// The identity of a file opened by openForReading.
std::optional<FileIdentity> identityOf(QFile& file);

// A file's whole content as it was at one moment, with the identity of the file it was read
// from. The file is open only while it is read.
struct FileSnapshot {
    QByteArray bytes;
    FileIdentity identity;
};
// Nothing when the file cannot be opened or read, or is larger than maxBytes (TooLarge).
std::optional<FileSnapshot> readSnapshot(const QString& path, qint64 maxBytes,
                                         Result* why = nullptr);
// The rest of a file opened by openForReading, checked against the identity it had when it
// was opened: nothing (Io in why) when its content was rewritten in between.
std::optional<FileSnapshot> readSnapshot(QFile& file, const FileIdentity& opened, qint64 maxBytes,
                                         Result* why = nullptr);

} // namespace platform
