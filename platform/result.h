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
    // The whole text for a message: "subject: cause", or the cause alone. Empty when ok.
    QString reason;
    // What the failure concerns (a file, folder, program or window), when known.
    QString subject;
    // Why, in the user's words, without the subject; a message that names the file
    // itself shows this part.
    QString cause;

    bool ok() const { return error == Error::None; }
    explicit operator bool() const { return ok(); }
    static Result success() { return {}; }
    // A free text that serves as both reason and cause.
    static Result failure(Error e, QString why) { return {e, why, QString(), why}; }
    // A failure of subject for the given cause.
    static Result failure(Error e, const QString& subject, const QString& cause);
    // A failure of subject with the general text of its kind (errorText).
    static Result failureOf(Error e, const QString& subject) {
        return failure(e, subject, errorText(e));
    }
    static QString errorText(Error e);
};

// Maps a system error number to an Error, with the reason in Japanese for the errors that
// file operations meet (errnoText).
Result resultFromErrno(int err, const QString& what);
// The reason for a system error number: Japanese for the common failures of file
// operations, the system's own text for the rest.
QString errnoText(int err);
// A file whose read-only attribute (no write permission in its mode) keeps it from being
// replaced or deleted.
Result readOnlyFile(const QString& path);

} // namespace platform
