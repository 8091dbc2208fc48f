// The Win32 clipboard. A picture goes on as CF_DIB (24 bits, or 32 bits when it has
// transparency), as CF_DIBV5 with an alpha mask, which is what readers that keep alpha ask
// for, and as CF_BITMAP; a text goes on as CF_UNICODETEXT, with CF_TEXT in the
// ANSI code page for older readers. Adding opens the clipboard without emptying it, so the
// formats another program put there stay and only the ones we set are replaced.
//
// Reading works inside WM_DRAWCLIPBOARD: the clipboard is opened directly, not through OLE,
// which cannot be called from a message another process sent.
#include "platform/bitmaplimit.h"
#include "platform/clipboard.h"

#include <QElapsedTimer>
#include <cstring>
#include <windows.h>

namespace platform {

namespace {

// How long another program may keep the clipboard open before we give up as busy.
constexpr int kOpenWaitMs = 800;

Result busy() {
    return Result::failure(Error::Busy,
                           QStringLiteral("クリップボードが他のプログラムに使われています"));
}

Result noMemory() {
    return Result::failure(Error::NoSpace,
                           QStringLiteral("クリップボードに置くメモリが足りません"));
}

LRESULT CALLBACK ownerProcedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

// The window that owns what we put: a message-only window of this process, which also
// renders a picture offered before it was made when a reader asks for it.
HWND ownerWindow() {
    static HWND window = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = ownerProcedure;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TarvoClipboardOwner";
        ::RegisterClassW(&wc);
        return ::CreateWindowExW(0, wc.lpszClassName, L"tarvo104 clipboard", 0, 0, 0, 0, 0,
                                 HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    }();
    return window;
}

class OpenClipboardScope {
public:
    OpenClipboardScope() {
        QElapsedTimer clock;
        clock.start();
        while (!(m_open = ::OpenClipboard(ownerWindow()) != FALSE)) {
            if (clock.elapsed() >= kOpenWaitMs)
                break;
            // A reader holding the clipboard open may be waiting for us to render the picture
            // we offered before (WM_RENDERFORMAT, a sent message): it is answered while we
            // wait, or neither side would get on until the reader gave up on us.
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_SENDMESSAGE);
            MSG msg;
            ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        }
    }
    ~OpenClipboardScope() {
        if (m_open)
            ::CloseClipboard();
    }
    OpenClipboardScope(const OpenClipboardScope&) = delete;
    OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;
    explicit operator bool() const { return m_open; }

private:
    bool m_open = false;
};

// Movable global memory of n bytes for SetClipboardData; null when there is not enough.
HGLOBAL allocate(SIZE_T n) {
    return ::GlobalAlloc(GMEM_MOVEABLE, n);
}

// Hands g to the clipboard, which then owns it; frees it when the clipboard refused it.
bool put(UINT format, HGLOBAL g) {
    if (!g)
        return false;
    if (!::SetClipboardData(format, g)) {
        if (format == CF_BITMAP)
            ::DeleteObject(reinterpret_cast<HGDIOBJ>(g));
        else
            ::GlobalFree(g);
        return false;
    }
    return true;
}

// A bottom-up DIB of img: a BITMAPINFOHEADER, or with v5 a BITMAPV5HEADER with bit fields
// and an alpha mask, followed by the rows.
HGLOBAL makeDib(const QImage& img, bool alpha, bool v5) {
    const QImage src = img.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_BGR888);
    const int w = src.width();
    const int h = src.height();
    const int bits = alpha ? 32 : 24;
    const SIZE_T stride = (SIZE_T(w) * (bits / 8) + 3) & ~SIZE_T(3);
    const SIZE_T header = v5 ? sizeof(BITMAPV5HEADER) : sizeof(BITMAPINFOHEADER);
    HGLOBAL g = allocate(header + stride * SIZE_T(h));
    if (!g)
        return nullptr;
    auto* base = static_cast<unsigned char*>(::GlobalLock(g));
    if (!base) {
        ::GlobalFree(g);
        return nullptr;
    }
    std::memset(base, 0, header);
    if (v5) {
        auto* bh = reinterpret_cast<BITMAPV5HEADER*>(base);
        bh->bV5Size = sizeof(BITMAPV5HEADER);
        bh->bV5Width = w;
        bh->bV5Height = h;
        bh->bV5Planes = 1;
        bh->bV5BitCount = WORD(bits);
        bh->bV5Compression = BI_BITFIELDS;
        bh->bV5SizeImage = DWORD(stride * SIZE_T(h));
        bh->bV5RedMask = 0x00FF0000;
        bh->bV5GreenMask = 0x0000FF00;
        bh->bV5BlueMask = 0x000000FF;
        bh->bV5AlphaMask = 0xFF000000;
        bh->bV5CSType = 0x73524742; // LCS_sRGB, "sRGB"
        bh->bV5Intent = LCS_GM_IMAGES;
    } else {
        auto* bh = reinterpret_cast<BITMAPINFOHEADER*>(base);
        bh->biSize = sizeof(BITMAPINFOHEADER);
        bh->biWidth = w;
        bh->biHeight = h;
        bh->biPlanes = 1;
        bh->biBitCount = WORD(bits);
        bh->biCompression = BI_RGB;
        bh->biSizeImage = DWORD(stride * SIZE_T(h));
    }
    // ARGB32 is stored B, G, R, A and BGR888 B, G, R: the byte order of a DIB.
    const SIZE_T rowBytes = SIZE_T(w) * (bits / 8);
    unsigned char* rows = base + header;
    for (int y = 0; y < h; ++y) {
        unsigned char* row = rows + SIZE_T(h - 1 - y) * stride;
        std::memcpy(row, src.constScanLine(y), rowBytes);
        std::memset(row + rowBytes, 0, stride - rowBytes);
    }
    ::GlobalUnlock(g);
    return g;
}

