// The Win32 clipboard service, checked through the formats other Windows programs read and
// write (CF_DIB, CF_DIBV5, CF_UNICODETEXT, CF_BITMAP), under Wine.
#include "platform/clipboard.h"

#include <QElapsedTimer>
#include <atomic>
#include <cstring>
#include <gtest/gtest.h>
#include <thread>
#include <windows.h>

using platform::Clipboard;
using platform::Error;
using platform::systemClipboard;

namespace {

QImage picture() {
    QImage img(5, 3, QImage::Format_RGB32);
    img.fill(qRgb(10, 200, 30));
    img.setPixel(0, 0, qRgb(255, 255, 255));
    img.setPixel(4, 2, qRgb(1, 2, 3));
    return img;
}

// Another program's side of the clipboard: the raw calls.
struct Raw {
    Raw() { open = ::OpenClipboard(nullptr) != FALSE; }
    ~Raw() {
        if (open)
            ::CloseClipboard();
    }
    bool open = false;
};

QByteArray rawData(UINT format) {
    Raw raw;
    if (!raw.open)
        return {};
    HANDLE h = ::GetClipboardData(format);
    if (!h)
        return {};
    const auto* p = static_cast<const char*>(::GlobalLock(h));
    QByteArray bytes(p, qsizetype(::GlobalSize(h)));
    ::GlobalUnlock(h);
    return bytes;
}

HGLOBAL global(const void* data, size_t n) {
    HGLOBAL g = ::GlobalAlloc(GMEM_MOVEABLE, n);
    std::memcpy(::GlobalLock(g), data, n);
    ::GlobalUnlock(g);
    return g;
}

bool putRaw(UINT format, const QByteArray& bytes, bool empty) {
    Raw raw;
    if (!raw.open)
        return false;
    if (empty)
        ::EmptyClipboard();
    return ::SetClipboardData(format, global(bytes.constData(), size_t(bytes.size()))) != nullptr;
}

QByteArray utf16z(const QString& s) {
    QByteArray b(reinterpret_cast<const char*>(s.utf16()), s.size() * 2);
    b.append(2, '\0');
    return b;
}

} // namespace

TEST(Win32Clipboard, PictureAndTextGoOnAsDibAndUnicodeTextAndAccumulateUntilCleared) {
    Clipboard& cb = systemClipboard();
    ASSERT_TRUE(cb.clear().ok());
    EXPECT_FALSE(cb.hasBitmap());
    QImage out;
    EXPECT_EQ(cb.readBitmap(out).error, Error::NotFound);
    EXPECT_EQ(::CountClipboardFormats(), 0);

    ASSERT_TRUE(cb.addImage(picture()).ok());
    ASSERT_TRUE(cb.addText(QStringLiteral("C:\\写真\\海.jpg")).ok());

    // What another program finds: a 24-bit bottom-up DIB with the picture's pixels...
    const QByteArray dib = rawData(CF_DIB);
    ASSERT_GE(dib.size(), qsizetype(sizeof(BITMAPINFOHEADER) + 3 * 8));
    BITMAPINFOHEADER bh;
    std::memcpy(&bh, dib.constData(), sizeof bh);
    EXPECT_EQ(bh.biWidth, 5);
    EXPECT_EQ(bh.biHeight, 3); // bottom-up
    EXPECT_EQ(bh.biBitCount, 24);
    EXPECT_EQ(bh.biCompression, DWORD(BI_RGB));
    const auto* rows = reinterpret_cast<const uchar*>(dib.constData()) + bh.biSize;
    const int stride = 16; // 5 pixels of 3 bytes, padded to 4
    const uchar* topLeft = rows + 2 * stride;
    EXPECT_EQ(topLeft[0] + topLeft[1] + topLeft[2], 3 * 255);
    const uchar* bottomRight = rows + 4 * 3;
    EXPECT_EQ(bottomRight[0], 3); // blue, green, red
    EXPECT_EQ(bottomRight[1], 2);
    EXPECT_EQ(bottomRight[2], 1);
    // ...and the text as UTF-16 with its end, and in the ANSI code page.
    EXPECT_EQ(rawData(CF_UNICODETEXT).left(utf16z(QStringLiteral("C:\\写真\\海.jpg")).size()),
              utf16z(QStringLiteral("C:\\写真\\海.jpg")));
    EXPECT_TRUE(rawData(CF_TEXT).startsWith(QByteArray("C:\\\x8E\xCA\x90\x5E\\\x8A\x43.jpg")));

    EXPECT_TRUE(cb.hasBitmap());
    ASSERT_TRUE(cb.bitmap().has_value());
    EXPECT_EQ(cb.bitmap()->convertToFormat(QImage::Format_RGB32), picture());
    EXPECT_EQ(cb.text(), QStringLiteral("C:\\写真\\海.jpg"));

    // A new text replaces only the text; a new picture only the picture.
    ASSERT_TRUE(cb.addText(QStringLiteral("second")).ok());
    QImage other(2, 2, QImage::Format_RGB32);
    other.fill(Qt::blue);
    ASSERT_TRUE(cb.addImage(other).ok());
    EXPECT_EQ(cb.text(), QStringLiteral("second"));
    EXPECT_EQ(cb.bitmap()->convertToFormat(QImage::Format_RGB32), other);

    ASSERT_TRUE(cb.clear().ok());
    EXPECT_FALSE(cb.hasBitmap());
    EXPECT_FALSE(cb.text().has_value());
}

