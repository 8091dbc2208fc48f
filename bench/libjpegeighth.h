#pragma once
// The yardstick of the page benchmarks: libjpeg-turbo decoding a JPEG at 1/8 scale into a
// buffer of its own, nothing more. Answers the bytes decoded, 0 when the file cannot be read.

#include <QByteArray>
#include <cstdio>
#include <jpeglib.h>
#include <vector>

inline size_t decodeEighth(const QByteArray& path) {
    FILE* f = std::fopen(path.constData(), "rb");
    if (!f)
        return 0;
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_decompress(&cinfo);
    jpeg_stdio_src(&cinfo, f);
    jpeg_read_header(&cinfo, TRUE);
    cinfo.scale_num = 1;
    cinfo.scale_denom = 8;
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    const size_t stride = size_t(cinfo.output_width) * cinfo.output_components;
    std::vector<unsigned char> pixels(stride * cinfo.output_height);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = pixels.data() + stride * cinfo.output_scanline;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    std::fclose(f);
    return pixels.size();
}
