#pragma once
// A small GIF encoder (Qt reads GIF but cannot write it): one frame, a 256-entry colour
// table, LZW as the format defines it. Used by the sample generator, the benchmarks and
// the tests, which all need GIF files they can make themselves.

#include <QByteArray>
#include <QImage>
#include <unordered_map>

namespace tools {

namespace gifdetail {

class BitWriter {
public:
    void put(int code, int bits) {
        m_acc |= static_cast<quint32>(code) << m_count;
        m_count += bits;
        while (m_count >= 8) {
            m_bytes.append(static_cast<char>(m_acc & 0xFF));
            m_acc >>= 8;
            m_count -= 8;
        }
    }
    QByteArray finish() {
        if (m_count > 0)
            m_bytes.append(static_cast<char>(m_acc & 0xFF));
        m_acc = 0;
        m_count = 0;
        return m_bytes;
    }

private:
    QByteArray m_bytes;
    quint32 m_acc = 0;
    int m_count = 0;
};

inline void le16(QByteArray& b, int v) {
    b.append(static_cast<char>(v & 0xFF));
    b.append(static_cast<char>((v >> 8) & 0xFF));
}

} // namespace gifdetail

inline QByteArray encodeGif(const QImage& source) {
    using namespace gifdetail;
    QImage img = source.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
    QVector<QRgb> table = img.colorTable();
    table.resize(256);
    const int w = img.width();
    const int h = img.height();

    const int clear = 256, end = 257;
    BitWriter out;
    std::unordered_map<int, int> dict;
    int next = 258, codeSize = 9;
    out.put(clear, codeSize);
    int prefix = -1;
    for (int y = 0; y < h; ++y) {
        const uchar* row = img.constScanLine(y);
        for (int x = 0; x < w; ++x) {
            const int c = row[x];
            if (prefix < 0) {
                prefix = c;
                continue;
            }
            const int key = (prefix << 8) | c;
            auto it = dict.find(key);
            if (it != dict.end()) {
                prefix = it->second;
                continue;
            }
            out.put(prefix, codeSize);
            if (next == 4096) {
                out.put(clear, codeSize);
                dict.clear();
                next = 258;
                codeSize = 9;
            } else {
                if (next == (1 << codeSize))
                    ++codeSize;
                dict.emplace(key, next++);
            }
            prefix = c;
        }
    }
    if (prefix >= 0)
        out.put(prefix, codeSize);
    out.put(end, codeSize);
    const QByteArray data = out.finish();

    QByteArray gif("GIF89a");
    le16(gif, w);
    le16(gif, h);
    gif.append(static_cast<char>(0xF7)); // global table of 256 colours
    gif.append('\0');
    gif.append('\0');
    for (QRgb rgb : table) {
        gif.append(static_cast<char>(qRed(rgb)));
        gif.append(static_cast<char>(qGreen(rgb)));
        gif.append(static_cast<char>(qBlue(rgb)));
    }
    gif.append(',');
    le16(gif, 0);
    le16(gif, 0);
    le16(gif, w);
    le16(gif, h);
    gif.append('\0');
    gif.append(static_cast<char>(8)); // LZW minimum code size
    for (qsizetype i = 0; i < data.size(); i += 255) {
        const qsizetype n = qMin<qsizetype>(255, data.size() - i);
        gif.append(static_cast<char>(n));
        gif.append(data.constData() + i, n);
    }
    gif.append('\0');
    gif.append(';');
    return gif;
}

} // namespace tools