TEST(Win32Clipboard, AddingKeepsWhatAnotherProgramPutThere) {
    const UINT own = ::RegisterClipboardFormatW(L"Tarvo Test Format");
    ASSERT_TRUE(putRaw(own, QByteArray("other program's data"), true));
    ASSERT_TRUE(putRaw(CF_UNICODETEXT, utf16z(QStringLiteral("他のテキスト")), false));

    Clipboard& cb = systemClipboard();
    ASSERT_TRUE(cb.addImage(picture()).ok());
    EXPECT_TRUE(rawData(own).startsWith("other program's data"));
    EXPECT_EQ(cb.text(), QStringLiteral("他のテキスト"));
    EXPECT_EQ(cb.bitmap()->convertToFormat(QImage::Format_RGB32), picture());

    ASSERT_TRUE(cb.addText(QStringLiteral("ours")).ok());
    EXPECT_TRUE(rawData(own).startsWith("other program's data"));
    EXPECT_TRUE(cb.hasBitmap());
    EXPECT_EQ(cb.text(), QStringLiteral("ours"));
}

TEST(Win32Clipboard, TransparencyIsKeptThroughDibV5) {
    QImage img(3, 2, QImage::Format_ARGB32);
    img.fill(qRgba(200, 100, 50, 255));
    img.setPixel(1, 0, qRgba(0, 0, 0, 0));
    img.setPixel(2, 1, qRgba(255, 0, 0, 128));
    Clipboard& cb = systemClipboard();
    ASSERT_TRUE(cb.clear().ok());
    ASSERT_TRUE(cb.addImage(img).ok());

    const QByteArray v5 = rawData(CF_DIBV5);
    ASSERT_GE(v5.size(), qsizetype(sizeof(BITMAPV5HEADER)));
    BITMAPV5HEADER bh;
    std::memcpy(&bh, v5.constData(), sizeof bh);
    EXPECT_EQ(bh.bV5BitCount, 32);
    EXPECT_EQ(bh.bV5Compression, DWORD(BI_BITFIELDS));
    EXPECT_EQ(bh.bV5AlphaMask, 0xFF000000u);

    const std::optional<QImage> back = cb.bitmap();
    ASSERT_TRUE(back.has_value());
    ASSERT_TRUE(back->hasAlphaChannel());
    const QImage argb = back->convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(qAlpha(argb.pixel(1, 0)), 0);
    EXPECT_EQ(argb.pixel(2, 1), qRgba(255, 0, 0, 128));
    EXPECT_EQ(argb.pixel(0, 0), qRgba(200, 100, 50, 255));
}

// A DIB as other programs put it: the header, what goes between it and the pixels (colour
// table or bit masks), and the rows.
QByteArray dib(int w, int h, int bits, DWORD compression, const QByteArray& between,
               const QByteArray& rows, DWORD colours = 0) {
    BITMAPINFOHEADER bh{};
    bh.biSize = sizeof bh;
    bh.biWidth = w;
    bh.biHeight = h;
    bh.biPlanes = 1;
    bh.biBitCount = WORD(bits);
    bh.biCompression = compression;
    bh.biClrUsed = colours;
    return QByteArray(reinterpret_cast<const char*>(&bh), sizeof bh) + between + rows;
}

// The rows of picture() as screenshots have them: 24 or 32 bits, bottom-up or top-down,
// padded to four bytes; the fourth byte of a 32-bit pixel is junk, which is not alpha.
QByteArray screenRows(int bits, bool bottomUp) {
    const QImage img = picture();
    QByteArray rows;
    for (int r = 0; r < img.height(); ++r) {
        const int y = bottomUp ? img.height() - 1 - r : r;
        QByteArray row;
        for (int x = 0; x < img.width(); ++x) {
            const QRgb p = img.pixel(x, y);
            row.append(char(qBlue(p))).append(char(qGreen(p))).append(char(qRed(p)));
            if (bits == 32)
                row.append(char(x * 40 + 7));
        }
        rows.append(row.leftJustified((row.size() + 3) & ~3, '\0'));
    }
    return rows;
}

