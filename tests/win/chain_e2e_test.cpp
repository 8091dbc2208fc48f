// Mirok101.exe in the real user32 viewer chain under Wine: bitmaps that this test puts on the
// clipboard as CF_DIB, as a screen capture would arrive, are saved by every joined saver, and
// the chain still works after a saver in the middle has left it.
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <windows.h>

#include "winsupport.h"

namespace {

using namespace wine_e2e;

struct Saver : Started {
    QTemporaryDir folder;
    bool startAndRun() {
        return start(QStringLiteral("Mirok101.exe"), folder.path(), kSaver) && pressRun(window);
    }
};

// A 7 x 5 picture as a bottom-up 24-bit CF_DIB: colour c, with the top-left pixel white so a
// flipped or shifted picture shows.
bool putDib(QRgb c) {
    const int w = 7, h = 5, stride = 24;
    HGLOBAL g = ::GlobalAlloc(GMEM_MOVEABLE, sizeof(BITMAPINFOHEADER) + SIZE_T(stride) * h);
    auto* bih = static_cast<BITMAPINFOHEADER*>(::GlobalLock(g));
    *bih = {};
    bih->biSize = sizeof(BITMAPINFOHEADER);
    bih->biWidth = w;
    bih->biHeight = h;
    bih->biPlanes = 1;
    bih->biBitCount = 24;
    auto* bits = reinterpret_cast<unsigned char*>(bih + 1);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const QRgb p = (x == 0 && y == 0) ? qRgb(255, 255, 255) : c;
            unsigned char* px = bits + (h - 1 - y) * stride + x * 3;
            px[0] = uchar(qBlue(p));
            px[1] = uchar(qGreen(p));
            px[2] = uchar(qRed(p));
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
    const QString path = s.folder.filePath(name);
    ASSERT_TRUE(waitFor([&] { return QImage(path).width() == 7; }, 15000))
        << "no " << name.toStdString() << " in " << s.folder.path().toStdString();
    const QImage img(path);
    EXPECT_EQ(img.size(), QSize(7, 5));
    EXPECT_EQ(img.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(img.pixel(6, 4), c);
}

} // namespace

TEST(ViewerChainE2E, ThreeSaversAllSaveAndTheChainHoldsWhenTheMiddleOneLeaves) {
    Saver first, middle, last;
    for (Saver* s : {&first, &middle, &last})
        ASSERT_TRUE(s->startAndRun());
    ASSERT_TRUE(putDib(qRgb(0, 160, 0)));
    for (const Saver* s : {&first, &middle, &last})
        expectSaved(*s, QStringLiteral("SAVE01.bmp"), qRgb(0, 160, 0));

    // The middle saver leaves; the newest one repairs its link through WM_CHANGECBCHAIN.
    middle.stop();
    ASSERT_TRUE(putDib(qRgb(90, 0, 90)));
    expectSaved(first, QStringLiteral("SAVE02.bmp"), qRgb(90, 0, 90));
    expectSaved(last, QStringLiteral("SAVE02.bmp"), qRgb(90, 0, 90));
    EXPECT_FALSE(QFile::exists(middle.folder.filePath(QStringLiteral("SAVE02.bmp"))));
    first.stop();
    last.stop();
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

    Saver s;
    ASSERT_TRUE(s.startAndRun());
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
    s.stop();
}
#endif
