#include "corpuscompare.h"

#include <algorithm>
#include <cstdlib>

namespace corpus {

namespace {

struct Limits {
    int nearEnough; // a channel off by at most this counts as equal
    double farShare;
    double mean;
};

Limits limitsOf(Tolerance t) {
    switch (t) {
    case Tolerance::Lossless:
        return {8, 0.002, 4.0};
    case Tolerance::Jpeg:
        return {32, 0.01, 4.0};
    case Tolerance::Metafile:
        return {64, 0.05, 16.0};
    case Tolerance::Thumbnail:
        return {48, 0.03, 8.0};
    }
    return {0, 0, 0};
}

// The premultiplied colour over black is the pixel itself; over white the missing alpha
// adds to every channel.
int channelOver(int premultiplied, int alpha, bool white) {
    return white ? premultiplied + 255 - alpha : premultiplied;
}

} // namespace

Difference compare(const QImage& ours, const QImage& reference, Tolerance tolerance) {
    Difference d;
    if (ours.size() != reference.size()) {
        d.sameSize = false;
        d.far = 1;
        d.mean = 255;
        d.worst = 255;
        return d;
    }
    const QImage a = ours.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage b = reference.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int near = limitsOf(tolerance).nearEnough;
    double sum = 0;
    qint64 far = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto* la = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* lb = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            const QRgb pa = la[x];
            const QRgb pb = lb[x];
            int worst = 0;
            for (bool white : {false, true}) {
                const int channels[3][2] = {
                    {qRed(pa), qRed(pb)}, {qGreen(pa), qGreen(pb)}, {qBlue(pa), qBlue(pb)}};
                for (const auto& c : channels) {
                    const int diff = std::abs(channelOver(c[0], qAlpha(pa), white) -
                                              channelOver(c[1], qAlpha(pb), white));
                    worst = std::max(worst, diff);
                    sum += diff;
                }
            }
            d.worst = std::max(d.worst, worst);
            if (worst > near)
                ++far;
        }
    }
    const double pixels = double(a.width()) * a.height();
    if (pixels > 0) {
        d.mean = sum / (pixels * 6);
        d.far = double(far) / pixels;
    }
    return d;
}

bool acceptable(const Difference& d, Tolerance tolerance) {
    const Limits l = limitsOf(tolerance);
    return d.sameSize && d.far <= l.farShare && d.mean <= l.mean;
}

QString describe(const Difference& d) {
    if (!d.sameSize)
        return QStringLiteral("size differs");
    return QStringLiteral("mean %1, %2% far, worst %3")
        .arg(d.mean, 0, 'f', 2)
        .arg(d.far * 100, 0, 'f', 2)
        .arg(d.worst);
}

} // namespace corpus