QByteArray dwords(std::initializer_list<DWORD> v) {
    return QByteArray(reinterpret_cast<const char*>(v.begin()), qsizetype(v.size() * 4));
}

TEST(Win32Clipboard, BitmapsOtherProgramsPutAreReadPixelForPixelAndDamagedOnesRefused) {
    Clipboard& cb = systemClipboard();
    const QByteArray masks = dwords({0x00FF0000, 0x0000FF00, 0x000000FF});
    struct Row {
        const char* kind;
        QByteArray dib;
    };
    const Row screenshots[] = {
        {"24 bits bottom-up", dib(5, 3, 24, BI_RGB, {}, screenRows(24, true))},
        {"24 bits top-down", dib(5, -3, 24, BI_RGB, {}, screenRows(24, false))},
        {"32 bits bottom-up", dib(5, 3, 32, BI_RGB, {}, screenRows(32, true))},
        {"32 bits top-down with masks", dib(5, -3, 32, BI_BITFIELDS, masks, screenRows(32, false))},
    };
    for (const Row& r : screenshots) {
        SCOPED_TRACE(r.kind);
        ASSERT_TRUE(putRaw(CF_DIB, r.dib, true));
        QImage out;
        ASSERT_TRUE(cb.readBitmap(out).ok());
        EXPECT_FALSE(out.hasAlphaChannel());
        EXPECT_EQ(out.convertToFormat(QImage::Format_RGB32), picture());
    }

    // Other kinds through the general reader: 8 bits with a palette of red and green (top
    // row red green red, bottom row green), and 16 bits with five-six-five masks.
    ASSERT_TRUE(putRaw(CF_DIB,
                       dib(3, 2, 8, BI_RGB, dwords({0x00FF0000, 0x0000FF00}),
                           QByteArray("\x01\x01\x01\x00\x00\x01\x00\x00", 8), 2),
                       true));
    std::optional<QImage> img = cb.bitmap();
    ASSERT_TRUE(img.has_value());
    EXPECT_EQ(img->size(), QSize(3, 2));
    EXPECT_EQ(img->pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(img->pixel(1, 0), qRgb(0, 255, 0));
    EXPECT_EQ(img->pixel(2, 1), qRgb(0, 255, 0));
    ASSERT_TRUE(putRaw(CF_DIB,
                       dib(2, 1, 16, BI_BITFIELDS, dwords({0xF800, 0x07E0, 0x001F}),
                           QByteArray("\x00\xF8\x1F\x00", 4)), // red, blue
                       true));
    img = cb.bitmap();
    ASSERT_TRUE(img.has_value());
    ASSERT_EQ(img->size(), QSize(2, 1));
    // (five bits of 0xFF are 0xF8; whether the reader widens them again is its own affair)
    EXPECT_GE(qRed(img->pixel(0, 0)), 0xF8);
    EXPECT_EQ(img->pixel(0, 0) & 0x00FFFF, 0u);
    EXPECT_GE(qBlue(img->pixel(1, 0)), 0xF8);
    EXPECT_EQ(img->pixel(1, 0) & 0xFFFF00, 0u);

    // A header that claims far more pixels than the data holds, and one whose colour table
    // runs past the end: refused, nothing read out of bounds.
    QImage out;
    ASSERT_TRUE(putRaw(CF_DIB, dib(4000, 3000, 24, BI_RGB, {}, QByteArray(64, '\x7f')), true));
    EXPECT_EQ(cb.readBitmap(out).error, Error::Corrupt);
    ASSERT_TRUE(putRaw(CF_DIB, dib(2, 2, 8, BI_RGB, {}, {}, 256), true));
    EXPECT_EQ(cb.readBitmap(out).error, Error::Corrupt);

    // Text alone is no bitmap.
    ASSERT_TRUE(putRaw(CF_UNICODETEXT, utf16z(QStringLiteral("words")), true));
    EXPECT_FALSE(cb.hasBitmap());
    EXPECT_EQ(cb.readBitmap(out).error, Error::NotFound);
    EXPECT_FALSE(cb.addImage(QImage()).ok());
    EXPECT_EQ(cb.text(), QStringLiteral("words"));
}

TEST(Win32Clipboard, AClipboardKeptOpenByAnotherProgramIsBusyNotAFreeze) {
    Clipboard& cb = systemClipboard();
    ASSERT_TRUE(cb.clear().ok());
    ASSERT_TRUE(cb.addImage(picture()).ok());
    std::atomic<bool> holding{false}, release{false};
    std::thread other([&] {
        if (!::OpenClipboard(nullptr))
            return;
        holding = true;
        while (!release)
            ::Sleep(10);
        ::CloseClipboard();
    });
    QElapsedTimer wait;
    wait.start();
    while (!holding && wait.elapsed() < 5000)
        ::Sleep(10);
    ASSERT_TRUE(holding);
    QImage out;
    EXPECT_EQ(cb.readBitmap(out).error, Error::Busy);
    EXPECT_EQ(cb.addText(QStringLiteral("x")).error, Error::Busy);
    EXPECT_EQ(cb.clear().error, Error::Busy);
    release = true;
    other.join();
    // Once it is closed again the picture is there, untouched.
    ASSERT_TRUE(cb.readBitmap(out).ok());
    EXPECT_EQ(out.convertToFormat(QImage::Format_RGB32), picture());
    EXPECT_FALSE(cb.text().has_value());
}

namespace {

// A picture a worker is still making: wait() blocks until the test releases it.
struct Gate final : platform::PendingImage {
    std::atomic<bool> released{false};
    std::atomic<int> waits{0};
    std::optional<QImage> result = picture();
    std::optional<QImage> wait() override {
        ++waits;
        QElapsedTimer clock;
        clock.start();
        while (!released && clock.elapsed() < 10000)
            ::Sleep(5);
        return result;
    }
};

// Runs this thread's messages (the clipboard owner's render requests) until done.
template <class F> void pumpUntil(F done) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 15000) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageW(&msg);
        ::Sleep(5);
    }
}

} // namespace

