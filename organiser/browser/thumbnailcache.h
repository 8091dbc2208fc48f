#pragma once
// Thumbnails of the pages already shown, and the pages next to them decoded ahead while the
// window is idle. An entry is keyed by the picture's path and holds the identity of the file
// whose bytes it was decoded from (device, inode, size, modification and status-change
// times); it is served only while the path still names that file unchanged, so a picture
// replaced or rewritten on disk is decoded again. A worker reads the file whole, closes it,
// and decodes from memory (a very large file: from the file opened sharing delete and rename).
//
// Decoding runs on Qt's global thread pool: the page being shown at the user's priority,
// prefetched pages below it. A page asked for while its pictures are being prefetched joins
// those decodes instead of starting its own. All members are used on the user-interface
// thread; the workers only fill the jobs they were given.

#include "platform/fileidentity.h"
#include "platform/pictures/pictureloader.h"

#include <QCache>
#include <QHash>
#include <QObject>
#include <QSizeF>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

namespace tarvo {

// The cache's bound in bytes of decoded pixels: a cell shows at most 97 × 97 pixels, so
// this holds about 400 thumbnails of large photos (40 pages).
inline constexpr qint64 kThumbnailCacheBytes = 16 * 1024 * 1024;

using FileStamp = platform::FileIdentity;
// Nothing when the file cannot be reached.
std::optional<FileStamp> stampOf(const QString& path);

class ThumbnailCache {
public:
    explicit ThumbnailCache(qint64 boundBytes = kThumbnailCacheBytes);
    // Queued decodes are dropped; running ones are waited for.
    ~ThumbnailCache();
    ThumbnailCache(const ThumbnailCache&) = delete;
    ThumbnailCache& operator=(const ThumbnailCache&) = delete;

    // The thumbnails of paths at box, one entry per path, empty where a picture could not be
    // loaded: served from the cache when the file is unchanged, joined when a decode of it
    // is under way, decoded now otherwise. Returns when all are there. Prefetching of any
    // other picture is given up first, so the page the user asked for has the threads.
    std::vector<std::optional<platform::Thumbnail>> fetch(const QStringList& paths, QSizeF box);

    // Queues decodes of the paths not yet cached, below the user's priority (a lower
    // priority for a later call), and returns at once.
    void prefetch(const QStringList& paths, QSizeF box, int priority);
    // Gives up the queued prefetch decodes; a decode already running ends on its worker and
    // its thumbnail is kept.
    void cancelPrefetch(const QStringList& keep = {});

    // The organiser renamed or deleted a picture: the entry moves with it or goes.
    void renamed(const QString& from, const QString& to);
    void removed(const QString& path);
    // Drops every entry whose file changed or went (a reload of the folder).
    void recheck();

    int count() const { return m_cache.count(); }
    qint64 bytes() const { return m_cache.totalCost(); }
    bool contains(const QString& path) const { return m_cache.contains(path); }
    // The identity of the file the cached thumbnail of path was decoded from.
    std::optional<FileStamp> shownIdentity(const QString& path) const;
    // Decodes queued or running.
    int pending() const { return static_cast<int>(m_jobs.size()); }
    // Waits for every queued and running decode and keeps what they made.
    void waitForPrefetch();

private:
    struct Entry {
        FileStamp stamp;
        QSizeF box;
        platform::Thumbnail thumb;
    };
    struct Job;
    struct Notifier;

    std::shared_ptr<Job> startJob(const QString& path, QSizeF box, int priority);
    void keep(const QString& path, QSizeF box, const FileStamp& stamp,
              const platform::Thumbnail& thumb);
    void harvest(); // moves finished jobs into the cache
    void forgetJob(const QString& path);
    std::optional<platform::Thumbnail> cached(const QString& path, QSizeF box,
                                              const std::optional<FileStamp>& now);

    QCache<QString, Entry> m_cache;
    QHash<QString, std::shared_ptr<Job>> m_jobs;
    QObject m_context; // lets finished jobs be harvested from the event loop
    std::shared_ptr<Notifier> m_notifier;
};

} // namespace tarvo
