#pragma once
// What the end-to-end tests under Wine share: waiting, finding top-level windows by caption,
// and the keys and clicks a user gives, through user32 as another program would.
#include <QElapsedTimer>
#include <QString>
#include <QThread>
#include <windows.h>

namespace wine_e2e {

template <class F> bool waitFor(F done, int ms = 20000) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms)
            return false;
        QThread::msleep(50);
    }
    return true;
}

inline QString captionOf(HWND w) {
    wchar_t title[256] = {};
    ::GetWindowTextW(w, title, 256);
    return QString::fromWCharArray(title);
}

// The visible top-level windows whose caption is caption (or begins with it, with prefix),
// of process pid when it is not 0.
inline std::vector<HWND> windowsCalled(const QString& caption, bool prefix = false, DWORD pid = 0) {
    struct Search {
        QString caption;
        bool prefix;
        DWORD pid;
        std::vector<HWND> found;
    } search{caption, prefix, pid, {}};
    ::EnumWindows(
        [](HWND w, LPARAM p) -> BOOL {
            auto* s = reinterpret_cast<Search*>(p);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(w, &owner);
            const QString c = captionOf(w);
            if ((s->pid == 0 || owner == s->pid) && ::IsWindowVisible(w) &&
                (s->prefix ? c.startsWith(s->caption) : c == s->caption))
                s->found.push_back(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

inline HWND windowCalled(const QString& caption, bool prefix = false, DWORD pid = 0) {
    const auto all = windowsCalled(caption, prefix, pid);
    return all.empty() ? nullptr : all.front();
}

inline void tap(WORD vk) {
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = vk;
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ::SendInput(2, in, sizeof(INPUT));
}

// A left click at a point of the screen.
inline void click(POINT at) {
    ::SetCursorPos(at.x, at.y);
    QThread::msleep(50);
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ::SendInput(2, in, sizeof(INPUT));
}

} // namespace wine_e2e
