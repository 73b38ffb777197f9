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

std::vector<StageView> LinePictViews();  // panels of stages 2, 4, 5; thumbnails of 2..5
StageView St3View();

QImage DrawLinePict();
QImage DrawSt3();

}  // namespace gen
