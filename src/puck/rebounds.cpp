#include "puck/rebounds.h"

#include <cmath>
#include <cstdlib>

#include "core/game.h"
#include "puck/direction_tables.h"

namespace vx {

namespace {

constexpr uint8_t kPanic = item_kind::kPanic;

int32_t SpeedLimit(const ItemRecord& item) {
    return item.kind == kPanic ? puck_speed::kPanicLimit : puck_speed::kLimit;
}

int32_t Sign(int32_t v) {
    return v > 0 ? 1 : (v < 0 ? -1 : 0);
}

}  // namespace

void SetPuckBounds(Puck& puck) {
    const int32_t px = FloorDiv100(puck.x);
    const int32_t py = FloorDiv100(puck.y);
    MakeRect(puck.bounds, px - puck.radius, py - puck.radius, px + puck.radius, py + puck.radius);
}

int32_t NearestRandom(Game& g, int32_t scale) {
    return RoundHalfEven(std::fabs(static_cast<double>(g.random.Next()) * scale));
}

int32_t DirComponent(int32_t speed, int32_t dir100) {
    return FloorDiv(speed * dir100, 100);
}

int16_t RandomSign(Game& g) {
    ReseedRandom(g);
    const int32_t n = FloorToInt(static_cast<double>(g.random.Next()) * 10.0);
    return n < 4 ? 1 : -1;
}

int16_t ClampSpeed(int32_t speed, const ItemRecord& item) {
    const int32_t limit = SpeedLimit(item);
    if (speed <= puck_speed::kFloor) return puck_speed::kFloor;
    if (speed >= limit) return static_cast<int16_t>(limit);
    return static_cast<int16_t>(speed);
}

int16_t KickSpeed(const Puck& puck, int32_t percent, const ItemRecord& item) {
    const int64_t squared = int64_t{puck.vx} * puck.vx + int64_t{puck.vy} * puck.vy;
    const int64_t s2 = squared / 10000;  // whole pixels per step, squared; never negative
    int32_t v;
    if (s2 >= 25) {
        v = SpeedLimit(item);
    } else {
        // Single precision so that 1.8 × 200 is exactly 360.
        const float scaled =
            static_cast<float>(percent) / 100.0f * static_cast<float>(Sqrt100(static_cast<int32_t>(s2)));
        v = RoundHalfEvenSingle(scaled);
    }
    return ClampSpeed(v, item);
}

void Reflect(Puck& puck, int32_t a) {
    const double vx = puck.vx;
    const double vy = puck.vy;
    const double slope = a;
    const double q = slope * slope / 10000.0 + 1.0;
    puck.vx = FloorToInt((vx + 2.0 * slope * vy / 100.0 - slope * slope * vx / 10000.0) / q);
    puck.vy = FloorToInt((slope * slope * vy / 10000.0 + 2.0 * slope * vx / 100.0 - vy) / q);
}

bool Within(const Point& p, const Point& q, int32_t d) {
    // 64-bit: two table-wide distances in hundredths squared do not fit 32 bits.
    const int64_t dx = int64_t{q.x} - p.x;
    const int64_t dy = int64_t{q.y} - p.y;
    return dx * dx + dy * dy <= int64_t{d} * d;
}

void SegmentRebound(Puck& puck, const Wall& wall) {
    if (!RectsOverlap(puck.bounds, wall.bounds)) return;
    if (wall.kind == 10) {
        if (wall.facing * puck.vy >= 1) puck.vy = -puck.vy;
        return;
    }
    if (wall.kind == -10) {
        if (wall.facing * puck.vx >= 1) puck.vx = -puck.vx;
        return;
    }
    const int64_t a = wall.slope;
    if ((int64_t{puck.vx} * a - 100 * int64_t{puck.vy}) * wall.facing >= 0) return;  // moving out of the face
    const int64_t px = FloorDiv100(puck.x);
    const int64_t py = FloorDiv100(puck.y);
    const double offset = static_cast<double>(std::llabs(a * px - 100 * py + wall.intercept));
    const int32_t distance = FloorToInt(offset / std::sqrt(static_cast<double>(a * a + 10000)));
    if (distance >= puck.radius) return;
    Reflect(puck, wall.slope);
}

void BumperRebound(Game& g, Puck& puck, const Bumper& bumper, const ItemRecord& item) {
    const int32_t contact = puck.radius + bumper.radius;  // pixels
    if (!Within(Point{puck.x, puck.y}, Point{bumper.cx, bumper.cy}, 100 * contact)) return;
    // Reseeded only when a rebound happens: nothing random is drawn otherwise.
    ReseedRandom(g);
    DirPair dir = Dir3(NearestRandom(g, 100) % 27);
    dir.c *= RandomSign(g);
    dir.s *= bumper.verticalSign != 0 ? bumper.verticalSign : RandomSign(g);
    puck.x = contact * dir.c + bumper.cx;
    puck.y = contact * dir.s + bumper.cy;
    const int32_t speed = KickSpeed(puck, 100, item);
    puck.vx = DirComponent(speed, dir.c);
    puck.vy = DirComponent(speed, dir.s);
}

void PaddleRebound(Game& g, Puck& puck, const Paddle& paddle, const ItemRecord& item, MatchEvents& events) {
    if (paddle.kind == paddle_kind::kAbsent) return;
    if (!RectsOverlap(paddle.bounds, puck.bounds)) return;
    if (puck.state == puck_state::kInPlay) events.Sound(match_sound::kPaddleHit);

    const int32_t reach = FloorDiv((paddle.halfLength + puck.radius) * 10, 3);
    const int32_t px = FloorDiv100(puck.x);
    const int32_t py = FloorDiv100(puck.y);
    int32_t i = FloorDiv(std::abs(py - paddle.y) * 100, reach);
    if (i >= 30) i = 29;
    DirPair dir = Dir2(i);
    if (paddle.y > py) dir.s = -dir.s;

    const int32_t dx = px - paddle.x;
    int32_t side = Sign(dx);
    if (side == 0) side = -Sign(puck.vx);
    // Straight onto the centre line without sideways motion: send it toward the
    // opponent's half, away from the paddle's owner.
    if (side == 0) side = paddle.x < table::kCentreX ? 1 : -1;
    dir.c = side * std::abs(dir.c);

    int32_t speed;
    switch (paddle.kind) {
        case paddle_kind::kKick150: speed = KickSpeed(puck, 150, item); break;
        case paddle_kind::kRandom: speed = 200 + NearestRandom(g, 10000) % 300; break;
        case paddle_kind::kKick180: speed = KickSpeed(puck, 180, item); break;
        default: speed = 300; break;
    }
    puck.vx = DirComponent(speed, dir.c);
    puck.vy = DirComponent(speed, dir.s);
    puck.x += puck.vx;
    puck.y += puck.vy;
    SetPuckBounds(puck);
}

}  // namespace vx
