#include "stage_lines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "asset_files.h"
#include "core/stage_tables.h"

namespace vx::testing {
namespace {

using gen::StageView;

struct Segment {
    double x0, y0, x1, y1;
};

// The wall's line as the physics has it: the diagonal of its bounds.
Segment WallLine(const WallPiece& w) {
    const Rect& b = w.bounds;
    if (w.kind == -1) return {double(b.left), double(b.top), double(b.right), double(b.bottom)};
    return {double(b.left), double(b.bottom), double(b.right), double(b.top)};
}

double DistanceToSegment(double px, double py, const Segment& s) {
    const double dx = s.x1 - s.x0, dy = s.y1 - s.y0;
    const double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((px - s.x0) * dx + (py - s.y0) * dy) / len2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(px - (s.x0 + t * dx), py - (s.y0 + t * dy));
}

double DistanceToRect(double px, double py, const Rect& r) {
    const double dx = std::max({double(r.left) - px, 0.0, px - double(r.right)});
    const double dy = std::max({double(r.top) - py, 0.0, py - double(r.bottom)});
    return std::hypot(dx, dy);
}

// Distance in table pixels from a table point to the nearest wall, post or bumper.
double DistanceToStage(int stage, double x, double y) {
    double best = 1e9;
    for (const WallPiece& w : StageWalls(stage)) best = std::min(best, DistanceToSegment(x, y, WallLine(w)));
    for (const Rect& r : StageCornerPosts(stage)) best = std::min(best, DistanceToRect(x, y, r));
    for (const BumperPiece& b : StageBumpers(stage))
        best = std::min(best, std::max(0.0, std::hypot(x - b.cx / 100.0, y - b.cy / 100.0) - kBumperRadius));
    return best;
}

// Every drawn pixel lies on a wall, post or bumper of the view's stage (within the
// line's own width), and every one of those has pixels drawn on it.
void CheckView(const Surface& picture, const StageView& v) {
    const double tolerancePx = v.scale < 1.0 ? 2.0 : 2.5;
    int drawn = 0, stray = 0;
    for (int y = v.top; y < v.top + v.height; ++y)
        for (int x = v.left; x < v.left + v.width; ++x) {
            if (IsWhite(picture, x, y)) continue;
            ++drawn;
            const double tx = v.tableX + (x + 0.5 - v.originX) / v.scale;
            const double ty = v.tableY + (y + 0.5 - v.originY) / v.scale;
            if (DistanceToStage(v.stage, tx, ty) * v.scale > tolerancePx) ++stray;
        }
    EXPECT_GT(drawn, 0) << "stage " << v.stage;
    EXPECT_EQ(stray, 0) << "stage " << v.stage << " view at " << v.left << ", " << v.top;
    auto drawnNear = [&](double tx, double ty) {
        const int px = int(std::floor(v.originX + (tx - v.tableX) * v.scale));
        const int py = int(std::floor(v.originY + (ty - v.tableY) * v.scale));
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (!IsWhite(picture, px + dx, py + dy)) return true;
        return false;
    };
    for (const WallPiece& w : StageWalls(v.stage)) {
        const Segment s = WallLine(w);
        EXPECT_TRUE(drawnNear((s.x0 + s.x1) / 2, (s.y0 + s.y1) / 2))
            << "stage " << v.stage << " wall at " << w.bounds.left << ", " << w.bounds.top;
    }
    for (const BumperPiece& b : StageBumpers(v.stage))
        EXPECT_TRUE(drawnNear(b.cx / 100.0 + kBumperRadius - 0.5, b.cy / 100.0))
            << "bumper " << b.cx << ", " << b.cy;
    for (const Rect& r : StageCornerPosts(v.stage))
        EXPECT_TRUE(drawnNear((r.left + r.right) / 2.0, (r.top + r.bottom) / 2.0)) << "post " << r.left;
}

TEST(StageLineDrawings, LinePictPanelsAndThumbnailsDrawExactlyTheirStagesTables) {
    Surface picture = LoadPicture("design/LinePict.bmp");
    ASSERT_EQ(picture.Width(), gen::kLinePictWidth);
    std::vector<bool> inView(size_t(picture.Width()) * picture.Height(), false);
    for (const StageView& v : gen::LinePictViews()) {
        CheckView(picture, v);
        for (int y = v.top; y < v.top + v.height; ++y)
            for (int x = v.left; x < v.left + v.width; ++x) inView[size_t(y) * picture.Width() + x] = true;
    }
    int outside = 0;
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x)
            outside += !inView[size_t(y) * picture.Width() + x] && !IsWhite(picture, x, y);
    EXPECT_EQ(outside, 0);
}

TEST(StageLineDrawings, St3DrawsStageThreeWallsAndPostsAtItsPlace) {
    Surface picture = LoadPicture("design/St3.bmp");
    ASSERT_EQ(picture.Width(), gen::kSt3Width);
    ASSERT_EQ(picture.Height(), gen::kSt3Height);
    CheckView(picture, gen::St3View());
}

}  // namespace
}  // namespace vx::testing
