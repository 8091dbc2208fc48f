// Mirok101.exe in the real user32 viewer chain under Wine: bitmaps that this test puts on the
// clipboard as CF_DIB, as a screen capture would arrive, are saved by every joined saver, and
// the chain still works after a saver in the middle has left it.
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <windows.h>

#include "winsupport.h"

namespace {

using namespace wine_e2e;

struct Saver {
    PROCESS_INFORMATION pi{};
    HWND window = nullptr;
    QString folder;
};

// Starts Mirok101.exe in folder and presses its Run button, which has the focus at start.
bool startAndRun(Saver& s) {
    const QString exe = QDir::toNativeSeparators(QStringLiteral(TARVO_BIN_DIR "/Mirok101.exe"));
    std::wstring command = L"\"" + exe.toStdWString() + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    // This test runs offscreen; the saver needs real windows in the real chain.
    ::SetEnvironmentVariableW(L"QT_QPA_PLATFORM", nullptr);
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          QDir::toNativeSeparators(s.folder).toStdWString().c_str(), &si, &s.pi))
        return false;
    if (!waitFor([&] {
            s.window = windowCalled(QStringLiteral("Mirok101"), false, s.pi.dwProcessId);
            return s.window != nullptr;
        }))
        return false;
    // Run minimises the window once it has joined the chain.
    return waitFor(
        [&] {
            if (::IsIconic(s.window))
                return true;
            ::SetForegroundWindow(s.window);
            QThread::msleep(200);
            if (::GetForegroundWindow() == s.window)
                tap(VK_SPACE);
            QThread::msleep(300);
            return bool(::IsIconic(s.window));
        },
        30000);
}

void stop(Saver& s) {
    if (!s.pi.hProcess)
        return;
    if (s.window)
        ::PostMessageW(s.window, WM_CLOSE, 0, 0);
    if (::WaitForSingleObject(s.pi.hProcess, 10000) != WAIT_OBJECT_0)
        ::TerminateProcess(s.pi.hProcess, 1);
    ::CloseHandle(s.pi.hProcess);
    ::CloseHandle(s.pi.hThread);
    s.pi = {};
}

// A w x h picture as a bottom-up 24-bit CF_DIB: colour c, with the top-left pixel white so a
// flipped or shifted picture shows.
bool putDib(int w, int h, QRgb c) {
    const int stride = (w * 3 + 3) & ~3;
    HGLOBAL g = ::GlobalAlloc(GMEM_MOVEABLE, sizeof(BITMAPINFOHEADER) + SIZE_T(stride) * h);
    auto* bih = static_cast<BITMAPINFOHEADER*>(::GlobalLock(g));
    *bih = {};
    bih->biSize = sizeof(BITMAPINFOHEADER);
    bih->biWidth = w;
    bih->biHeight = h;
    bih->biPlanes = 1;
    bih->biBitCount = 24;
    bih->biCompression = BI_RGB;
    auto* bits = reinterpret_cast<unsigned char*>(bih + 1);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const QRgb p = (x == 0 && y == 0) ? qRgb(255, 255, 255) : c;
            unsigned char* px = bits + (h - 1 - y) * stride + x * 3;
            px[0] = uchar(qBlue(p));
            px[1] = uchar(qGreen(p));
            px[2] = uchar(qRed(p));
        }
    }
    ::GlobalUnlock(g);
    if (!waitFor([] { return ::OpenClipboard(nullptr) != FALSE; }, 5000))
        return false;
    ::EmptyClipboard();
    const bool ok = ::SetClipboardData(CF_DIB, g) != nullptr;
    ::CloseClipboard();
    return ok;
}

void expectSaved(const Saver& s, const QString& name, QRgb c) {
    const QString path = s.folder + QLatin1Char('/') + name;
    ASSERT_TRUE(waitFor([&] { return QImage(path).width() == 7; }, 15000))
        << "no " << name.toStdString() << " in " << s.folder.toStdString();
    const QImage img(path);
    EXPECT_EQ(img.size(), QSize(7, 5));
    EXPECT_EQ(img.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(img.pixel(6, 4), c);
    EXPECT_EQ(img.pixel(3, 2), c);
}

} // namespace

