#include "cellrules.h"

namespace tarvo {

QString sizeLabel(qint64 bytes) {
    const QString digits = QString::number(bytes < 0 ? 0 : bytes / 1000);
    QString out;
    const int n = static_cast<int>(digits.size());
    for (int k = 0; k < n; ++k) {
        if (k > 0 && (n - k) % 3 == 0)
            out += QLatin1Char(',');
        out += digits[k];
    }
    return out + QStringLiteral(".KB");
}

CellFit fitInCell(double w, double h, double cellW, double cellH) {
    CellFit f;
    if (w <= cellW && h <= cellH) {
        f.width = w;
        f.height = h;
        f.top = (cellH - h) / 2;
        f.left = (cellW - w) / 2;
        return f;
    }
    f.shrunk = true;
    if (w >= h) {
        f.width = cellW;
        f.height = cellH * h / w;
        f.top = (cellH - f.height) / 2;
        f.left = 0;
    } else {
        f.width = cellW * w / h;
        f.height = cellH;
        f.top = 0;
        f.left = (cellW - f.width) / 2;
    }
    return f;
}

int scrollMaximum(int n) {
    return ((n - 1) / 10) * 10;
}

} // namespace tarvo
