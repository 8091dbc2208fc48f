// The executables as Windows sees them: each carries the icon its program draws and version
// information naming the file, as Explorer shows them in its views and properties.
#include "platform/controls/icons.h"

#include <QDir>
#include <QImage>
#include <gtest/gtest.h>
#include <windows.h>

namespace {

struct Program {
    const wchar_t* file;      // in the build's bin folder
    const char* originalName; // what the version information says
    QImage (*draw)(int px);
};

const Program kPrograms[] = {
    {L"tarvo104.exe", "tarvo104.exe", platform::tarvoIconImage},
    {L"Mirok101.exe", "Mirok101.exe", platform::mirokIconImage},
    {L"clipbrd.exe", "CLIPBRD.EXE", platform::tarvoIconImage},
};

std::wstring binPath(const wchar_t* file) {
    return QDir::toNativeSeparators(QStringLiteral(TARVO_BIN_DIR)).toStdWString() + L"\\" + file;
}

QString versionString(const std::wstring& path, const wchar_t* key) {
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0)
        return {};
    std::vector<char> data(size);
    if (!::GetFileVersionInfoW(path.c_str(), 0, size, data.data()))
        return {};
    wchar_t* value = nullptr;
    UINT length = 0;
    const std::wstring query = std::wstring(L"\\StringFileInfo\\041104B0\\") + key;
    if (!::VerQueryValueW(data.data(), query.c_str(), reinterpret_cast<void**>(&value), &length))
        return {};
    return QString::fromWCharArray(value, length > 0 ? int(length) - 1 : 0);
}

// The 32-pixel image of the executable's icon, through the system's own icon loading.
QImage exeIcon(const std::wstring& path) {
    HMODULE module = ::LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module)
        return {};
    HICON icon = static_cast<HICON>(
        ::LoadImageW(module, MAKEINTRESOURCEW(1), IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR));
    QImage out;
    if (icon) {
        out = QImage::fromHICON(icon);
        ::DestroyIcon(icon);
    }
    ::FreeLibrary(module);
    return out;
}

TEST(Win32Resources, EachProgramCarriesItsDrawnIconAndItsVersionInformation) {
    for (const Program& p : kPrograms) {
        const std::wstring path = binPath(p.file);
        SCOPED_TRACE(QString::fromWCharArray(p.file).toStdString());
        EXPECT_EQ(versionString(path, L"OriginalFilename"), QLatin1String(p.originalName));
        EXPECT_EQ(versionString(path, L"ProductName"), QLatin1String("tarvo104"));
        EXPECT_FALSE(versionString(path, L"FileVersion").isEmpty());

        const QImage shown = exeIcon(path).convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(shown.size(), QSize(32, 32));
        const QImage drawn = p.draw(32).convertToFormat(QImage::Format_ARGB32);
        int differing = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                const QRgb a = shown.pixel(x, y), b = drawn.pixel(x, y);
                // Fully transparent pixels may carry any colour.
                if (qAlpha(a) == 0 && qAlpha(b) == 0)
                    continue;
                if (std::abs(qRed(a) - qRed(b)) > 2 || std::abs(qGreen(a) - qGreen(b)) > 2 ||
                    std::abs(qBlue(a) - qBlue(b)) > 2 || std::abs(qAlpha(a) - qAlpha(b)) > 2)
                    ++differing;
            }
        EXPECT_EQ(differing, 0);
    }
    // The two programs' icons are told apart.
    EXPECT_NE(exeIcon(binPath(L"tarvo104.exe")), exeIcon(binPath(L"Mirok101.exe")));
}

} // namespace
