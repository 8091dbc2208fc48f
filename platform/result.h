#pragma once
// Outcome of a platform operation that can fail: an error kind and a readable reason.
// Window handlers decide from it whether to stay silent, retry or tell the user.

#include <QString>

namespace platform {

enum class Error {
    None,
    NotFound,    // the file, folder, program or window is not there
    Exists,      // the target name is taken
    Access,      // permission denied or read-only
    NoSpace,     // the disk is full
    InvalidName, // the name cannot be a file name here
    Unsupported, // not possible on this platform or display
    Busy,        // another program holds the resource, or it did not answer in time
    Corrupt,     // the data is damaged or not of the expected kind
    TooLarge,    // the data declares sizes beyond what is accepted
    Io,          // any other failure of the operating system
};

struct Result {
    Error error = Error::None;
    QString reason; // for messages to the user; empty when ok

    bool ok() const { return error == Error::None; }
    explicit operator bool() const { return ok(); }
    static Result success() { return {}; }
    static Result failure(Error e, QString why) { return {e, std::move(why)}; }
};

// Maps errno to an Error with the system's text as reason.
Result resultFromErrno(int err, const QString& what);

} // namespace platform
