// Sheet sprites that are shapes rather than words: paddles, puck, bursts, digits, marks,
// item capsules, the time gauge and the slot shade.
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <cmath>
#include <cstring>
#include <string>

#include "art.h"
#include "sheet_sprites.h"

namespace gen {

namespace {

using namespace colour;

bool Starts(const char* name, const char* prefix) {
    return std::strncmp(name, prefix, std::strlen(prefix)) == 0;
}
int Suffix(const char* name) {
    return std::atoi(std::strrchr(name, '.') + 1);
}

enum class Motif { Plain, Ticks, Chevrons, Arrows, Hazard, Rainbow };

void Paddle(QPainter& p, int h, const QColor& base, Motif motif, const QColor& side = QColor()) {
    const QRectF body(0.5, 0.5, 9.0, h - 1.0);
    QLinearGradient g(0, 0, 10, 0);
    g.setColorAt(0.0, Dim(base, 0.45));
    g.setColorAt(0.5, Mix(base, kIce, 0.35));
    g.setColorAt(1.0, Dim(base, 0.45));
    p.setPen(QPen(Dim(base, 0.8), 1.0));
    p.setBrush(g);
    p.drawRoundedRect(body, 4, 4);
    p.setPen(Qt::NoPen);
    switch (motif) {
        case Motif::Plain:
            p.setBrush(Mix(base, kIce, 0.7));
            p.drawRoundedRect(QRectF(4, 4, 2, h - 8), 1, 1);
            break;
        case Motif::Ticks:  // LengthUp: a ladder of marks along the grown paddle
            for (int y = 6; y < h - 5; y += 6) {
                p.setBrush(Dim(kDark, 1.0));
                p.drawRect(QRectF(2, y, 6, 2));
            }
            break;
        case Motif::Chevrons:  // BackBoost: hot chevrons pointing up the table
            p.setBrush(kYellow);
            for (int y = 8; y < h - 8; y += 11) {
                QPolygonF v;
                v << QPointF(1.5, y + 5) << QPointF(5, y) << QPointF(8.5, y + 5) << QPointF(8.5, y + 8)
                  << QPointF(5, y + 3) << QPointF(1.5, y + 8);
                p.drawPolygon(v);
            }
            break;
        case Motif::Arrows: {  // ShiftChange: arrows that point the wrong way
            p.setBrush(kIce);
            QPolygonF down, up;
            double m = h / 2.0;
            down << QPointF(2, m - 10) << QPointF(8, m - 10) << QPointF(5, m - 4);
            up << QPointF(2, m + 10) << QPointF(8, m + 10) << QPointF(5, m + 4);
            p.drawPolygon(down);
            p.drawPolygon(up);
            p.drawRect(QRectF(4, 3, 2, m - 13));
            p.drawRect(QRectF(4, m + 10, 2, h - m - 13));
            break;
        }
        case Motif::Hazard:  // Panic: warning stripes
            p.setBrush(kYellow);
            p.setClipRect(QRectF(1, 1, 8, h - 2));
            for (int y = -6; y < h; y += 8) {
                QPolygonF s;
                s << QPointF(0, y + 4) << QPointF(10, y) << QPointF(10, y + 4) << QPointF(0, y + 8);
                p.drawPolygon(s);
            }
            p.setClipping(false);
            break;
        case Motif::Rainbow: {  // RandomSpeed: every segment a different colour
            const QColor cycle[4] = {kCyan, kLime, kYellow, kMagenta};
            int i = 0;
            for (int y = 3; y < h - 4; y += 7, ++i) {
                p.setBrush(cycle[i % 4]);
                p.drawEllipse(QRectF(2.5, y, 5, 5));
            }
            break;
        }
    }
    // Effect looks of a back paddle keep an outline of their side's colour.
    if (side.isValid()) {
        p.setPen(QPen(side, 1.4));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(0.7, 0.7, 8.6, h - 1.4), 4, 4);
    }
}

bool PaintPaddle(QPainter& p, const vx::SheetSprite& s) {
    const std::string n = s.name;
    const bool p2 = n.find(".p2") != std::string::npos;
    const QColor side = p2 ? kMagenta : kCyan;
    const bool back = n.find(".back.p") != std::string::npos;
    const QColor edge = back ? side : QColor();
    const QColor front{0x6E, 0x86, 0xFF};
    if (n == "paddle.back.p1" || n == "paddle.back.p2")
        Paddle(p, s.h, side, Motif::Plain);
    else if (n == "paddle.front")
        Paddle(p, s.h, front, Motif::Plain);
    else if (n == "paddle.front.long")
        Paddle(p, s.h, kLime, Motif::Ticks);
    else if (n == "paddle.back.short")
        Paddle(p, s.h, kOrange, Motif::Plain);
    else if (Starts(s.name, "paddle.boost."))
        Paddle(p, s.h, side, Motif::Chevrons);
    else if (Starts(s.name, "paddle.reversed."))
        Paddle(p, s.h, kViolet, Motif::Arrows, edge);
    else if (Starts(s.name, "paddle.panic."))
        Paddle(p, s.h, kRed, Motif::Hazard, edge);
    else if (Starts(s.name, "paddle.random."))
        Paddle(p, s.h, QColor(0x50, 0x50, 0x70), Motif::Rainbow, edge);
    else
        return false;
    return true;
}

void Puck(QPainter& p) {
    QRadialGradient g(QPointF(5.0, 5.0), 6.0);
    g.setColorAt(0.0, kIce);
    g.setColorAt(0.55, kYellow);
    g.setColorAt(1.0, kOrange);
    p.setPen(QPen(Dim(kOrange, 0.9), 0.8));
    p.setBrush(g);
    p.drawEllipse(QRectF(0.6, 0.6, 10.8, 10.8));
}

void Burst(QPainter& p, int frame) {
    const QPointF c(16, 16);
    const double radius[3] = {6.5, 10.5, 13.5};
    const QColor ring[3] = {kYellow, kOrange, kMagenta};
    const double r = radius[frame];
    if (frame == 0) {
        QRadialGradient g(c, r);
        g.setColorAt(0.0, kIce);
        g.setColorAt(1.0, kYellow);
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawEllipse(c, r, r);
    } else {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(ring[frame], frame == 1 ? 3.0 : 1.8, frame == 1 ? Qt::SolidLine : Qt::DashLine));
        p.drawEllipse(c, r - 1.5, r - 1.5);
    }
    // Sparks: eight rays, rotated a little each picture so the burst seems to spin.
    for (int i = 0; i < 8; ++i) {
        double a = (i * 45.0 + frame * 15.0) * M_PI / 180.0;
        double r0 = r * (frame == 0 ? 0.9 : 0.55), r1 = std::min(r + 3.0, 14.8);
        QPointF a0(c.x() + r0 * std::cos(a), c.y() + r0 * std::sin(a));
        QPointF a1(c.x() + r1 * std::cos(a), c.y() + r1 * std::sin(a));
        p.setPen(QPen(i % 2 ? kCyan : Mix(ring[frame], kIce, 0.4), 1.8, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(a0, a1);
    }
}

void Digit(QPainter& p, int d, const QRectF& box, const QColor& c, double width) {
    QPainterPath path = SegmentDigit(d, box, box.height() * 0.12);
    NeonStroke(p, path, c, width);
}

void Mark(QPainter& p, const char* text, const QColor& c, bool square) {
    p.setPen(QPen(c, 1.4));
    p.setBrush(Dim(c, 0.25));
    if (square)
        p.drawRoundedRect(QRectF(1, 1, 11, 11), 2, 2);
    else
        p.drawEllipse(QRectF(0.8, 0.8, 11.4, 11.4));
    p.setPen(Qt::NoPen);
    p.setBrush(Mix(c, kIce, 0.6));
    p.drawPath(TextPath(text, UiFont(9), QPointF(6.5, 6.5)));
}

QColor ItemColour(int kind) {
    const QColor c[10] = {
        kLime, kOrange, kRed, kYellow, kCyan, kRed, kViolet, kMagenta, QColor(0x8C, 0xA6, 0xD8), kYellow};
    return c[(kind - 1) % 10];
}

void Arrow(QPainter& p, QPointF tip, double dir, double size) {
    QPolygonF t;
    t << tip << QPointF(tip.x() - size, tip.y() - dir * size)
      << QPointF(tip.x() + size, tip.y() - dir * size);
    p.drawPolygon(t);
}

void ItemSymbol(QPainter& p, int kind, const QColor& c) {
    const QColor hot = Mix(c, kIce, 0.35);
    p.setPen(Qt::NoPen);
    p.setBrush(hot);
    switch (kind) {
        case 1:  // LengthUp
            p.drawRoundedRect(QRectF(14, 10, 4, 12), 1.5, 1.5);
            Arrow(p, QPointF(16, 4.5), -1, 4.5);
            Arrow(p, QPointF(16, 27.5), 1, 4.5);
            break;
        case 2:  // LengthDown
            p.drawRoundedRect(QRectF(14, 12.5, 4, 7), 1.5, 1.5);
            Arrow(p, QPointF(16, 11), 1, 4.5);
            Arrow(p, QPointF(16, 21), -1, 4.5);
            p.drawRect(QRectF(15, 4, 2, 3));
            p.drawRect(QRectF(15, 25, 2, 3));
            break;
        case 3:  // LostForward
            p.setBrush(Dim(kIce, 0.55));
            p.drawRoundedRect(QRectF(14, 7, 4, 18), 1.5, 1.5);
            p.setPen(QPen(hot, 3.0, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(8, 8), QPointF(24, 24));
            p.drawLine(QPointF(24, 8), QPointF(8, 24));
            break;
        case 4:  // Double
            p.drawEllipse(QPointF(11.5, 12), 5, 5);
            p.drawEllipse(QPointF(20.5, 20), 5, 5);
            break;
        case 5: {  // BackBoost: a bolt
            QPolygonF bolt;
            bolt << QPointF(18, 4) << QPointF(9, 18) << QPointF(15, 18) << QPointF(13, 28) << QPointF(23, 13)
                 << QPointF(17, 13) << QPointF(20, 4);
            p.setBrush(Mix(kYellow, kIce, 0.3));
            p.drawPolygon(bolt);
            break;
        }
        case 6: {  // Panic
            QPolygonF tri;
            tri << QPointF(16, 5) << QPointF(27, 26) << QPointF(5, 26);
            p.setBrush(kYellow);
            p.drawPolygon(tri);
            p.setBrush(kDark);
            p.drawRect(QRectF(14.8, 11, 2.4, 9));
            p.drawRect(QRectF(14.8, 21.5, 2.4, 2.4));
            break;
        }
        case 7: {  // RandomSpeed: a die
            p.setPen(QPen(hot, 1.6));
            p.setBrush(Qt::NoBrush);
            p.drawRoundedRect(QRectF(7, 7, 18, 18), 3, 3);
            p.setPen(Qt::NoPen);
            p.setBrush(hot);
            const QPointF pips[5] = {{11.5, 11.5}, {20.5, 11.5}, {16, 16}, {11.5, 20.5}, {20.5, 20.5}};
            for (QPointF q : pips) p.drawEllipse(q, 1.8, 1.8);
            break;
        }
        case 8:  // ShiftChange: swapped arrows
            p.drawRect(QRectF(9.5, 10, 3, 14));
            Arrow(p, QPointF(11, 4.5), -1, 4.5);
            p.drawRect(QRectF(19.5, 8, 3, 14));
            Arrow(p, QPointF(21, 27.5), 1, 4.5);
            break;
        case 9: {  // Blind: an eye, struck out
            QPainterPath eye;
            eye.moveTo(5, 16);
            eye.quadTo(16, 5, 27, 16);
            eye.quadTo(16, 27, 5, 16);
            p.drawPath(eye);
            p.setBrush(kDark);
            p.drawEllipse(QPointF(16, 16), 4, 4);
            p.setPen(QPen(kRed, 2.6, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(7, 25), QPointF(25, 7));
            break;
        }
        default:  // the capsule that hides its kind
            p.drawPath(TextPath("???", CondensedFont(13), QPointF(16, 16)));
            break;
    }
}

void ItemCapsule(QPainter& p, int kind) {
    const QColor c = ItemColour(kind);
    p.setPen(QPen(c, 2.0));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(1, 1, 30, 30), 6, 6);
    // The inside is the icon shown beside the table while the effect runs: opaque.
    QLinearGradient g(0, 2, 0, 30);
    g.setColorAt(0.0, Mix(kDark, c, 0.28));
    g.setColorAt(1.0, Mix(kDark, c, 0.08));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRect(QRect(2, 2, 28, 28));
    ItemSymbol(p, kind, c);
}

void Gauge(QPainter& p) {
    p.fillRect(QRect(0, 0, 280, 15), QColor(0x16, 0x0C, 0x36));
    for (int i = 0; i < 40; ++i) {
        double t = i / 39.0;
        QColor c = t < 0.5 ? Mix(kRed, kYellow, t * 2) : Mix(kYellow, kLime, (t - 0.5) * 2);
        p.fillRect(QRectF(7 * i + 1, 2, 5, 11), c);
        p.fillRect(QRectF(7 * i + 2, 3, 3, 4), Mix(c, kIce, 0.6));
    }
}

}  // namespace

bool PaintPiece(QPainter& p, const vx::SheetSprite& s, QColor& under) {
    const char* n = s.name;
    if (Starts(n, "paddle.")) return PaintPaddle(p, s);
    if (std::strcmp(n, "puck") == 0) {
        Puck(p);
    } else if (Starts(n, "burst.")) {
        Burst(p, Suffix(n) - 1);
    } else if (Starts(n, "digit.small.")) {
        Digit(p, Suffix(n), QRectF(5.5, 3.5, 12, 17), kYellow, 3.4);
        under = colour::kPanel;
    } else if (Starts(n, "digit.large.")) {
        Digit(p, Suffix(n), QRectF(6.5, 4, 14, 22.5), kCyan, 3.8);
        under = colour::kPanel;
    } else if (Starts(n, "stage.digit.")) {
        // The waiting screen copies this one without its mask: it must be opaque.
        p.fillRect(QRectF(0, 0, s.w, s.h), colour::kDark);
        Digit(p, Suffix(n), QRectF(12, 6, 18, 34), kYellow, 4.5);
        under = colour::kDark;
    } else if (std::strcmp(n, "mark.p1") == 0) {
        Mark(p, "1", kCyan, false);
        under = colour::kPanel;
    } else if (std::strcmp(n, "mark.p2") == 0) {
        Mark(p, "2", kMagenta, false);
        under = colour::kPanel;
    } else if (std::strcmp(n, "mark.cpu") == 0) {
        Mark(p, "C", kOrange, true);
        under = colour::kPanel;
    } else if (Starts(n, "item.icon.")) {
        ItemCapsule(p, Suffix(n));
    } else if (std::strcmp(n, "gauge.full") == 0) {
        Gauge(p);
        under = colour::kPanel;
    } else if (std::strcmp(n, "slot.shade") == 0) {
        for (int y = 0; y < s.h; ++y)
            for (int x = (y & 1); x < s.w; x += 2) p.fillRect(QRect(x, y, 1, 1), QColor(0x02, 0x02, 0x08));
        under = colour::kDark;
    } else {
        return false;
    }
    return true;
}

}  // namespace gen
