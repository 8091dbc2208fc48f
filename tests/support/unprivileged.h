#pragma once
// Permission tests that mean the same when the tests run as root (as they do in CI): while
// an Unprivileged lives, the calling thread reaches files as the user "nobody". On Linux
// the file-system user is per thread, and giving up uid 0 there also drops root's right to
// pass over permissions, so a folder without write access refuses this thread as it
// refuses any user. Folders the test makes must be open to others (0755) to be reached.

#ifndef _WIN32
#include <sys/fsuid.h>
#include <unistd.h>
#endif

namespace testing_support {

#ifdef _WIN32
// Windows guards files by access lists that Qt's permission bits do not set: there is no
// way to be refused here, and the tests that need one skip.
class Unprivileged {
public:
    bool active() const { return false; }
};
#else

class Unprivileged {
public:
    static constexpr unsigned kNobody = 65534;

    Unprivileged() {
        if (::geteuid() != 0)
            return; // already an ordinary user
        ::setfsgid(kNobody);
        ::setfsuid(kNobody);
        m_dropped = true;
        // setfsuid answers with the previous value; asking again tells whether it took.
        m_active = static_cast<unsigned>(::setfsuid(kNobody)) == kNobody;
    }
    ~Unprivileged() {
        if (m_dropped) {
            ::setfsuid(0);
            ::setfsgid(0);
        }
    }
    Unprivileged(const Unprivileged&) = delete;
    Unprivileged& operator=(const Unprivileged&) = delete;

    // False only when root could not give its rights up (no CAP_SETUID in a container).
    bool active() const { return m_active; }

private:
    bool m_dropped = false;
    bool m_active = true;
};
#endif

} // namespace testing_support
