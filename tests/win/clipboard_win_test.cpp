// The Win32 clipboard service, checked through the formats other Windows programs read and
// write (CF_DIB, CF_DIBV5, CF_UNICODETEXT, CF_TEXT), under Wine.
#include "platform/clipboard.h"

#include <cstring>
#include <gtest/gtest.h>
#include <windows.h>

using platform::Error;

namespace {

platform::Clipboard& cb() {
    return platform::systemClipboard();
}

QImage picture() {
    QImage img(5, 3, QImage::Format_RGB32);
    img.fill(qRgb(10, 200, 30));
    img.setPixel(0, 0, qRgb(255, 255, 255));
    img.setPixel(4, 2, qRgb(1, 2, 3));
    return img;
}

// Another program's side of the clipboard: the raw calls.
QByteArray rawData(UINT format) {
    QByteArray bytes;
    if (!::OpenClipboard(nullptr))
        return bytes;
    if (HANDLE h = ::GetClipboardData(format)) {
        bytes = QByteArray(static_cast<const char*>(::GlobalLock(h)), qsizetype(::GlobalSize(h)));
        ::GlobalUnlock(h);
    }
    ::CloseClipboard();
    return bytes;
}

bool putRaw(UINT format, const QByteArray& bytes, bool empty) {
    if (!::OpenClipboard(nullptr))
        return false;
    if (empty)
        ::EmptyClipboard();
    HGLOBAL g = ::GlobalAlloc(GMEM_MOVEABLE, size_t(bytes.size()));
    std::memcpy(::GlobalLock(g), bytes.constData(), size_t(bytes.size()));
    ::GlobalUnlock(g);
    const bool ok = ::SetClipboardData(format, g) != nullptr;
    ::CloseClipboard();
    return ok;
}

QByteArray utf16z(const QString& s) {
    return QByteArray(reinterpret_cast<const char*>(s.utf16()), s.size() * 2).append(2, '\0');
}

template <class Header> Header header(const QByteArray& dib) {
    Header h{};
    if (dib.size() >= qsizetype(sizeof h))
        std::memcpy(&h, dib.constData(), sizeof h);
    return h;
}

} // namespace

TEST(Win32Clipboard, WhatWeAddOtherProgramsReadAndWhatTheyPutStays) {
    ASSERT_TRUE(cb().clear().ok());
    EXPECT_EQ(::CountClipboardFormats(), 0);
    QImage out;
    EXPECT_EQ(cb().readBitmap(out).error, Error::NotFound);
    const UINT own = ::RegisterClipboardFormatW(L"Tarvo Test Format");
    ASSERT_TRUE(putRaw(own, QByteArray("other program's data"), true));
    ASSERT_TRUE(putRaw(CF_UNICODETEXT, utf16z(QStringLiteral("他のテキスト")), false));

    // A picture: a 24-bit bottom-up DIB with its pixels, beside what was there.
    ASSERT_TRUE(cb().addImage(picture()).ok());
    EXPECT_TRUE(rawData(own).startsWith("other program's data"));
    EXPECT_EQ(cb().text(), QStringLiteral("他のテキスト"));
    const QByteArray dib = rawData(CF_DIB);
    const auto bh = header<BITMAPINFOHEADER>(dib);
    ASSERT_GE(dib.size(), qsizetype(sizeof bh + 3 * 16));
    EXPECT_EQ(bh.biWidth, 5);
    EXPECT_EQ(bh.biHeight, 3); // bottom-up
    EXPECT_EQ(bh.biBitCount, 24);
    const auto* rows = reinterpret_cast<const uchar*>(dib.constData()) + bh.biSize;
    EXPECT_EQ(rows[2 * 16] + rows[2 * 16 + 1] + rows[2 * 16 + 2], 3 * 255); // top left
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(rows) + 12, 3), QByteArray("\3\2\1")); // BGR
    EXPECT_EQ(cb().bitmap()->convertToFormat(QImage::Format_RGB32), picture());

    // A text replaces only the text: UTF-16 with its end, and in the ANSI code page.
    const QString path = QStringLiteral("C:\\写真\\海.jpg");
    ASSERT_TRUE(cb().addText(path).ok());
    EXPECT_EQ(rawData(CF_UNICODETEXT).left(utf16z(path).size()), utf16z(path));
    EXPECT_TRUE(rawData(CF_TEXT).startsWith(QByteArray("C:\\\x8E\xCA\x90\x5E\\\x8A\x43.jpg")));
    EXPECT_TRUE(cb().hasBitmap());
    EXPECT_TRUE(rawData(own).startsWith("other program's data"));

    // A transparent picture replaces only the picture, its alpha kept through CF_DIBV5.
    QImage alpha(3, 2, QImage::Format_ARGB32);
    alpha.fill(qRgba(200, 100, 50, 255));
    alpha.setPixel(1, 0, qRgba(0, 0, 0, 0));
    alpha.setPixel(2, 1, qRgba(255, 0, 0, 128));
    ASSERT_TRUE(cb().addImage(alpha).ok());
    const auto v5 = header<BITMAPV5HEADER>(rawData(CF_DIBV5));
    EXPECT_EQ(v5.bV5BitCount, 32);
    EXPECT_EQ(v5.bV5Compression, DWORD(BI_BITFIELDS));
    EXPECT_EQ(v5.bV5AlphaMask, 0xFF000000u);
    EXPECT_EQ(cb().bitmap()->convertToFormat(QImage::Format_ARGB32), alpha);
    EXPECT_EQ(cb().text(), path);

    ASSERT_TRUE(cb().clear().ok());
    EXPECT_FALSE(cb().hasBitmap());
    EXPECT_FALSE(cb().text().has_value());
    EXPECT_FALSE(cb().addImage(QImage()).ok());
}

