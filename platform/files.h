#pragma once
// File services: lookup of normal files, length, copy, rename, delete and text in the
// platform's code page. One real implementation per operating system, a fake in the tests.

#include "result.h"

#include <QString>
#include <memory>
#include <optional>

class QFile;

namespace platform {

class Files {
public:
    virtual ~Files() = default;

    // True when a normal file exists at path: not a folder, not hidden (on Linux a name
    // starting with "."), not a system file.
    virtual bool isNormalFile(const QString& path) = 0;
    // Length in bytes, or nothing when the file cannot be measured.
    virtual std::optional<qint64> length(const QString& path) = 0;
    // Copies from to to, replacing to. Written to a temporary file beside to and renamed
    // over it, so a failed copy leaves an existing to intact. Copying a file onto itself
    // (same device and inode) returns Error::Exists-free success without touching it;
    // callers that need to know ask sameFile first.
    virtual Result copyReplace(const QString& from, const QString& to) = 0;
    // Renames from to to; never replaces an existing to (Error::Exists). A change of letter
    // case only is allowed. A new name the system forbids (fileNameRule of pathrules.h) is
    // refused with Error::InvalidName and the reason, before anything is touched.
    virtual Result renameNoReplace(const QString& from, const QString& to) = 0;
    // Deletes the file permanently.
    virtual Result remove(const QString& path) = 0;
    // True when both paths name the same existing file (same device and inode).
    virtual bool sameFile(const QString& a, const QString& b) = 0;
    // Reads a text file in the platform's code page (Linux: UTF-8, or CP932 when the bytes
    // are not valid UTF-8). Nothing on failure, with the reason in *why.
    virtual std::optional<QString> readText(const QString& path, Result* why = nullptr) = 0;
    // Creates or replaces a text file through a temporary file and a rename, so a failed
    // write leaves the old file whole. A read-only target is not written (Error::Access).
    // An existing file that was CP932 is written back as CP932 when every character fits.
    virtual Result writeText(const QString& path, const QString& text) = 0;
};

// The real file services of this operating system.
Files& systemFiles();

// File names as the file system holds them. On Linux a name is bytes, usually UTF-8; bytes
// that are not valid UTF-8 are carried in the QString as lone surrogates U+DC80..U+DCFF, so
// such a file is still listed and can be opened, renamed and deleted through its listed
// name. (QFile::decodeName turns them into U+FFFD, which names no file.) Every platform
// service opens paths through these.
QByteArray encodePath(const QString& path);
QString decodePath(const QByteArray& bytes);
// Opens an existing file for reading through encodePath. Nothing on failure, with the
// reason in *why.
std::unique_ptr<QFile> openForReading(const QString& path, Result* why = nullptr);

} // namespace platform
