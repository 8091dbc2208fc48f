#include "thumbnailstore.h"

#include "platform/files.h"
#include "platform/handoff.h"
#include "platform/twips.h"
#include "tarvo_version.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>
#include <QStandardPaths>
#include <QThreadPool>
#include <QUrl>
#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

namespace tarvo {

namespace {

using platform::FileIdentity;
using platform::PictureHeader;
using platform::Thumbnail;

// Below prefetching: an entry is written only when nothing the user may wait for is queued.
constexpr int kWritePriority = -1000;

const QString kUri = QStringLiteral("Thumb::URI");
const QString kMTime = QStringLiteral("Thumb::MTime");
const QString kSize = QStringLiteral("Thumb::Size");
const QString kWidth = QStringLiteral("Thumb::Image::Width");
const QString kHeight = QStringLiteral("Thumb::Image::Height");
const QString kIdentity = QStringLiteral("X-Tarvo::Identity");

struct Scale {
    double x = 15.0;
    double y = 15.0;
};

Scale currentScale() {
    return {platform::twipsPerPixelX(), platform::twipsPerPixelY()};
}

// Icons and metafiles are always decoded (see the header).
bool rasterName(const QString& path) {
    const QString ext = QFileInfo(path).suffix().toLower();
    return ext != QLatin1String("ico") && ext != QLatin1String("cur") &&
           ext != QLatin1String("wmf") && ext != QLatin1String("emf");
}

QString sizeFolder(ThumbnailStore::Size size) {
    return size == ThumbnailStore::Size::Normal ? QStringLiteral("normal") : QStringLiteral("large");
}

QString failFolder() {
    return ThumbnailStore::root() + QStringLiteral("/fail/tarvo104-") +
           QStringLiteral(TARVO_VERSION_STRING);
}

QByteArray uriOf(const QString& canonicalPath) {
    return QUrl::fromLocalFile(canonicalPath).toEncoded();
}

QString entryName(const QByteArray& uri) {
    return QString::fromLatin1(QCryptographicHash::hash(uri, QCryptographicHash::Md5).toHex()) +
           QStringLiteral(".png");
}

// The modification time in seconds since 1970 as the standard keeps it (the identity's own
// times count from the system's epoch, which is not 1970 everywhere).
// From the file's identity, in whole seconds since 1970 as the standard writes it; not through
// QDateTime, whose local time would call the C library's tzset on a worker.
qint64 mtimeSeconds(const QString& path) {
    const std::optional<FileIdentity> id = platform::identityOf(path);
    if (!id)
        return 0;
    constexpr qint64 kNsPerSecond = 1000000000;
    const qint64 ns = id->modifiedNs;
    return ns >= 0 ? ns / kNsPerSecond : -((-ns + kNsPerSecond - 1) / kNsPerSecond);
}

QString identityText(const FileIdentity& id) {
    return QStringLiteral("%1:%2:%3:%4:%5")
        .arg(id.device)
        .arg(id.inode)
        .arg(id.size)
        .arg(id.modifiedNs)
        .arg(id.changedNs);
}

// An entry is for the file as it is now: ours by the whole identity, another program's by
// the standard's rule.
bool describes(const QImage& entry, const QByteArray& uri, const FileIdentity& now, qint64 mtime) {
    if (entry.text(kUri).toLatin1() != uri)
        return false;
    const QString ours = entry.text(kIdentity);
    if (!ours.isEmpty())
        return ours == identityText(now);
    bool ok = false;
    if (entry.text(kMTime).toLongLong(&ok) != mtime || !ok)
        return false;
    const QString size = entry.text(kSize);
    return size.isEmpty() || size.toLongLong(&ok) == now.size;
}

QImage readEntry(const QString& file) {
    QImageReader reader(file, "png");
    reader.setAutoTransform(false);
    return reader.read();
}

bool opaque(const QImage& image) {
    if (!image.hasAlphaChannel())
        return true;
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x)
            if (qAlpha(row[x]) != 255)
                return false;
    }
    return true;
}

