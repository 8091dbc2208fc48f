#include "result.h"

#include <cerrno>
#include <cstring>

namespace platform {

static Error errorFromErrno(int err) {
    switch (err) {
    case 0:
        return Error::None;
    case ENOENT:
    case ENOTDIR:
    case ENXIO:
    case ENODEV:
        return Error::NotFound;
    case EEXIST:
    case ENOTEMPTY:
        return Error::Exists;
    case EACCES:
    case EPERM:
    case EROFS:
        return Error::Access;
    case ENOSPC:
    case EDQUOT:
        return Error::NoSpace;
    case ENAMETOOLONG:
    case EINVAL:
    case EILSEQ:
    case EISDIR:
        return Error::InvalidName;
    case ENOSYS:
    case EOPNOTSUPP:
    case EXDEV:
        return Error::Unsupported;
    case EBUSY:
    case ETXTBSY:
    case EAGAIN:
    case ETIMEDOUT:
        return Error::Busy;
    case EFBIG:
    case EOVERFLOW:
        return Error::TooLarge;
    default:
        return Error::Io;
    }
}

Result resultFromErrno(int err, const QString& what) {
    Error e = errorFromErrno(err);
    if (e == Error::None)
        return Result::success();
    QString reason = QString::fromLocal8Bit(std::strerror(err));
    if (!what.isEmpty())
        reason = what + QStringLiteral(": ") + reason;
    return Result::failure(e, reason);
}

} // namespace platform
