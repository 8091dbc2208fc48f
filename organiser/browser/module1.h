#pragma once
// The organiser's shared state: one instance per run, owned by the Organiser. Every window
// reads and writes it directly; there is no other channel between the windows.
// Flags are 16-bit integers holding 0 or 1; folder paths are in the system's own form and
// end with its separator once set ("/home/ann/pics/", "C:\PICS\").

#include <QString>
#include <array>
#include <cstdint>
#include <vector>

namespace tarvo {

inline constexpr int kFileTableSize = 32001; // indices 0 to 32000
inline constexpr int kCells = 10;

struct Module1 {
    QString ImageDir;
    QString CopyDir;
    QString SavedImageDir;
    QString SavedImageDrive;
    QString SavedCopyDir;
    QString SavedCopyDrive;
    std::vector<QString> FileNames = std::vector<QString>(kFileTableSize);
    std::int16_t CurCell = 0;
    QString CurFileName;
    std::int16_t NameEdited = 0;
    QString RenameExt;
    QString MemoFileName;
    QString MemoPath;
    QString MemoText;
    std::int16_t MemoDirty = 0;
    std::int16_t MemoLoading = 0;
    std::int16_t MemoShown = 0;
    std::int16_t ClipboardViewerOpen = 0;
    bool SmallMode = false;
    std::int16_t CellWidth = 0;
    std::int16_t CellHeight = 0;
    std::array<float, kCells> CellTop{};
    std::array<float, kCells> CellLeft{};

    // Entry k of the file table; indices outside 0..32000 read as empty, so a page that
    // starts near the end of a full table shows empty cells past it.
    const QString& fileName(int k) const;
    // Writes entry k; indices outside the table are ignored.
    void setFileName(int k, const QString& name);
};

class Organiser;

// The start-up routines that fill the shared state.
// Sets ImageDir to the process's current folder, ending with the separator.
void InitImageDir(Organiser& org);
// Reads the image-folder dialog's file list into FileNames and shows the first page.
void LoadFileList(Organiser& org);

} // namespace tarvo