// The thumbnail a valid entry gives a cell box; nothing when the entry is missing, stale,
// damaged or smaller than the cell needs.
std::optional<Thumbnail> fromEntry(const QString& file, const QByteArray& uri,
                                   const FileIdentity& now, qint64 mtime, QSizeF box, Scale scale) {
    if (!QFileInfo::exists(file))
        return std::nullopt;
    QImage image = readEntry(file);
    if (image.isNull() || !describes(image, uri, now, mtime))
        return std::nullopt;
    const QSize natural(image.text(kWidth).toInt(), image.text(kHeight).toInt());
    if (!platform::pixelCountAcceptable(natural))
        return std::nullopt;
    // The picture's proportions, turned upright as the standard asks.
    const double expectedHeight = double(image.width()) * natural.height() / natural.width();
    if (std::abs(image.height() - expectedHeight) > 1.0 + 0.02 * image.height())
        return std::nullopt;
    PictureHeader header;
    header.kind = platform::PictureKind::Raster;
    header.pixels = natural;
    header.twips = QSizeF(natural.width() * scale.x, natural.height() * scale.y);
    const QSize shown = platform::fittedPixels(header, box);
    if (image.width() + 1 < shown.width() || image.height() + 1 < shown.height())
        return std::nullopt;
    image = image.convertToFormat(opaque(image) ? QImage::Format_RGB32
                                                : QImage::Format_ARGB32_Premultiplied);
    if (image.size() != shown)
        image = image.scaled(shown, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return Thumbnail{header, std::move(image)};
}

// The standard asks for tEXt chunks; Qt's writer makes long values zTXt, so the chunks are
// put in by hand after the header chunk.
quint32 crc32(const QByteArray& data) {
    static const std::array<quint32, 256> table = [] {
        std::array<quint32, 256> t{};
        for (quint32 n = 0; n < 256; ++n) {
            quint32 c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    quint32 c = 0xFFFFFFFFu;
    for (char ch : data)
        c = table[(c ^ static_cast<quint8>(ch)) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

QByteArray bigEndian(quint32 v) {
    QByteArray b(4, '\0');
    for (int i = 0; i < 4; ++i)
        b[i] = static_cast<char>((v >> (24 - 8 * i)) & 0xFF);
    return b;
}

using Keys = std::vector<std::pair<QString, QString>>;

QByteArray pngWithText(const QImage& image, const Keys& keys) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    // 8-bit RGBA, as the standard asks.
    if (!QImageWriter(&buffer, "png").write(image.convertToFormat(QImage::Format_ARGB32)))
        return {};
    constexpr int kAfterHeader = 8 + 4 + 4 + 13 + 4; // signature, IHDR chunk
    if (png.size() < kAfterHeader)
        return {};
    QByteArray chunks;
    for (const auto& [key, value] : keys) {
        const QByteArray body = "tEXt" + key.toLatin1() + '\0' + value.toLatin1();
        chunks += bigEndian(static_cast<quint32>(body.size() - 4)) + body + bigEndian(crc32(body));
    }
    png.insert(kAfterHeader, chunks);
    return png;
}

// Makes the folders of the store that are missing, readable by the user only.
bool makeFolder(const QString& folder) {
    const QString top = ThumbnailStore::root();
    if (QFileInfo(folder).isDir())
        return true;
    if (folder != top && !makeFolder(QFileInfo(folder).path()))
        return false;
    if (folder == top && !QDir().mkpath(QFileInfo(top).path()))
        return false;
    const auto perms = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
    return QDir().mkdir(folder, perms) || QFileInfo(folder).isDir();
}

// Written whole to a temporary file beside the entry and renamed over it, so a reader (or
// another program writing the same entry) never sees half a file.
bool writeEntry(const QString& file, const QImage& image, const Keys& keys) {
    if (!makeFolder(QFileInfo(file).path()))
        return false;
    const QByteArray png = pngWithText(image, keys);
    if (png.isEmpty())
        return false;
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (out.write(png) != png.size()) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

// The writes under way. Never destroyed: a write still running on the pool when the program
// ends must not meet a destroyed lock or condition.
struct Writes {
    std::mutex mutex;
    std::condition_variable done;
    int count = 0; // guarded by mutex
};
Writes& writes() {
    static Writes* const w = new Writes;
    return *w;
}
std::atomic<int> g_decodes{0};

// A picture file is read whole, closed, and then decoded. A larger one (a bitmap of tens of
// megapixels) is decoded from the open file instead, so its bytes and its pixels are not in
// memory together; the file is opened sharing delete and rename, and its thumbnail is kept
// only if the file was not rewritten while it was read.
constexpr qint64 kReadWholeBytes = 64 * 1024 * 1024;

struct Decoded {
    std::optional<FileIdentity> identity; // of the bytes decoded, or of the file as it is now
    std::optional<Thumbnail> thumb;
    bool read = false; // the file could be read (a decode failure then counts as one)
};

Decoded decodeFile(const QString& path, QSizeF boxTwips, platform::AlsoFitted also = {}) {
    std::unique_ptr<QFile> file = platform::openForReading(path);
    const std::optional<FileIdentity> opened = file ? platform::identityOf(*file) : std::nullopt;
    if (!opened)
        return {platform::identityOf(path), std::nullopt, false};
    if (opened->size > kReadWholeBytes) {
        std::optional<Thumbnail> thumb =
            platform::loadThumbnail(*file, path, boxTwips, nullptr, also);
        const std::optional<FileIdentity> after = platform::identityOf(*file);
        if (!after || *after != *opened)
            return {opened, std::nullopt, false}; // rewritten while it was read
        return {opened, std::move(thumb), true};
    }
    std::optional<platform::FileSnapshot> snap = platform::readSnapshot(*file, *opened, kReadWholeBytes);
    file.reset();
    if (!snap)
        return {platform::identityOf(path), std::nullopt, false};
    return {snap->identity,
            platform::loadThumbnailFromBytes(snap->bytes, path, boxTwips, nullptr, also), true};
}

// Runs make (which gives the image to write, or nothing) and writes its entry on the pool.
void queueWrite(QString file, std::function<QImage()> make, Keys keys) {
    {
        std::lock_guard<std::mutex> lock(writes().mutex);
        ++writes().count;
    }
    QThreadPool::globalInstance()->start(
        platform::handedOver([file = std::move(file), make = std::move(make),
                              keys = std::move(keys)] {
            const QImage image = make();
            if (!image.isNull())
                writeEntry(file, image, keys);
            std::lock_guard<std::mutex> lock(writes().mutex);
            --writes().count;
            writes().done.notify_all();
        }),
        kWritePriority);
}

Keys keysOf(const QByteArray& uri, const FileIdentity& id, qint64 mtime) {
    return {{kUri, QString::fromLatin1(uri)},
            {kMTime, QString::number(mtime)},
            {kSize, QString::number(id.size)},
            {QStringLiteral("Software"), QStringLiteral("tarvo104 " TARVO_VERSION_STRING)},
            {kIdentity, identityText(id)}};
}

} // namespace

QString ThumbnailStore::root() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
           QStringLiteral("/thumbnails");
}

int ThumbnailStore::side(Size size) {
    return size == Size::Normal ? 128 : 256;
}

std::optional<ThumbnailStore::Size> ThumbnailStore::sizeFor(QSizeF boxTwips) {
    const Scale s = currentScale();
    const double px = std::max(boxTwips.width() / s.x, boxTwips.height() / s.y);
    if (px <= side(Size::Normal) + 0.5)
        return Size::Normal;
    if (px <= side(Size::Large) + 0.5)
        return Size::Large;
    return std::nullopt;
}

QString ThumbnailStore::entryPath(const QString& path, Size size) {
    const QString canonical = QFileInfo(path).canonicalFilePath();
    if (canonical.isEmpty())
        return {};
    return root() + QLatin1Char('/') + sizeFolder(size) + QLatin1Char('/') +
           entryName(uriOf(canonical));
}

QString ThumbnailStore::failurePath(const QString& path) {
    const QString canonical = QFileInfo(path).canonicalFilePath();
    if (canonical.isEmpty())
        return {};
    return failFolder() + QLatin1Char('/') + entryName(uriOf(canonical));
}

ThumbnailStore::Result ThumbnailStore::thumbnail(const QString& path, QSizeF boxTwips) {
    const Scale scale = currentScale();
    const std::optional<Size> size = sizeFor(boxTwips);
    QString canonical;
    if (size && rasterName(path)) {
        canonical = QFileInfo(path).canonicalFilePath();
        const QString top = QFileInfo(root()).canonicalFilePath();
        if (!top.isEmpty() && canonical.startsWith(top + QLatin1Char('/')))
            canonical.clear(); // the cache's own files are not thumbnailed into it
    }
    const bool stored = !canonical.isEmpty();
    const QByteArray uri = stored ? uriOf(canonical) : QByteArray();
    const QString name = stored ? entryName(uri) : QString();

    const qint64 mtime = stored ? mtimeSeconds(path) : 0;
    if (stored) {
        const std::optional<FileIdentity> now = platform::identityOf(path);
        if (!now)
            return {};
        std::vector<Size> sizes{*size};
        if (*size == Size::Normal)
            sizes.push_back(Size::Large);
        for (Size k : sizes) {
            const QString file = root() + QLatin1Char('/') + sizeFolder(k) + QLatin1Char('/') + name;
            if (auto thumb = fromEntry(file, uri, *now, mtime, boxTwips, scale))
                return {now, std::move(thumb), true};
        }
        const QString fail = failFolder() + QLatin1Char('/') + name;
        if (QFileInfo::exists(fail)) {
            const QImage entry = readEntry(fail);
            if (!entry.isNull() && describes(entry, uri, *now, mtime))
                return {now, std::nullopt, true};
        }
    }

    ++g_decodes;
    // Read (and closed) before decoding: the stamp is that of the bytes decoded. A file that
    // cannot be read gets no entry of any kind. The cell gets the decode at its own size, as
    // without the store: a stored thumbnail made smaller again would blur fine detail or turn
    // it into moiré.
    // A picture decoded whole on the way to the cell (a bitmap, a GIF; not a JPEG decoded at a
    // reduced size) gives its entry from the same decode: a second whole decode of a big bitmap would
    // cost as much again, and hold its memory beside the user's own decodes.
    const int n = size ? side(*size) : 0;
    const QSizeF entryBox(n * scale.x, n * scale.y);
    QImage entry;
    Decoded fresh = decodeFile(path, boxTwips, {entryBox, stored ? &entry : nullptr});
    if (!fresh.read || !stored)
        return {fresh.identity, std::move(fresh.thumb), false};
    std::optional<Thumbnail> thumb = std::move(fresh.thumb);
    const FileIdentity identity = *fresh.identity;
    if (!thumb) {
        QImage mark(1, 1, QImage::Format_ARGB32);
        mark.fill(Qt::transparent);
        queueWrite(failFolder() + QLatin1Char('/') + name, [mark] { return mark; },
                   keysOf(uri, identity, mtime));
        return {identity, std::nullopt, false};
    }
    if (thumb->header.kind != platform::PictureKind::Raster)
        return {identity, std::move(thumb), false};
    Keys keys = keysOf(uri, identity, mtime);
    keys.emplace_back(kWidth, QString::number(thumb->header.pixels.width()));
    keys.emplace_back(kHeight, QString::number(thumb->header.pixels.height()));
    std::function<QImage()> make;
    if (!entry.isNull()) {
        make = [entry] { return entry; };
    } else if (thumb->image.size() == thumb->header.pixels && thumb->header.pixels.width() <= n &&
               thumb->header.pixels.height() <= n) {
        make = [image = thumb->image] { return image; }; // whole already: no second decode
    } else {
        // The entry's own decode, off the page's way; the file is read again rather than its
        // bytes kept, and nothing is written when it changed in between.
        make = [path, identity, entryBox] {
            const Decoded again = decodeFile(path, entryBox);
            if (!again.identity || *again.identity != identity)
                return QImage();
            const std::optional<Thumbnail>& t = again.thumb;
            return t && t->header.kind == platform::PictureKind::Raster ? t->image : QImage();
        };
    }
    queueWrite(root() + QLatin1Char('/') + sizeFolder(*size) + QLatin1Char('/') + name,
               std::move(make), std::move(keys));
    return {identity, std::move(thumb), false};
}

void ThumbnailStore::waitForWrites() {
    Writes& w = writes();
    std::unique_lock<std::mutex> lock(w.mutex);
    w.done.wait(lock, [&w] { return w.count == 0; });
}

int ThumbnailStore::decodes() {
    return g_decodes.load();
}

} // namespace tarvo
