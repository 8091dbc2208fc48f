#include "fullpicture.h"

#include "platform/files.h"
#include "platform/handoff.h"
#include "platform/pictures/pictureloader.h"

#include <QFile>
#include <atomic>
#include <condition_variable>
#include <mutex>

namespace tarvo {

namespace {

// Read within the click up to this size (a few milliseconds from the disk cache); a larger
// file is held open and read on the worker.
constexpr qint64 kReadAtClickBytes = 48 * 1024 * 1024;

} // namespace

std::optional<ClickedPicture> takePicture(const QString& path, platform::Result* why) {
    std::unique_ptr<QFile> file = platform::openForReading(path, why);
    if (!file)
        return std::nullopt;
    const std::optional<platform::FileIdentity> id = platform::identityOf(*file);
    if (!id) {
        if (why)
            *why = platform::Result::failure(platform::Error::Io, path);
        return std::nullopt;
    }
    ClickedPicture picture{path, *id, {}, {}};
    if (id->size <= kReadAtClickBytes) {
        std::optional<platform::FileSnapshot> snap =
            platform::readSnapshot(*file, *id, kReadAtClickBytes, why);
        if (!snap)
            return std::nullopt;
        picture.bytes = std::move(snap->bytes);
    } else {
        picture.held = std::shared_ptr<QFile>(std::move(file));
    }
    return picture;
}

namespace {
std::atomic<int> g_running{0};
} // namespace

int fullPictureDecodesRunning() {
    return g_running.load();
}

// How a worker reaches the organiser's thread: only while the pictures are alive. The mutex
// makes a post and the end of FullPictures exclusive.
struct FullPictureLink {
    std::mutex mutex;
    QObject* context = nullptr; // null once FullPictures is going
};

class FullPictureJob final : public platform::PendingImage {
public:
    enum State { Queued, Running, Done, GivenUp };

    explicit FullPictureJob(ClickedPicture picture) : m_source(std::move(picture)) {}

    // On a worker. Returns whether it decoded (a job given up while queued does not).
    bool run() {
        int expected = Queued;
        if (!m_state.compare_exchange_strong(expected, Running))
            return false;
        QByteArray bytes = std::move(m_source.bytes);
        std::shared_ptr<QFile> held = std::move(m_source.held);
        if (held) {
            std::optional<platform::FileSnapshot> snap =
                platform::readSnapshot(*held, m_source.identity, platform::kMaxPictureBytes);
            held.reset(); // closed before the decode
            if (snap)
                bytes = std::move(snap->bytes);
        }
        std::optional<QImage> picture;
        if (!bytes.isEmpty() && !m_cancelled)
            picture = platform::loadFullPictureFromBytes(bytes, m_source.path,
                                                         &m_cancelled);
        bytes = QByteArray();
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_state == Running) {
            m_picture = std::move(picture);
            m_state = Done;
        }
        m_finished = true;
        m_cv.notify_all();
        return true;
    }

    // The decode stops at the next bytes it asks for; its picture is dropped.
    void giveUp() {
        m_cancelled = true;
        int expected = Queued;
        if (m_state.compare_exchange_strong(expected, GivenUp)) {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_source = ClickedPicture{}; // never taken by a worker now
            m_finished = true;           // a reader still holding this offer gets nothing
            m_cv.notify_all();
            return;
        }
        // Running: the worker drops what it makes. Done: the clipboard holds another offer
        // now, and the picture is let go.
        std::lock_guard<std::mutex> lock(m_mutex);
        m_state = GivenUp;
        m_picture.reset();
    }

    std::optional<QImage> wait() override {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_cv.wait(lock, [this] { return m_finished; });
        return m_picture;
    }

    bool made() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_picture.has_value() && !m_picture->isNull();
    }
    bool finished() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_finished;
    }

private:
    ClickedPicture m_source; // guarded by the state: the worker takes it once it runs
    std::atomic<int> m_state{Queued};
    std::atomic<bool> m_cancelled{false};
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_finished = false;
    std::optional<QImage> m_picture;
};

FullPictures::FullPictures()
    : m_pool(new QThreadPool), m_link(std::make_shared<FullPictureLink>()) {
    m_link->context = &m_context;
    // Two workers: a decode given up stops only at its next read, and the next click's
    // decode must not queue behind it.
    m_pool->setMaxThreadCount(2);
}

FullPictures::~FullPictures() {
    {
        std::lock_guard<std::mutex> lock(m_link->mutex);
        m_link->context = nullptr;
    }
    giveUpAll();
    m_pool->clear();
    // A decode given up stops at its next read, but a huge progressive JPEG may still finish
    // its last pass on the bytes cut short: nothing waits for it. Its pool is let go with it
    // and the program's end leaves without it (fullPictureDecodesRunning).
    if (m_pool->waitForDone(20))
        delete m_pool;
}

std::shared_ptr<platform::PendingImage> FullPictures::start(ClickedPicture picture,
                                                            std::function<void(bool)> done) {
    if (std::shared_ptr<FullPictureJob> previous = m_current.lock())
        m_others.push_back(previous);
    auto job = std::make_shared<FullPictureJob>(std::move(picture));
    m_current = job;
    std::shared_ptr<FullPictureLink> link = m_link;
    std::weak_ptr<FullPictureJob> weak = job;
    FullPictures* self = this;
    const quint64 serial = ++m_serial;
    m_pool->start(platform::handedOver([link, self, weak, serial, done = std::move(done)] {
        bool made = false;
        // The worker keeps the job only while it decodes: once the clipboard lets the offer
        // go, the picture goes with it.
        {
            const std::shared_ptr<FullPictureJob> mine = weak.lock();
            if (!mine)
                return;
            ++g_running;
            const bool ran = mine->run();
            --g_running;
            if (!ran)
                return;
            made = mine->made();
        }
        std::lock_guard<std::mutex> lock(link->mutex);
        if (!link->context)
            return;
        // Told even when the clipboard has let the offer go already.
        QMetaObject::invokeMethod(link->context, platform::handedOver([self, serial, made, done] {
                                      if (self->m_serial == serial && done)
                                          done(made);
                                  }),
                                  Qt::QueuedConnection);
    }));
    return job;
}

std::shared_ptr<platform::PendingImage> FullPictures::currentOffer() const {
    return m_current.lock();
}

void FullPictures::giveUpOthers() {
    for (const std::weak_ptr<FullPictureJob>& weak : m_others)
        if (std::shared_ptr<FullPictureJob> job = weak.lock())
            job->giveUp();
    m_others.clear();
}

void FullPictures::giveUpAll() {
    giveUpOthers();
    if (std::shared_ptr<FullPictureJob> job = m_current.lock())
        job->giveUp();
}

bool FullPictures::busy() const {
    const std::shared_ptr<FullPictureJob> job = m_current.lock();
    return job && !job->finished();
}

int FullPictures::running() const {
    return m_pool->activeThreadCount();
}

} // namespace tarvo
