#include "fullpicture.h"

#include "platform/handoff.h"
#include "platform/pictures/pictureloader.h"

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace tarvo {

class FullPictureJob final : public platform::PendingImage {
public:
    enum State { Queued, Running, Done, GivenUp };

    explicit FullPictureJob(QString path) : m_path(std::move(path)) {}

    // On a worker. Returns whether it decoded (a job given up while queued does not).
    bool run() {
        int expected = Queued;
        if (!m_state.compare_exchange_strong(expected, Running))
            return false;
        std::optional<QImage> picture = platform::loadFullPicture(m_path);
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_state == Running) {
            m_picture = std::move(picture);
            m_state = Done;
        }
        m_finished = true;
        m_cv.notify_all();
        return true;
    }

    // A decode already running ends on its worker; its picture is dropped.
    void giveUp() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_state = GivenUp;
        m_picture.reset();
        m_finished = true; // a reader still holding this offer gets nothing, at once
        m_cv.notify_all();
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
    const QString m_path;
    std::atomic<int> m_state{Queued};
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_finished = false;
    std::optional<QImage> m_picture;
};

FullPictures::FullPictures() {
    // Two workers: a decode given up cannot be stopped halfway, and the next click's decode
    // must not queue behind it.
    m_pool.setMaxThreadCount(2);
}

FullPictures::~FullPictures() {
    m_pool.waitForDone();
}

std::shared_ptr<platform::PendingImage> FullPictures::start(const QString& path,
                                                            std::function<void(bool)> done) {
    if (m_current)
        m_current->giveUp();
    auto job = std::make_shared<FullPictureJob>(path);
    m_current = job;
    QObject* context = &m_context;
    std::weak_ptr<FullPictureJob> weak = job;
    FullPictures* self = this;
    m_pool.start(platform::handedOver([job, context, self, weak, done = std::move(done)] {
        if (!job->run())
            return;
        // Delivered on the user-interface thread; dropped with the context when the
        // organiser goes first (the pool is waited for before the context is destroyed).
        QMetaObject::invokeMethod(context, platform::handedOver([self, weak, done] {
                                      const std::shared_ptr<FullPictureJob> j = weak.lock();
                                      if (j && self->m_current == j && done)
                                          done(j->made());
                                  }),
                                  Qt::QueuedConnection);
    }));
    return job;
}

bool FullPictures::busy() const {
    return m_current && !m_current->finished();
}

} // namespace tarvo
