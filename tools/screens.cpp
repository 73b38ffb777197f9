#include "screens.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

#include "art.h"
#include "core/stage_tables.h"
#include "platform/version.h"
#include "sheet_sprites.h"

namespace gen {

using namespace colour;

void PaintBackdrop(QPainter& p, int w, int h) {
    p.fillRect(QRect(0, 0, w, h), kDark);
    QPen grid(QColor(0x14, 0x1A, 0x3E), 1);
    p.setPen(grid);
    for (int x = 8; x < w; x += 24) p.drawLine(x, 0, x, h);
    for (int y = 8; y < h; y += 24) p.drawLine(0, y, w, y);
}

void PaintBolt(QPainter& p, QPointF at, double k, const QColor& c) {
    QPolygonF bolt;
    const QPointF pts[7] = {{4, -10}, {-5, 2}, {0, 2}, {-3, 11}, {6, -2}, {1, -2}, {5, -10}};
    for (QPointF q : pts) bolt << QPointF(at.x() + q.x() * k, at.y() + q.y() * k);
    QColor halo = c;
    halo.setAlpha(90);
    p.setPen(QPen(halo, 3 * k * 0.5 + 1));
    p.setBrush(Mix(c, kIce, 0.35));
    p.drawPolygon(bolt);
}

namespace {

// Keeps the rectangle a button or sprite is drawn into a plain dark colour, with a
// neon frame just outside it.
void ClearArea(QPainter& p, const QRect& r, const QColor& frame, int margin = 3) {
    QRectF outer = QRectF(r).adjusted(-margin, -margin, margin, margin);
    p.setPen(QPen(Dim(frame, 0.75), 1.0));
    p.setBrush(kDark);
    p.drawRoundedRect(outer.adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
    p.fillRect(r, kDark);
}

void PaintLogo(QPainter& p, QPointF centre, int px) {
    QPainterPath path = TextPath("VOLTRAX", UiFont(px), centre);
    QTransform lean;
    lean.translate(centre.x(), centre.y());
    lean.shear(-0.2, 0);
    lean.translate(-centre.x(), -centre.y());
    path = lean.map(path);
    QRectF ink = path.boundingRect();
    for (int i = 4; i >= 1; --i) {
        QColor halo = kCyan;
        halo.setAlpha(30 + 10 * (4 - i));
        p.setPen(QPen(halo, 3.0 * i, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
    }
    QLinearGradient fill(0, ink.top(), 0, ink.bottom());
    fill.setColorAt(0.0, kIce);
    fill.setColorAt(0.5, kYellow);
    fill.setColorAt(1.0, kOrange);
    p.setPen(QPen(kCyan, 2.0));
    p.setBrush(fill);
    p.drawPath(path);
    PaintBolt(p, QPointF(ink.left() - 22, ink.center().y()), px / 28.0, kYellow);
    PaintBolt(p, QPointF(ink.right() + 18, ink.center().y()), px / 28.0, kYellow);
}

}  // namespace

QImage DrawTitlePicture() {
    QImage img(kScreenWidth, kScreenHeight, QImage::Format_RGB32);
    QPainter p(&img);
    SetSmooth(p);
    p.fillRect(img.rect(), kDark);
    // Horizon glow and a receding neon floor.
    QLinearGradient sky(0, 0, 0, 200);
    sky.setColorAt(0.0, kDark);
    sky.setColorAt(1.0, QColor(0x2A, 0x0C, 0x46));
    p.fillRect(QRect(0, 0, 512, 200), sky);
    p.fillRect(QRect(0, 200, 512, 142), QColor(0x0C, 0x06, 0x1E));
    QRadialGradient sun(QPointF(256, 200), 150);
    sun.setColorAt(0.0, QColor(0xFF, 0x4A, 0xB0, 110));
    sun.setColorAt(1.0, QColor(0xFF, 0x4A, 0xB0, 0));
    p.fillRect(QRect(0, 50, 512, 150), sun);
    p.setPen(QPen(QColor(0xC0, 0x24, 0xA8), 1.2));
    for (int i = -12; i <= 12; ++i) p.drawLine(QPointF(256 + i * 14, 200), QPointF(256 + i * 70, 342));
    for (int k = 0; k < 9; ++k) {
        double y = 200 + 142.0 * (k * k) / 64.0;
        p.drawLine(QPointF(0, y), QPointF(512, y));
    }
    p.setPen(QPen(kMagenta, 2));
    p.drawLine(0, 200, 512, 200);
    // Stars.
    uint32_t seed = 12345;
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 70; ++i) {
        seed = seed * 1103515245u + 12345u;
        int x = int(seed >> 8) % 512;
        seed = seed * 1103515245u + 12345u;
        int y = int(seed >> 8) % 190;
        p.setBrush(QColor(0x80 + int(seed % 0x60), 0x90 + int(seed % 0x50), 0xFF));
        p.drawEllipse(QPointF(x, y), 0.8, 0.8);
    }
    PaintLogo(p, QPointF(256, 72), 62);
    p.setPen(Qt::NoPen);
    p.setBrush(Mix(kMagenta, kIce, 0.35));
    p.drawPath(TextPath("ELECTRIC  TABLE  BATTLE", CondensedFont(13), QPointF(256, 128)));
    // The buttons' place: one dark plate, so their rounded corners meet the colour they
    // were flattened over.
    p.setPen(QPen(kCyan, 1.5));
    p.setBrush(QColor(0x0A, 0x0E, 0x22, 235));
    p.drawRoundedRect(QRectF(140.5, 158.5, 231, 124), 10, 10);
    p.fillRect(QRect(146, 164, 220, 113), kDark);
    p.setPen(Qt::NoPen);
    p.setBrush(Dim(kCyan, 0.8));
    p.drawPath(TextPath("VER " VOLTRAX_VERSION_TEXT, CondensedFont(10), QPointF(470, 330)));
    p.end();
    AvoidWhite(img);
    return img;
}

QImage DrawWaitingPicture() {
    QImage img(kScreenWidth, kScreenHeight, QImage::Format_RGB32);
    QPainter p(&img);
    SetSmooth(p);
    PaintBackdrop(p, kScreenWidth, kScreenHeight);
    QRadialGradient glow(QPointF(300, 162), 220);
    glow.setColorAt(0.0, QColor(0x22, 0x60, 0xC0, 90));
    glow.setColorAt(1.0, QColor(0x22, 0x60, 0xC0, 0));
    p.fillRect(img.rect(), glow);
    for (int i = 0; i < 2; ++i) {
        const int y = i ? 212 : 112;
        p.setPen(QPen(i ? kMagenta : kCyan, 2));
        p.drawLine(40, y, 472, y);
        p.setPen(QPen(Dim(i ? kMagenta : kCyan, 0.5), 1));
        p.drawLine(60, y + (i ? 6 : -6), 452, y + (i ? 6 : -6));
    }
    NeonText(p, "STAGE", UiFont(46), QPointF(268, 162), kCyan, 2.0);
    // The stage digit is drawn at (375, 139), 43 x 47: keep it plain, frame it.
    ClearArea(p, QRect(375, 139, 43, 47), kYellow, 5);
    p.setPen(Qt::NoPen);
    p.setBrush(Mix(kMagenta, kIce, 0.3));
    p.drawPath(TextPath("GET READY", CondensedFont(14), QPointF(305, 240)));
    PaintBolt(p, QPointF(158, 162), 2.0, kYellow);
    PaintBolt(p, QPointF(452, 162), 2.0, kYellow);
    p.end();
    AvoidWhite(img);
    return img;
}

QImage DrawBattlePicture() {
    QImage img(kScreenWidth, kBattleHeight, QImage::Format_RGB32);
    QPainter p(&img);
    SetSmooth(p);
    p.fillRect(img.rect(), kPanel);
    // Field between the walls, goal mouths beyond x 66 and x 446.
    p.fillRect(QRect(0, 61, 512, 222), kTable);
    p.fillRect(QRect(0, 61, 66, 222), QColor(0x06, 0x22, 0x3A));
    p.fillRect(QRect(447, 61, 65, 222), QColor(0x2C, 0x08, 0x34));
    p.setPen(QPen(QColor(0x10, 0x1E, 0x44), 1));
    for (int x = 86; x < 446; x += 20) p.drawLine(x, 61, x, 282);
    for (int y = 71; y < 283; y += 20) p.drawLine(66, y, 446, y);
    p.setPen(QPen(QColor(0x20, 0x50, 0x90), 1.5, Qt::DashLine));
    p.drawLine(QPointF(256, 61), QPointF(256, 282));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(256, 171.5), 34, 34);
    p.setPen(QPen(QColor(0x18, 0x34, 0x66), 1, Qt::DotLine));
    for (int x : {77, 189, 323, 435}) p.drawLine(x, 64, x, 279);
    p.setPen(QPen(kCyan, 2));
    p.drawLine(QPointF(66, 61), QPointF(66, 282));
    p.setPen(QPen(kMagenta, 2));
    p.drawLine(QPointF(446, 61), QPointF(446, 282));
    // Walls: a hot line just outside the field, with a glow into the panels.
    for (int i = 0; i < 2; ++i) {
        const double y = i ? 284.0 : 59.0;
        QColor halo = kCyan;
        halo.setAlpha(80);
        p.setPen(QPen(halo, 5));
        p.drawLine(QPointF(0, y), QPointF(512, y));
        p.setPen(QPen(kCyan, 2));
        p.drawLine(QPointF(0, y), QPointF(512, y));
        p.setPen(QPen(Mix(kCyan, kIce, 0.6), 1));
        p.drawLine(QPointF(0, y), QPointF(512, y));
    }
    p.fillRect(QRect(0, 61, 512, 222).adjusted(0, 0, 0, 0).intersected(QRect(0, 61, 512, 1)), kTable);
    // Panel strip: score boxes, the clock's place and side captions.
    auto frame = [&](QRectF r, const QColor& c) {
        p.setPen(QPen(Dim(c, 0.8), 1.2));
        p.setBrush(QColor(0x08, 0x06, 0x1C));
        p.drawRoundedRect(r, 5, 5);
    };
    frame(QRectF(64.5, 17.5, 82, 34), kCyan);
    frame(QRectF(366.5, 17.5, 82, 34), kMagenta);
    frame(QRectF(240.5, 9.5, 114, 40), kYellow);
    p.fillRect(QRect(70, 22, 70, 24), kPanel);
    p.fillRect(QRect(374, 22, 70, 24), kPanel);
    p.fillRect(QRect(247, 14, 100, 31), kPanel);
    p.fillRect(QRect(243, 2, 110, 12), kPanel);
    p.setPen(Qt::NoPen);
    p.setBrush(kCyan);
    p.drawPath(TextPath("1P", UiFont(18), QPointF(32, 34)));
    p.setBrush(kMagenta);
    p.drawPath(TextPath("2P", UiFont(18), QPointF(480, 34)));
    PaintBolt(p, QPointF(196, 21), 1.1, kYellow);
    p.setPen(Qt::NoPen);
    p.setBrush(Dim(kYellow, 0.9));
    p.drawPath(TextPath("VOLTRAX", CondensedFont(12), QPointF(196, 44)));
    // Below the table: the icon, gauge and name places of the item effects.
    const QRect icon1(77, 293, 28, 28), icon2(410, 293, 28, 28), gauge(117, 293, 280, 15),
        strip(175, 323, 162, 16);
    for (QRect r : {icon1, icon2, gauge, strip}) {
        p.setPen(QPen(QColor(0x46, 0x3A, 0x8A), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(r).adjusted(-2.5, -2.5, 2.5, 2.5), 3, 3);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(Dim(kCyan, 0.8));
    p.drawPath(TextPath("ITEM", CondensedFont(10), QPointF(91, 332)));
    p.setBrush(Dim(kMagenta, 0.9));
    p.drawPath(TextPath("ITEM", CondensedFont(10), QPointF(424, 332)));
    // The empty gauge, kept outside the visible screen.
    p.fillRect(QRect(0, 411, 280, 15), QColor(0x16, 0x0C, 0x36));
    for (int i = 0; i < 40; ++i) p.fillRect(QRectF(7 * i + 1, 413, 5, 11), QColor(0x2C, 0x22, 0x5A));
    p.end();
    AvoidWhite(img);
    return img;
}

}  // namespace gen
