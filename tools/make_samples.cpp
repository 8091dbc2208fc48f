// Writes the sample pictures and memos of samples/: every picture kind of the file mask,
// in varied sizes and shapes, a few Japanese names and memos, and one damaged file.
// Usage: make_samples [folder]   (default: samples)
#include "gifwriter.h"
#include "platform/textcodec.h"
#include "rlebitmap.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRandomGenerator>
#include <cmath>
#include <cstdio>

namespace {

QString g_folder;
int g_count = 0;

void save(const QString& name, const QByteArray& bytes) {
    QFile f(g_folder + name);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(name));
        std::exit(1);
    }
    std::printf("%8lld  %s\n", static_cast<long long>(bytes.size()), name.toUtf8().constData());
    ++g_count;
}

QByteArray encode(const QImage& img, const char* format, int quality = -1) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (quality > 0)
        writer.setQuality(quality);
    if (!writer.write(img)) {
        std::fprintf(stderr, "cannot encode %s\n", format);
        std::exit(1);
    }
    return bytes;
}

QImage canvas(int w, int h) {
    return QImage(w, h, QImage::Format_RGB32);
}

// A landscape: sky gradient, sun, layered hills, with a little grain so that it behaves
// like a photograph for the JPEG coder.
QImage landscape(int w, int h, QColor skyTop, QColor skyLow, QColor hills, quint32 seed,
                 int grain) {
    QImage img = canvas(w, h);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, h);
    sky.setColorAt(0, skyTop);
    sky.setColorAt(1, skyLow);
    p.fillRect(img.rect(), sky);
    QRadialGradient sun(w * 0.7, h * 0.3, h * 0.18);
    sun.setColorAt(0, QColor(255, 250, 220));
    sun.setColorAt(0.5, QColor(255, 220, 140, 200));
    sun.setColorAt(1, QColor(255, 200, 120, 0));
    p.fillRect(img.rect(), sun);
    QRandomGenerator rng(seed);
    for (int layer = 0; layer < 4; ++layer) {
        QPainterPath path;
        const double base = h * (0.55 + layer * 0.12);
        path.moveTo(0, h);
        const double f1 = 1.5 + rng.bounded(3.0), f2 = 4 + rng.bounded(6.0);
        for (int x = 0; x <= w; x += qMax(1, w / 200)) {
            const double t = double(x) / w;
            path.lineTo(x, base - h * 0.08 * std::sin(t * f1 * 3.14159 + layer) -
                               h * 0.03 * std::sin(t * f2 * 3.14159));
        }
        path.lineTo(w, h);
        path.closeSubpath();
        p.fillPath(path, hills.darker(100 + layer * 25));
    }
    p.end();
    if (grain > 0) {
        for (int y = 0; y < h; ++y) {
            auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
            for (int x = 0; x < w; ++x) {
                const int n = static_cast<int>(rng.bounded(2 * grain + 1)) - grain;
                const QRgb c = line[x];
                line[x] = qRgb(qBound(0, qRed(c) + n, 255), qBound(0, qGreen(c) + n, 255),
                               qBound(0, qBlue(c) + n, 255));
            }
        }
    }
    return img;
}

QImage sea(int w, int h) {
    QImage img =
        landscape(w, h, QColor(90, 160, 230), QColor(200, 230, 250), QColor(30, 90, 160), 7, 2);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(255, 255, 255, 120), qMax(1, h / 160)));
    for (int i = 0; i < 12; ++i) {
        const double y = h * (0.62 + i * 0.03);
        p.drawLine(QPointF(w * (0.1 + 0.05 * (i % 3)), y), QPointF(w * (0.4 + 0.04 * i), y));
    }
    return img;
}