// A device-dependent bitmap of img, for readers that ask for CF_BITMAP.
HGLOBAL makeDdb(const QImage& img) {
    const QImage src = img.convertToFormat(QImage::Format_RGB32);
    return reinterpret_cast<HGLOBAL>(
        ::CreateBitmap(src.width(), src.height(), 1, 32, src.constBits()));
}

HGLOBAL makeText(const QString& text) {
    const SIZE_T n = SIZE_T(text.size());
    HGLOBAL g = allocate((n + 1) * sizeof(wchar_t));
    if (!g)
        return nullptr;
    auto* w = static_cast<wchar_t*>(::GlobalLock(g));
    std::memcpy(w, text.utf16(), n * sizeof(wchar_t));
    w[n] = L'\0';
    ::GlobalUnlock(g);
    return g;
}

// The text in the ANSI code page; characters it cannot hold become its default character.
HGLOBAL makeAnsiText(const QString& text) {
    const auto* w = reinterpret_cast<const wchar_t*>(text.utf16());
    const int n = text.isEmpty() ? 0
                                 : ::WideCharToMultiByte(CP_ACP, 0, w, int(text.size()), nullptr, 0,
                                                         nullptr, nullptr);
    HGLOBAL g = allocate(SIZE_T(n) + 1);
    if (!g)
        return nullptr;
    auto* a = static_cast<char*>(::GlobalLock(g));
    if (n > 0)
        ::WideCharToMultiByte(CP_ACP, 0, w, int(text.size()), a, n, nullptr, nullptr);
    a[n] = '\0';
    ::GlobalUnlock(g);
    return g;
}

// The size of the colour table and bit masks that come between a DIB's header and its
// pixels; -1 when the header does not hold together.
qint64 dibTableBytes(const BITMAPINFOHEADER& bh) {
    qint64 extra = 0;
    if (bh.biSize == sizeof(BITMAPINFOHEADER) && bh.biCompression == BI_BITFIELDS)
        extra = 3 * sizeof(DWORD);
    if (bh.biBitCount <= 8) {
        const qint64 most = qint64(1) << bh.biBitCount;
        const qint64 colours = bh.biClrUsed ? qint64(bh.biClrUsed) : most;
        if (colours > most)
            return -1;
        extra += colours * qint64(sizeof(RGBQUAD));
    } else if (bh.biClrUsed) {
        if (bh.biClrUsed > 256)
            return -1;
        extra += qint64(bh.biClrUsed) * qint64(sizeof(RGBQUAD));
    }
    return extra;
}

