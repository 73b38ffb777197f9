// The stage line drawings `LinePict` and `St3`, drawn from the stage tables: every
// wall as the diagonal of its rectangle, the corner posts, the bumper circles. The views
// say where each stage lands in which picture; the tests read them to check the lines.
#pragma once

#include <vector>

class QImage;

namespace gen {

constexpr int kLinePictWidth = 1140;
constexpr int kLinePictHeight = 350;
constexpr int kSt3Width = 456;
constexpr int kSt3Height = 264;

// Picture pixel = origin + (table coordinate - table origin) * scale.
struct StageView {
    int stage;
    int left, top, width, height;  // the region of the picture that belongs to this stage
    double originX, originY;       // picture position of the table origin
    double tableX, tableY;         // table origin
    double scale;
};

// The thumbnails are drawn at this scale into the 200 x 130 layout area of the stage
// select screen, whose miniature table (in "stagec") uses the same mapping.
constexpr double kThumbScale = 0.45;
constexpr double kThumbLeft = 14.0;
constexpr double kThumbTop = 6.0;

// Panels of stages 2, 4 and 5 (table moved by (-66, -61)), then the thumbnails of 2..5.
inline std::vector<StageView> LinePictViews() {
    std::vector<StageView> views;
    const int panelStages[3] = {2, 4, 5};
    for (int i = 0; i < 3; ++i)
        views.push_back({panelStages[i], 380 * i, 0, 380, 220, 380.0 * i, 0, 66, 61, 1.0});
    for (int n = 2; n <= 5; ++n) {
        const int left = (n - 2) * 200;
        views.push_back({n, left, 220, 200, 130, left + kThumbLeft, 220 + kThumbTop, 66, 61, kThumbScale});
    }
    return views;
}

// Stage 3 is drawn at (28, 39) of the table.
inline StageView St3View() {
    return {3, 0, 0, kSt3Width, kSt3Height, 0, 0, 28, 39, 1.0};
}

QImage DrawLinePict();
QImage DrawSt3();

}  // namespace gen