TEST(Win32Clipboard, APendingPictureIsOfferedAtOnceAndRenderedWhenAReaderAsks) {
    Clipboard& clip = systemClipboard();
    ASSERT_TRUE(clip.clear().ok());
    auto gate = std::make_shared<Gate>();
    ASSERT_TRUE(clip.addPendingImage(gate).ok());
    EXPECT_EQ(gate->waits, 0) << "the offer waited for the picture";
    EXPECT_TRUE(::IsClipboardFormatAvailable(CF_DIB));

    // Another program asks before the picture is made: it gets it once it is.
    std::atomic<bool> readerDone{false};
    std::atomic<bool> releasedBeforeAnswer{false};
    QByteArray dib;
    std::thread reader([&] {
        dib = rawData(CF_DIB);
        releasedBeforeAnswer = gate->released.load();
        readerDone = true;
    });
    // The picture is made once the owner has begun to wait for it on the reader's behalf.
    std::thread worker([&] {
        QElapsedTimer clock;
        clock.start();
        while (gate->waits == 0 && clock.elapsed() < 10000)
            ::Sleep(5);
        gate->released = true;
    });
    pumpUntil([&] { return readerDone.load(); });
    reader.join();
    worker.join();
    ASSERT_TRUE(readerDone);
    EXPECT_TRUE(releasedBeforeAnswer);
    ASSERT_GE(dib.size(), qsizetype(sizeof(BITMAPINFOHEADER)));
    const auto* bh = reinterpret_cast<const BITMAPINFOHEADER*>(dib.constData());
    EXPECT_EQ(bh->biWidth, 5);
    EXPECT_EQ(bh->biHeight, 3);
    // Further formats come from the picture made once.
    const std::optional<QImage> back = clip.bitmap();
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(back->pixel(4, 2), qRgb(1, 2, 3));
    EXPECT_EQ(gate->waits, 1);
}

TEST(Win32Clipboard, APendingPictureGivenUpOrReplacedLeavesNoStalePicture) {
    Clipboard& clip = systemClipboard();
    // Given up by its worker: the reader finds no picture rather than a broken one.
    ASSERT_TRUE(clip.clear().ok());
    auto lost = std::make_shared<Gate>();
    lost->result = std::nullopt;
    lost->released = true;
    ASSERT_TRUE(clip.addPendingImage(lost).ok());
    EXPECT_FALSE(clip.bitmap().has_value());

    // Replaced before anyone asked: the promise is dropped unasked.
    auto replaced = std::make_shared<Gate>();
    ASSERT_TRUE(clip.clear().ok());
    ASSERT_TRUE(clip.addPendingImage(replaced).ok());
    ASSERT_TRUE(putRaw(CF_UNICODETEXT, utf16z(QStringLiteral("他のプログラム")), true));
    EXPECT_FALSE(clip.hasBitmap());
    EXPECT_EQ(replaced->waits, 0);

    // Over another program's content this program is not asked to render: the picture is
    // waited for and put there whole, and the other content stays.
    auto over = std::make_shared<Gate>();
    over->released = true;
    ASSERT_TRUE(clip.addPendingImage(over).ok());
    EXPECT_EQ(over->waits, 1);
    EXPECT_EQ(clip.text().value_or(QString()), QStringLiteral("他のプログラム"));
    const std::optional<QImage> img = clip.bitmap();
    ASSERT_TRUE(img.has_value());
    EXPECT_EQ(img->size(), QSize(5, 3));
}