// The rows of an uncompressed 24- or 32-bit DIB with the usual byte order (B, G, R[, A]),
// copied straight into a picture: what screenshots and our own pictures are, and many times
// faster than reading them as a bitmap file (a screen is tens of megabytes). Alpha is kept
// where a bit-field header names the top byte as alpha, as the bitmap file reader does.
// A null picture for any other kind; the caller has checked that all rows are there.
QImage directDib(const BITMAPINFOHEADER& bh, const unsigned char* base, qint64 table) {
    if (bh.biPlanes != 1 || bh.biHeight == 0 || (bh.biBitCount != 24 && bh.biBitCount != 32))
        return {};
    bool alpha = false;
    if (bh.biCompression == BI_BITFIELDS) {
        // The masks follow a plain header, or are its own fields from a V3 header on.
        const unsigned char* at = base + bh.biSize;
        if (bh.biSize >= sizeof(BITMAPINFOHEADER) + 4 * sizeof(DWORD))
            at = base + sizeof(BITMAPINFOHEADER);
        else if (table < qint64(3 * sizeof(DWORD)))
            return {};
        DWORD masks[4] = {0, 0, 0, 0};
        std::memcpy(masks, at, 3 * sizeof(DWORD));
        if (bh.biSize >= sizeof(BITMAPINFOHEADER) + 4 * sizeof(DWORD))
            std::memcpy(&masks[3], at + 3 * sizeof(DWORD), sizeof(DWORD));
        if (bh.biBitCount != 32 || masks[0] != 0x00FF0000 || masks[1] != 0x0000FF00 ||
            masks[2] != 0x000000FF || (masks[3] != 0 && masks[3] != 0xFF000000))
            return {};
        alpha = masks[3] == 0xFF000000;
    } else if (bh.biCompression != BI_RGB) {
        return {};
    }
    const int w = bh.biWidth;
    const bool bottomUp = bh.biHeight > 0;
    const int h = bottomUp ? bh.biHeight : -bh.biHeight;
    QImage img(w, h, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (img.isNull())
        return {};
    const qsizetype stride = qsizetype(((qint64(w) * bh.biBitCount + 31) / 32) * 4);
    const unsigned char* rows = base + bh.biSize + table;
    for (int y = 0; y < h; ++y) {
        const unsigned char* src = rows + qsizetype(bottomUp ? h - 1 - y : y) * stride;
        auto* dst = reinterpret_cast<QRgb*>(img.scanLine(y));
        if (alpha) {
            std::memcpy(dst, src, size_t(w) * 4); // B, G, R, A is ARGB32 in memory
        } else if (bh.biBitCount == 32) {
            for (int x = 0; x < w; ++x, src += 4)
                dst[x] = qRgb(src[2], src[1], src[0]);
        } else {
            for (int x = 0; x < w; ++x, src += 3)
                dst[x] = qRgb(src[2], src[1], src[0]);
        }
    }
    return img;
}

// The picture of a DIB held in global memory: copied straight for the usual kinds, else
// read as the bitmap file it would be with a file header in front; a null picture when it
// is damaged.
QImage readDib(HANDLE h) {
    const SIZE_T size = ::GlobalSize(h);
    if (size < sizeof(BITMAPINFOHEADER))
        return {};
    const auto* base = static_cast<const unsigned char*>(::GlobalLock(h));
    if (!base)
        return {};
    BITMAPINFOHEADER bh;
    std::memcpy(&bh, base, sizeof bh);
    const qint64 table = dibTableBytes(bh);
    // Uncompressed rows must all be there: a short block is damaged, not a picture with
    // undefined pixels.
    qint64 pixels = 0;
    if (bh.biCompression == BI_RGB || bh.biCompression == BI_BITFIELDS) {
        const qint64 stride = ((qint64(bh.biWidth) * bh.biBitCount + 31) / 32) * 4;
        pixels = stride * (bh.biHeight < 0 ? -qint64(bh.biHeight) : qint64(bh.biHeight));
    }
    QImage img;
    const bool whole = bh.biSize >= sizeof(BITMAPINFOHEADER) && bh.biSize <= size && table >= 0 &&
                       bh.biWidth > 0 && qint64(bh.biSize) + table + pixels <= qint64(size);
    if (whole)
        img = directDib(bh, base, table);
    if (whole && img.isNull()) {
        BITMAPFILEHEADER fh{};
        fh.bfType = 0x4D42; // "BM"
        fh.bfSize = DWORD(sizeof fh + size);
        fh.bfOffBits = DWORD(sizeof fh + bh.biSize + table);
        QByteArray file;
        file.reserve(qsizetype(sizeof fh + size));
        file.append(reinterpret_cast<const char*>(&fh), sizeof fh);
        file.append(reinterpret_cast<const char*>(base), qsizetype(size));
        img.loadFromData(file, "BMP");
    }
    ::GlobalUnlock(h);
    return img;
}

// The picture offered with delayed rendering, and once a reader asked, the picture made.
// Only the user-interface thread, which owns the window, touches them.
std::shared_ptr<PendingImage> g_pending;
std::optional<QImage> g_made;
std::weak_ptr<PendingImage> g_offer; // which offer the clipboard holds, also once made

const UINT kBitmapFormats[] = {CF_DIB, CF_DIBV5, CF_BITMAP};

// The data of format for the offered picture, waiting for its worker the first time.
HGLOBAL renderPending(UINT format) {
    if (!g_made && g_pending) {
        g_made = g_pending->wait();
        g_pending.reset();
        if (!g_made)
            g_made = QImage(); // given up: every format renders as nothing
    }
    if (!g_made || g_made->isNull())
        return nullptr;
    switch (format) {
    case CF_DIB:
        return makeDib(*g_made, g_made->hasAlphaChannel(), false);
    case CF_DIBV5:
        return makeDib(*g_made, true, true);
    case CF_BITMAP:
        return makeDdb(*g_made);
    default:
        return nullptr;
    }
}

LRESULT CALLBACK ownerProcedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_RENDERFORMAT:
        // The clipboard is open for the reader: the data is set without opening it.
        put(UINT(wParam), renderPending(UINT(wParam)));
        return 0;
    case WM_RENDERALLFORMATS:
        // The program ends while it still owns a promise: the picture is left behind whole.
        if ((g_pending || g_made) && ::OpenClipboard(window)) {
            if (::GetClipboardOwner() == window)
                for (UINT format : kBitmapFormats)
                    put(format, renderPending(format));
            ::CloseClipboard();
        }
        return 0;
    case WM_DESTROYCLIPBOARD:
        // Another content replaced ours: the promise is void, and the picture is let go.
        g_pending.reset();
        g_made.reset();
        g_offer.reset();
        return 0;
    default:
        return ::DefWindowProcW(window, msg, wParam, lParam);
    }
}

