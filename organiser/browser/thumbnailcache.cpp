#include "thumbnailcache.h"
#include "thumbnailstore.h"

#include "platform/files.h"
#include "platform/handoff.h"

#include <QFile>
#include <QSet>
#include <QThreadPool>
#include <atomic>
#include <condition_variable>
#include <mutex>

namespace tarvo {

namespace {

// The page the user waits for goes before anything prefetched.
constexpr int kUserPriority = 10;

} // namespace

std::optional<FileStamp> stampOf(const QString& path) {
    return platform::identityOf(path);
}

namespace {

// From the desktop's thumbnail store when it holds the file as it is now; else reads the
// file, closes it, then decodes: the stamp is that of the bytes decoded.
void decodeSnapshot(const QString& path, QSizeF box, std::optional<FileStamp>& stamp,
                    std::optional<platform::Thumbnail>& thumb) {
    ThumbnailStore::Result r = ThumbnailStore::thumbnail(path, box);
    stamp = r.stamp;
    thumb = std::move(r.thumb);
}

} // namespace

// How a job finished on a worker tells the cache: a harvest posted to the cache's context
// object, only while the cache is alive. The mutex makes the post and the cache's going
// exclusive, so a job may post after it has marked itself done.
struct ThumbnailCache::Notifier {
    std::mutex mutex;
    ThumbnailCache* cache = nullptr; // guarded by mutex; null once the cache is going
    QObject* context = nullptr;

    void post() {
        std::lock_guard<std::mutex> lock(mutex);
        if (!cache)
            return;
        ThumbnailCache* c = cache;
        QMetaObject::invokeMethod(context, platform::handedOver([c] { c->harvest(); }),
                                  Qt::QueuedConnection);
    }
};

// One decode. Whoever claims it first (a pool thread, or the user-interface thread taking
// over a queued job it is waiting for) runs it; the others find it taken.
struct ThumbnailCache::Job {
    enum State { Queued, Running, Done, Cancelled };

    Job(QString p, QSizeF b, std::shared_ptr<Notifier> n)
        : path(std::move(p)), box(b), notifier(std::move(n)) {}

    const QString path;
    const QSizeF box;
    const std::shared_ptr<Notifier> notifier;
    std::atomic<int> state{Queued};
    std::mutex mutex;
    std::condition_variable cv;
    bool finished = false; // guarded by mutex
    std::optional<FileStamp> stamp;
    std::optional<platform::Thumbnail> result;