TEST(ViewerChainE2E, OneSaverSavesTheBitmapsPutOnTheClipboard) {
    QTemporaryDir dir;
    Saver s;
    s.folder = dir.path();
    ASSERT_TRUE(startAndRun(s));
    ASSERT_TRUE(putDib(7, 5, qRgb(200, 30, 40)));
    expectSaved(s, QStringLiteral("SAVE01.bmp"), qRgb(200, 30, 40));
    ASSERT_TRUE(putDib(7, 5, qRgb(10, 120, 250)));
    expectSaved(s, QStringLiteral("SAVE02.bmp"), qRgb(10, 120, 250));
    stop(s);
}

TEST(ViewerChainE2E, ThreeSaversAllSaveAndTheChainHoldsWhenTheMiddleOneLeaves) {
    QTemporaryDir a, b, c;
    Saver first, middle, last;
    first.folder = a.path();
    middle.folder = b.path();
    last.folder = c.path();
    ASSERT_TRUE(startAndRun(first));
    ASSERT_TRUE(startAndRun(middle));
    ASSERT_TRUE(startAndRun(last));
    ASSERT_TRUE(putDib(7, 5, qRgb(0, 160, 0)));
    for (const Saver* s : {&first, &middle, &last})
        expectSaved(*s, QStringLiteral("SAVE01.bmp"), qRgb(0, 160, 0));

    // The middle saver leaves; the newest one repairs its link through WM_CHANGECBCHAIN.
    stop(middle);
    ASSERT_TRUE(putDib(7, 5, qRgb(90, 0, 90)));
    expectSaved(first, QStringLiteral("SAVE02.bmp"), qRgb(90, 0, 90));
    expectSaved(last, QStringLiteral("SAVE02.bmp"), qRgb(90, 0, 90));
    EXPECT_FALSE(QFile::exists(middle.folder + QStringLiteral("/SAVE02.bmp")));
    stop(first);
    stop(last);
}

#ifdef TARVO_HOST_CLIPPUT
// A picture that a Linux program puts on the X11 clipboard comes to the Windows side through
// Wine's clipboard bridge (as image/bmp) and is saved like any other.
TEST(ViewerChainE2E, PictureFromAnX11ProgramIsSavedThroughWinesClipboard) {
    // On Wine's drive Z: the folder has the same path for the Linux program.
    QTemporaryDir shared(QStringLiteral("Z:/tmp/tarvo-bridge-XXXXXX"));
    ASSERT_TRUE(shared.isValid());
    QImage picture(7, 5, QImage::Format_RGB32);
    picture.fill(qRgb(30, 90, 200));
    picture.setPixel(0, 0, qRgb(255, 255, 255));
    const QString file = shared.filePath(QStringLiteral("x11.png"));
    ASSERT_TRUE(picture.save(file));

    QTemporaryDir dir;
    Saver s;
    s.folder = dir.path();
    ASSERT_TRUE(startAndRun(s));
    // Wine runs a Linux program that CreateProcess is given as one of its own.
    std::wstring command =
        L"\"" + QDir::toNativeSeparators(QStringLiteral("Z:" TARVO_HOST_CLIPPUT)).toStdWString() +
        L"\" --image " + file.mid(2).toStdWString();
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION writer{};
    ASSERT_TRUE(::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 nullptr, &si, &writer))
        << "the Linux clipboard writer did not start: " << ::GetLastError();
    expectSaved(s, QStringLiteral("SAVE01.bmp"), qRgb(30, 90, 200));
    ::TerminateProcess(writer.hProcess, 0);
    ::CloseHandle(writer.hProcess);
    ::CloseHandle(writer.hThread);
    stop(s);
}
#endif
