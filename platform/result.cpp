#include "result.h"

#include <cerrno>
#include <cstring>

namespace platform {

namespace {

Error errorFromErrno(int err) {
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
#ifdef EDQUOT
    case EDQUOT:
#endif
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
#ifdef ETXTBSY
    case ETXTBSY:
#endif
    case EAGAIN:
#ifdef ETIMEDOUT
    case ETIMEDOUT:
#endif
        return Error::Busy;
    case EFBIG:
#ifdef EOVERFLOW
    case EOVERFLOW:
#endif
        return Error::TooLarge;
    default:
        return Error::Io;
    }
}

} // namespace

Result Result::failure(Error e, const QString& subject, const QString& cause) {
    Result r;
    r.error = e;
    r.subject = subject;
    r.cause = cause;
    r.reason = subject.isEmpty() ? cause : subject + QStringLiteral(": ") + cause;
    return r;
}

QString Result::errorText(Error e) {
    switch (e) {
    case Error::None:
        return {};
    case Error::NotFound:
        return QStringLiteral("ファイルまたはフォルダが見つかりません");
    case Error::Exists:
        return QStringLiteral("同じ名前のファイルが既にあります");
    case Error::Access:
        return QStringLiteral("アクセスが拒否されました");
    case Error::NoSpace:
        return QStringLiteral("ディスクの空き容量が不足しています");
    case Error::InvalidName:
        return QStringLiteral("ファイル名として使えない名前です");
    case Error::Unsupported:
        return QStringLiteral("この環境ではできない操作です");
    case Error::Busy:
        return QStringLiteral("ほかのプログラムが使用中です");
    case Error::Corrupt:
        return QStringLiteral("データが壊れているか、形式が違います");
    case Error::TooLarge:
        return QStringLiteral("大きすぎます");
    case Error::Io:
        return QStringLiteral("読み書きに失敗しました");
    }
    return {};
}

QString errnoText(int err) {
    switch (err) {
    case EACCES:
    case EPERM:
        return QStringLiteral("アクセスが拒否されました");
    case ENOENT:
        return QStringLiteral("ファイルまたはフォルダが見つかりません");
    case ENOTDIR:
        return QStringLiteral("フォルダが見つかりません");
    case ENOSPC:
        return QStringLiteral("ディスクの空き容量が不足しています");
#ifdef EDQUOT
    case EDQUOT:
        return QStringLiteral("ディスクの使用量が上限に達しました");
#endif
    case EROFS:
        return QStringLiteral("読み取り専用のファイルシステムです");
    case ENAMETOOLONG:
        return QStringLiteral("ファイル名が長すぎます");
    case EEXIST:
        return QStringLiteral("同じ名前のファイルが既にあります");
    case ENOTEMPTY:
        return QStringLiteral("フォルダが空ではありません");
    case EISDIR:
        return QStringLiteral("同じ名前のフォルダがあります");
    case EILSEQ:
        return QStringLiteral("ファイル名に使えない文字が含まれています");
    case EBUSY:
#ifdef ETXTBSY
    case ETXTBSY:
#endif
        return QStringLiteral("ファイルが使用中です");
    case EXDEV:
        return QStringLiteral("別のドライブへは移動できません");
    case EFBIG:
        return QStringLiteral("ファイルが大きすぎます");
    case EIO:
        return QStringLiteral("ディスクの読み書き中にエラーが発生しました");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("開いているファイルが多すぎます");
    case ENOMEM:
        return QStringLiteral("メモリが不足しています");
    default:
        return QString::fromLocal8Bit(std::strerror(err));
    }
}

Result resultFromErrno(int err, const QString& what) {
    const Error e = errorFromErrno(err);
    if (e == Error::None)
        return Result::success();
    return Result::failure(e, what, errnoText(err));
}

Result readOnlyFile(const QString& path) {
    return Result::failure(Error::Access, path, QStringLiteral("読み取り専用のファイルです"));
}

} // namespace platform