    // Decodes unless the job was taken or given up; true when this call decoded.
    bool run(bool tellCache) {
        int expected = Queued;
        if (!state.compare_exchange_strong(expected, Running))
            return false;
        std::optional<FileStamp> s;
        std::optional<platform::Thumbnail> t;
        decodeSnapshot(path, box, s, t);
        {
            std::lock_guard<std::mutex> lock(mutex);
            stamp = s;
            result = std::move(t);
            finished = true;
            state = Done;
        }
        cv.notify_all();
        // Told only now that the job is done, so the harvest this posts finds it done and
        // takes its thumbnail into the cache.
        if (tellCache)
            notifier->post();
        return true;
    }
    bool cancel() {
        int expected = Queued;
        if (!state.compare_exchange_strong(expected, Cancelled))
            return false;
        {
            std::lock_guard<std::mutex> lock(mutex);
            finished = true;
        }
        cv.notify_all();
        return true;
    }
    void wait() {
        std::unique_lock<std::mutex> lock(mutex);
        cv.wait(lock, [this] { return finished; });
    }
    bool done() {
        std::lock_guard<std::mutex> lock(mutex);
        return finished && state == Done;
    }
};

ThumbnailCache::ThumbnailCache(qint64 boundBytes)
    : m_cache(boundBytes), m_notifier(std::make_shared<Notifier>()) {
    m_notifier->cache = this;
    m_notifier->context = &m_context;
}

ThumbnailCache::~ThumbnailCache() {
    {
        std::lock_guard<std::mutex> lock(m_notifier->mutex);
        m_notifier->cache = nullptr;
    }
    for (const std::shared_ptr<Job>& job : std::as_const(m_jobs))
        if (!job->cancel())
            job->wait();
}

std::shared_ptr<ThumbnailCache::Job> ThumbnailCache::startJob(const QString& path, QSizeF box,
                                                              int priority) {
    auto job = std::make_shared<Job>(path, box, m_notifier);
    m_jobs.insert(path, job);
    QThreadPool::globalInstance()->start(platform::handedOver([job] { job->run(true); }), priority);
    return job;
}

std::optional<platform::Thumbnail> ThumbnailCache::cached(const QString& path, QSizeF box,
                                                          const std::optional<FileStamp>& now) {
    Entry* e = m_cache.object(path);
    if (!e)
        return std::nullopt;
    if (!now || e->stamp != *now || e->box != box) {
        m_cache.remove(path);
        return std::nullopt;
    }
    return e->thumb;
}

void ThumbnailCache::keep(const QString& path, QSizeF box, const FileStamp& stamp,
                          const platform::Thumbnail& thumb) {
    const qint64 cost = qMax<qint64>(1, thumb.image.sizeInBytes());
    m_cache.insert(path, new Entry{stamp, box, thumb}, cost);
}

void ThumbnailCache::harvest() {
    for (auto it = m_jobs.begin(); it != m_jobs.end();) {
        const std::shared_ptr<Job>& job = it.value();
        if (!job->done()) {
            ++it;
            continue;
        }
        if (job->result && job->stamp)
            keep(job->path, job->box, *job->stamp, *job->result);
        it = m_jobs.erase(it);
    }
}

std::vector<std::optional<platform::Thumbnail>> ThumbnailCache::fetch(const QStringList& paths,
                                                                      QSizeF box) {
    harvest();
    cancelPrefetch(paths);
    const size_t n = static_cast<size_t>(paths.size());
    std::vector<std::optional<platform::Thumbnail>> out(n);
    std::vector<std::optional<FileStamp>> stamps(n);
    std::vector<std::shared_ptr<Job>> jobs(n);
    for (size_t i = 0; i < n; ++i) {
        const QString& path = paths[static_cast<qsizetype>(i)];
        stamps[i] = stampOf(path);
        if ((out[i] = cached(path, box, stamps[i])))
            continue;
        if (!stamps[i])
            continue; // cannot be opened: the cell takes its failure path
        auto it = m_jobs.find(path);
        if (it != m_jobs.end() && it.value()->box == box) {
            std::shared_ptr<Job> job = it.value();
            // A prefetch still queued is lifted to the user's priority: whichever of its two
            // runs comes first decodes it, the other finds it taken.
            if (job->state == Job::Queued)
                QThreadPool::globalInstance()->start(
                    platform::handedOver([job] { job->run(true); }), kUserPriority);
            jobs[i] = job;
        } else {
            jobs[i] = startJob(path, box, kUserPriority);
        }
    }
    // This thread decodes too rather than only waiting, from the end of the page while the
    // pool works from its start; it is also never held up by a prefetch decode still
    // running on a pool thread.
    for (size_t i = n; i-- > 0;)
        if (jobs[i])
            jobs[i]->run(false);
    for (size_t i = 0; i < n; ++i) {
        if (!jobs[i])
            continue;
        Job& job = *jobs[i];
        job.wait();
        const QString& path = paths[static_cast<qsizetype>(i)];
        if (job.stamp == stamps[i]) {
            out[i] = job.result;
        } else {
            // The file changed since that decode began.
            decodeSnapshot(path, box, stamps[i], out[i]);
        }
        if (out[i] && stamps[i])
            keep(path, box, *stamps[i], *out[i]);
        auto it = m_jobs.find(path);
        if (it != m_jobs.end() && it.value() == jobs[i])
            m_jobs.erase(it);
    }
    return out;
}

void ThumbnailCache::prefetch(const QStringList& paths, QSizeF box, int priority) {
    harvest();
    for (const QString& path : paths) {
        if (path.isEmpty() || m_jobs.contains(path))
            continue;
        const std::optional<FileStamp> now = stampOf(path);
        if (!now || cached(path, box, now))
            continue;
        startJob(path, box, priority);
    }
}

void ThumbnailCache::cancelPrefetch(const QStringList& keepPaths) {
    const QSet<QString> kept(keepPaths.begin(), keepPaths.end());
    for (auto it = m_jobs.begin(); it != m_jobs.end();) {
        if (!kept.contains(it.key()) && it.value()->cancel())
            it = m_jobs.erase(it);
        else
            ++it;
    }
}

void ThumbnailCache::forgetJob(const QString& path) {
    // A decode under way for a name that now stands for another file (or none) is given up;
    // one already running ends on its worker, and its thumbnail is not kept.
    if (std::shared_ptr<Job> job = m_jobs.take(path))
        job->cancel();
}

void ThumbnailCache::renamed(const QString& from, const QString& to) {
    forgetJob(from);
    forgetJob(to);
    m_cache.remove(to);
    if (Entry* e = m_cache.take(from)) {
        const qint64 cost = qMax<qint64>(1, e->thumb.image.sizeInBytes());
        m_cache.insert(to, e, cost);
    }
}

void ThumbnailCache::removed(const QString& path) {
    forgetJob(path);
    m_cache.remove(path);
}

void ThumbnailCache::recheck() {
    harvest();
    const QList<QString> keys = m_cache.keys();
    for (const QString& key : keys) {
        const Entry* e = m_cache.object(key);
        const std::optional<FileStamp> now = stampOf(key);
        if (!e || !now || e->stamp != *now)
            m_cache.remove(key);
    }
}

std::optional<FileStamp> ThumbnailCache::shownIdentity(const QString& path) const {
    if (const Entry* e = m_cache.object(path))
        return e->stamp;
    return std::nullopt;
}

void ThumbnailCache::waitForPrefetch() {
    for (const std::shared_ptr<Job>& job : std::as_const(m_jobs))
        job->wait();
    harvest();
}

} // namespace tarvo
