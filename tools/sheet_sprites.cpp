#include "sheet_sprites.h"

#include <QPainter>
#include <string>

#include "art.h"

namespace gen {

namespace {

// The received item icon is a view into the capsule; the sheet holds it only once.
bool IsView(const vx::SheetSprite& s) {
    return std::string(s.name).rfind("item.held.", 0) == 0;
}

void Place(QImage& sheet, const QImage& sprite, int x0, int y0) {
    for (int y = 0; y < sprite.height(); ++y) {
        for (int x = 0; x < sprite.width(); ++x) {
            QRgb c = sprite.pixel(x, y);
            if ((c & 0xFFFFFF) == 0xFFFFFF) continue;
            if (x0 + x < sheet.width() && y0 + y < sheet.height()) sheet.setPixel(x0 + x, y0 + y, c);
        }
    }
}

}  // namespace

QPainterPath SegmentDigit(int digit, const QRectF& box, double slant) {
    static const char* kSegments[10] = {"abcdef", "bc",     "abged", "abgcd",   "fgbc",
                                        "afgcd",  "afgedc", "abc",   "abcdefg", "abcdfg"};
    const double l = box.left(), r = box.right(), t = box.top(), b = box.bottom();
    const double m = (t + b) / 2.0;
    auto at = [&](double x, double y) { return QPointF(x + slant * (m - y) / (b - t), y); };
    QPainterPath path;
    auto seg = [&](QPointF a, QPointF c) {
        path.moveTo(a);
        path.lineTo(c);
    };
    const double g = 1.5;  // gap between segments, in pixels
    for (const char* s = kSegments[digit % 10]; *s; ++s) {
        switch (*s) {
            case 'a': seg(at(l + g, t), at(r - g, t)); break;
            case 'b': seg(at(r, t + g), at(r, m - g)); break;
            case 'c': seg(at(r, m + g), at(r, b - g)); break;
            case 'd': seg(at(l + g, b), at(r - g, b)); break;
            case 'e': seg(at(l, m + g), at(l, b - g)); break;
            case 'f': seg(at(l, t + g), at(l, m - g)); break;
            case 'g': seg(at(l + g, m), at(r - g, m)); break;
        }
    }
    return path;
}

QImage DrawSpriteSheet() {
    QImage sheet(vx::kSheetWidth, vx::kSheetHeight, QImage::Format_RGB32);
    sheet.fill(0xFFFFFFFFu);
    for (const vx::SheetSprite& s : vx::SheetLayout()) {
        if (IsView(s)) continue;
        const int w = std::min(s.w, vx::kSheetWidth - s.x);
        QImage layer = NewLayer(s.w, s.h);
        QColor under = colour::kTable;
        {
            QPainter p(&layer);
            SetSmooth(p);
            if (!PaintPiece(p, s, under)) PaintWords(p, s, under);
        }
        Place(sheet, Flatten(layer.copy(0, 0, w, s.h), under), s.x, s.y);
    }
    // Pixels two sprites share along an edge stay transparent for both.
    for (const vx::SheetShare& share : vx::SheetShares()) {
        if (share.inset) continue;
        const vx::SheetSprite* a = vx::FindSheetSprite(share.a);
        const vx::SheetSprite* b = vx::FindSheetSprite(share.b);
        QRect ra(a->x, a->y, a->w, a->h), rb(b->x, b->y, b->w, b->h);
        QRect both = ra.intersected(rb).intersected(sheet.rect());
        for (int y = both.top(); y <= both.bottom(); ++y)
            for (int x = both.left(); x <= both.right(); ++x) sheet.setPixel(x, y, 0xFFFFFFFFu);
    }
    return sheet;
}

}  // namespace gen
