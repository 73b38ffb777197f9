// Draws the program's desktop icon: a dark table with the two paddles of each side and
// a yellow puck between them. Run by the build; writes one PNG of the given size.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_voltrax_icon OUTPUT.png SIZE\n");
        return 2;
    }
    const int size = std::atoi(argv[2]);
    if (size < 16 || size > 1024) {
        std::fprintf(stderr, "make_voltrax_icon: size must be 16..1024\n");
        return 2;
    }
    QImage icon(size, size, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter p(&icon);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);

    // The table: deep blue with a light rim and a dashed centre line.
    QPainterPath table;
    table.addRoundedRect(QRectF(2, 6, 60, 52), 8, 8);
    p.fillPath(table, QColor(16, 28, 72));
    p.setPen(QPen(QColor(120, 170, 255), 2));
    p.drawPath(table);
    p.setPen(QPen(QColor(70, 100, 170), 1.2, Qt::DashLine));
    p.drawLine(QPointF(32, 10), QPointF(32, 54));

    // Back and front paddles of each side.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(235, 240, 255));
    p.drawRoundedRect(QRectF(8, 18, 4, 20), 1.5, 1.5);
    p.drawRoundedRect(QRectF(20, 13, 4, 12), 1.5, 1.5);
    p.drawRoundedRect(QRectF(52, 26, 4, 20), 1.5, 1.5);
    p.drawRoundedRect(QRectF(40, 20, 4, 12), 1.5, 1.5);

    // The puck with a spark trail.
    p.setBrush(QColor(255, 220, 40));
    p.drawEllipse(QPointF(34, 36), 5, 5);
    p.setPen(QPen(QColor(255, 240, 120), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    QPainterPath spark;
    spark.moveTo(28, 32);
    spark.lineTo(25, 35);
    spark.lineTo(27, 36);
    spark.lineTo(23, 40);
    p.drawPath(spark);
    p.end();

    if (!icon.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "make_voltrax_icon: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
