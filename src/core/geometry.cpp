#include "core/geometry.h"

namespace vx {

void MakeRect(Rect& r, int32_t a, int32_t b, int32_t c, int32_t d) {
    r.left = a;
    r.top = b;
    r.right = c;
    r.bottom = d;
}

void MakePoint(Point& p, int32_t a, int32_t b) {
    p.x = b;
    p.y = a;
}

bool PointInRect(const Rect& r, const Point& p) {
    if (p.x < r.left || p.x > r.right) return false;
    return p.y >= r.top && p.y <= r.bottom;
}

bool RectsOverlap(const Rect& a, const Rect& b) {
    const Point corners[8] = {
        {b.left, b.top}, {b.right, b.top}, {b.left, b.bottom}, {b.right, b.bottom},
        {a.left, a.top}, {a.right, a.top}, {a.left, a.bottom}, {a.right, a.bottom},
    };
    for (int i = 0; i < 4; ++i)
        if (PointInRect(a, corners[i])) return true;
    for (int i = 4; i < 8; ++i)
        if (PointInRect(b, corners[i])) return true;
    return false;
}

}  // namespace vx