// A DIB as other programs put it: the header, the bit masks when there are any, the rows.
QByteArray dib(int w, int h, int bits, DWORD compression, const QByteArray& rows) {
    BITMAPINFOHEADER bh{};
    bh.biSize = sizeof bh;
    bh.biWidth = w;
    bh.biHeight = h;
    bh.biPlanes = 1;
    bh.biBitCount = WORD(bits);
    bh.biCompression = compression;
    const DWORD masks[] = {0x00FF0000, 0x0000FF00, 0x000000FF};
    return QByteArray(reinterpret_cast<const char*>(&bh), sizeof bh) +
           (compression == BI_BITFIELDS ? QByteArray(reinterpret_cast<const char*>(masks), 12)
                                        : QByteArray()) +
           rows;
}

// The rows of picture() as screenshots have them; a 32-bit pixel's fourth byte is not alpha.
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

TEST(Win32Clipboard, ScreenshotsOtherProgramsPutAreReadPixelForPixelAndDamagedOnesRefused) {
    struct Row {
        const char* kind;
        QByteArray dib;
        Error error; // Error::None: read as picture()
    };
    const Row rows[] = {
        {"24 bits bottom-up", dib(5, 3, 24, BI_RGB, screenRows(24, true)), Error::None},
        {"24 bits top-down", dib(5, -3, 24, BI_RGB, screenRows(24, false)), Error::None},
        {"32 bits bottom-up", dib(5, 3, 32, BI_RGB, screenRows(32, true)), Error::None},
        {"32 bits top-down, masks", dib(5, -3, 32, BI_BITFIELDS, screenRows(32, false)),
         Error::None},
        {"far more pixels than data", dib(4000, 3000, 24, BI_RGB, QByteArray(64, '\x7f')),
         Error::Corrupt},
        {"colour table past the end", dib(2, 2, 8, BI_RGB, {}), Error::Corrupt},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.kind);
        ASSERT_TRUE(putRaw(CF_DIB, r.dib, true));
        QImage out;
        EXPECT_EQ(cb().readBitmap(out).error, r.error);
        if (r.error == Error::None) {
            EXPECT_FALSE(out.hasAlphaChannel());
            EXPECT_EQ(out.convertToFormat(QImage::Format_RGB32), picture());
        }
    }
    ASSERT_TRUE(putRaw(CF_UNICODETEXT, utf16z(QStringLiteral("words")), true));
    EXPECT_FALSE(cb().hasBitmap()) << "text alone is no bitmap";
}