class Win32Clipboard final : public Clipboard {
public:
    Win32Clipboard() { allowLargeBitmaps(); }

    Result clear() override {
        OpenClipboardScope open;
        if (!open)
            return busy();
        ::EmptyClipboard();
        return Result::success();
    }

    Result addImage(const QImage& img) override {
        if (img.isNull())
            return Result::failure(Error::Corrupt, QStringLiteral("コピイする画像がありません"));
        const bool alpha = img.hasAlphaChannel();
        OpenClipboardScope open;
        if (!open)
            return busy();
        // All three bitmap formats are set: one the system made from an earlier picture
        // (or another program put) would otherwise stay beside the new CF_DIB.
        if (!put(CF_DIB, makeDib(img, alpha, false)) || !put(CF_DIBV5, makeDib(img, true, true)) ||
            !put(CF_BITMAP, makeDdb(img)))
            return noMemory();
        return Result::success();
    }

    // The bitmap formats are offered for delayed rendering: the change goes out now, and a
    // reader's request is answered (WM_RENDERFORMAT) when the worker has made the picture.
    // Only the clipboard's owner is asked to render, so over another program's content the
    // picture is waited for and added instead.
    Result addPendingImage(std::shared_ptr<PendingImage> pending) override {
        if (!pending)
            return Result::failure(Error::Corrupt, QStringLiteral("コピイする画像がありません"));
        {
            OpenClipboardScope open;
            if (!open)
                return busy();
            if (::GetClipboardOwner() == ownerWindow()) {
                g_offer = pending;
                g_pending = std::move(pending);
                g_made.reset();
                for (UINT format : kBitmapFormats)
                    ::SetClipboardData(format, nullptr);
                return Result::success();
            }
        }
        return Clipboard::addPendingImage(std::move(pending));
    }

