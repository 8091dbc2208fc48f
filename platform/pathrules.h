#pragma once
// Paths as the user's system writes them, and the file names its file system takes.
//
// Inside the programs a path may carry "/" (Qt's form); what the user sees or gets (labels,
// lists, the clipboard, messages) is the system's own form: "C:\PICS\sea.jpg" on Windows,
// where cmd.exe and many programs refuse "/". The rules for both systems are here, pure, so
// each can be tested anywhere; the back end names the one in force.

#include "result.h"

#include <QString>

namespace platform {

enum class PathStyle {
    Posix,   // "/" separates folders; a name may hold any character but "/" and NUL
    Windows, // "\" separates folders (a "/" is read as one too); Win32 naming rules
};

// The style of the system the program runs on (the back end's).
PathStyle nativePathStyle();

// path written with the separator of style: on Windows every "/" becomes "\" (a drive root
// reads "C:\"); on POSIX the path is left as it is.
QString pathInStyle(const QString& path, PathStyle style);
// A folder path ending with one separator of style ("C:\PICS\", "/home/ann/"); a root that
// ends with one already stays as it is ("C:\", "/"). An empty folder stays empty.
QString folderInStyle(const QString& folder, PathStyle style);
// Both in the native style.
QString nativePath(const QString& path);
QString nativeFolder(const QString& folder);

// Whether name (one name, no folder) can be given to a file on a system of style: success,
// or Error::InvalidName with the reason in Japanese as cause and name as subject. Windows
// refuses \ / : * ? " < > |, control characters, the device names (CON, PRN, AUX, NUL,
// COM1-COM9, LPT1-LPT9, also with an extension) and a name ending with "." or a blank;
// POSIX refuses "/" and NUL. Both refuse an empty name, "." and "..".
Result fileNameRule(const QString& name, PathStyle style);
// The last name of path (after its last separator of style).
QString lastNameOf(const QString& path, PathStyle style);

} // namespace platform
