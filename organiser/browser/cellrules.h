#pragma once
// Pure rules of the main window's cells: the size label, the fit of a picture in a cell,
// and the scroll range of a file count.

#include <QString>
#include <QtGlobal>

namespace tarvo {

// The size label: bytes / 1000, truncated, with "," between groups of three, then ".KB".
// 999 → "0.KB", 56789 → "56.KB", 1234567 → "1,234.KB".
QString sizeLabel(qint64 bytes);

// Where a picture of natural size w × h (twips) goes in a cell of cellW × cellH whose inner
// corner is at (0, 0): a picture that fits keeps its size and is centred; a larger one is
// shrunk so its longer side fills the cell, keeping proportions, and centred along the
// shorter side.
struct CellFit {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
    bool shrunk = false;
};
CellFit fitInCell(double w, double h, double cellW, double cellH);

// The scroll maximum for n files: the first index of the last page of ten.
int scrollMaximum(int n);

} // namespace tarvo
