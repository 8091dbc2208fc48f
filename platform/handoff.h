#pragma once
// Work handed to another thread through Qt's queues (QThreadPool::start, a queued
// QMetaObject::invokeMethod). Qt locks a mutex on both sides of its queues, so whatever the
// handing thread did before comes before the work runs; but ThreadSanitizer cannot see that
// when Qt itself is built without it, and reports every access of the work to what the
// handing thread wrote as a race. A build with ThreadSanitizer tells it of each hand-over
// here: every copy of the work made on the handing thread releases a token of its own, and
// the work acquires its copy's token first when it runs. Elsewhere this is the work and nothing
// more.

#include <utility>

#if defined(__SANITIZE_THREAD__)
#define TARVO_THREAD_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define TARVO_THREAD_SANITIZER 1
#endif
#endif

#ifdef TARVO_THREAD_SANITIZER
#include <sanitizer/tsan_interface.h>
#endif

namespace platform {

#ifdef TARVO_THREAD_SANITIZER
// The token is the copy's own address: the work runs from the last copy made, and reading
// the address needs no memory the sanitizer would see raced.
template <typename F> class HandedOver {
public:
    explicit HandedOver(F f) : m_f(std::move(f)) { __tsan_release(this); }
    HandedOver(const HandedOver& other) : m_f(other.m_f) { __tsan_release(this); }
    HandedOver(HandedOver&& other) noexcept : m_f(std::move(other.m_f)) { __tsan_release(this); }
    HandedOver& operator=(const HandedOver&) = delete;
    HandedOver& operator=(HandedOver&&) = delete;
    ~HandedOver() = default;

    void operator()() {
        __tsan_acquire(this);
        m_f();
    }

private:
    F m_f;
};

// f wrapped for a hand-over to another thread through one of Qt's queues.
template <typename F> HandedOver<F> handedOver(F f) {
    return HandedOver<F>(std::move(f));
}
#else
template <typename F> F handedOver(F f) {
    return f;
}
#endif

} // namespace platform
