// Other programs on Win32: CreateProcessW searches a bare name as Windows does (the starting
// program's folder, the current directory, the system folders, then PATH); windows are found
// by caption among the visible top-level windows, raised with SetForegroundWindow, and keys
// typed with SendInput.
#include "platform/keystrokes.h"
#include "platform/programlookup.h"
#include "platform/programs.h"
#include "win32error.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QThread>
#include <vector>

namespace platform {

namespace {

constexpr int kWaitMs = 2000;

QString windowCaption(HWND w) {
    const int n = ::GetWindowTextLengthW(w);
    if (n <= 0)
        return {};
    std::wstring buf(size_t(n) + 1, L'\0');
    const int got = ::GetWindowTextW(w, buf.data(), n + 1);
    return QString::fromWCharArray(buf.data(), got);
}

struct Search {
    QString caption;
    HWND exact = nullptr;
    HWND prefix = nullptr;
};

BOOL CALLBACK visit(HWND w, LPARAM p) {
    auto* s = reinterpret_cast<Search*>(p);
    if (!::IsWindowVisible(w) || ::GetWindow(w, GW_OWNER))
        return TRUE;
    const QString title = windowCaption(w);
    if (title == s->caption) {
        s->exact = w;
        return FALSE;
    }
    if (!s->prefix && title.startsWith(s->caption))
        s->prefix = w;
    return TRUE;
}

bool ownsForeground() {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(::GetForegroundWindow(), &pid);
    return pid == ::GetCurrentProcessId();
}

void pumpFor(int ms) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
}

void addKey(std::vector<INPUT>& out, WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = WORD(::MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    out.push_back(in);
}

WORD virtualKey(const KeyStroke& k) {
    if (k.function >= 1 && k.function <= 12)
        return WORD(VK_F1 + k.function - 1);
    switch (k.named) {
    case KeyStroke::Named::Enter:
        return VK_RETURN;
    case KeyStroke::Named::Escape:
        return VK_ESCAPE;
    case KeyStroke::Named::Tab:
        return VK_TAB;
    case KeyStroke::Named::Backspace:
        return VK_BACK;
    case KeyStroke::Named::Delete:
        return VK_DELETE;
    case KeyStroke::Named::None:
        break;
    }
    const char16_t c = k.character.unicode();
    if (c >= u'a' && c <= u'z')
        return WORD('A' + (c - u'a'));
    if (c >= u'0' && c <= u'9')
        return WORD(c);
    return 0;
}

// Makes w the foreground window. Windows lets only the program in front hand the foreground
// on; when this program is not it (the user's click went to a window of ours that is not
// active), the input of the thread in front is joined for the call, as the system allows.
void bringForward(HWND w) {
    if (::SetForegroundWindow(w) && ::GetForegroundWindow() == w)
        return;
    const DWORD self = ::GetCurrentThreadId();
    const DWORD front = ::GetWindowThreadProcessId(::GetForegroundWindow(), nullptr);
    const bool joined = front && front != self && ::AttachThreadInput(self, front, TRUE);
    ::SetForegroundWindow(w);
    ::BringWindowToTop(w);
    ::SetActiveWindow(w);
    if (joined)
        ::AttachThreadInput(self, front, FALSE);
}

class Win32Programs final : public Programs {
public:
    Result start(const QString& name, WindowStyle style) override {
        STARTUPINFOW si{};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USESHOWWINDOW;
        si.wShowWindow =
            WORD(style == WindowStyle::NormalFocus ? SW_SHOWNORMAL : SW_SHOWNOACTIVATE);
        PROCESS_INFORMATION pi{};
        std::wstring command = L"\"" + name.toStdWString() + L"\"";
        // Qt shows a window as it is told, not as the starting program asks: our own
        // programs are told on their command line as well.
        if (style == WindowStyle::NormalNoFocus && takesNoFocusArgument(name))
            command += L" " + QString::fromLatin1(kNoFocusArgument).toStdWString();
        if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                              &si, &pi))
            return win::lastError(name);
        ::CloseHandle(pi.hThread);
        ::CloseHandle(pi.hProcess);
        return Result::success();
    }
    QStringList searchPaths(const QString& name) override {
        QStringList folders;
        folders << QCoreApplication::applicationDirPath() << QDir::currentPath();
        wchar_t buf[MAX_PATH + 1];
        if (UINT n = ::GetSystemDirectoryW(buf, MAX_PATH))
            folders << QDir::fromNativeSeparators(QString::fromWCharArray(buf, int(n)));
        if (UINT n = ::GetWindowsDirectoryW(buf, MAX_PATH))
            folders << QDir::fromNativeSeparators(QString::fromWCharArray(buf, int(n)));
        const QStringList path =
            qEnvironmentVariable("PATH").split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (const QString& p : path)
            folders << QDir::fromNativeSeparators(p);
        QStringList out;
        for (const QString& f : folders) {
            const QString full = QDir(f).filePath(name);
            if (!out.contains(full, Qt::CaseInsensitive))
                out << full;
        }
        return out;
    }
    Result activate(const QString& caption, bool wait) override {
        if (wait) {
            QElapsedTimer clock;
            clock.start();
            while (!ownsForeground() && clock.elapsed() < kWaitMs)
                pumpFor(20);
        }
        Search s{caption};
        ::EnumWindows(visit, reinterpret_cast<LPARAM>(&s));
        HWND w = s.exact ? s.exact : s.prefix;
        if (!w)
            return Result::failureOf(Error::NotFound, caption);
        // A minimised window stays minimised; it is only made the active one.
        bringForward(w);
        if (!::IsIconic(w))
            ::BringWindowToTop(w);
        return Result::success();
    }
    Result restore(const QString& caption) override {
        Search s{caption};
        ::EnumWindows(visit, reinterpret_cast<LPARAM>(&s));
        HWND w = s.exact ? s.exact : s.prefix;
        if (!w)
            return Result::failureOf(Error::NotFound, caption);
        // Keys sent next must reach it: a minimised window is brought back first.
        if (::IsIconic(w))
            ::ShowWindow(w, SW_RESTORE);
        bringForward(w);
        QElapsedTimer clock;
        clock.start();
        while (::GetForegroundWindow() != w && clock.elapsed() < kWaitMs) {
            pumpFor(20);
            if (::GetForegroundWindow() != w)
                bringForward(w);
        }
        if (::GetForegroundWindow() != w)
            return Result::failureOf(Error::Busy, caption);
        return Result::success();
    }
    Result sendKeys(const QString& keys, bool wait) override {
        const auto strokes = parseKeyStrokes(keys);
        if (!strokes)
            return Result::failureOf(Error::InvalidName, keys);
        std::vector<INPUT> inputs;
        for (const KeyStroke& k : *strokes) {
            const WORD vk = virtualKey(k);
            if (!vk)
                return Result::failureOf(Error::InvalidName, keys);
            if (k.shift)
                addKey(inputs, VK_SHIFT, false);
            if (k.control)
                addKey(inputs, VK_CONTROL, false);
            if (k.alt)
                addKey(inputs, VK_MENU, false);
            addKey(inputs, vk, false);
            addKey(inputs, vk, true);
            if (k.alt)
                addKey(inputs, VK_MENU, true);
            if (k.control)
                addKey(inputs, VK_CONTROL, true);
            if (k.shift)
                addKey(inputs, VK_SHIFT, true);
        }
        // One stroke at a time, so that a menu opened by one key exists before the next.
        for (INPUT& in : inputs) {
            if (::SendInput(1, &in, sizeof(INPUT)) != 1)
                return win::lastError(keys);
            ::Sleep(5);
        }
        if (wait)
            pumpFor(200);
        return Result::success();
    }
};

} // namespace

Programs& systemPrograms() {
    static Win32Programs programs;
    return programs;
}

} // namespace platform
