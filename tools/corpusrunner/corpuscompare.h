#pragma once
// How far a decoded picture is from its reference rendering. Both are seen as the user
// sees them, over a light and over a dark background, so a transparent pixel matches a
// transparent one whatever colour it hides, and an opaque black pixel does not match a
// transparent one.

#include <QImage>
#include <QString>

namespace corpus {

struct Difference {
    double mean = 0; // mean channel difference, 0..255
    double far = 0;  // share of pixels with some channel off by more than the tolerance allows
    int worst = 0;   // largest channel difference seen
    bool sameSize = true;
};

// How close a picture kind must come to its reference.
enum class Tolerance {
    Lossless,  // bitmaps, GIF, icons: nearly exact
    Jpeg,      // decoders differ in their inverse DCT and chroma upsampling
    Metafile,  // another renderer's anti-aliasing, fonts and line ends
    Thumbnail, // our scaled picture against the reference scaled by Qt
};

// Compares two pictures of the same size (a size difference is reported, not compared).
Difference compare(const QImage& ours, const QImage& reference, Tolerance tolerance);
bool acceptable(const Difference& d, Tolerance tolerance);
QString describe(const Difference& d);

} // namespace corpus