QImage shapes(int w, int h, quint32 seed, bool text = false) {
    QImage img = canvas(w, h);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient bg(0, 0, w, h);
    bg.setColorAt(0, QColor(250, 245, 235));
    bg.setColorAt(1, QColor(220, 230, 245));
    p.fillRect(img.rect(), bg);
    QRandomGenerator rng(seed);
    for (int i = 0; i < 14; ++i) {
        QColor c = QColor::fromHsv(static_cast<int>(rng.bounded(360)), 150, 230, 170);
        p.setBrush(c);
        p.setPen(QPen(c.darker(140), 2));
        const double s = qMin(w, h) * (0.1 + rng.bounded(0.25));
        const QRectF r(rng.bounded(double(w)) - s / 2, rng.bounded(double(h)) - s / 2, s, s);
        if (i % 3 == 0)
            p.drawEllipse(r);
        else if (i % 3 == 1)
            p.drawRoundedRect(r, s / 6, s / 6);
        else
            p.drawPolygon(
                QPolygonF({r.bottomLeft(), QPointF(r.center().x(), r.top()), r.bottomRight()}));
    }
    if (text) {
        p.setPen(QColor(40, 40, 60));
        p.setFont(QFont(QStringLiteral("IPAPGothic"), qMax(8, h / 10)));
        p.drawText(img.rect(), Qt::AlignCenter, QStringLiteral("画像整理"));
    }
    return img;
}

