#include "platform/pictures/jpegwhole.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio> // jpeglib.h needs FILE and size_t declared first
#include <jerror.h>
#include <jpeglib.h>

namespace platform {

namespace {

constexpr int kBandRows = 16;             // rows decoded between looks at the flag
constexpr size_t kBlockBytes = 64 * 1024; // bytes handed to libjpeg at a time

struct Decoder {
    jpeg_decompress_struct cinfo{};
    jpeg_error_mgr errors{};
    jpeg_source_mgr source{};
    std::jmp_buf stop{};
    const JOCTET* data = nullptr;
    size_t size = 0;
    size_t at = 0;
    const std::atomic<bool>* cancelled = nullptr;
    bool givenUp = false;
    QImage image;
};

Decoder& decoderOf(j_common_ptr cinfo) {
    return *static_cast<Decoder*>(cinfo->client_data);
}

bool isCancelled(const Decoder& d) {
    return d.cancelled && d.cancelled->load(std::memory_order_relaxed);
}

[[noreturn]] void stopDecoding(j_common_ptr cinfo) {
    std::longjmp(decoderOf(cinfo).stop, 1);
}

void quiet(j_common_ptr) {}

void noAction(j_decompress_ptr) {}

const JOCTET kEndOfImage[] = {0xFF, JPEG_EOI};

boolean fillInput(j_decompress_ptr cinfo) {
    Decoder& d = decoderOf(reinterpret_cast<j_common_ptr>(cinfo));
    if (isCancelled(d)) {
        d.givenUp = true;
        stopDecoding(reinterpret_cast<j_common_ptr>(cinfo));
    }
    if (d.at >= d.size) {
        // A file cut short ends as libjpeg's own sources end it: its missing rows are grey.
        WARNMS(cinfo, JWRN_JPEG_EOF);
        cinfo->src->next_input_byte = kEndOfImage;
        cinfo->src->bytes_in_buffer = sizeof kEndOfImage;
        return TRUE;
    }
    const size_t n = std::min(kBlockBytes, d.size - d.at);
    cinfo->src->next_input_byte = d.data + d.at;
    cinfo->src->bytes_in_buffer = n;
    d.at += n;
    return TRUE;
}

void skipInput(j_decompress_ptr cinfo, long count) {
    if (count <= 0)
        return;
    jpeg_source_mgr* src = cinfo->src;
    while (size_t(count) > src->bytes_in_buffer) {
        count -= long(src->bytes_in_buffer);
        fillInput(cinfo);
    }
    src->next_input_byte += count;
    src->bytes_in_buffer -= size_t(count);
}

// Everything this changes after setjmp lives in d, and between setjmp and a jump back only
// libjpeg runs, so the jump skips no destructor and loses no value.
WholeJpeg::Status decodeInto(Decoder& d) {
    if (setjmp(d.stop))
        return d.givenUp ? WholeJpeg::GivenUp : WholeJpeg::NotMine;
    jpeg_create_decompress(&d.cinfo);
    d.source.init_source = noAction;
    d.source.fill_input_buffer = fillInput;
    d.source.skip_input_data = skipInput;
    d.source.resync_to_restart = jpeg_resync_to_restart;
    d.source.term_source = noAction;
    d.cinfo.src = &d.source;
    jpeg_read_header(&d.cinfo, TRUE);
    QImage::Format format;
    switch (d.cinfo.jpeg_color_space) {
    case JCS_YCbCr:
    case JCS_RGB:
        format = QImage::Format_RGB32;
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
        d.cinfo.out_color_space = JCS_EXT_BGRA;
#else
        d.cinfo.out_color_space = JCS_EXT_ARGB;
#endif
        break;
    case JCS_GRAYSCALE:
        format = QImage::Format_Grayscale8;
        d.cinfo.out_color_space = JCS_GRAYSCALE;
        break;
    default:
        return WholeJpeg::NotMine;
    }
    jpeg_start_decompress(&d.cinfo);
    d.image = QImage(int(d.cinfo.output_width), int(d.cinfo.output_height), format);
    if (d.image.isNull())
        return WholeJpeg::NotMine;
    while (d.cinfo.output_scanline < d.cinfo.output_height) {
        if (isCancelled(d))
            return WholeJpeg::GivenUp;
        JSAMPROW rows[kBandRows];
        const int first = int(d.cinfo.output_scanline);
        const int n = std::min(kBandRows, int(d.cinfo.output_height) - first);
        for (int i = 0; i < n; ++i)
            rows[i] = d.image.scanLine(first + i);
        jpeg_read_scanlines(&d.cinfo, rows, JDIMENSION(n));
    }
    jpeg_finish_decompress(&d.cinfo);
    return WholeJpeg::Decoded;
}

} // namespace

WholeJpeg decodeWholeJpeg(const QByteArray& bytes, const std::atomic<bool>* cancelled) {
    Decoder d;
    d.data = reinterpret_cast<const JOCTET*>(bytes.constData());
    d.size = size_t(bytes.size());
    d.cancelled = cancelled;
    d.cinfo.err = jpeg_std_error(&d.errors);
    d.errors.error_exit = stopDecoding;
    d.errors.output_message = quiet;
    d.cinfo.client_data = &d;
    WholeJpeg result;
    result.status = decodeInto(d);
    jpeg_destroy_decompress(&d.cinfo);
    if (result.status == WholeJpeg::Decoded)
        result.image = std::move(d.image);
    return result;
}

} // namespace platform
