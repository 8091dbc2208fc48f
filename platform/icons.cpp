#include "icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace platform {
namespace {

QImage canvas(int px) {
    QImage img(px, px, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

} // namespace

QImage tarvoIconImage(int px) {
    QImage img = canvas(px);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(px / 32.0, px / 32.0);
    // frame
    p.setPen(QPen(QColor(0x5a, 0x3a, 0x1a), 1));
    p.setBrush(QColor(0xb0, 0x7a, 0x3c));
    p.drawRoundedRect(QRectF(1.5, 3.5, 29, 25), 2, 2);
    // picture: sky, sun, hills
    const QRectF inner(5, 7, 22, 18);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x9c, 0xd4, 0xf5));
    p.drawRect(inner);
    p.setBrush(QColor(0xff, 0xd0, 0x30));
    p.drawEllipse(QPointF(21, 11.5), 2.6, 2.6);
    QPainterPath hills;
    hills.moveTo(5, 25);
    hills.lineTo(5, 20);
    hills.quadTo(10, 14, 15, 19);
    hills.quadTo(20, 15, 27, 20);
    hills.lineTo(27, 25);
    hills.closeSubpath();
    p.setBrush(QColor(0x3c, 0x9a, 0x40));
    p.drawPath(hills);
    return img;
}

namespace {

QImage copyDirImage() {
    QImage img = canvas(16);
    QPainter p(&img);
    const QColor darkRed(0x80, 0, 0);
    p.setPen(darkRed);
    p.setBrush(QColor(0xc0, 0xc0, 0xc0));
    p.drawRect(1, 4, 13, 10); // folder body
    p.drawRect(1, 2, 5, 2);   // tab
    // arrow into the folder
    p.setPen(Qt::NoPen);
    p.setBrush(darkRed);
    p.drawRect(4, 8, 5, 3);
    const QPoint head[3] = {QPoint(9, 6), QPoint(13, 9), QPoint(9, 12)};
    p.drawPolygon(head, 3);
    p.end();
    // 16 colours: transparency and 15 of the classic VGA colours
    const QList<QRgb> vga = {qRgba(0, 0, 0, 0),      qRgb(0, 0, 0),       qRgb(0x80, 0, 0),
                             qRgb(0, 0x80, 0),       qRgb(0x80, 0x80, 0), qRgb(0, 0, 0x80),
                             qRgb(0x80, 0, 0x80),    qRgb(0, 0x80, 0x80), qRgb(0xc0, 0xc0, 0xc0),
                             qRgb(0x80, 0x80, 0x80), qRgb(0xff, 0, 0),    qRgb(0, 0xff, 0),
                             qRgb(0xff, 0xff, 0),    qRgb(0, 0, 0xff),    qRgb(0xff, 0xff, 0xff),
                             qRgb(0, 0xff, 0xff)};
    return img.convertToFormat(QImage::Format_ARGB32)
        .convertToFormat(QImage::Format_Indexed8, vga, Qt::ThresholdDither);
}

} // namespace

QImage mirokIconImage(int px) {
    QImage img = canvas(px);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(px / 32.0, px / 32.0);
    // clipboard board and clip
    p.setPen(QPen(QColor(0x5a, 0x3a, 0x1a), 1));
    p.setBrush(QColor(0xc8, 0x94, 0x50));
    p.drawRoundedRect(QRectF(4.5, 3.5, 23, 27), 2, 2);
    p.setBrush(QColor(0xf4, 0xf4, 0xf0));
    p.drawRect(QRectF(7.5, 7.5, 17, 20));
    p.setBrush(QColor(0x90, 0x90, 0x98));
    p.drawRoundedRect(QRectF(11.5, 1.5, 9, 5), 1.5, 1.5);
    // camera on the sheet
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x30, 0x34, 0x40));
    p.drawRoundedRect(QRectF(8.5, 13, 15, 10), 1.5, 1.5);
    p.drawRect(QRectF(12, 11, 5, 2.5));
    p.setBrush(QColor(0x60, 0xa0, 0xe0));
    p.drawEllipse(QPointF(16, 18), 3.4, 3.4);
    p.setBrush(QColor(0xe8, 0x30, 0x30));
    p.drawEllipse(QPointF(21.3, 14.8), 0.9, 0.9);
    return img;
}

QIcon tarvoIcon() {
    QIcon icon;
    for (int px : {16, 32, 48})
        icon.addPixmap(QPixmap::fromImage(tarvoIconImage(px)));
    return icon;
}

QIcon mirokIcon() {
    QIcon icon;
    for (int px : {32, 16})
        icon.addPixmap(QPixmap::fromImage(mirokIconImage(px)));
    return icon;
}

QIcon copyDirIcon() {
    return QIcon(QPixmap::fromImage(copyDirImage()));
}

} // namespace platform