QImage icon(int size, QColor colour, bool star) {
    QImage img(size, size, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient g(size * 0.35, size * 0.35, size * 0.7);
    g.setColorAt(0, colour.lighter(160));
    g.setColorAt(1, colour.darker(130));
    p.setBrush(g);
    p.setPen(QPen(colour.darker(200), qMax(1, size / 24)));
    if (star) {
        QPolygonF poly;
        for (int i = 0; i < 10; ++i) {
            const double r = (i % 2 ? 0.22 : 0.48) * size;
            const double a = -3.14159 / 2 + i * 3.14159 / 5;
            poly << QPointF(size / 2.0 + r * std::cos(a), size / 2.0 + r * std::sin(a));
        }
        p.drawPolygon(poly);
    } else {
        p.drawRoundedRect(QRectF(size * 0.08, size * 0.08, size * 0.84, size * 0.84), size / 6,
                          size / 6);
        p.setPen(Qt::white);
        p.setFont(QFont(QStringLiteral("IPAGothic"), size / 3, QFont::Bold));
        p.drawText(img.rect(), Qt::AlignCenter, QStringLiteral("T"));
    }
    return img;
}

QVector<QRgb> rainbow(int n) {
    QVector<QRgb> table;
    for (int i = 0; i < n; ++i)
        table << QColor::fromHsv(i * 330 / n, 170, 240).rgb();
    return table;
}

void pictures() {
    // JPEG: .JPG and .jpeg, the big photograph, wide, tall, Japanese names, blanks, dots.
    save(QStringLiteral("海.jpg"), encode(sea(640, 480), "jpeg", 85));
    save(QStringLiteral("夕焼け.JPG"),
         encode(landscape(800, 533, QColor(250, 120, 60), QColor(255, 210, 120), QColor(90, 40, 60),
                          3, 2),
                "jpeg", 85));
    save(QStringLiteral("山の風景.jpeg"),
         encode(landscape(1024, 768, QColor(120, 170, 220), QColor(235, 240, 245),
                          QColor(60, 110, 70), 11, 2),
                "jpeg", 80));
    save(QStringLiteral("Large Photo 3000x2000.jpg"),
         encode(landscape(3000, 2000, QColor(60, 120, 200), QColor(230, 235, 240),
                          QColor(70, 120, 60), 42, 6),
                "jpeg", 70));
    save(QStringLiteral("パノラマ.jpg"), encode(sea(1600, 300), "jpeg", 80));
    save(QStringLiteral("tower.tall.JPG"),
         encode(landscape(240, 900, QColor(20, 30, 80), QColor(150, 90, 160), QColor(20, 20, 30), 5,
                          2),
                "jpeg", 85));
    save(QStringLiteral("a b c.jpg"), encode(shapes(400, 300, 1), "jpeg", 85));
    save(QStringLiteral("v1.2.3.final.jpg"), encode(shapes(500, 500, 2, true), "jpeg", 85));
    save(QStringLiteral("portrait.jpeg"), encode(shapes(600, 800, 3), "jpeg", 80));
    save(QStringLiteral("Gradient Sky.jpg"),
         encode(landscape(1920, 1080, QColor(30, 60, 140), QColor(250, 180, 140),
                          QColor(40, 50, 70), 9, 2),
                "jpeg", 75));
    // Windows bitmaps, uncompressed, 24 and 8 bits.
    save(QStringLiteral("tiny.bmp"),
         encode(icon(8, QColor(200, 60, 60), false).convertToFormat(QImage::Format_RGB32), "bmp"));
    save(QStringLiteral("花.bmp"), encode(shapes(160, 200, 4), "bmp"));
    save(QStringLiteral("Circles.BMP"),
         encode(shapes(256, 256, 5).convertToFormat(QImage::Format_Indexed8), "bmp"));
    save(QStringLiteral("wide strip.bmp"),
         encode(sea(480, 60).convertToFormat(QImage::Format_Indexed8), "bmp"));
    // Run-length compressed bitmaps, built byte by byte.
    save(QStringLiteral("stripes.RLE"),
         tools::encodeRleBitmap(400, 300, 8, rainbow(256),
                                [](int x, int y) { return ((x + y) / 12) * 9 % 256; }));
    save(QStringLiteral("rings.rle"),
         tools::encodeRleBitmap(200, 200, 4, rainbow(16), [](int x, int y) {
             const double d = std::hypot(x - 100, y - 100);
             return static_cast<int>(d / 9) % 16;
         }));
    save(QStringLiteral("模様.rle"),
         tools::encodeRleBitmap(150, 320, 8, rainbow(256),
                                [](int x, int y) { return ((x / 15) ^ (y / 20)) * 17 % 256; }));
    // Device-independent bitmaps (BMP content).
    save(QStringLiteral("logo.DIB"), encode(shapes(128, 96, 6, true), "bmp"));
    save(QStringLiteral("screen.dib"),
         encode(shapes(300, 200, 7).convertToFormat(QImage::Format_Indexed8), "bmp"));
    // Icons.
    save(QStringLiteral("app.ico"), encode(icon(32, QColor(40, 120, 220), false), "ico"));
    save(QStringLiteral("star.ICO"), encode(icon(48, QColor(240, 190, 40), true), "ico"));
    save(QStringLiteral("big icon.ico"), encode(icon(64, QColor(60, 170, 90), true), "ico"));
    // GIF.
    save(QStringLiteral("パターン.gif"), tools::encodeGif(shapes(320, 240, 8)));
    save(QStringLiteral("checker.GIF"), [] {
        QImage img = canvas(100, 100);
        QPainter p(&img);
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 10; ++x)
                p.fillRect(x * 10, y * 10, 10, 10,
                           (x + y) % 2 ? QColor(40, 40, 40) : QColor(240, 200, 80));
        p.end();
        return tools::encodeGif(img);
    }());
    save(QStringLiteral("wide.banner.gif"), tools::encodeGif(sea(600, 120)));
    save(QStringLiteral("pixel.gif"), tools::encodeGif([] {
             QImage img = canvas(1, 1);
             img.fill(QColor(255, 0, 128));
             return img;
         }()));
}

void memosAndDamage() {
    // Memos: the memo of a.b.jpg is a.TXT.
    save(QStringLiteral("海.TXT"), QStringLiteral("夏の海。\r\n2026年8月 撮影\r\n").toUtf8());
    save(QStringLiteral("夕焼け.TXT"),
         platform::encodeCp932(QStringLiteral("夕焼けの写真（Shift-JIS で保存）\r\n")).value());
    save(QStringLiteral("v1.TXT"), QStringLiteral("版数,1.2.3\r\n\"最終版, 確定\"\r\n").toUtf8());
    save(QStringLiteral("a b c.TXT"), QByteArrayLiteral("shapes, three of a kind\r\n"));
    // A damaged picture: a JPEG cut off inside its header.
    save(QStringLiteral("壊れた.jpg"), encode(sea(320, 240), "jpeg", 85).left(300));
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    g_folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("samples");
    if (!g_folder.endsWith(QLatin1Char('/')))
        g_folder += QLatin1Char('/');
    QDir().mkpath(g_folder);
    pictures();
    memosAndDamage();
    std::printf("%d files written to %s\n", g_count, qPrintable(g_folder));
    return 0;
}