    void withdrawPendingImage(const std::shared_ptr<PendingImage>& pending) override {
        if (!pending || g_offer.lock() != pending)
            return;
        OpenClipboardScope open;
        if (!open || ::GetClipboardOwner() != ownerWindow())
            return;
        // No single format can be taken off the clipboard: it is emptied and the text that
        // stood beside the picture is put back.
        std::optional<QString> text;
        if (HANDLE h = ::GetClipboardData(CF_UNICODETEXT)) {
            if (const auto* chars = static_cast<const wchar_t*>(::GlobalLock(h))) {
                text = QString::fromWCharArray(chars);
                ::GlobalUnlock(h);
            }
        }
        ::EmptyClipboard();
        if (text) {
            put(CF_UNICODETEXT, makeText(*text));
            put(CF_TEXT, makeAnsiText(*text));
        }
    }

    // The owner window is never destroyed before the process ends, so the system would not
    // ask it to render what it still promises (WM_RENDERALLFORMATS): it is done here.
    void keepAfterExit() override {
        if (!g_pending && !g_made)
            return;
        ::SendMessageW(ownerWindow(), WM_RENDERALLFORMATS, 0, 0);
    }

    Result addText(const QString& text) override {
        OpenClipboardScope open;
        if (!open)
            return busy();
        if (!put(CF_UNICODETEXT, makeText(text)) || !put(CF_TEXT, makeAnsiText(text)))
            return noMemory();
        return Result::success();
    }

    bool hasBitmap() override {
        return ::IsClipboardFormatAvailable(CF_DIB) || ::IsClipboardFormatAvailable(CF_BITMAP) ||
               ::IsClipboardFormatAvailable(CF_DIBV5);
    }

    std::optional<QImage> bitmap() override {
        QImage img;
        if (!readBitmap(img))
            return std::nullopt;
        return img;
    }

    Result readBitmap(QImage& out) override {
        OpenClipboardScope open;
        if (!open)
            return busy();
        if (!hasBitmap())
            return Result::failure(Error::NotFound,
                                   QStringLiteral("クリップボードに画像がありません"));
        // CF_DIBV5 first: it keeps the alpha of a picture that has it; the system makes it
        // from any other bitmap format, and CF_DIB from CF_BITMAP.
        QImage img;
        for (UINT format : {UINT(CF_DIBV5), UINT(CF_DIB)}) {
            if (!::IsClipboardFormatAvailable(format))
                continue;
            HANDLE h = ::GetClipboardData(format);
            if (h)
                img = readDib(h);
            if (!img.isNull())
                break;
        }
        if (img.isNull())
            return Result::failure(Error::Corrupt,
                                   QStringLiteral("クリップボードの画像を読めません"));
        out = img;
        return Result::success();
    }

    std::optional<QString> text() override {
        if (!::IsClipboardFormatAvailable(CF_UNICODETEXT))
            return std::nullopt;
        OpenClipboardScope open;
        if (!open)
            return std::nullopt;
        HANDLE h = ::GetClipboardData(CF_UNICODETEXT);
        if (!h)
            return std::nullopt;
        const SIZE_T chars = ::GlobalSize(h) / sizeof(wchar_t);
        const auto* w = static_cast<const wchar_t*>(::GlobalLock(h));
        if (!w)
            return std::nullopt;
        SIZE_T n = 0;
        while (n < chars && w[n] != L'\0')
            ++n;
        QString text = QString::fromWCharArray(w, qsizetype(n));
        ::GlobalUnlock(h);
        return text;
    }
};

} // namespace

Clipboard& systemClipboard() {
    static Win32Clipboard clipboard;
    return clipboard;
}

} // namespace platform
