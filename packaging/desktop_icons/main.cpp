// ventora-desktop-icons: draws the program's desktop icon (a globe with a thermometer, as the main
// window's own icon) at the sizes desktops use and writes <size>x<size>/apps/ventora.png under
// the given folder.

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>

namespace {

// Drawn on a 256-unit square; lines are one pixel wide at the smallest sizes and thicker in
// units than at large sizes, so that the outline stays visible.
void DrawIcon(QPainter& p, int size) {
    const double line = size <= 24 ? 256.0 / size : (size <= 48 ? 10.0 : 8.0);
    const QColor ink(0x1c, 0x2a, 0x3a);
    const QColor sea(0xa8, 0xcc, 0xea);
    const QColor land(0xe8, 0xdc, 0xb0);
    const QColor red(0xe0, 0x10, 0x10);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 256.0, size / 256.0);

    const QRectF globe(8, 24, 200, 200);
    QPainterPath disc;
    disc.addEllipse(globe);
    p.setPen(Qt::NoPen);
    p.setBrush(sea);
    p.drawPath(disc);
    p.save();
    p.setClipPath(disc);
    p.setBrush(land);
    p.drawEllipse(QRectF(30, 56, 84, 70));   // the north-west continent
    p.drawEllipse(QRectF(60, 120, 54, 86));  // and the one south of it
    p.drawEllipse(QRectF(120, 96, 90, 100)); // the eastern one, cut by the rim
    p.setPen(QPen(QColor(0x6f, 0x98, 0xc0), line * 0.5));
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(8, 124), QPointF(208, 124));
    p.drawEllipse(QRectF(58, 24, 100, 200));
    p.restore();
    p.setPen(QPen(ink, line));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(globe);

    // The thermometer stands in front of the globe's eastern rim.
    QPainterPath stem;
    stem.addRoundedRect(QRectF(184, 16, 44, 168), 22, 22);
    QPainterPath bulb;
    bulb.addEllipse(QRectF(172, 168, 68, 68));
    const QPainterPath body = stem.united(bulb);
    p.setPen(QPen(ink, line));
    p.setBrush(Qt::white);
    p.drawPath(body);
    p.setPen(Qt::NoPen);
    p.setBrush(red);
    p.drawRoundedRect(QRectF(198, 70, 16, 120), 8, 8);
    p.drawEllipse(QRectF(184, 180, 44, 44));
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: ventora-desktop-icons FOLDER\n", stderr);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const QDir root(QString::fromLocal8Bit(argv[1]));
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        DrawIcon(painter, size);
        painter.end();
        const QString folder = QString("%1x%1/apps").arg(size);
        if (!root.mkpath(folder) || !image.save(root.filePath(folder + "/ventora.png"))) {
            std::fprintf(stderr, "ventora-desktop-icons: cannot write %s\n",
                         qPrintable(root.filePath(folder + "/ventora.png")));
            return 1;
        }
    }
    return 0;
}
