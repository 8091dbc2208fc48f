#pragma once
// While an Unprivileged lives, the calling thread reaches files as "nobody" (Linux keeps the
// file-system user per thread), so permission tests mean the same when run as root, as in CI.
// Folders the test makes must be open to others (0755) to be reached.

#ifndef _WIN32
#include <sys/fsuid.h>
#include <unistd.h>
#endif

namespace testing_support {

#ifdef _WIN32
// Windows guards files by access lists Qt's permission bits do not set: the tests skip.
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
