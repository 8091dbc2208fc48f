#pragma once
// What the end-to-end tests under Wine share: waiting, starting our programs, finding
// top-level windows by caption, and the keys and clicks a user gives, through user32 as
// another program would.
#include <QDir>
#include <QElapsedTimer>
#include <QString>
#include <QThread>
#include <vector>
#include <windows.h>

namespace wine_e2e {

inline const QString kOrganiser = QStringLiteral("    画像整理ツール　 [Tarvo  V1.4 ]");
inline const QString kViewer = QStringLiteral("クリップボード ビューア");
inline const QString kSaver = QStringLiteral("Mirok101");

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

// One of our programs started in a folder with real windows (the tests themselves run
// offscreen), and its window captioned caption once it shows; ended at the latest by the
// destructor.
struct Started {
    PROCESS_INFORMATION pi{};
    HWND window = nullptr;

    bool start(const QString& exe, const QString& folder, const QString& caption) {
        ::SetEnvironmentVariableW(L"QT_QPA_PLATFORM", nullptr);
        std::wstring command =
            L"\"" +
            QDir::toNativeSeparators(QStringLiteral(TARVO_BIN_DIR "/") + exe).toStdWString() +
            L"\"";
        STARTUPINFOW si{};
        si.cb = sizeof si;
        return ::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                QDir::toNativeSeparators(folder).toStdWString().c_str(), &si,
                                &pi) &&
               waitFor([&] { return (window = windowCalled(caption, true, pi.dwProcessId)); });
    }
    bool ended(DWORD ms) const { return ::WaitForSingleObject(pi.hProcess, ms) == WAIT_OBJECT_0; }
    // Closes the window, as its user would, and waits for the program to end.
    void stop() {
        if (window)
            ::PostMessageW(window, WM_CLOSE, 0, 0);
        if (pi.hProcess && !ended(10000))
            ::TerminateProcess(pi.hProcess, 1);
    }
    ~Started() {
        if (!pi.hProcess)
            return;
        if (!ended(0))
            ::TerminateProcess(pi.hProcess, 1);
        ::CloseHandle(pi.hProcess);
        ::CloseHandle(pi.hThread);
    }
};

inline bool bringToFront(HWND w) {
    return waitFor(
        [&] {
            ::SetForegroundWindow(w);
            return waitFor([&] { return ::GetForegroundWindow() == w; }, 200);
        },
        10000);
}

// Presses the capture saver's Run button, which has the focus at start; Run minimises the
// window once the saver has joined the viewer chain.
inline bool pressRun(HWND saver) {
    return waitFor(
        [&] {
            if (!::IsIconic(saver) && bringToFront(saver)) {
                INPUT in[2] = {};
                in[0].type = in[1].type = INPUT_KEYBOARD;
                in[0].ki.wVk = in[1].ki.wVk = VK_SPACE;
                in[1].ki.dwFlags = KEYEVENTF_KEYUP;
                ::SendInput(2, in, sizeof(INPUT));
            }
            return waitFor([&] { return ::IsIconic(saver) != FALSE; }, 1000);
        },
        30000);
}

// A click given to the main window itself at the middle of a control placed at left, top,
// width, height twips in the lowest 344 pixels of its client area (the menu bar is above):
// other windows may cover it.
inline void clickMain(HWND main, int left, int top, int width, int height) {
    RECT r{};
    ::GetClientRect(main, &r);
    const LPARAM at = MAKELPARAM((left + width / 2) / 15, r.bottom - 344 + (top + height / 2) / 15);
    ::PostMessageW(main, WM_MOUSEMOVE, 0, at);
    ::PostMessageW(main, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::PostMessageW(main, WM_LBUTTONUP, 0, at);
}

} // namespace wine_e2e
