#include "stage_lines.h"

#include <QImage>
#include <QPainter>

#include "art.h"
#include "core/stage_tables.h"

namespace gen {

namespace {

using namespace colour;

void DrawStage(QImage& picture, const StageView& v, const QColor& under) {
    QImage layer = NewLayer(v.width, v.height);
    {
        QPainter p(&layer);
        SetSmooth(p);
        const double s = v.scale;
        auto map = [&](double x, double y) {
            return QPointF(v.originX - v.left + (x - v.tableX) * s, v.originY - v.top + (y - v.tableY) * s);
        };
        const double lineWidth = s < 1.0 ? 1.4 : 2.2;
        QPainterPath walls;
        for (const vx::WallPiece& w : vx::StageWalls(v.stage)) {
            const vx::Rect& b = w.bounds;
            if (w.kind == -1) {
                walls.moveTo(map(b.left, b.top));
                walls.lineTo(map(b.right, b.bottom));
            } else {
                walls.moveTo(map(b.left, b.bottom));
                walls.lineTo(map(b.right, b.top));
            }
        }
        QColor halo = kLime;
        halo.setAlpha(70);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(halo, lineWidth * 1.9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(walls);
        p.setPen(QPen(kLime, lineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(walls);
        p.setPen(QPen(Mix(kLime, kIce, 0.6), lineWidth * 0.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(walls);
        // Corner posts are drawn over the area the game erases them with.
        for (const vx::Rect& r : vx::StageCornerPosts(v.stage)) {
            QRectF box(map(r.left, r.top), map(r.right, r.bottom));
            p.setPen(QPen(kOrange, 1.0));
            p.setBrush(Dim(kOrange, 0.45));
            p.drawRect(box.adjusted(0.5, 0.5, -0.5, -0.5));
            p.setPen(Qt::NoPen);
            p.setBrush(Mix(kOrange, kIce, 0.5));
            p.drawRect(QRectF(box.center().x() - 1.0 * s, box.top() + 2 * s, 2.0 * s, box.height() - 4 * s));
        }
        for (const vx::BumperPiece& b : vx::StageBumpers(v.stage)) {
            QPointF c = map(b.cx / 100.0, b.cy / 100.0);
            double r = vx::kBumperRadius * s;
            p.setPen(QPen(kMagenta, s < 1.0 ? 1.2 : 2.0));
            p.setBrush(Dim(kMagenta, 0.3));
            p.drawEllipse(c, r - 0.5, r - 0.5);
            p.setPen(Qt::NoPen);
            p.setBrush(Mix(kMagenta, kIce, 0.6));
            p.drawEllipse(c, r * 0.3, r * 0.3);
        }
    }
    QImage flat = Flatten(layer, under, 110);
    for (int y = 0; y < flat.height(); ++y)
        for (int x = 0; x < flat.width(); ++x)
            if ((flat.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF)
                picture.setPixel(v.left + x, v.top + y, flat.pixel(x, y));
}

}  // namespace

QImage DrawLinePict() {
    QImage picture(kLinePictWidth, kLinePictHeight, QImage::Format_RGB32);
    picture.fill(0xFFFFFFFFu);
    for (const StageView& v : LinePictViews()) DrawStage(picture, v, kTable);
    return picture;
}

QImage DrawSt3() {
    QImage picture(kSt3Width, kSt3Height, QImage::Format_RGB32);
    picture.fill(0xFFFFFFFFu);
    DrawStage(picture, St3View(), kTable);
    return picture;
}

}  // namespace gen
